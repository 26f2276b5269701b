// Macro step text as the editor and imported text give it, and the name and hex conversions.

#include <string>

#include "fuzz/fuzz_support.h"
#include "macros/conversion.h"
#include "macros/step_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::macros;
  const std::string text(reinterpret_cast<const char*>(data), size);
  MacroLines lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(line);

  const EncodedMacro encoded = MemoToMacro(lines);
  if (encoded.ok()) {
    FUZZ_CHECK(encoded.length >= 1 && encoded.length <= kMacroBodySize);
    FUZZ_CHECK(encoded.hexText.size() == 2 * encoded.length);
    FUZZ_CHECK(encoded.body[encoded.length - 1] == kStepTerminator);
    // What was encoded shows as lines that encode to the same bytes.
    const DecodedMacro decoded = MacroToMemo(encoded.body, encoded.length - 1);
    const EncodedMacro again = MemoToMacro(decoded.lines);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.body == encoded.body);
  } else {
    FUZZ_CHECK(!encoded.reason.empty());
  }
  for (std::size_t i = 0; i < lines.size() && i < 64; ++i) {
    (void)MacroLineDisplayText(lines, i);
  }

  // Names typed or imported as text, and hex text read back from files.
  const std::string hex = StrToUnicodeHex(text);
  FUZZ_CHECK(hex.size() % 4 == 0);
  FUZZ_CHECK(corvid::fuzz::IsWellFormedUtf8(UnicodeHexToStr(text)));
  return 0;
}
