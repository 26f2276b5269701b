#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ascii_case.h"

namespace corvid::shell {

struct LayoutFileParse;

// A layout file: INI text of sections with key=value lines. Section names and keys are matched
// without regard to letter case.
class LayoutFile {
 public:
  bool HasSection(std::string_view section) const;
  // The value as text, blanks around it removed; nothing when the section or key is missing.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // The value read as a decimal integer; nothing when missing or not a number.
  std::optional<int> IntegerValue(std::string_view section, std::string_view key) const;

 private:
  friend LayoutFileParse ParseLayoutFile(std::string_view text);
  using Section = std::map<std::string, std::string, AsciiCaseInsensitiveLess>;
  std::map<std::string, Section, AsciiCaseInsensitiveLess> sections_;
};

struct LayoutFileParse {
  LayoutFile file;
  // What the reader did not accept, one line each ("line 7: ..."); empty for a clean file.
  std::vector<std::string> problems;
};

// Reads layout text: "[name]" opens a section, "key=value" sets a key, blanks around the key, the
// '=' and the value are ignored, lines starting with ';' are comments and lines without '=' (the
// "//" banners) carry no key.
LayoutFileParse ParseLayoutFile(std::string_view text);

// An optional sign and decimal digits, nothing else, within the range of int.
std::optional<int> ParseDecimalInteger(std::string_view text);

// The built-in layout text of the given resource ("ORG", "ORG1".."ORG3"), or nothing when the build
// carries no such resource.
std::optional<LayoutFile> LoadLayoutResource(std::string_view resourceName);

}  // namespace corvid::shell
