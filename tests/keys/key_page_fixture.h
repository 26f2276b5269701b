#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/clock.h"
#include "keys/key_layers.h"
#include "model/key_code_text.h"
#include "session/session.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/session_bench.h"

namespace corvid::keys {

// A session connected to a stand-in mouse that holds the shipped defaults, with every feature
// report written to a trace. In the defaults slot 1 is the left button and slot 6 a KB reset key
// in every layer, and no button is a KB switch key.
class KeyPageFixture : public ::testing::Test, public testing_support::SessionBench {
 protected:
  // The mouse holds the shipped defaults again.
  void ResetMouse() {
    mouse.SetBank(0, std::span(defaultImage).subspan(0, model::kParameterSectionSize));
    mouse.SetBank(
        1,
        std::span(defaultImage).subspan(model::kParameterSectionSize, model::kProfileSectionSize));
  }

  // Sets a slot in DataBuf and in the mouse, as if it had been read so.
  void Preset(int layer, int slot, const std::string& code) {
    ASSERT_TRUE(session->DataBuf().SetSlotCodeText(layer, slot, code));
    const auto bytes = *model::ParseSlotCodeText(code);
    std::copy(
        bytes.begin(), bytes.end(),
        mouse.Bank(1).begin() + static_cast<std::ptrdiff_t>(model::KeySlotOffset(layer, slot)));
  }

  model::CodeCaptionContext Context() { return CaptionContextOf(*session, nullptr); }
  KeyPageState Page(int layer) {
    return {layer, LayerCaptions(session->DataBuf(), layer, Context())};
  }

  std::string MouseSlot(int layer, int slot) const {
    const auto bank = mouse.Bank(1);
    const auto offset = static_cast<std::ptrdiff_t>(model::KeySlotOffset(layer, slot));
    model::SlotBytes bytes{};
    std::copy(bank.begin() + offset, bank.begin() + offset + 4, bytes.begin());
    return model::SlotCodeText(bytes);
  }
};

}  // namespace corvid::keys
