#include "ui/compare/comparison_window.h"

#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/compare/entry_changes.h"
#include "core/derived/comparison_derived.h"
#include "core/grid/grid_commands.h"
#include "core/grid/grid_output.h"
#include "core/grid/result_grid.h"
#include "ui/compare/compare_settings_bar.h"
#include "ui/compare/entry_changes_controls.h"
#include "ui/detail/entry_detail_window.h"
#include "ui/result/column_commands.h"

namespace tarvolin::ui {

namespace {

constexpr int kDerivedWidth = 1600;
/// Twips a key column takes at most when the window opens.
constexpr int kKeyWidth = 3600;

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
  m_sideways = s.comparison.entries.size() == 1;
  fill();
  showGrid(comparisonStatus(s.comparison));
  if (m_sideways)
    addSidewaysControls(bar);
  else
    addColumnCommands();
}

void ComparisonWindow::addColumnCommands() {
  m_columns = std::make_unique<ColumnCommands>(
      store(), platform().dialogs,
      ColumnCommands::Host{*this, [this](const QString& s) { setStatus(s); },
                           findChild<platform::GridView*>(QStringLiteral("grdcompare"))});
  auto* edit = findChild<QMenu*>(QStringLiteral("menedit"));
  if (edit == nullptr) return;
  edit->addSeparator();
  QAction* find = edit->addAction(QStringLiteral("Find Column..."), m_columns.get(), &ColumnCommands::findColumn);
  find->setObjectName(QStringLiteral("menfindcol"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* next = edit->addAction(QStringLiteral("Find Next Column"), m_columns.get(), &ColumnCommands::findNext);
  next->setObjectName(QStringLiteral("menfindnext"));
  next->setShortcut(QKeySequence(Qt::Key_F3));
  QAction* hide = edit->addAction(QStringLiteral("Hide Constant Columns"));
  hide->setObjectName(QStringLiteral("menhideconst"));
  hide->setCheckable(true);
  connect(hide, &QAction::toggled, m_columns.get(), &ColumnCommands::setHideConstant);
}

void ComparisonWindow::addSidewaysControls(QToolBar* bar) {
  m_hideUnchanged = hideUnchangedBox(store(), this);
  bar->addWidget(m_hideUnchanged);
  if (auto* edit = findChild<QMenu*>(QStringLiteral("menedit"))) {
    QAction* sort = edit->addAction(QStringLiteral("Sort by Change"));
    sort->setObjectName(QStringLiteral("mensortchange"));
    connect(sort, &QAction::triggered, this, [this] { sortByChange(store()); });
  }
  spreadChangeColumns(findChild<platform::GridView*>(QStringLiteral("grdcompare")));
}

void ComparedSnapshots::compare(std::optional<int64_t> givenMicros, std::optional<core::DateOrder> dateOrder) {
  comparison = core::compareSnapshots(earlier, later, types, givenMicros, dateOrder);
  plan.leaveOutPlaceholders(comparison, earlier, later);
  // The entries' keys first, so that the window opens with them in view.
  std::vector<std::string> keys;
  const core::EntryKeys laterKeys(later, core::EntryKeys::commonChoice(earlier, later));
  for (const int col : laterKeys.columns())
    if (col >= 0) keys.push_back(later.report().vars[col].name);
  core::putFirst(comparison, keys);
  keyCount = keys.size();
}

void ComparisonWindow::fill() {
  if (!m_sideways) {
    fillWide(store());
    openOnFirstChange();
    if (m_columns) (void)m_columns->loaded();  // Hide Constant Columns, when on, hides them again
    return;
  }
  fillWide(m_wide);
  core::GridStore changes = changesOf(m_wide, 1);
  core::fitResultColumns(changes);
  changes.setCols(changes.cols() + 1);  // the hidden last column of a result: no entry of its own
  changes.setColWidth(changes.cols() - 1, 0);
  store().replaceWith(std::move(changes));
  if (m_hideUnchanged != nullptr) core::hideUnchanged(store(), 1, m_hideUnchanged->isChecked());
}

void ComparisonWindow::openOnFirstChange() {
  core::GridStore& g = store();
  const core::Comparison& c = m_compared->comparison;
  if (g.rows() < 2) return;
  // The keys (a statement's text, say) no wider than a part of the window: their tool tips show them whole.
  for (size_t i = 0; i < m_compared->keyCount && i < c.vars.size(); ++i)
    if (g.colWidth(c.vars[i].col) > kKeyWidth) g.setColWidth(c.vars[i].col, kKeyWidth);
  for (const core::ComparedVariable& v : c.vars) {
    if (!v.counter || g.colWidth(v.col) == 0) continue;
    for (int r = 1; r < g.rows(); ++r) {
      const std::string_view change = g.text(r, v.col + 1);
      if (!change.empty() && change != "0") {
        g.setSelection(1, v.col + 1, 1, v.col + 1);
        return;
      }
    }
  }
}

void ComparisonWindow::fillWide(core::GridStore& store) {
  ComparedSnapshots& s = *m_compared;
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

core::GridStore ComparisonWindow::detailOf(int row) const { return changesOf(store(), row); }

core::GridStore ComparisonWindow::changesOf(const core::GridStore& wide, int row) const {
  const ComparedSnapshots& s = *m_compared;
  const core::ComparedEntry& e = s.comparison.entries[std::stoul(std::string(wide.text(row, wide.cols() - 1)))];
  core::GridStore changes;
  changes.setCols(static_cast<int>(core::kEntryChangeHeads.size()));
  changes.setRows(static_cast<int>(s.comparison.vars.size() + m_derived.size()) + 1);
  core::writeEntryChangeHeads(changes, 0, 0);
  const int next = core::writeEntryChanges(s.comparison, e, s.earlier, s.later, wide, row, changes, 1, 0);
  if (!m_derived.empty()) {  // their pairs stand before the entry numbers
    const core::ComparisonDerived more(core::pointersTo(m_derived), s.comparison);
    const core::DerivedEvaluator onEarlier(core::pointersTo(m_derived), s.earlier.report().vars);
    more.writeChanges(onEarlier, s.earlier, e.earlierRow, e.laterRow > 0, wide, row, wide.cols() - 1 - more.cols(),
                      changes, next, 0);
  }
  return changes;
}

void ComparisonWindow::sortByChangeOf(const std::string& variable) {
  core::GridStore& g = store();
  if (variable.empty() || g.rows() < 2) return;
  if (m_sideways) {  // by change, the variable's row current
    sortByChange(g);
    for (int r = 1; r < g.rows(); ++r)
      if (g.text(r, 0) == variable) g.setSelection(r, 3, r, 3);
    return;
  }
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
  if (m_sideways) {  // a row is a variable already
    showRowDetail(store(), row, platform(), this);
    return;
  }
  core::GridStore detail = detailOf(row);
  core::fitResultColumns(detail);
  const std::string_view mark = store().text(row, 0);
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("frmcomparedetail"));
  dialog.setWindowTitle(QStringLiteral("Entry Detail") +
                        (mark.empty() ? QString()
                                      : QStringLiteral(" (%1)").arg(
                                            QString::fromUtf8(mark.data(), static_cast<qsizetype>(mark.size())))));
  auto* layout = new QVBoxLayout(&dialog);
  auto* controls = new QHBoxLayout;
  controls->addWidget(hideUnchangedBox(detail, &dialog));
  auto* sort = new QPushButton(QStringLiteral("Sort by Change"), &dialog);
  sort->setObjectName(QStringLiteral("cmdsortchange"));
  connect(sort, &QPushButton::clicked, &dialog, [&detail] { sortByChange(detail); });
  controls->addWidget(sort);
  controls->addStretch();
  layout->addLayout(controls);
  auto* view = new platform::GridView(detail, &dialog);
  view->setObjectName(QStringLiteral("grddetail"));
  layout->addWidget(view);
  spreadChangeColumns(view);
  dialog.resize(900, 500);
  dialog.exec();
}

}  // namespace tarvolin::ui
