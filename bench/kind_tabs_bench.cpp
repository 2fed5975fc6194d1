// Switching the main window's tabs of kinds on a capture of about LINES lines (CAPTURE
// written again and again, as a loop of "get snapshot for all" leaves it): the time from
// a tab's click to its kind shown, for every tab, against the first load of the file in
// the same run, and that first load, complete, against the headless export's load of the
// same kind (as tarvolin-export runs it: no column sizing, nothing written).
// Usage: kind_tabs_bench CAPTURE [LINES] [RUNS]   (defaults: 1000000, 3).
// Build it Release; runs offscreen unless QT_QPA_PLATFORM is set.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/grid/grid_store.h"
#include "core/grid/text_measure.h"
#include "core/read/load_observer.h"
#include "core/read/report_loader.h"
#include "core/read/shared_state.h"
#include "platform/platform.h"
#include "ui/main/main_window.h"
#include "window_load.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

/// The first kind of `file` loaded as tarvolin-export loads it, in ms.
double exportLoad(const std::string& file) {
  tarvolin::core::SharedState shared;
  tarvolin::core::LoadState load;
  tarvolin::core::NullLoadObserver observer;
  tarvolin::core::FixedTextMeasure measure;
  tarvolin::core::GridStore grid;
  tarvolin::core::ReportLoader loader(shared, load, observer, measure, ".");
  loader.setSizeColumns(false);
  tarvolin::core::KindChoice first;
  first.number = 1;
  loader.setKind(first);
  const auto t = Clock::now();
  loader.load(file, grid);
  return msSince(t);
}

}  // namespace

int main(int argc, char** argv) {
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
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly)) return 1;
  long written = 0;
  for (; written < lines; written += perCopy) out.write(capture);
  out.close();

  tarvolin::core::SharedState shared;
  tarvolin::ui::MainWindow form(shared, tarvolin::platform::systemPlatform(), ".");
  form.show();
  QCoreApplication::processEvents();
  auto t = Clock::now();
  form.openReport(path);
  bench::waitForLoad(form);
  const double first = msSince(t);
  auto* tabs = form.findChild<QTabBar*>(QStringLiteral("tabkinds"));
  if (tabs == nullptr || tabs->count() < 2) {
    std::fprintf(stderr, "no tabs of kinds on %s\n", argv[1]);
    return 1;
  }
  double exported = 1e30;
  for (int r = 0; r < runs; ++r) exported = std::min(exported, exportLoad(QFile::encodeName(path).toStdString()));
  std::printf(
      "capture: %ld lines, %d kinds; first load %.1f ms, headless export of that kind %.1f ms (best of %d): "
      "%.2fx\n",
      written, tabs->count(), first, exported, runs, first / exported);
  double worst = 0;
  for (int k = 0; k < tabs->count(); ++k) {
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
      tabs->setCurrentIndex(k == 0 ? 1 : 0);  // away, then back: each switch loads
      bench::waitForLoad(form);
      t = Clock::now();
      tabs->setCurrentIndex(k);
      bench::waitForLoad(form);
      ms.push_back(msSince(t));
    }
    const double best = *std::min_element(ms.begin(), ms.end());
    worst = std::max(worst, best);
    std::printf("  %-40s %6d rows  switch %7.1f ms (best of %d)\n", qPrintable(tabs->tabText(k)),
                form.loader().counters().nout, best, runs);
  }
  std::printf("slowest switch %.1f ms (target under 300); / first load %.2f\n", worst, worst / first);
  return 0;
}
