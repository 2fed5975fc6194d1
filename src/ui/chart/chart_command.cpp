#include "ui/chart/chart_command.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "core/compare/snapshot_compare.h"
#include "core/read/report_reader.h"
#include "ui/result/off_thread.h"

namespace tarvolin::ui {

namespace {

/// Reads the files of `request` into `series`, saying in a message box which were skipped and
/// why a later one could not be read (it and those after it are dropped). Throws ReadError
/// when the first can't be read.
void readRequest(QWidget* owner, platform::Platform& platform, ChartRequest& request, core::ChartSeries& series,
                 const core::SnapshotWindow& window = {}) {
  std::vector<std::string> paths{request.path};
  paths.insert(paths.end(), request.later.begin(), request.later.end());
  const QString reading =
      QStringLiteral("Reading %1...").arg(QFileInfo(QFile::decodeName(paths.back().c_str())).fileName());
  const ChartRead read = readOffThread(owner, reading, [&] {
    return readChartSnapshots(paths, request.configFolder, request.kind, std::nullopt, series, window);
  });
  if (read.files == 0) throw core::ReadError(read.error);  // the report shown can't be read again
  if (read.error.empty() && read.notes.empty()) return;
  std::string told;
  for (const std::string& note : read.notes) told += (told.empty() ? "" : "\n") + note;
  if (!read.error.empty()) told += (told.empty() ? "" : "\n") + read.error;
  QApplication::restoreOverrideCursor();
  platform.dialogs.message(owner, QString::fromStdString(told));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  dropUnread(read, request.later);
}

/// A report of one snapshot: says so and offers to add the files of later ones. False, after
/// saying why, when there are still fewer than two.
bool addLaterFiles(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                   ChartRequest& request, core::ChartSeries& series) {
  const QString path = QFile::decodeName(request.path.c_str());
  const QString name = QFileInfo(path).fileName();
  QApplication::restoreOverrideCursor();
  platform.dialogs.message(owner, QStringLiteral("%1 holds one snapshot: a chart over time needs two or more. Choose "
                                                 "the files of the later snapshots.")
                                      .arg(name));
  QStringList more = choosers.openFiles(owner, QStringLiteral("Text Files (*.txt);;All Files (*)"), path);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  sortByFileName(more);
  for (const QString& file : more) request.later.push_back(QFile::encodeName(file).toStdString());
  if (!more.isEmpty()) readRequest(owner, platform, request, series);
  if (series.snapshots() >= 2) return true;
  QApplication::restoreOverrideCursor();
  platform.dialogs.message(owner, QStringLiteral("No chart: a chart over time needs two snapshots or more"));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  return false;
}

}  // namespace

ChartWindow* chartOverTime(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                           const std::string& configFolder, const QString& path, const core::GridStore& grid,
                           const std::vector<const core::DerivedColumn*>& derived, const core::SnapshotWindow& window) {
  if (path.isEmpty() || grid.rows() < 2) {
    platform.dialogs.message(owner, QStringLiteral("Load a report first: the chart shows its snapshots over time"));
    return nullptr;
  }
  return openResultWindow(owner, platform, [&]() -> ChartWindow* {
    ChartRequest request;
    request.path = QFile::encodeName(path).toStdString();
    request.configFolder = configFolder;
    request.kind = grid.report().kindHeading;
    request.variable = grid.text(0, std::clamp(grid.col(), 0, grid.cols() - 1));
    const std::string programDir = QFile::encodeName(platform.files.programDir()).toStdString();
    const core::CounterTypes types =
        readOffThread(owner, QString(), [&] { return core::loadCounterTypes(programDir); });
    const auto column = std::find_if(derived.begin(), derived.end(),
                                     [&](const core::DerivedColumn* d) { return d->name == request.variable; });
    request.type = column != derived.end() ? core::ValueType::Unlisted : types.typeOf(request.variable);
    if (column == derived.end() && request.type != core::ValueType::Counter && request.type != core::ValueType::Gauge) {
      QApplication::restoreOverrideCursor();
      platform.dialogs.message(owner, QStringLiteral("\"%1\" is neither a counter nor a gauge: choose a column of "
                                                     "one, or a derived column, to chart it over time")
                                          .arg(QString::fromStdString(request.variable)));
      QApplication::setOverrideCursor(Qt::WaitCursor);
      return nullptr;
    }
    if (grid.row() >= 1 && grid.row() < grid.rows())
      request.currentKey = core::entryKeyText(core::EntryKeys(grid).parts(grid.row()));
    core::ChartSeries series = column != derived.end() ? core::ChartSeries(**column, types)
                                                       : core::ChartSeries(request.variable, request.type);
    readRequest(owner, platform, request, series, window);
    if (series.snapshots() < 2 && window.given()) {
      QApplication::restoreOverrideCursor();
      platform.dialogs.message(
          owner,
          QStringLiteral("No chart: the window From/To holds one snapshot, and a chart over time needs two or more"));
      QApplication::setOverrideCursor(Qt::WaitCursor);
      return nullptr;
    }
    if (series.snapshots() < 2 && !addLaterFiles(owner, platform, choosers, request, series)) return nullptr;
    return new ChartWindow(std::move(request), std::move(series), platform, choosers, owner, window);
  });
}

}  // namespace tarvolin::ui
