#include "ui/derived/statements_window.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "core/derived/column_plan.h"
#include "core/grid/result_grid.h"
#include "core/read/report_loader.h"
#include "core/series/series.h"
#include "core/values/counter_types.h"
#include "ui/detail/entry_detail_window.h"
#include "ui/result/off_thread.h"

namespace tarvolin::ui {

StatementsWindow::StatementsWindow(std::unique_ptr<core::LoadedSnapshot> report, core::StatementShapes shapes,
                                   const std::vector<const core::DerivedColumn*>& derived, const QString& title,
                                   platform::Platform& platform, QWidget* parent, const QString& snapshotNote,
                                   bool changes)
    : ResultWindow({"frmshapes", "grdshapes", "statshapes"}, title, platform, parent),
      m_report(std::move(report)),
      m_shapes(std::move(shapes)) {
  for (size_t i = 0; i < m_shapes.groups.size(); ++i) m_groupOfFirstRow[m_shapes.groups[i].rows.front()] = i;
  if (changes)
    core::writeShapeChangeGrid(m_shapes, store());
  else
    core::writeShapeGrid(m_shapes, derived, store());
  core::fitResultColumns(store());
  showGrid(QStringLiteral("Statement shapes: %1, statements: %2%3")
               .arg(m_shapes.groups.size())
               .arg(std::max(m_report->grid.rows() - 1, 0))
               .arg(snapshotNote.isEmpty() ? QString() : QStringLiteral(". ") + snapshotNote));
}

StatementsWindow::~StatementsWindow() = default;

void StatementsWindow::showDetailOf(int row) {
  const auto found = m_groupOfFirstRow.find(core::resultEntryRow(store(), row));
  if (found == m_groupOfFirstRow.end()) return;
  core::GridStore list;
  core::writeShapeStatements(m_shapes.groups[found->second], m_report->grid, m_report->report().vars, list);
  showRowDetail(list, 1, platform(), this);
}

namespace {

/// Groups the change of the statements of `file` over `window`: `last` gets the window's last
/// snapshot. Returns the status note. Throws with the text for the user.
QString groupWindowChanges(const std::string& file, const std::string& configFolder, const core::KindChoice& kind,
                           const core::SnapshotWindow& window, const core::CounterTypes& types,
                           core::LoadedSnapshot& last, core::StatementShapes& shapes) {
  core::SeriesSource source{
      {file}, std::nullopt, configFolder, std::nullopt, core::KindChoice{0, std::string(core::kDynamicSqlKind)},
      window};
  if (!kind.heading.empty()) source.kind = kind.heading;
  core::LoadedSnapshot first;
  const int held = core::loadWindowEnds(source, first, last);
  if (!core::holdsStatements(last.report().kindHeading))
    throw std::runtime_error("Statements are grouped in Dynamic SQL snapshots, not in \"" + last.report().kindHeading +
                             "\"");
  if (held < 2)
    throw std::runtime_error("The window From/To holds one snapshot: the change of the statements needs two");
  const core::Comparison c = core::compareSnapshots(first, last, types, std::nullopt);
  shapes = core::groupChangesByShape(c, first, last);
  QString note = QStringLiteral("Change over %1 snapshots, from %2 to %3")
                     .arg(held)
                     .arg(QString::fromStdString(core::timeOfDay(first.time())),
                          QString::fromStdString(core::timeOfDay(last.time())));
  if (!c.intervalNote.empty()) note += QStringLiteral(" (%1)").arg(QString::fromStdString(c.intervalNote));
  if (!c.resetNote.empty()) note += QStringLiteral(". Counted from zero: ") + QString::fromStdString(c.resetNote);
  return note;
}

}  // namespace

StatementsWindow* showStatementsByShape(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                                        const QString& path, const core::DerivedDefinitions& definitions,
                                        const core::KindChoice& kind, const core::SnapshotWindow& window) {
  const std::string programDir = QFile::encodeName(platform.files.programDir()).toStdString();
  const std::string file = QFile::encodeName(path).toStdString();
  return openResultWindow(owner, platform, [&] {
    auto report = std::make_unique<core::LoadedSnapshot>();
    struct Grouped {
      core::StatementShapes shapes;
      core::ColumnPlan plan;
      QString note;
    };
    Grouped grouped = readOffThread(owner, QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()), [&] {
      const core::CounterTypes types = core::loadCounterTypes(programDir);
      if (window.given()) {
        core::StatementShapes shapes;
        QString note = groupWindowChanges(file, configFolder, kind, window, types, *report, shapes);
        return Grouped{std::move(shapes), core::ColumnPlan(), std::move(note)};
      }
      const int snapshots = core::loadStatementSnapshot(file, configFolder, *report, kind);
      if (report->noSuchKind && kind.isDefault() && !report->fileKinds.empty())
        report->report().kindHeading = report->fileKinds.front().heading;  // said below
      else if (!report->error.empty())
        throw std::runtime_error(report->error);
      if (!core::holdsStatements(report->report().kindHeading))
        throw std::runtime_error("Statements are grouped in Dynamic SQL snapshots, not in \"" +
                                 report->report().kindHeading + "\"");
      core::StatementShapes shapes = core::groupByShape(report->grid, report->report().vars, types);
      const core::ColumnPlan plan(&definitions, report->report().kindHeading, report->report().vars, report->grid);
      QString note =
          snapshots > 1 ? QString::fromStdString(core::lastSnapshotNote(snapshots, report->time())) : QString();
      for (const std::string& name : plan.clashes())
        note += (note.isEmpty() ? QString() : QStringLiteral(". ")) +
                QStringLiteral("Derived column \"%1\" left out: the report has a variable of that name")
                    .arg(QString::fromStdString(name));
      return Grouped{std::move(shapes), plan, note};
    });
    return new StatementsWindow(std::move(report), std::move(grouped.shapes), grouped.plan.columns(),
                                QStringLiteral("Statements by Shape - ") + QFileInfo(path).fileName(), platform, owner,
                                grouped.note, window.given());
  });
}

}  // namespace tarvolin::ui
