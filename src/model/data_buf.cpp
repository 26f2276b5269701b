#include "model/data_buf.h"

#include <cassert>

namespace corvid::model {

DataBuf::DataBuf() : keyCodeText_(BuildKeyCodeText(image_.profile)) {}

const std::string& DataBuf::SlotCodeText(int layer, int slot) const {
  assert(IsValidLayer(layer) && IsValidSlot(slot));
  static const std::string kNoSlot;
  if (!IsValidLayer(layer) || !IsValidSlot(slot)) return kNoSlot;
  return keyCodeText_[layer][slot - 1];
}

bool DataBuf::SetSlotCodeText(int layer, int slot, std::string_view text) {
  if (!IsValidLayer(layer) || !IsValidSlot(slot)) return false;
  const auto code = ParseSlotCodeText(text);
  if (!code) return false;
  SetSlotCode(layer, slot, *code);
  return true;
}

void DataBuf::SetSlotCode(int layer, int slot, const SlotBytes& code) {
  assert(IsValidLayer(layer) && IsValidSlot(slot));
  if (!IsValidLayer(layer) || !IsValidSlot(slot)) return;
  keyCodeText_[layer][slot - 1] = model::SlotCodeText(code);
  image_.profile.SetSlot(layer, slot, code);
}

void DataBuf::LoadSections(const SectionImage& source) {
  image_ = source;
  keyCodeText_ = BuildKeyCodeText(image_.profile);
}

void PrepareProfileSave(DataBuf& dataBuf, StorageKind macroStorage, DeviceImage& deviceImage) {
  if (const auto marker = StorageMarkerFor(macroStorage)) {
    dataBuf.Parameter().SetStorageMarker(*marker);
  }
  deviceImage.sections.parameter = dataBuf.RecomputeParameterChecksum();
  CommitProfileSection(dataBuf, deviceImage);
}

void CommitProfileSection(DataBuf& dataBuf, DeviceImage& deviceImage) {
  deviceImage.sections.profile = dataBuf.RecomputeProfileChecksum();
}

void PackedCopies::RefreshFrom(const ParameterSection& parameter) {
  fireKey1RepeatMinusOne = parameter.FireKey1RepeatMinusOne();
  fireKey2RepeatMinusOne = parameter.FireKey2RepeatMinusOne();
  if (parameter.DpiLevelCountNibble() < kDpiLevelCount) {
    dpiLevelCount = parameter.DpiLevelCountNibble() + 1;
  }
  currentDpiLevel = parameter.CurrentDpiLevelNibble();
}

}  // namespace corvid::model
