// Layout files: INI text with the product settings in [org].

#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "shell/layout_file.h"
#include "shell/product_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::shell;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const LayoutFileParse parse = ParseLayoutFile(text);
  const ProductSettingsRead read = ReadProductSettings(parse.file);
  for (const std::string& key : read.invalidKeys) FUZZ_CHECK(!key.empty());
  for (const char* key : {"Rev_Manu_ID", "Web_X", "LEDType"}) {
    const auto value = parse.file.Value("org", key);
    if (value) {
      FUZZ_CHECK(value->empty() || (value->front() != ' ' && value->back() != ' '));
    }
  }
  (void)ParseDecimalInteger(text);
  return 0;
}
