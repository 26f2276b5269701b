// Language files: UTF-16 INI text.

#include "fuzz/fuzz_support.h"
#include "shell/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::shell;
  for (int language = 1; language <= kLanguageCount; ++language) {
    const LanguageFileParse parse = ParseLanguageFile({data, size}, language);
    for (const char* key : {"Title", "Str002", "Str100", "Str200", "Str443"}) {
      // Texts reach the window and the terminal: they must be text.
      FUZZ_CHECK(corvid::fuzz::IsWellFormedUtf8(parse.file.Text(key)));
      FUZZ_CHECK(parse.file.Contains(key) || parse.file.Text(key).empty());
    }
    for (const std::string& problem : parse.problems) FUZZ_CHECK(!problem.empty());
    (void)MenuItemText(parse.file, "Str201");
    const LanguageFile* files[] = {&parse.file};
    (void)FindKeyOfText(files, "Stop");
  }
  return 0;
}
