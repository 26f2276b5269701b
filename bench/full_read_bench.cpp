// The full read of each memory layout through the stand-in mouse, with the real clock: the mouse
// gets 0.5 ms after every read-back, so the read can be no faster than that floor. Reports wall
// time, CPU time (the tool's own work and the waits on the counter), the share of the wall time
// spent on a core, and the ratio of wall time to the floor.

#include <benchmark/benchmark.h>

#include <chrono>

#include "cpu_time.h"
#include "device/busy_window.h"
#include "device/clock.h"
#include "device/discovery.h"
#include "device/protocol.h"
#include "model/device_image.h"
#include "model/image_transfer.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"

namespace {

using corvid::device::MemoryLayout;

using corvid::bench::CpuSeconds;

// Read-backs of a full read: 15 + 21 for the sections, then the macro memory in 7-byte pieces.
int ReadBacks(MemoryLayout layout) {
  const int sections = 15 + 21;
  const int block = (256 + 6) / 7;
  if (layout == MemoryLayout::LayoutFlashFlash) return sections + 32 * block + (512 + 6) / 7;
  return sections + 2 * block;
}

template <typename ClockType>
void FullRead(benchmark::State& state) {
  const auto layout = static_cast<MemoryLayout>(state.range(0));
  ClockType clock;
  corvid::sim::StandInMouse mouse(corvid::sim::StandInMouseConfig::ForLayout(layout), clock);
  corvid::sim::SimulatedBus bus;
  bus.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId, 1);
  corvid::device::DeviceLink link;
  corvid::device::OpenMouse(bus, link, mouse.Config().vendorId, mouse.Config().productId);
  corvid::device::NoBusyWindow busy;
  corvid::device::Protocol protocol(bus, link, clock, busy);
  corvid::model::DeviceImage image;

  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    corvid::model::ReadEverything(protocol, layout, image);
    benchmark::DoNotOptimize(image);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  state.counters["cpu_share"] = (CpuSeconds() - cpuStart) / wall.count();
  const double floorSeconds = ReadBacks(layout) * 0.0005;
  state.counters["read_backs"] = ReadBacks(layout);
  state.counters["floor_ms"] = floorSeconds * 1000.0;
  state.counters["wall_over_floor"] =
      wall.count() / (floorSeconds * static_cast<double>(state.iterations()));
  corvid::device::EmptyDeviceLink(bus, link);
}

// The real clock: the mouse gets its pauses.
void BM_FullRead(benchmark::State& state) { FullRead<corvid::device::SteadyClock>(state); }
// A clock that never waits: the tool's and the stand-in's own work, which comes on top of the
// floor in the read above.
void BM_FullReadWithoutPauses(benchmark::State& state) {
  FullRead<corvid::device::FakeClock>(state);
}

BENCHMARK(BM_FullRead)
    ->Arg(static_cast<int>(MemoryLayout::LayoutI2C))
    ->Arg(static_cast<int>(MemoryLayout::LayoutFlashI2C))
    ->Arg(static_cast<int>(MemoryLayout::LayoutFlashFlash))
    ->ArgName("layout")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_FullReadWithoutPauses)
    ->Arg(static_cast<int>(MemoryLayout::LayoutFlashFlash))
    ->ArgName("layout")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
