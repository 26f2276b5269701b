// Runs a fuzz target once on every file of the folders and files named on the command line, for
// builds without libFuzzer. Exits non-zero when a folder is missing or holds no inputs, so a moved
// corpus does not pass unnoticed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    return 1;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  // A copy of exactly the input's size, so that reads past it are caught by the sanitizers.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(path);
    }
    for (const auto& file : files) {
      if (RunFile(file) != 0) return 1;
      ++inputs;
    }
  }
  if (inputs == 0) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  std::printf("replayed %d inputs\n", inputs);
  return 0;
}
