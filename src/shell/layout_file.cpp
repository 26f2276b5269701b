#include "shell/layout_file.h"

#include <charconv>
#include <string>

#include "shell/resources.h"

namespace corvid::shell {
namespace {

constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

bool LayoutFile::HasSection(std::string_view section) const { return sections_.contains(section); }

std::optional<std::string_view> LayoutFile::Value(std::string_view section,
                                                  std::string_view key) const {
  const auto foundSection = sections_.find(section);
  if (foundSection == sections_.end()) {
    return std::nullopt;
  }
  const auto foundKey = foundSection->second.find(key);
  if (foundKey == foundSection->second.end()) {
    return std::nullopt;
  }
  return std::string_view{foundKey->second};
}

std::optional<int> LayoutFile::IntegerValue(std::string_view section, std::string_view key) const {
  const auto value = Value(section, key);
  return value ? ParseDecimalInteger(*value) : std::nullopt;
}

std::optional<int> ParseDecimalInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') {
      return std::nullopt;
    }
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

LayoutFileParse ParseLayoutFile(std::string_view text) {
  constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kUtf8ByteOrderMark)) {
    text.remove_prefix(kUtf8ByteOrderMark.size());
  }

  LayoutFileParse result;
  LayoutFile::Section* section = nullptr;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t lineEnd = text.find('\n');
    std::string_view line = text.substr(0, lineEnd);
    text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
    ++lineNumber;

    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';') {
      continue;
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
      section = &result.file.sections_[std::string(name)];
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      continue;  // banner lines and the like carry no key
    }
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (section == nullptr) {
      result.problems.push_back(where + "key before any section ignored: " + std::string(key));
      continue;
    }
    if (key.empty()) {
      result.problems.push_back(where + "line without a key ignored");
      continue;
    }
    // As in any INI file, the first of two equal keys is the one read.
    if (!section->emplace(key, TrimBlanks(line.substr(equals + 1))).second) {
      result.problems.push_back(where + "repeated key ignored: " + std::string(key));
    }
  }
  return result;
}

std::optional<LayoutFile> LoadLayoutResource(std::string_view resourceName) {
  const auto bytes = ResourceBytes(resourceName);
  if (!bytes) {
    return std::nullopt;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return ParseLayoutFile(text).file;
}

}  // namespace corvid::shell
