// Firmware patch BIN files chosen by the user: 32 KiB the tool skips, then the 1 KiB of code that
// goes to the mouse. So that short inputs reach the code, the input is one byte telling how far
// short of 32 KiB the skipped part ends, then the rest of the file.

#include <algorithm>
#include <vector>

#include "device/patch.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::device;
  if (size == 0) return 0;
  std::vector<std::uint8_t> file(kPatchCodeFileOffset - data[0], 0xA5);
  file.insert(file.end(), data + 1, data + size);

  FirmwarePatch patch;
  patch.PatchCode.fill(0x11);
  patch.BinLoaded = true;
  const PatchLoadResult result = LoadPatchBin(file, patch);
  if (result) {
    FUZZ_CHECK(file.size() >= kPatchCodeFileOffset + kPatchCodeSize);
    FUZZ_CHECK(std::equal(patch.PatchCode.begin(), patch.PatchCode.end(),
                          file.begin() + static_cast<long>(kPatchCodeFileOffset)));
    FUZZ_CHECK(patch.BinLoaded);
    patch.CheckPatchCodeSection();
    FUZZ_CHECK(patch.PatchHeader == BuildPatchHeader(patch.PatchCode));
  } else {
    // A refused file leaves no loaded code behind for Update to program.
    FUZZ_CHECK(!patch.BinLoaded);
    FUZZ_CHECK(result.messageKey == kPatchFileTooShortKey);
  }
  return 0;
}
