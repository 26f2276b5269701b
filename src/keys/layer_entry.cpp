#include "keys/layer_entry.h"

#include <algorithm>
#include <cstdint>

#include "model/section_fields.h"

namespace corvid::keys {
namespace {

bool LayerShows(const model::DataBuf& dataBuf, int layer, const std::string& caption,
                const model::CodeCaptionContext& context) {
  const SlotCaptions captions = LayerCaptions(dataBuf, layer, context);
  return std::find(captions.begin(), captions.end(), caption) != captions.end();
}

}  // namespace

LayerEntry EnterLayer(session::Session& session, int layer,
                      const model::CodeCaptionContext& context) {
  LayerEntry entry;
  if (!model::IsValidLayer(layer)) {
    entry.result = PageResult::kInvalidArgument;
    return entry;
  }
  if (const auto refusal = session::RefusePageClick(session)) {
    entry.result = *refusal;
    return entry;
  }

  // The mouse leaves a layer only through a key of that layer: without a KB switch key in Main
  // Control there is no way into Switch Control, and without a KB reset key there none into
  // Fixed Control.
  const MarkerCaptions markers = MarkerCaptionsOf(session);
  model::DataBuf& dataBuf = session.DataBuf();
  if (layer == kSwitchLayer && !LayerShows(dataBuf, kMainLayer, markers.kbSwitchKey, context)) {
    session.Show("Str020");
    entry.result = PageResult::kEntryRefused;
    return entry;
  }
  if (layer == kFixedLayer && !LayerShows(dataBuf, kSwitchLayer, markers.kbResetKey, context)) {
    session.Show("Str021");
    entry.result = PageResult::kEntryRefused;
    return entry;
  }

  entry.result = PageResult::kLocked;
  if (session.CanWrite()) {
    entry.result =
        session.Protocol().WriteParameterBytes(static_cast<std::uint8_t>(model::kActiveLayerOffset),
                                               static_cast<std::uint8_t>(layer), 0, 0, 1)
            ? PageResult::kWritten
            : PageResult::kWriteFailed;
  }
  dataBuf.Parameter().SetActiveLayer(static_cast<std::uint8_t>(layer));

  entry.page.layer = layer;
  entry.page.captions = LayerCaptions(dataBuf, layer, context);
  entry.labelsEnabled = IsLayerEditable(layer);
  entry.kbSwitchItemEnabled = layer == kMainLayer;
  entry.fireFields = RefreshFireKey(dataBuf, layer, context);
  entry.aimDisplay = RefreshAIMKey(dataBuf, layer, context);
  return entry;
}

}  // namespace corvid::keys
