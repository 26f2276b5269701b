// The full read of each memory layout through the stand-in mouse, with the real clock: the mouse
// gets 0.5 ms after every read-back, so the read can be no faster than that floor. Reports wall
// time, CPU time (the tool's own work) and the ratio of wall time to the floor.

#include <benchmark/benchmark.h>

#include <chrono>

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

// Read-backs of a full read: 15 + 21 for the sections, then the macro memory in 7-byte pieces.
int ReadBacks(MemoryLayout layout) {
  const int sections = 15 + 21;
  const int block = (256 + 6) / 7;
  if (layout == MemoryLayout::LayoutFlashFlash) return sections + 32 * block + (512 + 6) / 7;
  return sections + 2 * block;
}

void BM_FullRead(benchmark::State& state) {
  const auto layout = static_cast<MemoryLayout>(state.range(0));
  corvid::device::SteadyClock clock;
  corvid::sim::StandInMouse mouse(corvid::sim::StandInMouseConfig::ForLayout(layout), clock);
  corvid::sim::SimulatedBus bus;
  bus.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId, 1);
  corvid::device::DeviceLink link;
  corvid::device::OpenMouse(bus, link, mouse.Config().vendorId, mouse.Config().productId);
  corvid::device::NoBusyWindow busy;
  corvid::device::Protocol protocol(bus, link, clock, busy);
  corvid::model::DeviceImage image;

  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    corvid::model::ReadEverything(protocol, layout, image);
    benchmark::DoNotOptimize(image);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const double floorSeconds = ReadBacks(layout) * 0.0005;
  state.counters["read_backs"] = ReadBacks(layout);
  state.counters["floor_ms"] = floorSeconds * 1000.0;
  state.counters["wall_over_floor"] =
      wall.count() / (floorSeconds * static_cast<double>(state.iterations()));
  corvid::device::EmptyDeviceLink(bus, link);
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

}  // namespace
