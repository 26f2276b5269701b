// Macro bodies as the mouse, the library and export files hold them: any 256 bytes.

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "macros/step_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::macros;
  MacroBody slot{};
  std::copy_n(data, std::min(size, slot.size()), slot.begin());

  const std::size_t terminator = FindTerminatorOffset(slot);
  FUZZ_CHECK(terminator <= slot.size());
  const DecodedMacro decoded = MacroToMemo(slot, std::min(terminator, slot.size()));
  for (std::size_t i = 0; i < decoded.lines.size(); ++i) {
    (void)MacroLineDisplayText(decoded.lines, i);
  }

  // A body that decodes cleanly (every byte a step, none past the terminator) encodes to the same
  // bytes.
  if (terminator < slot.size() && decoded.unrecognisedBytes == 0) {
    const EncodedMacro encoded = MemoToMacro(decoded.lines);
    if (!encoded.ok()) {
      // In a full slot the last step may take its operands from the final zeros, the terminator
      // among them. Written back from the text its steps fill the slot and need a terminator of
      // their own, one byte more than a slot holds: that, and only that, is refused, as too long.
      FUZZ_CHECK(encoded.error == EncodeError::kTooLong);
      FUZZ_CHECK(encoded.length == slot.size() + 1);
      return 0;
    }
    const std::size_t steps = encoded.length - 1;
    // The last step may take operands from behind the terminator the three-zero rule found.
    FUZZ_CHECK(steps >= terminator && steps <= slot.size());
    FUZZ_CHECK(std::equal(encoded.body.begin(), encoded.body.begin() + static_cast<long>(steps),
                          slot.begin()));
  }
  return 0;
}
