// The macro step codec: decoding a full 256-byte body into step lines and encoding it back.

#include <benchmark/benchmark.h>

#include "macros/step_codec.h"

namespace {

using corvid::macros::MacroBody;

// Key presses and releases with recorded delays, as many as fit in the slot.
corvid::macros::MacroLines SampleLines() {
  using namespace corvid::macros;
  MacroLines lines = {DelayModeLine(DelayMode::kRecordedDelay, 0)};
  for (int i = 0;; ++i) {
    const std::uint8_t usage = static_cast<std::uint8_t>(0x04 + i % 26);
    const std::string name(1, static_cast<char>('A' + i % 26));
    MacroLines longer = lines;
    longer.push_back(KeyStepLine(true, name, usage));
    longer.push_back(DelayStepLine(50));
    longer.push_back(KeyStepLine(false, name, usage));
    longer.push_back(DelayStepLine(20));
    if (!MemoToMacro(longer).ok()) return lines;
    lines = std::move(longer);
  }
}

void BM_MacroToMemo(benchmark::State& state) {
  const corvid::macros::EncodedMacro encoded = corvid::macros::MemoToMacro(SampleLines());
  for (auto _ : state) {
    auto decoded = corvid::macros::MacroToMemo(encoded.body, encoded.length);
    benchmark::DoNotOptimize(decoded);
  }
  state.counters["steps"] = static_cast<double>(SampleLines().size() - 1);
}
BENCHMARK(BM_MacroToMemo);

void BM_MemoToMacro(benchmark::State& state) {
  const corvid::macros::MacroLines lines = SampleLines();
  for (auto _ : state) {
    auto encoded = corvid::macros::MemoToMacro(lines);
    benchmark::DoNotOptimize(encoded);
  }
  state.counters["steps"] = static_cast<double>(lines.size() - 1);
}
BENCHMARK(BM_MemoToMacro);

}  // namespace
