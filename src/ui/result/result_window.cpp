#include "ui/result/result_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "platform/grid_copy.h"

namespace tarvolin::ui {

ResultWindow::ResultWindow(const Names& names, const QString& title, platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_names(names), m_platform(platform) {
  setObjectName(QLatin1String(names.window));
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
}

void ResultWindow::showGrid(const QString& status) {
  m_grid = new platform::GridView(m_store, this);
  m_grid->setObjectName(QLatin1String(m_names.grid));
  setCentralWidget(m_grid);
  m_status = new QLabel(status, this);
  m_status->setObjectName(QLatin1String(m_names.status));
  statusBar()->addWidget(m_status, 1);
  connect(m_grid, &QAbstractItemView::doubleClicked, this, &ResultWindow::showDetail);
  buildMenus();
  // As wide as the columns, within the screen.
  const int wide = m_grid->horizontalHeader()->length() + m_grid->verticalHeader()->width() + 40;
  resize(std::clamp(wide, 600, screen()->availableGeometry().width()), 600);
}

void ResultWindow::setStatus(const QString& status) { m_status->setText(status); }

void ResultWindow::buildMenus() {
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("menedit"));
  auto item = [&](const char* name, const QString& caption, QKeySequence keys, auto slot) {
    QAction* a = edit->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(keys);
    connect(a, &QAction::triggered, this, slot);
  };
  item("mencopy", QStringLiteral("Copy Cells"), QKeySequence(Qt::CTRL | Qt::Key_C), &ResultWindow::copyCells);
  item("mensortasc", QStringLiteral("Sort Ascending"), {}, [this] { sort(core::SortOrder::Ascending); });
  item("mensortdesc", QStringLiteral("Sort Descending"), {}, [this] { sort(core::SortOrder::Descending); });
  item("mendetail", QStringLiteral("Show Row Detail"), QKeySequence(Qt::Key_Return), &ResultWindow::showDetail);
}

void ResultWindow::copyCells() {
  // The last column is hidden: it is left out.
  if (const std::optional<QString> status = platform::copyCells(m_store, m_platform, this, m_store.cols() - 1))
    m_status->setText(*status);
}

void ResultWindow::sort(core::SortOrder order) { core::sortSelection(m_store, order); }

void ResultWindow::showDetail() {
  const int row = m_store.row();
  if (row >= 1 && row < m_store.rows()) showDetailOf(row);
}

}  // namespace tarvolin::ui
