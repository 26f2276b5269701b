// Firmware patch BIN files chosen by the user.

#include "device/patch.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::device;
  FirmwarePatch patch;
  patch.PatchCode.fill(0x11);
  patch.BinLoaded = true;
  const PatchLoadResult result = LoadPatchBin({data, size}, patch);
  if (result) {
    FUZZ_CHECK(size >= kPatchCodeFileOffset + kPatchCodeSize);
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
