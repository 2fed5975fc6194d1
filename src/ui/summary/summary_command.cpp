#include "ui/summary/summary_command.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <stdexcept>

#include "core/series/chart_data.h"
#include "ui/chart/chart_window.h"
#include "ui/result/off_thread.h"

namespace tarvolin::ui {

namespace {

/// What a summary needs besides the capture.
struct SummaryInputs {
  core::SummaryFigures figures;
  core::CounterTypes types;
  std::vector<std::string> errors;
};

/// Chart Over Time of figure `figure`: the figure as a derived column of its kind, in interval.
void chartFigure(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                 const std::string& configFolder, const std::string& path, const core::SummaryFigure& figure,
                 const core::CounterTypes& types) {
  openResultWindow(owner, platform, [&]() -> ChartWindow* {
    ChartRequest request{path, configFolder, figure.name, core::ValueType::Unlisted, {}, figure.kind, {}};
    core::ChartSeries series(core::DerivedColumn{figure.kind, figure.name, figure.expression}, types);
    const ChartRead read = readOffThread(owner, QStringLiteral("Reading..."), [&] {
      return readChartSnapshots({path}, configFolder, figure.kind, std::nullopt, series);
    });
    if (read.files == 0) throw std::runtime_error(read.error);
    return new ChartWindow(std::move(request), std::move(series), platform, choosers, owner);
  });
}

}  // namespace

SummaryWindow* showCaptureSummary(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                                  const std::string& configFolder, const QString& path, ShowEntry showEntry,
                                  const core::SnapshotWindow& window) {
  if (path.isEmpty()) {
    platform.dialogs.message(owner, QStringLiteral("Load a capture first: the summary is of its snapshots"));
    return nullptr;
  }
  const std::string file = QFile::encodeName(path).toStdString();
  const std::string programDir = QFile::encodeName(platform.files.programDir()).toStdString();
  auto inputs = std::make_shared<SummaryInputs>();
  SummaryWindow* shown = openResultWindow(owner, platform, [&]() -> SummaryWindow* {
    core::CaptureSummary summary = readOffThread(owner, QStringLiteral("Summarizing the capture..."), [&] {
      inputs->figures = core::loadSummaryFigures(programDir, configFolder, inputs->errors);
      inputs->types = core::loadCounterTypes(programDir);
      core::SeriesSource source{{file}, {}, configFolder, {}};
      source.window = window;
      return core::summarizeCapture(source, inputs->figures, inputs->types, std::nullopt);
    });
    if (summary.snapshots < 2)
      throw std::runtime_error(QFileInfo(path).fileName().toStdString() +
                               ": no summary, it needs two snapshots or more of a kind its figures are of "
                               "(a capture loop of \"get snapshot for all\")");
    return new SummaryWindow(std::move(summary), QStringLiteral("Capture Summary - ") + QFileInfo(path).fileName(),
                             owner);
  });
  for (const std::string& e : inputs->errors) platform.dialogs.message(owner, QString::fromStdString(e));
  if (shown == nullptr) return nullptr;
  QObject::connect(shown, &SummaryWindow::figureChosen, shown, [=, &platform, &choosers](int figure) {
    chartFigure(shown, platform, choosers, configFolder, file,
                shown->summary().figures[static_cast<size_t>(figure)].figure, inputs->types);
  });
  QObject::connect(shown, &SummaryWindow::entryChosen, shown, [showEntry](const QString& kind, const QString& key) {
    if (showEntry) showEntry(kind.toStdString(), key.toStdString());
  });
  return shown;
}

}  // namespace tarvolin::ui
