// Profile files chosen by the user, for a mouse of each layout and of none.

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "model/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid;
  using device::MemoryLayout;
  const std::span<const std::uint8_t> file(data, size);
  const std::optional<MemoryLayout> layouts[] = {std::nullopt, MemoryLayout::LayoutI2C,
                                                 MemoryLayout::LayoutFlashI2C,
                                                 MemoryLayout::LayoutFlashFlash};
  for (const auto& layout : layouts) {
    model::DeviceImage image;
    image.MacroImage.fill(0x5A);
    const model::DeviceImage before = image;
    const model::ProfileLoadResult result = model::LoadProfileFile(file, layout, image);
    if (!result) {
      // A refused file changes nothing.
      FUZZ_CHECK(!result.message.empty());
      FUZZ_CHECK(image.sections == before.sections && image.MacroImage == before.MacroImage &&
                 image.IdentityBytes == before.IdentityBytes &&
                 image.FlashMacroNames == before.FlashMacroNames);
      continue;
    }
    // What was loaded saves as the file's own leading bytes, where the layout takes them.
    const std::vector<std::uint8_t> saved = model::EncodeProfileFile(image, layout);
    FUZZ_CHECK(saved.size() == model::ProfileFileSize(layout));
    FUZZ_CHECK(std::equal(saved.begin(), saved.begin() + model::kProfileTakenHeadSize, data));
  }
  return 0;
}
