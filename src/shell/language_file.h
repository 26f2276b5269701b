#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ascii_case.h"

namespace corvid::shell {

inline constexpr int kLanguageCount = 3;

struct LanguageFileParse;

// The texts of one language: the key/value table of the section [langN] of its language file,
// held as UTF-8. Keys are matched without regard to letter case, as in any INI file.
class LanguageFile {
 public:
  // The text of key ("Title", "Str002", ...), or an empty text when the file lacks the key.
  std::string_view Text(std::string_view key) const;
  bool Contains(std::string_view key) const;
  std::size_t KeyCount() const { return texts_.size(); }

 private:
  friend LanguageFileParse ParseLanguageFile(std::span<const std::uint8_t> fileBytes, int language);
  std::map<std::string, std::string, AsciiCaseInsensitiveLess> texts_;
};

struct LanguageFileParse {
  LanguageFile file;
  // What the reader did not accept, one line each; empty for a clean file.
  std::vector<std::string> problems;
};

// Reads a language file (UTF-16 little-endian text starting with FF FE) and keeps the section of
// the given language. A file without the byte-order mark or without its section yields no texts.
LanguageFileParse ParseLanguageFile(std::span<const std::uint8_t> fileBytes, int language);

// The built-in file of language 1..3, read once; any other number gives a file without texts.
const LanguageFile& BuiltInLanguageFile(int language);

// The built-in text of key in the given language (empty when missing).
std::string_view LanguageText(int language, std::string_view key);

// The key of a caption already on screen: the key "Str<k>" (k = 0..600 written without leading
// zeros) whose text equals text exactly, searched in files 1, 2, 3 in that order; the last match
// wins. Empty when nothing matches. As the file keys carry three digits, Str002..Str099 are never
// found, and of two keys with the same text the higher one is found ("Stop" gives Str401). Only
// keys a file defines can match, so an empty caption finds no key.
std::string FindKeyOfText(std::span<const LanguageFile* const> files, std::string_view text);
std::string FindKeyOfText(std::string_view text);  // in the built-in files

// A key menu item: a blank, the mark of Str200, a blank and the item's own text (" * AIM Key").
std::string MenuItemText(const LanguageFile& file, std::string_view key);

}  // namespace corvid::shell
