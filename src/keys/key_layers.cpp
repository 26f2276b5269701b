#include "keys/key_layers.h"

#include <algorithm>

namespace corvid::keys {

model::CodeCaptionContext CaptionContextOf(session::Session& session,
                                           const model::DeviceMacroCatalog* macros) {
  model::CodeCaptionContext context;
  context.language = session.CurrentLanguage();
  const model::ParameterSection& parameter = session.DataBuf().Parameter();
  context.fireKey1RepeatMinusOne = parameter.FireKey1RepeatMinusOne();
  context.fireKey2RepeatMinusOne = parameter.FireKey2RepeatMinusOne();
  context.macros = macros;
  return context;
}

SlotCaptions LayerCaptions(const model::DataBuf& dataBuf, int layer,
                           const model::CodeCaptionContext& context) {
  SlotCaptions captions;
  if (!model::IsValidLayer(layer)) return captions;
  for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
    captions[static_cast<std::size_t>(slot - 1)] =
        model::CodeDisplayText(dataBuf.SlotCode(layer, slot), context).caption;
  }
  return captions;
}

KeyPageState KeyPageStateOf(const model::DataBuf& dataBuf,
                            const model::CodeCaptionContext& context) {
  KeyPageState page;
  const int active = dataBuf.Parameter().ActiveLayer();
  page.layer = model::IsValidLayer(active) ? active : kMainLayer;
  page.captions = LayerCaptions(dataBuf, page.layer, context);
  return page;
}

MarkerCaptions MarkerCaptionsOf(const session::Session& session) {
  return {session.Text("Str210"), session.Text("Str242"), session.Text("Str245")};
}

bool IsOnlyLeftKey(const SlotCaptions& captions, int slot, std::string_view leftKey) {
  if (!model::IsValidSlot(slot) || captions[static_cast<std::size_t>(slot - 1)] != leftKey) {
    return false;
  }
  return std::count(captions.begin(), captions.end(), leftKey) == 1;
}

}  // namespace corvid::keys
