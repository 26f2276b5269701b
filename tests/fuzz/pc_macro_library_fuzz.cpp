// The PC macro library file and single-macro import files, as found on disk.
//
// The input is written as the library file; the library is opened, every macro shown, the file
// imported as a single macro, and the library saved again.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "macros/pc_macro_library.h"

namespace {

// One folder per process, removed when the process ends.
class FuzzFolder {
 public:
  FuzzFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("corvid_fuzz_pc_library_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const std::filesystem::path& Folder() {
  static const FuzzFolder folder;
  return folder.Path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::macros;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(Folder(), ignored)) {
    std::filesystem::remove(entry.path(), ignored);
  }
  const auto file = Folder() / std::string(kPCMacroFileName);
  {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  PcMacroLibrary library(file);
  const PCMacroResult opened = library.CheckPCMacro();
  FUZZ_CHECK(opened.ok());
  const std::size_t count = library.Count();
  FUZZ_CHECK(count <= kPCMacroSlotCount);
  FUZZ_CHECK(library.RefreshPCMacroName().size() == count);
  for (std::size_t i = 0; i < count; ++i) {
    FUZZ_CHECK(!library.Slot(i).IsFree());
    if (const auto view = library.ShowMacro(i)) {
      FUZZ_CHECK(view->bodyLength <= kMacroBodySize + 1);
      FUZZ_CHECK(view->hexText.size() == 2 * std::min(view->bodyLength, kMacroBodySize));
    }
  }
  FUZZ_CHECK(library.ToBytes().size() == kPCMacroFileSize);

  // The same bytes as a single-macro file.
  const PCMacroResult imported = library.ImportOne(file);
  if (imported.ok()) FUZZ_CHECK(library.Count() == count + 1);
  (void)library.RefreshPCMacro();

  // What was saved opens again as the same library.
  PcMacroLibrary reopened(file);
  FUZZ_CHECK(reopened.CheckPCMacro().ok());
  FUZZ_CHECK(reopened.ToBytes() == library.ToBytes());
  return 0;
}
