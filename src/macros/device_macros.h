#pragma once

// The macros stored in the mouse, as the macro page and the button menus list them: item k of the
// device macro list is macro k. The model works on the device mirror's macro memory and keeps the
// lengths and addresses the mirror does not store. Nothing here talks to the mouse; the operations
// in device_macro_operations.h add, delete, save and export through a session.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/memory_layout.h"
#include "macros/device_macro_area.h"
#include "macros/macro_name_field.h"
#include "macros/step_codec.h"
#include "model/device_image.h"
#include "model/function_codes.h"

namespace corvid::macros {

// Language key of "Macro bin length out of range".
inline constexpr std::string_view kMacroAreaFullMessage = "Str103";

enum class DeviceMacroStatus {
  kDone,
  kNoLayout,          // the mouse's macro memory is not known yet: nothing changed
  kFull,              // 15 (EEPROM) or 32 (Flash) macros already: nothing changed, nothing said
  kOutOfRange,        // messageKey "Str103": the macro does not fit; nothing changed
  kNoSuchMacro,       // the index is not an item of the list
  kBadName,           // the name field would not read back as a macro (it starts with 00 00 or 0xFF
                      // bytes); nothing changed
  kWouldNotReadBack,  // without the deleted macro the others would read back differently from
                      // the EEPROM (a record's end can depend on the bytes behind it); nothing
                      // changed
};

struct DeviceMacroChange {
  DeviceMacroStatus status = DeviceMacroStatus::kDone;
  std::string messageKey;  // "Str103" for kOutOfRange
  // The item the list selects afterwards (the added macro; after a delete the item before the
  // deleted one, or item 0), when there is one.
  std::optional<int> selected;

  bool ok() const { return status == DeviceMacroStatus::kDone; }
};

// A device macro as the step list shows it (read-only).
struct DeviceMacroView {
  std::size_t bodyLength = 0;  // with the terminator
  std::string hexText;         // of bodyLength bytes
  DecodedMacro decoded;
};

class DeviceMacros final : public model::DeviceMacroCatalog {
 public:
  explicit DeviceMacros(model::DeviceImage& image) : image_(image) {}
  DeviceMacros(const DeviceMacros&) = delete;
  DeviceMacros& operator=(const DeviceMacros&) = delete;

  // Takes the macro memory of the mirror for a mouse of `layout`: after a full read, a reset, a
  // profile load, and with the defaults when there is no mouse.
  void Refresh(device::MemoryLayout layout);
  std::optional<device::MemoryLayout> Layout() const { return layout_; }
  bool IsFlash() const { return layout_ == device::MemoryLayout::LayoutFlashFlash; }

  // EEPROM area: parses the mirror's area into the table, then rebuilds the area from it so the
  // mirror holds exactly what the table says. An area that could not be read to its end keeps its
  // bytes as they are (nothing is dropped until the user changes the macros).
  MacroAreaEnd ReadAndRefreshMacroI2C();
  // EEPROM area: rebuilds the mirror's area from the table. When the table does not fit, nothing
  // changes and false is returned.
  bool RefreshMacroI2C();
  void CheckMacroLenI2C();
  const I2CMacroTable& I2CTable() const { return table_; }
  // How the last parse ended.
  MacroAreaEnd LastParseEnd() const { return lastParseEnd_; }

  // Flash: lists the valid names and resets the 32 body addresses.
  void RefreshMacroName();
  // Flash: rebuilds the 32 name fields from the list, each macro's name back into its own slot.
  void UIToMacroName();
  // Flash: slot of item `index`.
  std::optional<std::size_t> FlashSlotOf(int index) const;
  std::size_t FlashBodyLength(std::size_t slot) const;

  // The catalog the captions and the button menus use.
  int MacroCount() const override;
  std::string MacroName(int index) const override;
  std::uint16_t MacroAddress(int index) const override;
  // The names of the device macro list and the button page's macro menu.
  std::vector<std::string> MacroNames() const;

  // Stores a macro in the next free slot and rebuilds the memory; nothing is sent. A body that
  // holds no terminator is refused like a macro that does not fit, as the mouse would play on
  // past its slot; so is one whose EEPROM record would not read back as the bytes stored (bytes
  // that are not steps can end it early), as its tail would read back as another macro.
  DeviceMacroChange AddMacro(const MacroNameField& name, const MacroBody& body);
  // Removes item `index`; the later macros move down (and, on the EEPROM, to lower addresses).
  DeviceMacroChange DeleteMacro(int index);

  // Item `index` for the step list; nothing for a macro without steps or an index not listed.
  std::optional<DeviceMacroView> ShowMacro(int index) const;

  // The whole macro memory as an export file holds it: the 512-byte area, or the Flash name table
  // followed by the 32 body blocks (8,704 bytes). Empty while the layout is unknown.
  std::vector<std::uint8_t> ExportBytes() const;

 private:
  std::uint16_t FirstBodyAddress() const;
  // Takes a build into the mirror and the table.
  void TakeBuild(const MacroAreaBuild& build);
  // Rebuilds the EEPROM area from `table` and takes it, unless it would not fit in 512 bytes.
  bool TakeTable(const I2CMacroTable& table);
  std::optional<std::size_t> FirstFreeFlashSlot() const;

  model::DeviceImage& image_;
  std::optional<device::MemoryLayout> layout_;
  I2CMacroTable table_;
  MacroAreaEnd lastParseEnd_ = MacroAreaEnd::kEndMarker;
  // Flash: the slots holding a macro, in list order.
  std::vector<std::size_t> flashSlots_;
};

// Sizes of the export files.
inline constexpr std::size_t kI2CMacroExportSize = kMacroAreaSize;
inline constexpr std::size_t kFlashMacroExportSize =
    model::kFlashMacroCount * (model::kFlashMacroNameSize + model::kFlashMacroBodySize);

}  // namespace corvid::macros
