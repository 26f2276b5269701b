// How late a half-millisecond pause after a read-back ends on this machine: a plain sleep to an
// absolute deadline (timer slack 1 us) against the clock's delay, which sleeps to just before the
// deadline and waits the rest on the counter. Reports the overshoot beyond the 500 us asked for
// (50th, 90th and 99th percentile, largest, mean, and the share of pauses over 100 us late), and
// the share of the wall time spent on a core (user + system time of the process).

#include <benchmark/benchmark.h>
#include <sys/prctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <vector>

#include "cpu_time.h"
#include "device/clock.h"

namespace {

constexpr std::uint32_t kPauseMicroseconds = 500;
constexpr int kPausesPerIteration = 200;

using corvid::bench::CpuSeconds;

void PlainSleep(std::uint32_t microseconds) {
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_nsec += static_cast<long>(microseconds) * 1000L;
  if (deadline.tv_nsec >= 1'000'000'000L) {
    deadline.tv_nsec -= 1'000'000'000L;
    ++deadline.tv_sec;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

double Percentile(std::vector<double>& values, double share) {
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

template <typename Pause>
void MeasureOvershoot(benchmark::State& state, Pause pause) {
  std::vector<double> overshoots;
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  for (auto _ : state) {
    for (int i = 0; i < kPausesPerIteration; ++i) {
      const auto start = std::chrono::steady_clock::now();
      pause(kPauseMicroseconds);
      const std::chrono::duration<double, std::micro> took =
          std::chrono::steady_clock::now() - start;
      overshoots.push_back(took.count() - kPauseMicroseconds);
    }
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
  state.counters["cpu_share"] = (CpuSeconds() - cpuBefore) / wall.count();
  double sum = 0;
  int preempted = 0;
  for (const double overshoot : overshoots) {
    sum += overshoot;
    if (overshoot > 100.0) ++preempted;
  }
  state.counters["over_mean_us"] = sum / static_cast<double>(overshoots.size());
  // Pauses that ended over 100 us late: the thread waited for a core that another process held.
  state.counters["over_100us_share"] = preempted / static_cast<double>(overshoots.size());
  state.counters["over_p50_us"] = Percentile(overshoots, 0.50);
  state.counters["over_p90_us"] = Percentile(overshoots, 0.90);
  state.counters["over_p99_us"] = Percentile(overshoots, 0.99);
  state.counters["over_max_us"] = *std::max_element(overshoots.begin(), overshoots.end());
  state.counters["wall_over_asked"] =
      wall.count() /
      (static_cast<double>(state.iterations()) * kPausesPerIteration * kPauseMicroseconds / 1e6);
}

void BM_PlainSleep(benchmark::State& state) {
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  MeasureOvershoot(state, PlainSleep);
}

void BM_ClockDelay(benchmark::State& state) {
  corvid::device::SteadyClock clock;
  MeasureOvershoot(state, [&clock](std::uint32_t us) { clock.DelayMicroseconds(us); });
  state.counters["wake_margin_us"] = static_cast<double>(clock.WakeMarginNanoseconds()) / 1000.0;
}

BENCHMARK(BM_PlainSleep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_ClockDelay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
