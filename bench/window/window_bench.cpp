// The window's speed, measured (never asserted): run by bench/window-bench, which starts this
// program many times and takes medians.
//
//   window_bench start bare|main LAUNCH_NS FOLDER
//       Builds a bare 800 x 600 QWidget window or the tool's main window against the stand-in
//       mouse, shows it and prints, once the first frame is painted and flushed:
//       "first_frame_ms <ms since LAUNCH_NS (CLOCK_REALTIME)> cpu_ms <ms> peak_rss_kib <KiB>".
//   window_bench interactive ROUNDS
//       The main window with the stand-in mouse plugged in on a clock that never waits, so what
//       is measured is the window's and the tool's own work beyond the mouse's mandated pauses:
//       the language switch (layout + texts) and page clicks, each with and without the repaint
//       that follows. Prints "<name> median_us <us> p90_us <us> cpu_median_us <us> rounds <n>".

#include "app/window_bench.h"

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/gsettings_pointer_store.h"
#include "startup/environment.h"

namespace {

using corvid::app::testing::WindowBench;

long long RealtimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// User and system time of the process: on a busy machine the wall time mostly says how long the
// process waited for a core, this says how much work it did.
double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double ThreadCpuUs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Reports the first frame of `window`: after its first paint event, once the event loop is back
// (the backing store has been flushed to the screen by then), and ends the event loop.
class FirstFrame : public QObject {
 public:
  FirstFrame(QWidget& window, long long launchNs) : launchNs_(launchNs) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, [this] {
        const double ms = static_cast<double>(RealtimeNs() - launchNs_) / 1e6;
        std::printf("first_frame_ms %.2f cpu_ms %.2f peak_rss_kib %ld\n", ms, ProcessCpuMs(),
                    PeakRssKib());
        std::fflush(stdout);
        QApplication::quit();
      });
    }
    return false;
  }

 private:
  long long launchNs_;
  bool seen_ = false;
};

int Start(int argc, char** argv, const std::string& which, long long launchNs,
          const std::string& folder) {
  QApplication application(argc, argv);
  if (which == "bare") {
    QWidget window;
    window.resize(800, 600);
    FirstFrame frame(window, launchNs);
    window.show();
    return QApplication::exec();
  }
  // The same pieces main() puts together for `corvid88 --simulate --library FILE`.
  using namespace corvid;
  startup::GlobalOptions options;
  options.simulate = true;
  std::string error;
  const auto environment = startup::Environment::Create(options, error);
  if (!environment) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  app::PlatformDialogs dialogs;
  const auto pointerStore = platform::GSettingsPointerStore::ForThisSession();
  app::MainWindow window(environment->Bus(), environment->Clock(), session::BuiltInSetup(),
                         folder + "/Corvid88-Macro.bin", dialogs, *pointerStore);
  FirstFrame frame(window, launchNs);
  window.show();
  return QApplication::exec();
}

struct Figures {
  double median = 0;
  double p90 = 0;
  double cpuMedian = 0;  // this thread's CPU time; the X server's share is not in it
};

// The time of `step` in each round; `before` runs first, untimed, and so does the repaint it
// leaves.
Figures Measure(int rounds, const std::function<void(int)>& step,
                const std::function<void(int)>& before = {}) {
  std::vector<double> us;
  std::vector<double> cpuUs;
  us.reserve(static_cast<std::size_t>(rounds));
  cpuUs.reserve(static_cast<std::size_t>(rounds));
  for (int round = 0; round < rounds; ++round) {
    if (before) before(round);
    // What the round before left to paint is painted before the clock starts: it is not this
    // step's work (a transfer's busy window would otherwise paint it inside the step).
    QCoreApplication::processEvents();
    const double cpuStart = ThreadCpuUs();
    QElapsedTimer timer;
    timer.start();
    step(round);
    us.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
    cpuUs.push_back(ThreadCpuUs() - cpuStart);
  }
  std::sort(us.begin(), us.end());
  std::sort(cpuUs.begin(), cpuUs.end());
  return {us[us.size() / 2], us[us.size() * 9 / 10], cpuUs[cpuUs.size() / 2]};
}

void Print(const char* name, const Figures& figures, int rounds) {
  std::printf("%s median_us %.1f p90_us %.1f cpu_median_us %.1f rounds %d\n", name, figures.median,
              figures.p90, figures.cpuMedian, rounds);
  std::fflush(stdout);
}

int Interactive(int argc, char** argv, int rounds) {
  QApplication application(argc, argv);
  WindowBench bench;
  bench.window->show();
  QCoreApplication::processEvents();
  bench.Connect();
  QCoreApplication::processEvents();
  corvid::app::MainWindow& window = *bench.window;
  std::fprintf(stderr, "at start the main window has %lld widgets\n",
               static_cast<long long>(window.findChildren<QWidget*>().size()));
  // A page is built when it is first opened: its first opening, each on a fresh window.
  std::unique_ptr<WindowBench> fresh;
  const auto freshWindow = [&](int) {
    fresh.reset();
    fresh = std::make_unique<WindowBench>();
    fresh->window->show();
    fresh->Connect();
    QCoreApplication::processEvents();
  };
  const int freshRounds = std::max(5, rounds / 10);
  for (const auto& [name, button] : {std::pair{"first_open_advanced", "Btn_Adv_1"},
                                     {"first_open_breathing_light", "Btn_Breath_1"},
                                     {"first_open_macros", "Btn_Macro_1"}}) {
    Print(name,
          Measure(
              freshRounds, [&](int) { fresh->Click(button); }, freshWindow),
          freshRounds);
  }
  fresh.reset();
  // The rest on a window with every page built, as after a while of use.
  for (int n = 1; n <= 5; ++n) window.EnsurePage(n);
  std::fprintf(stderr, "with every page built it has %lld widgets\n",
               static_cast<long long>(window.findChildren<QWidget*>().size()));

  // Languages 2, 3, 1, 2, ...: every round a real switch.
  const auto language = [](int round) { return round % 3 + 1 == 1 ? 2 : round % 3 + 1; };
  Print("language_switch", Measure(rounds, [&](int r) { window.LanguageButtonClick(language(r)); }),
        rounds);
  Print("language_switch_painted",
        Measure(rounds,
                [&](int r) {
                  window.LanguageButtonClick(language(r));
                  window.repaint();
                }),
        rounds);
  window.LanguageButtonClick(1);

  // Advanced and Main Control in turn: Main Control writes the layer to the mouse.
  const auto page = [&](int r) {
    bench.Click(r % 2 == 0 ? QStringLiteral("Btn_Adv_1") : QStringLiteral("Btn_Main_2"));
  };
  Print("page_click", Measure(rounds, page), rounds);
  Print("page_click_painted",
        Measure(rounds,
                [&](int r) {
                  page(r);
                  window.repaint();
                }),
        rounds);
  // Each page alone, the other one clicked in between (not timed).
  Print(
      "page_click_advanced",
      Measure(
          rounds, [&](int) { bench.Click("Btn_Adv_1"); }, [&](int) { bench.Click("Btn_Main_1"); }),
      rounds);
  Print(
      "page_click_main_layer_write",
      Measure(
          rounds, [&](int) { bench.Click("Btn_Main_1"); }, [&](int) { bench.Click("Btn_Adv_1"); }),
      rounds);
  Print("process_pending_events",
        Measure(rounds, [&](int) { QCoreApplication::processEvents(QEventLoop::AllEvents); }),
        rounds);
  if (!bench.dialogs.messages.isEmpty()) {
    std::fprintf(stderr, "unexpected message: %s\n", qPrintable(bench.dialogs.messages.first()));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "start" && (args[1] == "bare" || args[1] == "main")) {
    return Start(argc, argv, args[1], std::stoll(args[2]), args[3]);
  }
  if (args.size() == 2 && args[0] == "interactive") {
    return Interactive(argc, argv, std::max(1, std::stoi(args[1])));
  }
  std::fprintf(stderr,
               "usage: window_bench start bare|main LAUNCH_NS FOLDER\n"
               "       window_bench interactive ROUNDS\n");
  return 2;
}
