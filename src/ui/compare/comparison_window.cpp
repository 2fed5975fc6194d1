#include "ui/compare/comparison_window.h"

#include <QDialog>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/derived/comparison_derived.h"
#include "core/grid/grid_commands.h"
#include "core/grid/grid_output.h"
#include "ui/compare/compare_settings_bar.h"

namespace tarvolin::ui {

namespace {

/// Columns of the detail of one entry.
constexpr const char* kDetailHeads[] = {"Variable", "Earlier", "Later", "Change", "Per s"};
constexpr int kDetailWidth = 2600;
constexpr int kDerivedWidth = 1600;

}  // namespace

QString comparisonStatus(const core::Comparison& c) {
  const core::CompareCounts& n = c.counts;
  QString text = QString::fromStdString(c.intervalNote) +
                 (c.resetNote.empty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromStdString(c.resetNote))) +
                 QStringLiteral("   Matched: %1  New: %2  Gone: %3  Reset: %4")
                     .arg(n.matched)
                     .arg(n.added)
                     .arg(n.gone)
                     .arg(n.reset);
  if (n.changed > 0) text += QStringLiteral("  Changed: %1").arg(n.changed);
  return text;
}

ComparisonWindow::ComparisonWindow(std::unique_ptr<ComparedSnapshots> compared, const QString& title,
                                   platform::Platform& platform, QWidget* parent,
                                   const std::vector<const core::DerivedColumn*>& derived)
    : ResultWindow({"frmcompare", "grdcompare", "statcompare"}, title, platform, parent),
      m_compared(std::move(compared)),
      m_derived(core::copiesOf(derived)) {
  ComparedSnapshots& s = *m_compared;
  m_settings = new CompareSettingsBar(s.earlier.time().empty() && s.later.time().empty(), s.fileIntervalMicros, this);
  QToolBar* bar = addToolBar(QStringLiteral("Settings"));
  bar->setObjectName(QStringLiteral("tbrcompare"));
  bar->setMovable(false);
  bar->addWidget(m_settings);
  connect(m_settings, &CompareSettingsBar::changed, this, &ComparisonWindow::compareAgain);
  if (s.earlier.time().empty() && s.later.time().empty() && m_settings->intervalMicros())
    s.compare(m_settings->intervalMicros());
  fill();
  showGrid(comparisonStatus(s.comparison));
}

void ComparedSnapshots::compare(std::optional<int64_t> givenMicros, std::optional<core::DateOrder> dateOrder) {
  comparison = core::compareSnapshots(earlier, later, types, givenMicros, dateOrder);
  plan.leaveOutPlaceholders(comparison, earlier, later);
}

void ComparisonWindow::fill() {
  ComparedSnapshots& s = *m_compared;
  core::GridStore& store = this->store();
  core::writeComparisonGrid(s.comparison, s.earlier, s.later, store);
  if (!m_derived.empty()) {
    const core::ComparisonDerived more(core::pointersTo(m_derived), s.comparison);
    const int first = store.cols();
    store.setCols(first + more.cols());
    more.writeHeader(store, 0, first);
    more.fill(store, 1, store.rows(), store, first);
    for (int c = first; c < store.cols(); ++c) {
      store.setColWidth(c, kDerivedWidth);
      store.setColAlignment(c, core::Alignment::LeftTop);
    }
  }
  const int entryCol = store.cols();
  store.setCols(entryCol + 1);
  store.setColWidth(entryCol, 0);
  for (int r = 1; r < store.rows(); ++r) store.setText(r, entryCol, std::to_string(r - 1));
}

void ComparisonWindow::compareAgain() {
  ComparedSnapshots& s = *m_compared;
  try {
    s.compare(m_settings->intervalMicros(), m_settings->dateOrder());
  } catch (const core::CompareError& e) {  // the same reports compared before: not expected
    platform().dialogs.message(this, QString::fromStdString(e.what()));
    return;
  }
  fill();
  setStatus(comparisonStatus(s.comparison));
}

ComparisonWindow::~ComparisonWindow() = default;

core::GridStore ComparisonWindow::detailOf(int row) const {
  const ComparedSnapshots& s = *m_compared;
  const core::GridStore& grid = store();
  const core::ComparedEntry& e = s.comparison.entries[std::stoul(std::string(grid.text(row, grid.cols() - 1)))];
  core::GridStore detail;
  detail.setCols(5);
  detail.setRows(static_cast<int>(s.comparison.vars.size() + m_derived.size()) + 1);
  for (int c = 0; c < 5; ++c) {
    detail.setText(0, c, kDetailHeads[c]);
    detail.setColWidth(c, kDetailWidth);
  }
  auto value = [](const core::LoadedSnapshot& snap, int r, int col) {
    return r > 0 && col >= 0 ? snap.grid.text(r, col) : std::string_view();
  };
  int r = 1;
  for (const core::ComparedVariable& v : s.comparison.vars) {
    detail.setText(r, 0, v.name);
    detail.setText(r, 1, value(s.earlier, e.earlierRow, v.earlierCol));
    detail.setText(r, 2, value(s.later, e.laterRow, v.laterCol));
    if (v.counter) {
      detail.setText(r, 3, grid.text(row, v.col + 1));
      detail.setText(r, 4, grid.text(row, v.col + 2));
    }
    ++r;
  }
  // The derived columns: on each snapshot, and under Change their value in the interval.
  const core::DerivedEvaluator onEarlier(core::pointersTo(m_derived), s.earlier.report().vars);
  const int first = grid.cols() - 1 - 2 * static_cast<int>(m_derived.size());  // before the entry numbers
  for (size_t i = 0; i < m_derived.size(); ++i, ++r) {
    const int col = first + 2 * static_cast<int>(i);
    detail.setText(r, 0, m_derived[i].name);
    if (e.earlierRow > 0) detail.setText(r, 1, onEarlier.value(i, s.earlier.grid, e.earlierRow));
    if (e.laterRow > 0) detail.setText(r, 2, grid.text(row, col));
    detail.setText(r, 3, grid.text(row, col + 1));
  }
  return detail;
}

void ComparisonWindow::sortByChangeOf(const std::string& variable) {
  core::GridStore& g = store();
  if (variable.empty() || g.rows() < 2) return;
  const std::string change = variable + " (change)";
  const std::string interval = variable + " (in interval)";  // a derived column
  for (int c = 0; c < g.cols(); ++c) {
    if (g.text(0, c) != change && g.text(0, c) != interval) continue;
    core::sortRows(g, core::CellRange{1, g.rows() - 1, c, c}, core::SortOrder::Descending);
    g.setSelection(1, c, 1, c);
    return;
  }
}

void ComparisonWindow::showDetailOf(int row) {
  core::GridStore detail = detailOf(row);
  const std::string_view mark = store().text(row, 0);
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("frmcomparedetail"));
  dialog.setWindowTitle(QStringLiteral("Entry Detail") +
                        (mark.empty() ? QString()
                                      : QStringLiteral(" (%1)").arg(
                                            QString::fromUtf8(mark.data(), static_cast<qsizetype>(mark.size())))));
  auto* layout = new QVBoxLayout(&dialog);
  auto* view = new platform::GridView(detail, &dialog);
  view->setObjectName(QStringLiteral("grddetail"));
  layout->addWidget(view);
  dialog.resize(900, 500);
  dialog.exec();
}

}  // namespace tarvolin::ui
