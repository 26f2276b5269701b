// Runs corvid88ctl as a process against the stand-in mouse: exit codes, a trace, a saved profile,
// a state file kept between runs, bad arguments.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/default_image.h"
#include "support/scratch_folder.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out;  // standard output
};

class CliProcessTest : public ::testing::Test {
 protected:
  // Runs the tool in the test folder with standard error discarded, or mixed into `out`.
  ToolRun Tool(const std::string& arguments, bool withErrors = false) const {
    const std::string command = "cd '" + folder.string() + "' && '" CORVID88CTL_PATH "' " +
                                arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
      run.out.append(buffer.data(), got);
    }
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(folder / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Gives the stand-in mouse of a state file other identity bytes.
  void SetIdentity(const std::string& stateFile, const char (&bytes)[3]) const {
    std::fstream state(folder / stateFile, std::ios::in | std::ios::out | std::ios::binary);
    state.seekp(24 + 104 + 145 + 249);
    state.write(bytes, 2);
  }

  corvid::testing_support::ScratchFolder scratch;
  const std::filesystem::path folder = scratch.Path();
};

TEST_F(CliProcessTest, ExitStatusesTellSuccessUsageAndARefusedMouse) {
  EXPECT_EQ(Tool("--simulate info").status, 0);
  EXPECT_EQ(Tool("--version").status, 0);
  EXPECT_EQ(Tool("").status, 2);
  EXPECT_EQ(Tool("--simulate frobnicate").status, 2);
  EXPECT_EQ(Tool("--simulate=usb3 info").status, 2);
  EXPECT_EQ(Tool("--lang 4 --simulate info").status, 2);
  EXPECT_EQ(Tool("--simulate save-profile").status, 2);  // missing FILE
  // A stand-in whose identity is refused: the same reason as the window, exit 3.
  ASSERT_EQ(Tool("--sim-state m.state info").status, 0);
  SetIdentity("m.state", "\x12\x34");
  const ToolRun refused = Tool("--sim-state m.state --json info");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.out.find("\"message\": \"The mouse manufacturer or product id error\""),
            std::string::npos)
      << refused.out;
}

TEST_F(CliProcessTest, AMouseWithARefusedIdentityIsRepairedByAResetOrAProfile) {
  ASSERT_EQ(Tool("--sim-state m.state save-profile good").status, 0);
  SetIdentity("m.state", "\x12\x34");
  EXPECT_EQ(Tool("--sim-state m.state dpi-step 3 7").status, 3);  // single settings stay locked
  EXPECT_EQ(Tool("--sim-state m.state save-profile refused").status, 0);
  EXPECT_EQ(Read("refused.bin").substr(249, 2), "\x12\x34");
  ASSERT_EQ(Tool("--sim-state m.state load-profile good.bin").status, 0);
  EXPECT_EQ(Tool("--sim-state m.state info").status, 0);

  SetIdentity("m.state", "\x12\x34");
  ASSERT_EQ(Tool("--sim-state m.state reset").status, 0);
  EXPECT_EQ(Tool("--sim-state m.state info").status, 0);
}

TEST_F(CliProcessTest, AMouseOfDeviceTypeOneRefusesMacroButtonsAndInfoSaysSo) {
  ASSERT_EQ(Tool("--sim-state m.state info").status, 0);
  std::fstream state(folder / "m.state", std::ios::in | std::ios::out | std::ios::binary);
  state.seekp(12);
  state.write("\x01", 1);
  state.close();
  EXPECT_NE(Tool("--sim-state m.state --json info").out.find("\"macroBindingOffered\": false"),
            std::string::npos);
  EXPECT_NE(Tool("--sim-state m.state info").out.find("macro binding:      not offered"),
            std::string::npos);
  EXPECT_EQ(Tool("--sim-state m.state button main 4 10021000").status, 1);
  EXPECT_EQ(Tool("--sim-state m.state button main 4 02080700").status, 0);
}

TEST_F(CliProcessTest, ARestartIsToldAsARestartNotAsALostMouse) {
  ASSERT_EQ(Tool("--sim-state m.state rate 125").status, 0);
  const ToolRun restarted = Tool("--sim-state m.state rate 1000", /*withErrors=*/true);
  EXPECT_EQ(restarted.status, 0);
  EXPECT_EQ(restarted.out.find("No Device Found"), std::string::npos) << restarted.out;
  EXPECT_NE(restarted.out.find("found again"), std::string::npos) << restarted.out;
}

TEST_F(CliProcessTest, AnUnknownButtonFunctionIsToldInOneLine) {
  const ToolRun run = Tool("--simulate button main 4 ''", /*withErrors=*/true);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

TEST_F(CliProcessTest, TheTraceRecordsEveryReportOfACommand) {
  ASSERT_EQ(Tool("--simulate --trace t.txt info").status, 0);
  const std::string trace = Read("t.txt");
  // The open probe, the device-info query and the identity read at 249.
  EXPECT_EQ(trace.substr(0, 28), "set 40 0D 00 00 00 00 00 00\n");
  EXPECT_NE(trace.find("set 40 09 00 F9 00 02 00 00\nget 41 FF FF"), std::string::npos);
  // Appended, not replaced.
  ASSERT_EQ(Tool("--simulate --trace t.txt info").status, 0);
  EXPECT_EQ(Read("t.txt").size(), 2 * trace.size());
}

TEST_F(CliProcessTest, AProfileSavedFromOneStandInLoadsIntoAnother) {
  ASSERT_EQ(Tool("--simulate=flash-i2c --sim-state a.state save-profile mine").status, 0);
  const std::string profile = Read("mine.bin");
  ASSERT_EQ(profile.size(), 768U);
  EXPECT_EQ(static_cast<unsigned char>(profile[0]), 0xE0);

  // A second stand-in with EEPROM macros takes it; a profile of a Flash/Flash mouse is refused.
  ASSERT_EQ(Tool("--simulate=i2c --sim-state b.state load-profile mine.bin").status, 0);
  // The second mouse holds the profile's sections as saved (marked and sealed).
  EXPECT_EQ(Read("b.state").substr(24, 249), profile.substr(0, 249));
  std::ofstream(folder / "flash.bin", std::ios::binary) << '\xF0' << std::string(8959, '\0');
  EXPECT_EQ(Tool("--simulate load-profile flash.bin").status, 1);
}

TEST_F(CliProcessTest, TheStandInSimulatesTheMouseAndNeverChangesTheTool) {
  // A stand-in of the other macro storage is refused as a real one would be; the bare option
  // plays a mouse the build serves.
  const bool flashBuild = corvid::model::ReadDefaultImageHeader()->imageStorageKind ==
                          corvid::device::StorageKind::Flash;
  const ToolRun other =
      Tool(flashBuild ? "--simulate=i2c --json info" : "--simulate=flash-flash --json info");
  EXPECT_EQ(other.status, 3);
  EXPECT_NE(other.out.find("\"message\": \"Corvid88Data.bin file type error\""), std::string::npos)
      << other.out;
  EXPECT_EQ(Tool("--simulate info").status, 0);
  EXPECT_EQ(Tool(flashBuild ? "--simulate=flash-flash info" : "--simulate=flash-i2c info").status,
            0);
}

// A step file that cannot be read (a folder, a missing file) refuses the command and leaves the
// library as it was.
TEST_F(CliProcessTest, UnreadableStepFilesLeaveTheLibraryAsItWas) {
  ASSERT_EQ(Tool("--library lib.bin library new Fire").status, 0);
  std::ofstream(folder / "steps.txt") << "00\n1 LeftKey CODE:00A1\n2 LeftKey CODE:0021\n";
  ASSERT_EQ(Tool("--library lib.bin library set-steps Fire steps.txt").status, 0);
  const std::string before = Read("lib.bin");
  std::filesystem::create_directory(folder / "folder");
  for (const char* file : {"folder", "missing.txt"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Tool(std::string("--library lib.bin library set-steps Fire ") + file).status, 1);
    EXPECT_TRUE(Read("lib.bin") == before);
  }
}

// A refused add says why once; line 0 of a shown macro names its delay mode.
TEST_F(CliProcessTest, ARefusedAddSaysWhyOnceAndShowNamesTheDelayMode) {
  const std::string tool = "--simulate --sim-state m.state --library lib.bin ";
  ASSERT_EQ(Tool(tool + "library new Long").status, 0);
  std::ofstream steps(folder / "long.txt");
  steps << "00\n";
  for (int i = 0; i < 255; ++i) steps << "1 LeftKey CODE:00A1\n";
  steps.close();
  ASSERT_EQ(Tool(tool + "library set-steps Long long.txt").status, 0);
  ASSERT_EQ(Tool(tool + "macros add Long").status, 0);
  const ToolRun refused = Tool(tool + "macros add Long", true);
  EXPECT_EQ(refused.status, 1);
  const std::string message = "Macro bin length out of range";
  const std::size_t first = refused.out.find(message);
  ASSERT_NE(first, std::string::npos) << refused.out;
  EXPECT_EQ(refused.out.find(message, first + 1), std::string::npos) << refused.out;

  const ToolRun shown = Tool(tool + "library show Long");
  EXPECT_EQ(shown.out.substr(0, 24), "Long\n  00    No delay\n  ") << shown.out.substr(0, 40);
  const ToolRun json = Tool(tool + "--json library show Long");
  EXPECT_NE(json.out.find("\"steps\": [\n    \"No delay\",\n    \"LeftKey\""), std::string::npos)
      << json.out.substr(0, 300);
}

}  // namespace
