#include "keys/fire_aim_keys.h"

#include "keys/key_page_fixture.h"

namespace corvid::keys {
namespace {

using Keys = std::vector<std::string>;

class FireAimKeysTest : public KeyPageFixture {
 protected:
  void SetUp() override { Connect(); }

  model::PackedCopies Copies() {
    model::PackedCopies copies;
    copies.RefreshFrom(session->DataBuf().Parameter());
    return copies;
  }
};

// Fire Key1 at repeat 2, Fire Key2 at repeat 3 with delay 20: in Main Control the repeat pair is
// written first, then every Fire Key2 button.
TEST_F(FireAimKeysTest, AFireKeyChangeInMainControlWritesThePairThenItsButtons) {
  Preset(kMainLayer, 2, "06130005");  // Fire Key2 (repeat 4, the shipped pair's second count)
  Preset(kSwitchLayer, 2, "06130005");
  const KeyPageState page = Page(kMainLayer);
  ASSERT_EQ(page.captions[1], "Fire Key2");
  FireKeySettings fields{{{2, 16, false}, {3, 20, false}, {2, 16, false}}};
  model::PackedCopies copies = Copies();

  EXPECT_EQ(SettingFireKey(*session, page, fields, copies), PageResult::kWritten);
  EXPECT_EQ(Reports(), (Keys{"set 40 05 00 01 21 00 00 01", "set 40 05 01 04 06 12 00 14"}));
  EXPECT_EQ(mouse.Bank(0)[model::kFireRepeatPairOffset], 0x21);
  // DataBuf holds the pair the mouse now has, so that a saved profile names the same fire keys.
  EXPECT_EQ(session->DataBuf().Parameter().FireRepeatPair(), 0x21);
  EXPECT_EQ(copies.fireKey1RepeatMinusOne, 1);
  EXPECT_EQ(copies.fireKey2RepeatMinusOne, 2);
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 2), "06120014");
  EXPECT_EQ(session->DataBuf().SlotCodeText(kSwitchLayer, 2), "06130005");  // other layer stays
}

TEST_F(FireAimKeysTest, OtherLayersRewriteOnlyTheirOwnButtonsAndNeverThePair) {
  Preset(kSwitchLayer, 3, "06110010");  // Fire Key1
  Preset(kFixedLayer, 3, "06110010");
  FireKeySettings fields{{{5, 100, true}, {4, 16, false}, {2, 16, false}}};
  model::PackedCopies copies = Copies();

  EXPECT_EQ(SettingFireKey(*session, Page(kSwitchLayer), fields, copies), PageResult::kWritten);
  EXPECT_EQ(Reports(), Keys{"set 40 05 01 38 06 94 00 64"});
  EXPECT_EQ(session->DataBuf().Parameter().FireRepeatPair(), 0x31);

  trace.str({});
  EXPECT_EQ(SettingFireKey(*session, Page(kFixedLayer), fields, copies), PageResult::kUnchanged);
  fields[2].delay = 4095;  // a delay field not yet corrected writes nothing
  EXPECT_EQ(SettingFireKey(*session, Page(kMainLayer), fields, copies),
            PageResult::kInvalidArgument);
  EXPECT_TRUE(Reports().empty());
}

// A fire code is told apart only by its repeat count: with Fire Key1 and Fire Key3 both at
// repeat 5, a Fire Key3 button becomes a Fire Key1 button and follows the Fire Key1 fields.
TEST_F(FireAimKeysTest, FireKeysWithTheSameRepeatCountMerge) {
  Preset(kMainLayer, 4, "06140030");  // repeat 5, which neither pair count has: Fire Key3
  ASSERT_EQ(Page(kMainLayer).captions[3], "Fire Key3");
  FireKeySettings fields{{{5, 16, false}, {4, 16, false}, {5, 48, false}}};
  model::PackedCopies copies = Copies();
  ASSERT_EQ(SettingFireKey(*session, Page(kMainLayer), fields, copies), PageResult::kWritten);

  const KeyPageState page = Page(kMainLayer);
  EXPECT_EQ(page.captions[3], "Fire Key1");
  fields[0].delay = 200;
  trace.str({});
  EXPECT_EQ(SettingFireKey(*session, page, fields, copies), PageResult::kWritten);
  EXPECT_EQ(Reports(), (Keys{"set 40 05 00 01 34 00 00 01", "set 40 05 01 0C 06 14 00 C8"}));
}

TEST_F(FireAimKeysTest, SetFireKeyChecksItsArgumentsAndTheMouse) {
  Preset(kMainLayer, 2, "06110010");
  FireKeySettings fields{};
  model::PackedCopies copies = Copies();
  EXPECT_EQ(SetFireKey(*session, Page(kMainLayer), fields, copies, 1, {7, 30, true}),
            PageResult::kWritten);
  EXPECT_EQ(MouseSlot(kMainLayer, 2), "0696001E");
  EXPECT_EQ(fields[0], (model::FireKeySetting{7, 30, true}));
  EXPECT_EQ(SetFireKey(*session, Page(kMainLayer), fields, copies, 4, {7, 30, true}),
            PageResult::kInvalidArgument);
  EXPECT_EQ(SetFireKey(*session, Page(kMainLayer), fields, copies, 1, {16, 30, true}),
            PageResult::kInvalidArgument);

  session->FormCloseQuery();
  observer.Clear();
  EXPECT_EQ(SetFireKey(*session, Page(kMainLayer), fields, copies, 1, {3, 30, true}),
            PageResult::kNoMouse);
  EXPECT_EQ(observer.messages, Keys{"Str022"});
}

TEST_F(FireAimKeysTest, FieldTextsAreCorrectedIntoTheirRanges) {
  const std::pair<const char*, const char*> repeats[] = {
      {"99", "15"}, {"", "1"}, {"15", "15"}, {"7", "7"}, {"0", "0"}, {"99999999999999", "15"}};
  for (const auto& [typed, shown] : repeats) EXPECT_EQ(CorrectedRepeatText(typed), shown) << typed;
  const std::pair<const char*, const char*> delays[] = {
      {"", "0"}, {"4094", "4094"}, {"4095", "4094"}, {"9999", "4094"}, {"16", "16"}};
  for (const auto& [typed, shown] : delays) EXPECT_EQ(CorrectedDelayText(typed), shown) << typed;
  EXPECT_TRUE(IsFireFieldKey('7'));
  EXPECT_TRUE(IsFireFieldKey('\b'));
  EXPECT_FALSE(IsFireFieldKey('-'));
}

TEST_F(FireAimKeysTest, FireFieldsLoadFromTheLayerOnShow) {
  Preset(kMainLayer, 2, "069F0FFE");    // Fire Key3: repeat nibble 15, continuous, delay 4094
  Preset(kMainLayer, 3, "06130005");    // Fire Key2
  Preset(kSwitchLayer, 3, "06130007");  // Fire Key2 in another layer
  const FireFieldLoad load = RefreshFireKey(session->DataBuf(), kMainLayer, Context());
  EXPECT_FALSE(load[0].has_value());
  EXPECT_EQ(load[1], (model::FireKeySetting{4, 5, false}));
  EXPECT_EQ(load[2], (model::FireKeySetting{15, 4094, true}));  // 16 repeats: the field holds 15

  EXPECT_EQ(RefreshFireKey(session->DataBuf(), kFixedLayer, Context())[1],
            (model::FireKeySetting{4, 7, false}));  // none there: the last one elsewhere
}

// Every aim-key label of the layer gets the new position; the display shows the last of them.
TEST_F(FireAimKeysTest, TheAimDpiRewritesEveryAimKeyOfTheLayer) {
  Preset(kMainLayer, 3, "05000000");
  Preset(kMainLayer, 4, "05FF0000");
  Preset(kSwitchLayer, 3, "05000000");
  const AimKeyChange change = SettingAIMKey(*session, Page(kMainLayer), 7);
  EXPECT_EQ(change.result, PageResult::kWritten);
  EXPECT_FALSE(change.resetDisplay.has_value());
  EXPECT_EQ(Reports(), (Keys{"set 40 05 01 08 05 06 00 00", "set 40 05 01 0C 05 06 00 00"}));
  EXPECT_EQ(session->DataBuf().SlotCodeText(kSwitchLayer, 3), "05000000");
  EXPECT_EQ(RefreshAIMKey(session->DataBuf(), kMainLayer, Context()), (AimKeyDisplay{7, "1600"}));

  Preset(kMainLayer, 4, "05FF0000");  // no place on the bar: the earlier button's value shows
  EXPECT_EQ(RefreshAIMKey(session->DataBuf(), kMainLayer, Context()), (AimKeyDisplay{7, "1600"}));
  Preset(kMainLayer, 3, "05200000");
  EXPECT_EQ(RefreshAIMKey(session->DataBuf(), kMainLayer, Context()), std::nullopt);
  EXPECT_EQ(RefreshAIMKey(session->DataBuf(), kFixedLayer, Context()), (AimKeyDisplay{1, "200"}));
}

// Without an aim key the setting has nowhere to live: the bar goes back to position 1 and the user
// is asked for an aim key in that layer (not in Fixed Control, which cannot be edited).
TEST_F(FireAimKeysTest, WithoutAnAimKeyTheUserIsAskedForOne) {
  struct Case {
    int layer;
    Keys messages;
    const char* text;
  };
  const Case cases[] = {
      {kMainLayer, {"Str105"}, "Please select a AIM Key inMain Control"},
      {kSwitchLayer, {"Str105"}, "Please select a AIM Key inAlternate Key"},
      {kFixedLayer, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layer);
    observer.Clear();
    const AimKeyChange change = SettingAIMKey(*session, Page(c.layer), 4);
    EXPECT_EQ(change.result, PageResult::kNotOffered);
    EXPECT_EQ(change.resetDisplay, (AimKeyDisplay{1, "200"}));
    EXPECT_EQ(observer.messages, c.messages);
    EXPECT_EQ(observer.lastMessage.text, c.text);
  }
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(SettingAIMKey(*session, Page(kMainLayer), 13).result, PageResult::kInvalidArgument);
}

TEST_F(FireAimKeysTest, WithWriteLockTheButtonsChangeInDataBufOnly) {
  mouse.SetIdentityBytes(0x12, 0x34);
  session->ReFindDev();
  ASSERT_TRUE(session->WriteLock());
  observer.Clear();
  trace.str({});

  Preset(kMainLayer, 3, "05000000");
  Preset(kMainLayer, 4, "06110010");
  EXPECT_EQ(SettingAIMKey(*session, Page(kMainLayer), 3).result, PageResult::kLocked);
  FireKeySettings fields{{{2, 99, false}, {4, 16, false}, {2, 16, false}}};
  model::PackedCopies copies = Copies();
  EXPECT_EQ(SettingFireKey(*session, Page(kMainLayer), fields, copies), PageResult::kLocked);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 3), "05020000");
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 4), "06110063");

  Preset(kMainLayer, 3, "01040000");  // no aim key left: under WriteLock nothing is said
  EXPECT_EQ(SettingAIMKey(*session, Page(kMainLayer), 3).resetDisplay, std::nullopt);
  EXPECT_TRUE(observer.messages.empty());
}

}  // namespace
}  // namespace corvid::keys
