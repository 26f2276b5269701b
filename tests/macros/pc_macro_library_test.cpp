#include "macros/pc_macro_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "support/scratch_folder.h"

namespace corvid::macros {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) { return common::ReadWholeFile(path).value_or(Bytes{}); }

void WriteFile(const fs::path& path, const Bytes& bytes) {
  ASSERT_TRUE(common::WriteFileAtomically(path, bytes));
}

MacroBody Body(std::initializer_list<std::uint8_t> steps) {
  MacroBody body{};
  std::copy(steps.begin(), steps.end(), body.begin());
  return body;
}

// A library file image holding `slots` from slot 0.
Bytes LibraryImage(const std::vector<PCMacroSlot>& slots) {
  Bytes bytes(kPCMacroFileSize, 0);
  for (std::size_t i = 0; i < slots.size(); ++i) {
    std::copy(slots[i].name.begin(), slots[i].name.end(), bytes.begin() + i * kPCMacroSlotSize);
    std::copy(slots[i].body.begin(), slots[i].body.end(),
              bytes.begin() + i * kPCMacroSlotSize + kMacroNameFieldSize);
  }
  return bytes;
}

PCMacroSlot Macro(const char* name, MacroBody body = {}) {
  return {NameToMacroNameField(name).value(), body};
}

class PcMacroLibraryTest : public ::testing::Test {
 protected:
  fs::path LibraryFile() const { return folder_ / kPCMacroFileName; }

  // A library loaded from a file holding `slots`.
  PcMacroLibrary LoadedWith(const std::vector<PCMacroSlot>& slots) {
    WriteFile(LibraryFile(), LibraryImage(slots));
    PcMacroLibrary library(LibraryFile());
    EXPECT_TRUE(library.CheckPCMacro().ok());
    return library;
  }

  // The file always holds what the library holds.
  void ExpectSaved(const PcMacroLibrary& library) {
    EXPECT_EQ(ReadFile(library.File()), library.ToBytes());
  }

  testing_support::ScratchFolder scratch_;
  const fs::path folder_ = scratch_.Path();
};

TEST_F(PcMacroLibraryTest, FirstStartCreatesAnEmptyLibraryFileAndLaterStartsLoadIt) {
  PcMacroLibrary library(LibraryFile());
  const PCMacroResult created = library.CheckPCMacro();
  ASSERT_TRUE(created.ok()) << created.message;
  EXPECT_FALSE(created.fileRead);  // nothing was read: it came from the template
  EXPECT_EQ(ReadFile(LibraryFile()), Bytes(kPCMacroFileSize, 0));
  EXPECT_EQ(library.Count(), 0U);
  EXPECT_TRUE(library.RefreshPCMacroName().empty());

  const MacroBody steps = Body({0x82, 0x04, 0x02, 0x04});
  ASSERT_TRUE(library.NewMacro("Fire").ok());
  ASSERT_TRUE(library.SetMacroBody(0, steps).ok());
  ASSERT_TRUE(library.NewMacro("Jump").ok());

  PcMacroLibrary reloaded(LibraryFile());
  const PCMacroResult loaded = reloaded.CheckPCMacro();
  ASSERT_TRUE(loaded.ok());
  ASSERT_TRUE(loaded.fileRead);
  EXPECT_TRUE(loaded.fileRead->IsExact());
  EXPECT_EQ(reloaded.RefreshPCMacroName(), (std::vector<std::string>{"Fire", "Jump"}));
  EXPECT_EQ(reloaded.Slot(0).body, steps);
  EXPECT_EQ(reloaded.ToBytes(), library.ToBytes());
}

TEST_F(PcMacroLibraryTest, ShortOrGappedLibraryFileIsReadAsFarAsItGoesAndSaysSo) {
  // Slot 0 whole, then 20 bytes of slot 1: its name and the first 4 body bytes.
  Bytes bytes = LibraryImage({Macro("Fire", Body({0x82, 0x04, 0x02, 0x04})),
                              Macro("Jump", Body({0xFE, 0x00, 0x32, 0x81, 0x01}))});
  bytes.resize(kPCMacroSlotSize + 20);
  WriteFile(LibraryFile(), bytes);
  PcMacroLibrary library(LibraryFile());
  PCMacroResult result = library.CheckPCMacro();
  ASSERT_TRUE(result.ok());
  ASSERT_TRUE(result.fileRead);
  EXPECT_TRUE(result.fileRead->IsShort());
  EXPECT_EQ(result.fileRead->fileSize, kPCMacroSlotSize + 20);
  EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"Fire", "Jump"}));
  EXPECT_EQ(library.Slot(1).body, Body({0xFE, 0x00, 0x32, 0x81}));
  EXPECT_EQ(ReadFile(LibraryFile()).size(), kPCMacroSlotSize + 20);  // loading writes nothing

  // Used slots after free ones move down, since list item i is slot i; stray bytes in a free slot
  // would otherwise become the steps of the next new macro.
  bytes = LibraryImage({PCMacroSlot{{}, Body({0x82, 0x05})}, Macro("A"), {}, Macro("B")});
  bytes.push_back(0xAA);  // one byte too many
  WriteFile(LibraryFile(), bytes);
  result = library.CheckPCMacro();
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.fileRead->IsLong());
  EXPECT_EQ(result.fileRead->slotsMoved, 2U);
  EXPECT_EQ(result.fileRead->freeSlotsCleared, 1U);
  EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(library.Slot(2), PCMacroSlot{});
}

TEST_F(PcMacroLibraryTest, NamesAreCheckedAgainstEveryItemBeforeAnythingChanges) {
  PcMacroLibrary library = LoadedWith({Macro("Fire", Body({0x82, 0x04})), Macro("Jump")});
  const Bytes before = ReadFile(LibraryFile());

  struct Case {
    const char* what;
    bool rename;  // rename item 0, else new
    std::string_view name;
    PCMacroStatus status;
  };
  const Case refused[] = {
      {"new, same name", false, "Fire", PCMacroStatus::kDuplicateName},
      {"rename to its own name", true, "Fire", PCMacroStatus::kDuplicateName},
      {"rename to another item's name", true, "Jump", PCMacroStatus::kDuplicateName},
      {"new, empty name", false, "", PCMacroStatus::kIgnored},
      {"rename, empty name", true, "", PCMacroStatus::kIgnored},
      {"new, nine characters", false, "ABCDEFGHI", PCMacroStatus::kNameTooLong},
      // Stored exactly or not at all: never as U+FFFD, never cut at a NUL.
      {"new, not UTF-8", false, "\xff\xfe", PCMacroStatus::kNameNotText},
      {"rename, a cut-off sequence", true, "A\xc3", PCMacroStatus::kNameNotText},
      {"new, a NUL inside", false, std::string_view("A\0B", 3), PCMacroStatus::kNameNotText},
  };
  for (const Case& c : refused) {
    const PCMacroResult result =
        c.rename ? library.RenameMacro(0, c.name) : library.NewMacro(c.name);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(result.messageKey, c.status == PCMacroStatus::kDuplicateName ? "Str106" : "")
        << c.what;
    EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"Fire", "Jump"})) << c.what;
  }
  EXPECT_EQ(ReadFile(LibraryFile()), before);
  EXPECT_EQ(library.RenameMacro(2, "Other").status, PCMacroStatus::kNoSuchMacro);

  // Names compare case-sensitively; a new macro is appended empty and selected; a rename keeps the
  // steps.
  PCMacroResult result = library.NewMacro("fire");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.selected, 2U);
  EXPECT_EQ(library.Slot(2).body, MacroBody{});
  result = library.RenameMacro(0, "ABCDEFGH");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"ABCDEFGH", "Jump", "fire"}));
  EXPECT_EQ(library.Slot(0).body, Body({0x82, 0x04}));
  ExpectSaved(library);
}

TEST_F(PcMacroLibraryTest, ShorterRenameLeavesNothingOfTheOldName) {
  PcMacroLibrary library = LoadedWith({Macro("ABCDEFGH")});
  ASSERT_TRUE(library.RenameMacro(0, "X").ok());
  EXPECT_EQ(library.Slot(0).name, NameToMacroNameField("X"));
  EXPECT_EQ(library.RefreshPCMacroName(), std::vector<std::string>{"X"});
}

TEST_F(PcMacroLibraryTest, NameDialogCompletesTheCommandItWasOpenedFor) {
  PcMacroLibrary library = LoadedWith({Macro("Fire")});
  PendingMacroName pending = PendingMacroName::kNew;

  // Closed without a name: the request stays pending.
  EXPECT_EQ(library.ApplyMacroName(pending, 0, "").status, PCMacroStatus::kIgnored);
  EXPECT_EQ(pending, PendingMacroName::kNew);
  // A refused name clears it like an accepted one.
  EXPECT_EQ(library.ApplyMacroName(pending, 0, "Fire").messageKey, "Str106");
  EXPECT_EQ(pending, PendingMacroName::kNone);
  EXPECT_EQ(library.ApplyMacroName(pending, 0, "Jump").status, PCMacroStatus::kIgnored);

  pending = PendingMacroName::kNew;
  EXPECT_TRUE(library.ApplyMacroName(pending, 0, "Jump").ok());
  pending = PendingMacroName::kRename;
  EXPECT_TRUE(library.ApplyMacroName(pending, 1, "Run").ok());
  EXPECT_EQ(pending, PendingMacroName::kNone);
  EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"Fire", "Run"}));
  pending = PendingMacroName::kRename;
  EXPECT_EQ(library.ApplyMacroName(pending, std::nullopt, "Walk").status,
            PCMacroStatus::kNoSuchMacro);
}

TEST_F(PcMacroLibraryTest, DeleteMovesLaterMacrosDownAndSelectsTheOneBefore) {
  const std::vector<PCMacroSlot> three = {Macro("A", Body({0x82, 0x04})),
                                          Macro("B", Body({0x82, 0x05})),
                                          Macro("C", Body({0x82, 0x06}))};
  PcMacroLibrary library = LoadedWith(three);
  PCMacroResult result = library.DeleteMacro(0);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.selected, 0U);
  EXPECT_EQ(library.Slot(0), three[1]);
  EXPECT_EQ(library.Slot(1), three[2]);
  EXPECT_EQ(library.Slot(2), PCMacroSlot{});
  ExpectSaved(library);

  library = LoadedWith(three);
  EXPECT_EQ(library.DeleteMacro(2).selected, 1U);
  EXPECT_EQ(library.DeleteMacro(1).selected, 0U);
  EXPECT_EQ(library.DeleteMacro(1).status, PCMacroStatus::kNoSuchMacro);
  result = library.DeleteMacro(0);
  ASSERT_TRUE(result.ok());
  EXPECT_FALSE(result.selected);
  EXPECT_EQ(ReadFile(LibraryFile()), Bytes(kPCMacroFileSize, 0));

  // The last slot of a full library is cleared when something moves into its place.
  library = LoadedWith({});
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(library.NewMacro(std::to_string(i)).ok());
  ASSERT_TRUE(library.DeleteMacro(0).ok());
  EXPECT_EQ(library.Slot(98).name, NameToMacroNameField("99"));
  EXPECT_EQ(library.Slot(99), PCMacroSlot{});
}

TEST_F(PcMacroLibraryTest, CountLimitsOfNewAndImportOne) {
  PcMacroLibrary library = LoadedWith({Macro("Fire")});
  ASSERT_TRUE(library.ExportOne(0, folder_ / "fire").ok());
  ASSERT_TRUE(library.DeleteMacro(0).ok());

  for (int i = 0; i < 98; ++i) ASSERT_TRUE(library.NewMacro(std::to_string(i)).ok());
  EXPECT_TRUE(library.CanImportOne());
  ASSERT_TRUE(library.NewMacro("98").ok());
  EXPECT_FALSE(library.CanImportOne());
  EXPECT_EQ(library.ImportOne(folder_ / "fire.bin").status, PCMacroStatus::kLibraryFull);
  EXPECT_FALSE(library.IsFull());
  ASSERT_TRUE(library.NewMacro("99").ok());
  EXPECT_TRUE(library.IsFull());
  EXPECT_EQ(library.NewMacro("100").status, PCMacroStatus::kLibraryFull);
  EXPECT_EQ(library.Count(), 100U);
  ExpectSaved(library);
}

TEST_F(PcMacroLibraryTest, ExportsAreSingleMacroOrWholeLibraryFilesNamedWithBin) {
  PcMacroLibrary library = LoadedWith({Macro("Jump"), Macro("Fire", Body({0x82, 0x04, 0x02}))});

  PCMacroResult result = library.ExportOne(1, folder_ / "x");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.file, folder_ / "x.bin");
  const Bytes single = ReadFile(folder_ / "x.bin");
  ASSERT_EQ(single.size(), kPCMacroSlotSize);
  EXPECT_EQ(Bytes(single.begin(), single.begin() + 8),
            (Bytes{0x00, 0x46, 0x00, 0x69, 0x00, 0x72, 0x00, 0x65}));
  EXPECT_EQ(Bytes(single.begin() + 16, single.begin() + 19), (Bytes{0x82, 0x04, 0x02}));
  EXPECT_EQ(library.ExportOne(2, folder_ / "y").status, PCMacroStatus::kNoSuchMacro);

  result = library.ExportAll(folder_ / "all.BIN");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.file, folder_ / "all.BIN");
  EXPECT_EQ(ReadFile(folder_ / "all.BIN"), ReadFile(LibraryFile()));

  EXPECT_EQ(library.ExportAll(folder_ / "missing" / "all").status, PCMacroStatus::kWriteFailed);
}

TEST(WithBinExtensionTest, AppendsBinOnlyWhenTheNameDoesNotEndInIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"/tmp/x", "/tmp/x.bin"},
      {"/tmp/x.bin", "/tmp/x.bin"},
      {"/tmp/x.Bin", "/tmp/x.Bin"},
      {"/tmp/x.txt", "/tmp/x.txt.bin"},
      {"/tmp/xbin", "/tmp/xbin.bin"},
      {"bin", "bin.bin"},
      {"/tmp/a.bin/x", "/tmp/a.bin/x.bin"},
  };
  for (const auto& [chosen, expected] : cases) {
    EXPECT_EQ(WithBinExtension(chosen), fs::path(expected)) << chosen;
  }
}

TEST_F(PcMacroLibraryTest, ImportOneAppendsAMacroUnlessItsNameIsTaken) {
  PcMacroLibrary library = LoadedWith({Macro("Fire", Body({0x82, 0x04})), Macro("Jump")});
  ASSERT_TRUE(library.ExportOne(0, folder_ / "fire.bin").ok());

  // The same name field is refused; list and file stay as they were.
  const Bytes before = ReadFile(LibraryFile());
  PCMacroResult result = library.ImportOne(folder_ / "fire.bin");
  EXPECT_EQ(result.status, PCMacroStatus::kDuplicateName);
  EXPECT_EQ(result.messageKey, "Str106");
  EXPECT_EQ(library.Count(), 2U);
  EXPECT_EQ(library.Slot(2), PCMacroSlot{});
  EXPECT_EQ(ReadFile(LibraryFile()), before);

  ASSERT_TRUE(library.DeleteMacro(0).ok());
  result = library.ImportOne(folder_ / "fire.bin");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.selected, 1U);
  EXPECT_TRUE(result.fileRead && !result.fileRead->IsShort());
  EXPECT_EQ(library.Slot(1), Macro("Fire", Body({0x82, 0x04})));
  ExpectSaved(library);
}

TEST_F(PcMacroLibraryTest, ImportOneOfAShortEmptyOrMissingFile) {
  PcMacroLibrary library = LoadedWith({Macro("Jump")});

  // Name and the first two body bytes: taken, and reported short.
  Bytes partial = LibraryImage({Macro("Fire", Body({0x82, 0x04, 0x02, 0x04}))});
  partial.resize(kMacroNameFieldSize + 2);
  WriteFile(folder_ / "short.bin", partial);
  PCMacroResult result = library.ImportOne(folder_ / "short.bin");
  ASSERT_TRUE(result.ok());
  ASSERT_TRUE(result.fileRead);
  EXPECT_TRUE(result.fileRead->IsShort());
  EXPECT_EQ(library.Slot(1), Macro("Fire", Body({0x82, 0x04})));

  // A file without a name would add an item the library counts as free.
  WriteFile(folder_ / "empty.bin", Bytes{});
  WriteFile(folder_ / "unnamed.bin", Bytes(kPCMacroSlotSize, 0));
  for (const char* name : {"empty.bin", "unnamed.bin"}) {
    EXPECT_EQ(library.ImportOne(folder_ / name).status, PCMacroStatus::kNoMacroInFile) << name;
  }
  result = library.ImportOne(folder_ / "missing.bin");
  EXPECT_EQ(result.status, PCMacroStatus::kReadFailed);
  EXPECT_NE(result.message.find("missing.bin"), std::string::npos);
  EXPECT_EQ(library.Count(), 2U);
  ExpectSaved(library);
}

TEST_F(PcMacroLibraryTest, ImportAllReplacesTheLibraryAndAShortFileKeepsTheRest) {
  PcMacroLibrary library = LoadedWith({Macro("A"), Macro("B"), Macro("C")});
  const fs::path imported = folder_ / "imported.bin";
  WriteFile(imported, LibraryImage({Macro("X", Body({0x82, 0x04})), Macro("Y")}));
  PCMacroResult result = library.ImportAll(imported);
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.fileRead->IsExact());
  EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"X", "Y"}));
  ExpectSaved(library);

  // Two slots' worth: the third slot keeps what the library held.
  library = LoadedWith({Macro("A"), Macro("B"), Macro("C")});
  Bytes shortImage = ReadFile(imported);
  shortImage.resize(2 * kPCMacroSlotSize);
  WriteFile(imported, shortImage);
  result = library.ImportAll(imported);
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.fileRead->IsShort());
  EXPECT_EQ(library.RefreshPCMacroName(), (std::vector<std::string>{"X", "Y", "C"}));
  ExpectSaved(library);

  EXPECT_EQ(library.ImportAll(folder_ / "missing.bin").status, PCMacroStatus::kReadFailed);
  EXPECT_EQ(library.Count(), 3U);
}

// A library file of the wrong size is read as far as it goes, flagged for the front ends to warn,
// and copied aside before the first save rewrites it; later saves keep that copy.
TEST_F(PcMacroLibraryTest, ADamagedLibraryIsFlaggedAndKeptBeforeItIsRewritten) {
  const fs::path copy = folder_ / "Corvid88-Macro.bin.damaged";
  for (const std::size_t size : {std::size_t{10000}, std::size_t{32200}}) {
    SCOPED_TRACE(size);
    fs::remove(copy);
    Bytes damaged = LibraryImage({Macro("Fire", Body({0x82, 0x04}))});
    damaged.resize(size, 0x5A);
    WriteFile(LibraryFile(), damaged);
    PcMacroLibrary library(LibraryFile());
    ASSERT_TRUE(library.CheckPCMacro().ok());
    ASSERT_TRUE(library.OpenedDamaged());
    EXPECT_EQ(library.OpenedDamaged()->fileSize, size);
    EXPECT_FALSE(fs::exists(copy));  // opening writes nothing

    const PCMacroResult first = library.NewMacro("Jump");
    ASSERT_TRUE(first.ok()) << first.message;
    EXPECT_EQ(first.damagedCopy, copy);
    EXPECT_TRUE(ReadFile(copy) == damaged);
    ExpectSaved(library);
    ASSERT_TRUE(library.NewMacro("Duck").ok());
    EXPECT_TRUE(ReadFile(copy) == damaged);
  }
  // An earlier copy is not overwritten; an exact file gets none.
  WriteFile(LibraryFile(), Bytes(100, 0x11));
  PcMacroLibrary again(LibraryFile());
  ASSERT_TRUE(again.CheckPCMacro().ok());
  const PCMacroResult saved = again.NewMacro("Fire");
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(saved.damagedCopy, folder_ / "Corvid88-Macro.bin.damaged.2");
  EXPECT_EQ(ReadFile(saved.damagedCopy), Bytes(100, 0x11));

  PcMacroLibrary exact(LibraryFile());
  ASSERT_TRUE(exact.CheckPCMacro().ok());
  EXPECT_FALSE(exact.OpenedDamaged());
  EXPECT_TRUE(exact.NewMacro("Jump").damagedCopy.empty());
}

TEST_F(PcMacroLibraryTest, FailedSaveIsReportedAndTheChangeStaysInMemory) {
  // A folder that does not exist: the template library cannot be written.
  PcMacroLibrary library(folder_ / "missing" / kPCMacroFileName);
  PCMacroResult result = library.CheckPCMacro();
  EXPECT_EQ(result.status, PCMacroStatus::kWriteFailed);
  EXPECT_FALSE(result.message.empty());

  result = library.NewMacro("Fire");
  EXPECT_EQ(result.status, PCMacroStatus::kWriteFailed);
  EXPECT_EQ(result.selected, 0U);
  EXPECT_EQ(library.RefreshPCMacroName(), std::vector<std::string>{"Fire"});

  // Once the folder is there, the next save writes everything.
  fs::create_directories(folder_ / "missing");
  ASSERT_TRUE(library.NewMacro("Jump").ok());
  ExpectSaved(library);
}

TEST_F(PcMacroLibraryTest, UnreadableLibraryIsReportedNotReplaced) {
  fs::create_directories(LibraryFile());  // a folder where the file should be
  PcMacroLibrary library(LibraryFile());
  const PCMacroResult result = library.CheckPCMacro();
  EXPECT_EQ(result.status, PCMacroStatus::kReadFailed);
  EXPECT_FALSE(result.message.empty());
  EXPECT_TRUE(fs::is_directory(LibraryFile()));
}

TEST_F(PcMacroLibraryTest, ShowMacroDecodesUpToTheThreeZeroEnd) {
  PcMacroLibrary library =
      LoadedWith({Macro("Fire", Body({0xFE, 0x00, 0x32, 0x82, 0x04, 0x02, 0x04})), Macro("Empty")});
  const std::optional<PCMacroView> view = library.ShowMacro(0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->bodyLength, 8U);
  EXPECT_EQ(view->hexText, "FE00328204020400");
  ASSERT_EQ(view->decoded.lines.size(), 4U);  // delay-mode line and three steps
  EXPECT_EQ(view->decoded.lines[1], "0 50");

  EXPECT_FALSE(library.ShowMacro(1));  // length 1: nothing to show
  EXPECT_FALSE(library.ShowMacro(2));

  // A slot with no zero at all runs to its end and is never read past it.
  MacroBody full{};
  full.fill(0x04);
  ASSERT_TRUE(library.SetMacroBody(1, full).ok());
  const std::optional<PCMacroView> fullView = library.ShowMacro(1);
  ASSERT_TRUE(fullView);
  EXPECT_EQ(fullView->hexText.size(), 2 * kMacroBodySize);
}

// Location ------------------------------------------------------------------------------------

class PcMacroLibraryLocationTest : public PcMacroLibraryTest {
 protected:
  void SetUp() override {
    PcMacroLibraryTest::SetUp();
    for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(PcMacroLibraryLocationTest, ExplicitFileThenPathSettingThenUserDataFolder) {
  ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
  ::setenv("HOME", (folder_ / "home").c_str(), 1);

  PCMacroLibraryLocation location = LocatePCMacroLibrary("/opt/x/", folder_ / "mine.bin");
  EXPECT_EQ(location.file, folder_ / "mine.bin");

  // Path is a plain prefix.
  const std::string prefix = (folder_ / "lib").string() + "/";
  location = LocatePCMacroLibrary(prefix);
  EXPECT_EQ(location.file, fs::path(prefix + "Corvid88-Macro.bin"));

  location = LocatePCMacroLibrary("");
  ASSERT_TRUE(location.ok()) << location.error;
  EXPECT_EQ(location.file, folder_ / "data" / "corvid88" / "Corvid88-Macro.bin");
  EXPECT_TRUE(fs::is_directory(folder_ / "data" / "corvid88"));

  // An unset or relative XDG_DATA_HOME falls back to ~/.local/share.
  for (const char* xdg : {static_cast<const char*>(nullptr), "relative/data"}) {
    if (xdg) {
      ::setenv("XDG_DATA_HOME", xdg, 1);
    } else {
      ::unsetenv("XDG_DATA_HOME");
    }
    location = LocatePCMacroLibrary("");
    ASSERT_TRUE(location.ok()) << location.error;
    EXPECT_EQ(location.file,
              folder_ / "home" / ".local" / "share" / "corvid88" / "Corvid88-Macro.bin");
  }

  ::unsetenv("HOME");
  location = LocatePCMacroLibrary("");
  EXPECT_FALSE(location.ok());
  EXPECT_TRUE(location.file.empty());
}

TEST_F(PcMacroLibraryLocationTest, PathSettingKeepsTheLibraryOutOfTheDataFolder) {
  ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
  fs::create_directories(folder_ / "lib");
  const PCMacroLibraryLocation location = LocatePCMacroLibrary((folder_ / "lib").string() + "/");
  PcMacroLibrary library(location.file);
  ASSERT_TRUE(library.CheckPCMacro().ok());
  EXPECT_EQ(fs::file_size(folder_ / "lib" / "Corvid88-Macro.bin"), kPCMacroFileSize);
  EXPECT_FALSE(fs::exists(folder_ / "data"));
}

}  // namespace
}  // namespace corvid::macros
