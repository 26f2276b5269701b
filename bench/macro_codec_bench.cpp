// The macro step codec: decoding a full 256-byte body into step lines and encoding it back.

#include <benchmark/benchmark.h>

#include <string>

#include "macros/device_macro_area.h"
#include "macros/macro_name_field.h"
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

namespace {

// Parsing the 512-byte macro area of an EEPROM mouse that holds as many short macros as fit.
void BM_ParseMacroArea(benchmark::State& state) {
  using namespace corvid::macros;
  corvid::macros::MacroLines lines = SampleLines();
  lines.resize(9);  // a delay mode and two key strokes
  const EncodedMacro encoded = MemoToMacro(lines);
  I2CMacroTable table;
  MacroAreaBuild built;
  for (std::size_t i = 0; i < kI2CMacroSlotCount; ++i) {
    I2CMacroTable more = table;
    more.names[i] = *NameToMacroNameField("M" + std::to_string(i));
    more.bodies[i] = encoded.body;
    more.MacroLen[i] = static_cast<std::uint16_t>(16 + encoded.length);
    const MacroAreaBuild attempt = BuildMacroArea(more, 0x0210);
    if (!attempt.fits) break;
    table = more;
    built = attempt;
  }
  for (auto _ : state) {
    auto parsed = ParseMacroArea(built.image, 0x0210);
    benchmark::DoNotOptimize(parsed);
  }
  state.counters["macros"] = static_cast<double>(table.Count());
}
BENCHMARK(BM_ParseMacroArea);

}  // namespace
