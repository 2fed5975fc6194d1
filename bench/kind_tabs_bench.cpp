// Switching the main window's tabs of kinds on a capture of about LINES lines (CAPTURE
// written again and again, as a loop of "get snapshot for all" leaves it): the time from
// a tab's click to its kind shown, for every tab, against the first load of the file in
// the same run. Usage: kind_tabs_bench CAPTURE [LINES] [RUNS]   (defaults: 1000000, 3).
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

#include "core/read/shared_state.h"
#include "platform/platform.h"
#include "ui/main/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

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
  QCoreApplication::processEvents();
  const double first = msSince(t);
  auto* tabs = form.findChild<QTabBar*>(QStringLiteral("tabkinds"));
  if (tabs == nullptr || tabs->count() < 2) {
    std::fprintf(stderr, "no tabs of kinds on %s\n", argv[1]);
    return 1;
  }
  std::printf("capture: %ld lines, %d kinds; first load %.1f ms\n", written, tabs->count(), first);
  double worst = 0;
  for (int k = 0; k < tabs->count(); ++k) {
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
      tabs->setCurrentIndex(k == 0 ? 1 : 0);  // away, then back: each switch loads
      t = Clock::now();
      tabs->setCurrentIndex(k);
      QCoreApplication::processEvents();
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
