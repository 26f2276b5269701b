#pragma once

// The working image every page reads and edits, with the code text of every button slot kept in
// step with the slot bytes.

#include <string>
#include <string_view>

#include "model/device_image.h"
#include "model/key_code_text.h"
#include "model/section_image.h"
#include "model/storage_kind.h"

namespace corvid::model {

class DataBuf {
 public:
  DataBuf();

  // The parameter section is edited freely. Button slots change only through the setters below,
  // which keep the code text and the bytes together.
  ParameterSection& Parameter() { return image_.parameter; }
  const ParameterSection& Parameter() const { return image_.parameter; }
  const ProfileSection& Profile() const { return image_.profile; }
  const SectionImage& Image() const { return image_; }
  const KeyCodeText& CodeText() const { return keyCodeText_; }

  // Layer 0..2, slot 1..12.
  const std::string& SlotCodeText(int layer, int slot) const;
  SlotBytes SlotCode(int layer, int slot) const { return image_.profile.Slot(layer, slot); }

  // Assigns a slot from its 8-digit text. Refuses (returns false, changes nothing) malformed text
  // or an invalid position; the stored text is the upper-case form of the parsed bytes.
  bool SetSlotCodeText(int layer, int slot, std::string_view text);
  void SetSlotCode(int layer, int slot, const SlotBytes& code);

  // Takes over both sections of `source` and rebuilds every slot's code text (the data half of
  // showing a freshly read, loaded or reset image).
  void LoadSections(const SectionImage& source);

  ParameterSection& RecomputeParameterChecksum() { return image_.parameter.RecomputeChecksum(); }
  const ProfileSection& RecomputeProfileChecksum() { return image_.profile.RecomputeChecksum(); }

 private:
  SectionImage image_;
  KeyCodeText keyCodeText_;
};

// Before a profile is saved (the page state has already been taken back into `dataBuf`): mark the
// image with the macro storage of the mouse (left as it is when that is unknown), seal both
// checksums, and make the device mirror hold both sections.
void PrepareProfileSave(DataBuf& dataBuf, StorageKind macroStorage, DeviceImage& deviceImage);

// After macro bindings changed: seal the key layers and mirror them for the whole-section write.
void CommitProfileSection(DataBuf& dataBuf, DeviceImage& deviceImage);

// Integer views of packed bytes that the pages keep beside the image. Filling them follows the
// page rules: a level count nibble above 7 keeps the count, the current index always follows.
struct PackedCopies {
  int fireKey1RepeatMinusOne = 0;
  int fireKey2RepeatMinusOne = 0;
  int dpiLevelCount = 1;
  int currentDpiLevel = 0;

  void RefreshFrom(const ParameterSection& parameter);
};

}  // namespace corvid::model
