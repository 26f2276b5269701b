#include "keys/key_assignment.h"

#include <utility>

#include "keys/key_page_fixture.h"

namespace corvid::keys {
namespace {

using Keys = std::vector<std::string>;

constexpr int kRightKeyTag = 901;
constexpr int kMiddleKeyTag = 902;
constexpr int kLeftKeyTag = 900;
constexpr int kKbSwitchTag = 1002;
constexpr int kWwwHomeTag = 1400;

std::string SlotReport(int layer, int slot, const std::string& code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto address = model::KeySlotOffset(layer, slot);
  std::string line = "set 40 05 01 ";
  line += kHex[address >> 4U];
  line += kHex[address & 0x0FU];
  for (std::size_t i = 0; i < code.size(); i += 2) line += " " + code.substr(i, 2);
  return line;
}

class KeyAssignmentTest : public KeyPageFixture {
 protected:
  void SetUp() override { Connect(); }
  SlotAssignment Assign(int layer, int slot, int tag, model::MenuCodeInputs inputs = {}) {
    return AssignMenuFunction(*session, Page(layer), slot, tag, inputs);
  }
};

TEST_F(KeyAssignmentTest, TheOnlyLeftButtonCannotBeReplacedButOneOfTwoCan) {
  const SlotAssignment refused = Assign(kMainLayer, 1, kRightKeyTag);
  EXPECT_EQ(refused.result, PageResult::kNoLeftKey);
  EXPECT_EQ(refused.caption, "Left Key");
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 1), "01010000");

  Preset(kMainLayer, 4, "01010000");
  const SlotAssignment stored = Assign(kMainLayer, 1, kRightKeyTag);
  EXPECT_EQ(stored.result, PageResult::kWritten);
  EXPECT_EQ(stored.caption, "Right Key");
  EXPECT_EQ(Reports(), Keys{SlotReport(kMainLayer, 1, "01020000")});
  EXPECT_EQ(MouseSlot(kMainLayer, 1), "01020000");
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 1), "01020000");
}

// The rule reads the labels, not the codes: a layer whose labels show no left button takes only
// the left button, and the refused label shows "Left Key" over its unchanged code.
TEST_F(KeyAssignmentTest, WhereNoLabelShowsTheLeftButtonOnlyTheLeftButtonIsTaken) {
  KeyPageState page = Page(kMainLayer);
  page.captions[0] = "Right Key";
  const SlotAssignment refused = AssignMenuFunction(*session, page, 4, kWwwHomeTag, {});
  EXPECT_EQ(refused.result, PageResult::kNoLeftKey);
  EXPECT_EQ(refused.caption, "Left Key");
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 4), "00000000");

  const SlotAssignment left = AssignMenuFunction(*session, page, 4, kLeftKeyTag, {});
  EXPECT_EQ(left.result, PageResult::kWritten);
  EXPECT_EQ(Reports(), Keys{SlotReport(kMainLayer, 4, "01010000")});
}

// A KB switch key sits on the same button in all three layers: assigning it in Main Control and
// replacing it later both write the slot in Main, Switch and Fixed Control, in that order.
TEST_F(KeyAssignmentTest, AKbSwitchKeyIsAssignedAndReplacedInAllThreeLayers) {
  for (const auto& [tag, code] :
       {std::pair{kKbSwitchTag, "07000000"}, std::pair{kMiddleKeyTag, "01040000"}}) {
    SCOPED_TRACE(code);
    trace.str({});
    EXPECT_EQ(Assign(kMainLayer, 5, tag).result, PageResult::kWritten);
    EXPECT_EQ(Reports(), (Keys{SlotReport(kMainLayer, 5, code), SlotReport(kSwitchLayer, 5, code),
                               SlotReport(kFixedLayer, 5, code)}));
    for (int layer = 0; layer < model::kKeyLayerCount; ++layer) {
      EXPECT_EQ(session->DataBuf().SlotCodeText(layer, 5), code);
      EXPECT_EQ(MouseSlot(layer, 5), code);
    }
  }
}

TEST_F(KeyAssignmentTest, SwitchControlWritesItsOwnSlotAndFixedControlIsNotEdited) {
  EXPECT_EQ(Assign(kSwitchLayer, 2, kMiddleKeyTag).result, PageResult::kWritten);
  EXPECT_EQ(Reports(), Keys{SlotReport(kSwitchLayer, 2, "01040000")});
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 2), "09010000");

  trace.str({});
  EXPECT_EQ(Assign(kSwitchLayer, 2, kKbSwitchTag).result, PageResult::kNotOffered);
  EXPECT_EQ(Assign(kFixedLayer, 2, kMiddleKeyTag).result, PageResult::kNotOffered);
  EXPECT_EQ(Assign(kMainLayer, 2, 1234).result, PageResult::kInvalidArgument);
  EXPECT_EQ(Assign(kMainLayer, 13, kMiddleKeyTag).result, PageResult::kInvalidArgument);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(session->DataBuf().SlotCodeText(kFixedLayer, 2), "09010000");
}

// The aim and fire items take their code from the advanced page.
TEST_F(KeyAssignmentTest, AimAndFireItemsTakeTheirCodeFromThePageSettings) {
  model::MenuCodeInputs inputs;
  inputs.aimNumber = 5;
  inputs.fireKeys[1] = {3, 20, false};
  inputs.fireKeys[2] = {15, 4094, true};
  EXPECT_EQ(Assign(kMainLayer, 2, 1001, inputs).caption, "AIM Key");
  EXPECT_EQ(Assign(kMainLayer, 3, 1501, inputs).caption, "Fire Key2");
  EXPECT_EQ(Assign(kMainLayer, 4, 1502, inputs).caption, "Fire Key3");
  EXPECT_EQ(Reports(),
            (Keys{SlotReport(kMainLayer, 2, "05040000"), SlotReport(kMainLayer, 3, "06120014"),
                  SlotReport(kMainLayer, 4, "069E0FFE")}));

  inputs.fireKeys[0].repeat = 0;  // a half-typed field has no code
  EXPECT_EQ(Assign(kMainLayer, 4, 1500, inputs).result, PageResult::kInvalidArgument);
}

TEST_F(KeyAssignmentTest, WithWriteLockDataBufChangesAndNothingIsSent) {
  mouse.SetIdentityBytes(0x12, 0x34);
  session->ReFindDev();
  ASSERT_TRUE(session->WriteLock());
  trace.str({});
  EXPECT_EQ(Assign(kMainLayer, 5, kKbSwitchTag).result, PageResult::kLocked);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(session->DataBuf().SlotCodeText(kFixedLayer, 5), "07000000");
  EXPECT_EQ(MouseSlot(kFixedLayer, 5), "01020000");
}

TEST_F(KeyAssignmentTest, WithoutAMouseTheUserIsToldAndNothingChanges) {
  session->FormCloseQuery();  // closes both handles
  ASSERT_FALSE(session->IsConnected());
  observer.Clear();
  EXPECT_EQ(Assign(kMainLayer, 2, kMiddleKeyTag).result, PageResult::kNoMouse);
  EXPECT_EQ(observer.messages, Keys{"Str022"});
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 2), "09010000");
}

// A key combination or any other code goes into the layer on show as it is: no KB switch
// copying, and the only left button is still kept even though the dialog was opened elsewhere.
TEST_F(KeyAssignmentTest, ACodeIsStoredAsGivenAndTheOnlyLeftButtonStaysLeft) {
  Preset(kMainLayer, 5, "07000000");
  const SlotAssignment combination =
      ApplyAssemblyKey(*session, Page(kMainLayer), 5, "Ctrl+Shift+A", "02030400");
  EXPECT_EQ(combination.result, PageResult::kWritten);
  EXPECT_EQ(combination.caption, "Ctrl+Shift+A");
  EXPECT_EQ(Reports(), Keys{SlotReport(kMainLayer, 5, "02030400")});
  EXPECT_EQ(session->DataBuf().SlotCodeText(kSwitchLayer, 5), "01020000");

  EXPECT_FALSE(CanReplaceSlot(*session, Page(kMainLayer), 1));
  EXPECT_EQ(ApplyAssemblyKey(*session, Page(kMainLayer), 1, "A", "02000400").result,
            PageResult::kNoLeftKey);
  EXPECT_EQ(ApplyAssemblyKey(*session, Page(kMainLayer), 2, "A", "0200040").result,
            PageResult::kInvalidArgument);
  EXPECT_EQ(session->DataBuf().SlotCodeText(kMainLayer, 1), "01010000");
}

// A function named by its caption or by its code is found as its menu item, so the menu rules
// apply to it.
TEST(MenuTagLookupTest, CaptionsAndFixedCodesFindTheirMenuItem) {
  EXPECT_EQ(MenuTagOfCaption(1, "KB Switch Key"), kKbSwitchTag);
  EXPECT_EQ(MenuTagOfCaption(1, "Fire Key2"), 1501);
  EXPECT_EQ(MenuTagOfCaption(2, "Left Key"), std::nullopt);  // another language's caption
  EXPECT_EQ(MenuTagOfCaption(1, ""), std::nullopt);
  EXPECT_EQ(MenuTagOfCode("07000000"), kKbSwitchTag);
  EXPECT_EQ(MenuTagOfCode("0300cd00"), 1300);
  EXPECT_EQ(MenuTagOfCode("02030400"), std::nullopt);  // a key combination has no item
  EXPECT_EQ(MenuTagOfCode("05040000"), std::nullopt);  // aim codes come from the page
}

class TwoMacros final : public model::DeviceMacroCatalog {
 public:
  int MacroCount() const override { return 2; }
  std::string MacroName(int index) const override { return index == 0 ? "Reload" : "Spray"; }
  std::uint16_t MacroAddress(int index) const override { return index == 0 ? 0x0100 : 0x1A20; }
};

TEST_F(KeyAssignmentTest, AMacroIsBoundByItsAddress) {
  const TwoMacros macros;
  const SlotAssignment bound = BindMacro(*session, Page(kSwitchLayer), 7, macros, 1);
  EXPECT_EQ(bound.result, PageResult::kWritten);
  EXPECT_EQ(bound.caption, "Spray");
  EXPECT_EQ(Reports(), Keys{SlotReport(kSwitchLayer, 7, "101A2000")});
  EXPECT_EQ(LayerCaptions(session->DataBuf(), kSwitchLayer, CaptionContextOf(*session, &macros))[6],
            "Spray");

  EXPECT_EQ(BindMacro(*session, Page(kSwitchLayer), 7, macros, 2).result,
            PageResult::kInvalidArgument);
  EXPECT_EQ(BindMacro(*session, Page(kSwitchLayer), 1, macros, 0).result, PageResult::kNoLeftKey);
}

// A mouse of device type 1 has no macro entry in its function menu.
class DeviceTypeOneTest : public ::testing::Test, public testing_support::SessionBench {
 protected:
  DeviceTypeOneTest() : SessionBench(TypeOne()) {}
  static sim::StandInMouseConfig TypeOne() {
    sim::StandInMouseConfig config;
    config.deviceType = 1;
    return config;
  }
};

TEST_F(DeviceTypeOneTest, NoMacroIsBoundEvenAsACodeButOtherCodesAre) {
  Connect();
  EXPECT_FALSE(session->MacroBindingOffered());
  const TwoMacros macros;
  const KeyPageState page{kSwitchLayer, LayerCaptions(session->DataBuf(), kSwitchLayer,
                                                      CaptionContextOf(*session, &macros))};
  EXPECT_EQ(BindMacro(*session, page, 7, macros, 1).result, PageResult::kNotOffered);
  EXPECT_EQ(ApplyAssemblyKey(*session, page, 7, "Spray", "101A2000").result,
            PageResult::kNotOffered);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(session->DataBuf().SlotCodeText(kSwitchLayer, 7), "01100000");
  EXPECT_EQ(ApplyAssemblyKey(*session, page, 7, "Win+D", "02080700").result, PageResult::kWritten);
}

}  // namespace
}  // namespace corvid::keys
