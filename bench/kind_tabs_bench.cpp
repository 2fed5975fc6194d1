// Switching the main window's tabs of kinds on a capture of about LINES lines (CAPTURE
// written again and again, as a loop of "get snapshot for all" leaves it; a day of minute
// captures is about 28,000,000): for every kind, in the same run, the headless export's
// load of it (a whole read without sizing, before the window exists; with sizing, what a
// switch to it read before), the window's first
// switch to it (from its records) and a switch back to it once shown (from the kind
// cache), each with the bytes read (rchar of /proc/self/io); then the views of the kind
// on show (chart, comparison, lock waits, statements) reading the kind's records against
// the same call reading the file whole as before; and the peak memory against the file's
// size. Prints ratios, asserts nothing.
// Usage: kind_tabs_bench CAPTURE [LINES] [RUNS]   (defaults: 1000000, 3).
// Build it Release; runs offscreen unless QT_QPA_PLATFORM is set.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabBar>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fstream>
#include <functional>
#include <string>

#include "core/derived/statement_groups.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/known_indexes.h"
#include "core/read/shared_state.h"
#include "core/read/snapshot_load.h"
#include "core/series/series.h"
#include "platform/platform.h"
#include "ui/main/main_window.h"
#include "window_load.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

/// A field of a /proc/self file ("rchar: 123", "VmHWM:  456 kB"), or 0.
long long procField(const char* file, const std::string& name) {
  std::ifstream in(file);
  std::string key;
  long long value = 0;
  while (in >> key) {
    if (key == name) return (in >> value) ? value : 0;
    in.ignore(1 << 10, '\n');
  }
  return 0;
}

long long bytesRead() { return procField("/proc/self/io", "rchar:"); }

struct Measure {
  double ms = 0;
  double mb = 0;  // read
};

Measure measure(const std::function<void()>& run) {
  const long long before = bytesRead();
  const auto t = Clock::now();
  run();
  return {msSince(t), static_cast<double>(bytesRead() - before) / 1e6};
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvolin;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: kind_tabs_bench CAPTURE [LINES] [RUNS]\n");
    return 2;
  }
  const long lines = argc > 2 ? std::atol(argv[2]) : 1000000;
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const QByteArray capture = in.readAll();
  const long perCopy = std::max<long>(1, capture.count('\n'));

  QTemporaryDir dir;
  QDir::setCurrent(dir.path());  // no configuration files: every column shown
  const QString path = dir.filePath(QStringLiteral("capture.txt"));
  const std::string file = QFile::encodeName(path).toStdString();
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly)) return 1;
  long written = 0;
  for (; written < lines; written += perCopy) out.write(capture);
  out.close();
  const double fileMb = static_cast<double>(QFileInfo(path).size()) / 1e6;

  // The headless export of each kind: its load reads the file whole, without sizing.
  const core::KindsIndex index = core::indexKinds(file);
  const int kinds = static_cast<int>(index.kinds().size());
  // Before, a tab switch read the file whole as well, sizing the columns: `before`.
  std::vector<Measure> exports;
  std::vector<Measure> before;
  for (int k = 0; k < kinds; ++k) {
    for (const bool sized : {false, true}) {
      (sized ? before : exports).push_back(measure([&] {
        core::LoadedSnapshot s;
        core::loadSnapshot(file, core::ReportLoader::kWholeFile, ".", s, sized, core::KindChoice{k + 1, "", false});
      }));
    }
  }

  core::SharedState shared;
  ui::MainWindow form(shared, platform::systemPlatform(), ".");
  form.show();
  QCoreApplication::processEvents();
  const Measure first = measure([&] {
    form.openReport(path);
    bench::waitForLoad(form);
  });
  auto* tabs = form.findChild<QTabBar*>(QStringLiteral("tabkinds"));
  if (tabs == nullptr || tabs->count() < 2) {
    std::fprintf(stderr, "no tabs of kinds on %s\n", argv[1]);
    return 1;
  }
  std::printf("capture: %ld lines, %.0f MB, %d kinds; first load %.1f ms, %.0f MB read, %.2fx the export of its kind\n",
              written, fileMb, tabs->count(), first.ms, first.mb, first.ms / std::max(0.001, exports.front().ms));
  std::printf("  %-34s %9s %8s %9s | %9s %8s %6s | %9s %6s\n", "kind", "export ms", "MB", "before ms", "new tab", "MB",
              "/exp", "shown ms", "MB");
  double worstNew = 0;
  double worstShown = 0;
  std::vector<Measure> fresh(static_cast<size_t>(tabs->count()));  // the first kind: shown by the first load
  for (int k = 1; k < tabs->count(); ++k) {
    fresh[static_cast<size_t>(k)] = measure([&] {
      tabs->setCurrentIndex(k);
      bench::waitForLoad(form);
    });
    worstNew =
        std::max(worstNew, fresh[static_cast<size_t>(k)].ms / std::max(0.001, exports[static_cast<size_t>(k)].ms));
  }
  for (int k = 0; k < tabs->count(); ++k) {
    Measure again{1e9, 0};
    for (int r = 0; r < runs; ++r) {
      tabs->setCurrentIndex(k == 0 ? 1 : 0);  // away, then back: shown before
      bench::waitForLoad(form);
      const Measure m = measure([&] {
        tabs->setCurrentIndex(k);
        bench::waitForLoad(form);
      });
      if (m.ms < again.ms) again = m;
    }
    const Measure& f = fresh[static_cast<size_t>(k)];
    const Measure& e = exports[static_cast<size_t>(k)];
    worstShown = std::max(worstShown, again.ms);
    std::printf("  %-34s %9.1f %8.1f %9.1f | %9.1f %8.1f %6.2f | %9.2f %6.2f\n", qPrintable(tabs->tabText(k)), e.ms,
                e.mb, before[static_cast<size_t>(k)].ms, f.ms, f.mb, f.ms / std::max(0.001, e.ms), again.ms, again.mb);
  }
  std::printf("new tab / export: worst %.2f (goal at most 1.2); a tab shown before: worst %.2f ms (goal under 100)\n",
              worstNew, worstShown);
  const double peakMb = static_cast<double>(procField("/proc/self/status", "VmHWM:")) / 1e3;
  std::printf("peak memory with every kind visited %.0f MB / file %.0f MB = %.2f (goal at most 1)\n", peakMb, fileMb,
              peakMb / fileMb);

  // The views of a kind, reading its records (the index the window remembered) and, as
  // before, the whole file.
  const std::string onShow = form.report().kindHeading;
  const core::KindChoice kind{0, onShow, false};
  const std::vector<std::pair<const char*, std::function<void()>>> views = {
      {"chart (every snapshot)",
       [&] {
         core::SeriesSource source;
         source.paths = {file};
         source.kind = onShow;
         core::forEachSeriesSnapshot(source, [](core::LoadedSnapshot&, int) {});
       }},
      {"comparison (first with last)",
       [&] {
         (void)core::listSnapshots(file, kind);
         core::LoadedSnapshot a;
         core::LoadedSnapshot b;
         core::loadSnapshotPair(file, 0, file, core::ReportLoader::kLastSnapshot, ".", a, b, true, kind);
       }},
      {"lock waits (last lock snapshot)",
       [&] {
         core::LoadedSnapshot s;
         core::loadLockSnapshot(file, ".", s);
       }},
      {"statements (last Dynamic SQL)",
       [&] {
         core::LoadedSnapshot s;
         (void)core::loadStatementSnapshot(file, ".", s);
       }},
  };
  std::vector<Measure> parts;
  for (const auto& v : views) parts.push_back(measure(v.second));
  core::setRememberIndexes(false);  // as before: each view reads the file whole
  std::printf("views of %s:\n  %-34s %9s %8s | %9s %8s | %6s\n", onShow.c_str(), "view", "whole ms", "MB", "parts ms",
              "MB", "ratio");
  for (size_t i = 0; i < views.size(); ++i) {
    const Measure whole = measure(views[i].second);
    std::printf("  %-34s %9.1f %8.1f | %9.1f %8.1f | %6.2f\n", views[i].first, whole.ms, whole.mb, parts[i].ms,
                parts[i].mb, parts[i].ms / std::max(0.001, whole.ms));
  }
  return 0;
}
