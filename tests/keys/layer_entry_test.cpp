#include "keys/layer_entry.h"

#include <functional>

#include "keys/key_page_fixture.h"

namespace corvid::keys {
namespace {

using Keys = std::vector<std::string>;
using LayerEntryTest = KeyPageFixture;

// Entering a layer writes byte 33 of bank 0; Switch Control needs a KB switch key in Main
// Control and Fixed Control a KB reset key in Switch Control. A refusal sends nothing and leaves
// the active layer alone.
TEST_F(LayerEntryTest, EntryRulesDecideWhetherTheLayerIsWritten) {
  struct Case {
    const char* name;
    std::function<void()> setup;
    int layer;
    PageResult result;
    Keys messages;
  };
  const Case cases[] = {
      {"main needs nothing", [] {}, kMainLayer, PageResult::kWritten, {}},
      {"switch without a KB switch key",
       [] {},
       kSwitchLayer,
       PageResult::kEntryRefused,
       {"Str020"}},
      {"switch with a KB switch key",
       [&] { Preset(kMainLayer, 5, "07000000"); },
       kSwitchLayer,
       PageResult::kWritten,
       {}},
      {"a KB switch key elsewhere does not count",
       [&] { Preset(kSwitchLayer, 5, "07000000"); },
       kSwitchLayer,
       PageResult::kEntryRefused,
       {"Str020"}},
      {"fixed with the shipped KB reset key", [] {}, kFixedLayer, PageResult::kWritten, {}},
      {"fixed without a KB reset key in switch",
       [&] { Preset(kSwitchLayer, 6, "01040000"); },
       kFixedLayer,
       PageResult::kEntryRefused,
       {"Str021"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetMouse();
    Connect();  // the shipped defaults, whose active layer is 1
    c.setup();
    const LayerEntry entry = EnterLayer(*session, c.layer, Context());
    EXPECT_EQ(entry.result, c.result);
    EXPECT_EQ(observer.messages, c.messages);
    if (c.result == PageResult::kWritten) {
      EXPECT_EQ(Reports(), Keys{"set 40 05 00 21 0" + std::to_string(c.layer) + " 00 00 01"});
      EXPECT_EQ(session->DataBuf().Parameter().ActiveLayer(), c.layer);
      EXPECT_EQ(mouse.Bank(0)[model::kActiveLayerOffset], c.layer);
      EXPECT_EQ(entry.page.layer, c.layer);
      EXPECT_EQ(entry.labelsEnabled, c.layer != kFixedLayer);
      EXPECT_EQ(entry.kbSwitchItemEnabled, c.layer == kMainLayer);
    } else {
      EXPECT_TRUE(Reports().empty());
      EXPECT_EQ(session->DataBuf().Parameter().ActiveLayer(), 1);
    }
  }
}

TEST_F(LayerEntryTest, WithoutAMouseTheUserIsToldAndWithWriteLockNothingIsSent) {
  EXPECT_EQ(EnterLayer(*session, kMainLayer, Context()).result, PageResult::kNoMouse);
  EXPECT_EQ(observer.messages, Keys{"Str022"});
  EXPECT_TRUE(trace.str().empty());

  mouse.SetIdentityBytes(0x12, 0x34);  // refused: the pages stay usable but write nothing
  Plug();
  session->ReFindDev();
  ASSERT_TRUE(session->WriteLock());
  observer.Clear();
  trace.str({});
  const LayerEntry entry = EnterLayer(*session, kMainLayer, Context());
  EXPECT_EQ(entry.result, PageResult::kLocked);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(session->DataBuf().Parameter().ActiveLayer(), kMainLayer);
  EXPECT_EQ(entry.page.captions[0], "Left Key");
}

// The page shows the layer entered: its captions, the aim DPI of its aim key, and the fire
// settings of its own fire buttons even where another layer has a later button of the same key.
TEST_F(LayerEntryTest, ThePagesFollowTheLayerEntered) {
  Connect();
  Preset(kMainLayer, 5, "07000000");
  Preset(kMainLayer, 3, "05040000");    // aim at position 5
  Preset(kMainLayer, 4, "06110010");    // Fire Key1 (repeat 2), delay 16
  Preset(kSwitchLayer, 4, "06910100");  // Fire Key1, continuous, delay 256
  Preset(kFixedLayer, 4, "06110020");   // Fire Key1, delay 32

  const LayerEntry main = EnterLayer(*session, kMainLayer, Context());
  EXPECT_EQ(main.page.captions[2], "AIM Key");
  EXPECT_EQ(main.page.captions[4], "KB Switch Key");
  EXPECT_EQ(main.aimDisplay, (AimKeyDisplay{5, "1000"}));
  ASSERT_TRUE(main.fireFields[0].has_value());
  EXPECT_EQ(*main.fireFields[0], (model::FireKeySetting{2, 16, false}));
  EXPECT_FALSE(main.fireFields[1].has_value());  // no Fire Key2 anywhere: the field stays

  const LayerEntry alternate = EnterLayer(*session, kSwitchLayer, Context());
  EXPECT_EQ(alternate.aimDisplay, (AimKeyDisplay{1, "200"}));  // no aim key there
  ASSERT_TRUE(alternate.fireFields[0].has_value());
  EXPECT_EQ(*alternate.fireFields[0], (model::FireKeySetting{2, 256, true}));
}

}  // namespace
}  // namespace corvid::keys
