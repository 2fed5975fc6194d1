// Times opening the chart window over every snapshot of a report (reading them, keeping one
// variable, drawing and showing it) against the main window's load of the same file, and
// saves an image of the window as it opened.
// Usage: chart_window_bench REPORT VARIABLE KEY [PNG] [RUNS]   (run with QT_QPA_PLATFORM=offscreen;
//        KEY: the current entry's key, as the legend names it, or "" for none)

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <chrono>
#include <cstdio>

#include "bench_run.h"
#include "core/read/shared_state.h"
#include "platform/file_choosers.h"
#include "platform/platform.h"
#include "ui/chart/chart_window.h"
#include "ui/main/main_window.h"
#include "window_load.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: chart_window_bench REPORT VARIABLE KEY [PNG] [RUNS]\n");
    return 2;
  }
  using namespace tarvolin;
  const std::string report = argv[1];
  const QString png = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 3;
  ui::ChartRequest request{report, ".", argv[2], core::ValueType::Counter, argv[3], "", {}};

  double load = 1e30;
  double open = 1e30;
  for (int i = 0; i < runs; ++i) {
    core::SharedState shared;
    ui::MainWindow main(shared, platform::systemPlatform(), ".");
    auto start = std::chrono::steady_clock::now();
    main.openReport(QString::fromStdString(report));
    bench::waitForLoad(main);
    load = std::min(load, bench::secondsSince(start));

    start = std::chrono::steady_clock::now();
    core::ChartSeries series(request.variable, request.type);
    ui::readChartSnapshots({report}, ".", "", std::nullopt, series);
    auto* window =
        new ui::ChartWindow(request, std::move(series), platform::systemPlatform(), platform::systemFileChoosers());
    window->show();
    QApplication::processEvents();
    open = std::min(open, bench::secondsSince(start));
    if (i == 0 && !png.isEmpty()) window->grab().save(png);
    delete window;
  }
  std::printf("main window load     %8.3f s wall (best of %d)\n", load, runs);
  std::printf("chart window opens   %8.3f s wall (best of %d): every snapshot read, drawn, shown\n", open, runs);
  if (!png.isEmpty()) std::printf("image of the window  %s\n", qPrintable(png));
  return open <= 1.0 ? 0 : 3;
}
