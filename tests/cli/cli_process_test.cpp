// Runs corvid88ctl as a process against the stand-in mouse: exit codes, a trace, a saved profile,
// a state file kept between runs, bad arguments.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scratch_folder.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out;  // standard output
};

class CliProcessTest : public ::testing::Test {
 protected:
  // Runs the tool in the test folder with standard error discarded, or read in place of standard
  // output.
  ToolRun Tool(const std::string& arguments, bool readErrors = false) const {
    const std::string command = "cd '" + folder.string() + "' && '" CORVID88CTL_PATH "' " +
                                arguments + (readErrors ? " 2>&1 >/dev/null" : " 2>/dev/null");
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
  std::fstream state(folder / "m.state", std::ios::in | std::ios::out | std::ios::binary);
  state.seekp(24 + 104 + 145 + 249);
  state.write("\x12\x34", 2);
  state.close();
  const ToolRun refused = Tool("--sim-state m.state --json info");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.out.find("\"message\": \"The mouse manufacturer or product id error\""),
            std::string::npos)
      << refused.out;
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
  ASSERT_EQ(Tool("--simulate=flash-flash --sim-state a.state save-profile mine").status, 0);
  const std::string profile = Read("mine.bin");
  ASSERT_EQ(profile.size(), 8960U);
  EXPECT_EQ(static_cast<unsigned char>(profile[0]), 0xF0);

  // An I2C stand-in refuses a Flash profile; a second Flash/Flash one takes it.
  EXPECT_EQ(Tool("--simulate load-profile mine.bin").status, 1);
  ASSERT_EQ(Tool("--simulate=flash-flash --sim-state b.state load-profile mine.bin").status, 0);
  // The second mouse holds the profile's sections as saved (marked and sealed).
  EXPECT_EQ(Read("b.state").substr(24, 249), profile.substr(0, 249));
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
