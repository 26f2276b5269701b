#include "sim/state_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scratch_folder.h"

namespace corvid::sim {
namespace {

using device::MemoryLayout;

TEST(StateFileTest, AMouseSurvivesSaveAndLoad) {
  device::FakeClock clock;
  StandInMouseConfig config = StandInMouseConfig::ForLayout(MemoryLayout::LayoutFlashFlash);
  config.collections = 2;
  config.deviceType = 22;
  config.restartMilliseconds = 700;
  StandInMouse mouse(config, clock);
  mouse.Bank(0)[38] = 0x21;
  mouse.Bank(1)[144] = 0xBE;
  mouse.Memory()[0x4000] = 0x42;
  mouse.SetIdentityBytes(0x12, 0x34);

  const testing_support::ScratchFolder folder;
  const auto path = folder.Path() / "mouse.state";
  ASSERT_TRUE(SaveState(mouse, path));
  EXPECT_EQ(std::filesystem::file_size(path), kStateFileSize);

  const DecodedState loaded = LoadState(path, clock);
  ASSERT_NE(loaded.mouse, nullptr) << loaded.error;
  EXPECT_EQ(EncodeState(*loaded.mouse), EncodeState(mouse));
  EXPECT_EQ(loaded.mouse->Config().Layout(), MemoryLayout::LayoutFlashFlash);
  EXPECT_EQ(loaded.mouse->Config().collections, 2);
  EXPECT_EQ(loaded.mouse->IdentityBytes(), (std::array<std::uint8_t, 2>{0x12, 0x34}));
}

TEST(StateFileTest, DamagedStatesAreRefusedWithAReason) {
  device::FakeClock clock;
  const StandInMouse mouse({}, clock);
  const std::vector<std::uint8_t> good = EncodeState(mouse);

  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    const char* reason;
  };
  const Case cases[] = {
      {"short", [](auto& b) { b.pop_back(); }, "bytes long"},
      {"long", [](auto& b) { b.push_back(0); }, "bytes long"},
      {"signature", [](auto& b) { b[0] = 'X'; }, "signature"},
      {"version", [](auto& b) { b[9] = 2; }, "version"},
      {"storage bits", [](auto& b) { b[11] = 4; }, "macro storage"},
      {"collections", [](auto& b) { b[13] = 3; }, "collections"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> bytes = good;
    c.damage(bytes);
    const DecodedState decoded = DecodeState(bytes, clock);
    EXPECT_EQ(decoded.mouse, nullptr);
    EXPECT_NE(decoded.error.find(c.reason), std::string::npos) << decoded.error;
  }

  const DecodedState missing = LoadState("/nonexistent/mouse.state", clock);
  EXPECT_EQ(missing.mouse, nullptr);
  EXPECT_NE(missing.error.find("/nonexistent/mouse.state"), std::string::npos);
}

}  // namespace
}  // namespace corvid::sim
