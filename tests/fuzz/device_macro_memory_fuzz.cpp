// The macro memory read from a mouse or a profile: the EEPROM area, or the Flash name table and
// bodies; then what the macro page does with it (show, add, delete, export).
//
// Input: one byte picking the layout, one byte picking the macro to delete, 16 name bytes and 256
// body bytes of a macro to add, then the memory itself.

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "macros/device_macro_area.h"
#include "macros/device_macros.h"
#include "model/device_image.h"

namespace {

using namespace corvid;
using device::MemoryLayout;

void CheckEepromArea(const macros::DeviceMacros& deviceMacros) {
  const macros::I2CMacroTable& table = deviceMacros.I2CTable();
  FUZZ_CHECK(table.MacroTotal <= macros::kMacroAreaSize);
  FUZZ_CHECK(table.Count() <= macros::kI2CMacroSlotCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const MemoryLayout layouts[] = {MemoryLayout::LayoutI2C, MemoryLayout::LayoutFlashI2C,
                                  MemoryLayout::LayoutFlashFlash};
  const MemoryLayout layout = layouts[input.Byte() % 3];
  const int deleteIndex = input.Byte() % 40;
  macros::MacroNameField name{};
  for (auto& byte : name) byte = input.Byte();
  macros::MacroBody body{};
  for (auto& byte : body) byte = input.Byte();

  const auto memory = input.Rest();
  model::DeviceImage image;
  const bool flash = layout == MemoryLayout::LayoutFlashFlash;
  if (flash) {
    const std::size_t names = std::min(memory.size(), image.FlashMacroNames.size());
    std::copy_n(memory.begin(), names, image.FlashMacroNames.begin());
    const std::size_t bodies = std::min(memory.size() - names, image.FlashMacroBodies.size());
    std::copy_n(memory.begin() + static_cast<long>(names), bodies, image.FlashMacroBodies.begin());
  } else {
    std::copy_n(memory.begin(), std::min(memory.size(), image.MacroImage.size()),
                image.MacroImage.begin());
    // The parser on its own: whatever it read rebuilds within the area.
    const std::uint16_t firstBody = macros::FirstMacroBodyAddress(layout);
    const macros::MacroAreaParse parse = macros::ParseMacroArea(image.MacroImage, firstBody);
    FUZZ_CHECK(parse.endOffset <= macros::kMacroAreaSize);
    FUZZ_CHECK(parse.table.MacroTotal <= macros::kMacroAreaSize);
    const macros::MacroAreaBuild build = macros::BuildMacroArea(parse.table, firstBody);
    FUZZ_CHECK(build.MacroTotal <= macros::kMacroAreaSize);
  }

  macros::DeviceMacros deviceMacros(image);
  deviceMacros.Refresh(layout);
  if (!flash) CheckEepromArea(deviceMacros);
  const int count = deviceMacros.MacroCount();
  FUZZ_CHECK(count >= 0 && count <= (flash ? 32 : 15));
  FUZZ_CHECK(static_cast<int>(deviceMacros.MacroNames().size()) == count);
  for (int i = 0; i < count; ++i) {
    (void)deviceMacros.ShowMacro(i);
    (void)deviceMacros.MacroAddress(i);
  }

  const std::size_t exportSize =
      flash ? macros::kFlashMacroExportSize : macros::kI2CMacroExportSize;
  FUZZ_CHECK(deviceMacros.ExportBytes().size() == exportSize);

  const macros::DeviceMacroChange added = deviceMacros.AddMacro(name, body);
  if (added.ok()) FUZZ_CHECK(deviceMacros.MacroCount() == count + 1);
  if (!flash) CheckEepromArea(deviceMacros);
  const int before = deviceMacros.MacroCount();
  const macros::DeviceMacroChange deleted = deviceMacros.DeleteMacro(deleteIndex);
  if (deleted.ok()) FUZZ_CHECK(deviceMacros.MacroCount() == before - 1);
  if (!flash) CheckEepromArea(deviceMacros);
  FUZZ_CHECK(deviceMacros.ExportBytes().size() == exportSize);
  return 0;
}
