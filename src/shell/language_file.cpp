#include "shell/language_file.h"

#include <array>
#include <string>

#include "shell/resources.h"

namespace corvid::shell {
namespace {

constexpr int kHighestFindableNumber = 600;

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

// UTF-16 little-endian to UTF-8. The texts stay in Unicode: a narrow code page would lose the
// Russian file.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes, std::vector<std::string>& problems) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(bytes.size());
  const std::size_t unitCount = bytes.size() / 2;
  auto unitAt = [&](std::size_t i) -> char16_t {
    return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  };
  bool badSurrogate = false;
  for (std::size_t i = 0; i < unitCount; ++i) {
    const char16_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < unitCount && unitAt(i + 1) >= 0xDC00 &&
        unitAt(i + 1) <= 0xDFFF) {
      const char16_t low = unitAt(++i);
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
      badSurrogate = true;
    } else {
      AppendUtf8(out, unit);
    }
  }
  if (badSurrogate) {
    problems.emplace_back("unpaired UTF-16 surrogate replaced by U+FFFD");
  }
  if (bytes.size() % 2 != 0) {
    problems.emplace_back("odd byte at the end of the file ignored");
  }
  return out;
}

// Blanks, tabs, line breaks and the other control characters separate entries.
constexpr bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// Entries are separated by blanks and line breaks; a quoted entry runs to its closing quote and
// loses the quotes. An unquoted entry with a blank in it therefore falls apart at the blank.
std::vector<std::string_view> SplitEntries(std::string_view text,
                                           std::vector<std::string>& problems) {
  std::vector<std::string_view> entries;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (IsBlank(text[pos])) {
      ++pos;
      continue;
    }
    if (text[pos] == '"') {
      const std::size_t close = text.find('"', pos + 1);
      if (close == std::string_view::npos) {
        problems.emplace_back("quote without its closing quote; the rest of the file is one entry");
        entries.push_back(text.substr(pos + 1));
        break;
      }
      entries.push_back(text.substr(pos + 1, close - pos - 1));
      pos = close + 1;
      continue;
    }
    std::size_t end = pos;
    while (end < text.size() && !IsBlank(text[end])) {
      ++end;
    }
    entries.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return entries;
}

}  // namespace

std::string_view LanguageFile::Text(std::string_view key) const {
  const auto found = texts_.find(key);
  return found == texts_.end() ? std::string_view{} : std::string_view{found->second};
}

bool LanguageFile::Contains(std::string_view key) const { return texts_.contains(key); }

LanguageFileParse ParseLanguageFile(std::span<const std::uint8_t> fileBytes, int language) {
  LanguageFileParse result;
  if (fileBytes.size() < 2 || fileBytes[0] != 0xFF || fileBytes[1] != 0xFE) {
    result.problems.emplace_back(
        "not a UTF-16 little-endian text: it does not start with FF FE; no texts read");
    return result;
  }
  const std::string text = Utf16LeToUtf8(fileBytes.subspan(2), result.problems);
  const std::string wantedSection = "lang" + std::to_string(language);

  bool inWantedSection = false;
  bool sawWantedSection = false;
  for (std::string_view entry : SplitEntries(text, result.problems)) {
    entry = TrimBlanks(entry);
    if (entry.empty() || entry.front() == ';') {
      continue;
    }
    if (entry.size() >= 2 && entry.front() == '[' && entry.back() == ']') {
      inWantedSection =
          EqualsIgnoringAsciiCase(TrimBlanks(entry.substr(1, entry.size() - 2)), wantedSection);
      sawWantedSection = sawWantedSection || inWantedSection;
      continue;
    }
    if (!inWantedSection) {
      continue;
    }
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      result.problems.push_back("entry without '=' ignored: " + std::string(entry));
      continue;
    }
    const std::string_view key = TrimBlanks(entry.substr(0, equals));
    if (key.empty()) {
      result.problems.push_back("entry without a key ignored: " + std::string(entry));
      continue;
    }
    // As in any INI file, the first of two equal keys is the one read.
    if (!result.file.texts_.emplace(key, TrimBlanks(entry.substr(equals + 1))).second) {
      result.problems.push_back("repeated key ignored: " + std::string(key));
    }
  }
  if (!sawWantedSection) {
    result.problems.push_back("no section [" + wantedSection + "]; no texts read");
  }
  return result;
}

const LanguageFile& BuiltInLanguageFile(int language) {
  // The files are part of the program and never change, so each is read once.
  static const std::array<LanguageFile, kLanguageCount> kFiles = [] {
    std::array<LanguageFile, kLanguageCount> files;
    for (int number = 1; number <= kLanguageCount; ++number) {
      const auto bytes = ResourceBytes("LANG" + std::to_string(number));
      if (bytes) {
        files[number - 1] = ParseLanguageFile(*bytes, number).file;
      }
    }
    return files;
  }();
  static const LanguageFile kNoTexts;
  if (language < 1 || language > kLanguageCount) {
    return kNoTexts;
  }
  return kFiles[language - 1];
}

std::string_view LanguageText(int language, std::string_view key) {
  return BuiltInLanguageFile(language).Text(key);
}

std::string FindKeyOfText(std::span<const LanguageFile* const> files, std::string_view text) {
  std::string found;
  for (const LanguageFile* file : files) {
    for (int number = 0; number <= kHighestFindableNumber; ++number) {
      std::string key = "Str" + std::to_string(number);
      if (file->Contains(key) && file->Text(key) == text) {
        found = std::move(key);
      }
    }
  }
  return found;
}

std::string FindKeyOfText(std::string_view text) {
  const std::array<const LanguageFile*, kLanguageCount> files = {
      &BuiltInLanguageFile(1), &BuiltInLanguageFile(2), &BuiltInLanguageFile(3)};
  return FindKeyOfText(files, text);
}

std::string MenuItemText(const LanguageFile& file, std::string_view key) {
  std::string item = " ";
  item += file.Text("Str200");
  item += ' ';
  item += file.Text(key);
  return item;
}

}  // namespace corvid::shell
