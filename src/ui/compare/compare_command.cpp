#include "ui/compare/compare_command.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "core/derived/comparison_derived.h"
#include "core/read/report_loader.h"
#include "ui/compare/snapshot_chooser.h"
#include "ui/result/off_thread.h"

namespace tarvolin::ui {

bool chooseSnapshots(QWidget* owner, const std::vector<std::string>& earlierTimes,
                     const std::vector<std::string>& laterTimes, int& earlier, int& later) {
  SnapshotChooser chooser(earlierTimes, laterTimes, owner);
  if (chooser.exec() != QDialog::Accepted) return false;
  earlier = chooser.earlierIndex();
  later = chooser.laterIndex();
  return true;
}

std::unique_ptr<ComparedSnapshots> compareReportFiles(const std::string& earlierPath, int earlierIndex,
                                                      const std::string& laterPath, int laterIndex,
                                                      const std::string& configFolder, const core::CounterTypes& types,
                                                      const core::KindChoice& kind,
                                                      const core::DerivedDefinitions* definitions) {
  auto s = std::make_unique<ComparedSnapshots>();
  core::loadSnapshotPair(earlierPath, earlierIndex, laterPath, laterIndex, configFolder, s->earlier, s->later, true,
                         kind);
  for (const core::LoadedSnapshot* snap : {&s->earlier, &s->later})
    if (!snap->error.empty()) throw std::runtime_error(snap->error);
  s->types = types;
  s->plan = core::ColumnPlan(definitions, s->later.report().kindHeading, s->later.report().vars, s->later.grid);
  s->compare(std::nullopt);
  std::error_code e1, e2;
  const auto t1 = std::filesystem::last_write_time(earlierPath, e1);
  const auto t2 = std::filesystem::last_write_time(laterPath, e2);
  if (!e1 && !e2) s->fileIntervalMicros = std::chrono::duration_cast<std::chrono::microseconds>(t2 - t1).count();
  return s;
}

namespace {

/// The two snapshots a comparison reads.
struct ComparedPair {
  std::string earlier;
  int earlierIndex = 0;
  std::string later;
  int laterIndex = 0;
  const std::string& configFolder;
  const core::KindChoice& kind;
};

/// Reads and compares `pair` off the window's thread and opens the ComparisonWindow, sorted
/// by the change of `sortBy`.
ComparisonWindow* openComparison(QWidget* owner, platform::Platform& platform, const ComparedPair& pair,
                                 const core::CounterTypes& types, const QString& reading, const QString& title,
                                 const core::DerivedDefinitions* definitions, const std::string& sortBy,
                                 bool addDerived) {
  auto compared = readOffThread(owner, reading, [&] {
    return compareReportFiles(pair.earlier, pair.earlierIndex, pair.later, pair.laterIndex, pair.configFolder, types,
                              pair.kind, definitions);
  });
  const auto columns = addDerived ? compared->plan.columns() : std::vector<const core::DerivedColumn*>{};
  auto* window = new ComparisonWindow(std::move(compared), title, platform, owner, columns);
  window->sortByChangeOf(sortBy);
  return window;
}

}  // namespace

ComparisonWindow* compareWithEarlier(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                                     const QString& laterPath, QString& dialogPath, const core::KindChoice& kind,
                                     const SnapshotPick& pick, const core::DerivedDefinitions* definitions,
                                     const std::string& sortBy, bool addDerived) {
  if (laterPath.isEmpty()) {
    platform.dialogs.message(owner, QStringLiteral("Load a report first: it is the later one of the comparison"));
    return nullptr;
  }
  // In the folder of the last file chosen, with no file chosen: not the report on show.
  const QString earlierPath =
      platform.dialogs.openFileTitled(owner, QStringLiteral("Text Files (*.txt);;All Files (*)"),
                                      QFileInfo(dialogPath.isEmpty() ? laterPath : dialogPath).absolutePath(),
                                      QStringLiteral("Choose the Earlier Snapshot"));
  if (earlierPath.isEmpty()) return nullptr;
  dialogPath = earlierPath;
  const std::string earlier = QFile::encodeName(earlierPath).toStdString();
  const std::string later = QFile::encodeName(laterPath).toStdString();
  return openResultWindow(owner, platform, [&]() -> ComparisonWindow* {
    const std::string programDir = QFile::encodeName(platform.files.programDir()).toStdString();
    const QString reading =
        QStringLiteral("Reading %1 and %2...").arg(QFileInfo(earlierPath).fileName(), QFileInfo(laterPath).fileName());
    struct Listed {
      core::CounterTypes types;
      std::vector<std::string> earlierTimes;
      std::vector<std::string> laterTimes;
    };
    const auto [types, earlierTimes, laterTimes] = readOffThread(owner, reading, [&] {
      return Listed{core::loadCounterTypes(programDir), core::listSnapshots(earlier, kind),
                    core::listSnapshots(later, kind)};
    });
    int first = 0;
    int last = core::ReportLoader::kLastSnapshot;
    if (earlierTimes.size() > 1 || laterTimes.size() > 1) {
      QApplication::restoreOverrideCursor();
      const bool picked = pick(earlierTimes, laterTimes, first, last);
      QApplication::setOverrideCursor(Qt::WaitCursor);
      if (!picked) return nullptr;
    }
    const QString title =
        QStringLiteral("Compare %1 (snapshot %2) with %3 (snapshot %4)")
            .arg(QFileInfo(earlierPath).fileName())
            .arg(first + 1)
            .arg(QFileInfo(laterPath).fileName())
            .arg(last == core::ReportLoader::kLastSnapshot ? QStringLiteral("last") : QString::number(last + 1));
    return openComparison(owner, platform, {earlier, first, later, last, configFolder, kind}, types, reading, title,
                          definitions, sortBy, addDerived);
  });
}

ComparisonWindow* compareSnapshotsOf(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                                     const QString& path, const core::KindChoice& kind, int first, int last,
                                     const core::DerivedDefinitions* definitions, const std::string& sortBy,
                                     bool addDerived) {
  const std::string file = QFile::encodeName(path).toStdString();
  return openResultWindow(owner, platform, [&]() -> ComparisonWindow* {
    const std::string programDir = QFile::encodeName(platform.files.programDir()).toStdString();
    const QString reading = QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName());
    const core::CounterTypes types = readOffThread(owner, reading, [&] { return core::loadCounterTypes(programDir); });
    const QString title = QStringLiteral("Compare %1 from snapshot %2 to snapshot %3")
                              .arg(QFileInfo(path).fileName())
                              .arg(first + 1)
                              .arg(last + 1);
    return openComparison(owner, platform, {file, first, file, last, configFolder, kind}, types, reading, title,
                          definitions, sortBy, addDerived);
  });
}

}  // namespace tarvolin::ui
