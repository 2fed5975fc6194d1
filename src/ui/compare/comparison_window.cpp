#include "ui/compare/comparison_window.h"

#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/grid_output.h"

namespace tarvolin::ui {

namespace {

/// Columns of the detail of one entry.
constexpr const char* kDetailHeads[] = {"Variable", "Earlier", "Later", "Change", "Per s"};
constexpr int kDetailWidth = 2600;

}  // namespace

QString comparisonStatus(const core::Comparison& c) {
  const core::CompareCounts& n = c.counts;
  QString text = QString::fromStdString(c.intervalNote) + QStringLiteral("   Matched: %1  New: %2  Gone: %3  Reset: %4")
                                                              .arg(n.matched)
                                                              .arg(n.added)
                                                              .arg(n.gone)
                                                              .arg(n.reset);
  if (n.changed > 0) text += QStringLiteral("  Changed: %1").arg(n.changed);
  return text;
}

ComparisonWindow::ComparisonWindow(std::unique_ptr<ComparedSnapshots> compared, const QString& title,
                                   platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_compared(std::move(compared)), m_platform(platform) {
  setObjectName(QStringLiteral("frmcompare"));
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  ComparedSnapshots& s = *m_compared;
  core::writeComparisonGrid(s.comparison, s.earlier, s.later, m_store);
  const int entryCol = m_store.cols();
  m_store.setCols(entryCol + 1);
  m_store.setColWidth(entryCol, 0);
  for (int r = 1; r < m_store.rows(); ++r) m_store.setText(r, entryCol, std::to_string(r - 1));
  m_grid = new platform::GridView(m_store, this);
  m_grid->setObjectName(QStringLiteral("grdcompare"));
  setCentralWidget(m_grid);
  m_status = new QLabel(comparisonStatus(s.comparison), this);
  m_status->setObjectName(QStringLiteral("statcompare"));
  statusBar()->addWidget(m_status, 1);
  connect(m_grid, &QAbstractItemView::doubleClicked, this, &ComparisonWindow::showDetail);
  buildMenus();
  resize(1000, 600);
}

ComparisonWindow::~ComparisonWindow() = default;

void ComparisonWindow::buildMenus() {
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("menedit"));
  auto item = [&](const char* name, const QString& caption, QKeySequence keys, auto slot) {
    QAction* a = edit->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(keys);
    connect(a, &QAction::triggered, this, slot);
  };
  item("mencopy", QStringLiteral("Copy Cells"), QKeySequence(Qt::CTRL | Qt::Key_C), &ComparisonWindow::copyCells);
  item("mensortasc", QStringLiteral("Sort Ascending"), {}, [this] { sort(core::SortOrder::Ascending); });
  item("mensortdesc", QStringLiteral("Sort Descending"), {}, [this] { sort(core::SortOrder::Descending); });
  item("mendetail", QStringLiteral("Show Row Detail"), QKeySequence(Qt::Key_Return), &ComparisonWindow::showDetail);
}

void ComparisonWindow::copyCells() {
  core::CellRange range = core::selectionRange(m_store);
  range.c2 = std::max(range.c1, std::min(range.c2, m_store.cols() - 2));  // never the entry numbers
  const std::string text = core::cellsText(m_store, range);
  if (const auto failure = m_platform.clipboard.setText(QString::fromStdString(text))) {
    m_platform.dialogs.message(this, *failure);
    return;
  }
  m_status->setText(QString::fromStdString(core::copiedStatusText(range.cellCount())));
}

void ComparisonWindow::sort(core::SortOrder order) { core::sortSelection(m_store, order); }

core::GridStore ComparisonWindow::detailOf(int row) const {
  const ComparedSnapshots& s = *m_compared;
  const core::ComparedEntry& e = s.comparison.entries[std::stoul(std::string(m_store.text(row, m_store.cols() - 1)))];
  core::GridStore detail;
  detail.setCols(5);
  detail.setRows(static_cast<int>(s.comparison.vars.size()) + 1);
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
      detail.setText(r, 3, m_store.text(row, v.col + 1));
      detail.setText(r, 4, m_store.text(row, v.col + 2));
    }
    ++r;
  }
  return detail;
}

void ComparisonWindow::showDetail() {
  const int row = m_store.row();
  if (row < 1 || row >= m_store.rows()) return;
  core::GridStore detail = detailOf(row);
  const std::string_view mark = m_store.text(row, 0);
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
