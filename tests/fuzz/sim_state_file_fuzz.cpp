// The stand-in mouse's state file (--sim-state): a file the user names.

#include "device/clock.h"
#include "fuzz/fuzz_support.h"
#include "sim/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid;
  device::FakeClock clock;
  const sim::DecodedState state = sim::DecodeState({data, size}, clock);
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
