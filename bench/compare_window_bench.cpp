// Times opening the comparison window (loading both snapshots, comparing, filling its grid
// and showing it) against `tarvolin-export --compare EARLIER LATER > /dev/null` in the same
// run, and saves an image of the window as it opened (and one sorted by its first change column).
// Usage: compare_window_bench EXPORT_EXE EARLIER LATER [PNG] [RUNS]   (run with QT_QPA_PLATFORM=offscreen)

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <chrono>

#include "bench_run.h"
#include "core/read/report_loader.h"
#include "platform/platform.h"
#include "ui/compare/compare_command.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: compare_window_bench EXPORT_EXE EARLIER LATER [PNG] [RUNS]\n");
    return 2;
  }
  using namespace tarvolin;
  const std::string exe = argv[1];
  const std::string earlier = argv[2];
  const std::string later = argv[3];
  const QString png = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 5;
  const core::CounterTypes types =
      core::loadCounterTypes(QFileInfo(QString::fromStdString(exe)).absolutePath().toStdString());

  bench::runOnce({exe, "--compare", earlier, later});  // both files into the page cache
  const bench::Timing headless = bench::bestInARow({exe, "--compare", earlier, later}, runs);
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    auto* window = new ui::ComparisonWindow(
        ui::compareReportFiles(earlier, 0, later, core::ReportLoader::kLastSnapshot, ".", types), "bench",
        platform::systemPlatform());
    window->resize(1400, 800);
    window->show();
    QApplication::processEvents();
    best = std::min(best, bench::secondsSince(start));
    if (i == 0 && !png.isEmpty()) {
      window->grab().save(png);
      // And sorted by the first change column, largest first.
      core::GridStore& g = window->store();
      for (int c = 0; c < g.cols(); ++c)
        if (g.text(0, c).ends_with("(change)")) {
          g.setSelection(1, c, g.rows() - 1, c);
          window->sort(core::SortOrder::Descending);
          g.setSelection(1, 0, 1, 0);
          break;
        }
      QApplication::processEvents();
      window->grab().save(QString(png).replace(QStringLiteral(".png"), QStringLiteral("-sorted.png")));
    }
    delete window;
  }
  std::printf("export --compare     %8.3f s wall (best of %d)\n", headless.seconds, runs);
  std::printf("comparison window    %8.3f s wall (best of %d): load, compare, fill, show\n", best, runs);
  std::printf("window / headless    %8.2f       (target at most 3)\n", best / headless.seconds);
  if (!png.isEmpty()) std::printf("image of the window  %s\n", qPrintable(png));
  return best / headless.seconds <= 3.0 ? 0 : 3;
}
