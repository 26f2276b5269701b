// The stand-in mouse's state file (--sim-state): a file the user names.
//
// A state file is 66 KiB, most of it the mouse's memory. So that short inputs reach the header
// and the banks, the input is one byte choosing the file's length (0: a state file's, 1: one byte
// short, 2: one byte over, otherwise the input's own), then the file's first bytes; the rest of a
// state file's length is zeros.

#include <vector>

#include "device/clock.h"
#include "fuzz/fuzz_support.h"
#include "sim/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid;
  if (size == 0) return 0;
  std::vector<std::uint8_t> file(data + 1, data + size);
  switch (data[0]) {
    case 0:
      file.resize(sim::kStateFileSize, 0x00);
      break;
    case 1:
      file.resize(sim::kStateFileSize - 1, 0x00);
      break;
    case 2:
      file.resize(sim::kStateFileSize + 1, 0x00);
      break;
    default:
      break;
  }
  device::FakeClock clock;
  const sim::DecodedState state = sim::DecodeState(file, clock);
  if (!state.mouse) {
    FUZZ_CHECK(!state.error.empty());
    return 0;
  }
  // A state that was taken saves as the same state.
  const std::vector<std::uint8_t> saved = sim::EncodeState(*state.mouse);
  FUZZ_CHECK(saved.size() == sim::kStateFileSize);
  const sim::DecodedState again = sim::DecodeState(saved, clock);
  FUZZ_CHECK(again.mouse != nullptr);
  FUZZ_CHECK(sim::EncodeState(*again.mouse) == saved);
  return 0;
}
