#include "ui/lockwait/blocking_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QTreeView>
#include <stdexcept>

#include "core/grid/result_grid.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/report_loader.h"
#include "core/values/snapshot_time.h"
#include "ui/detail/entry_detail_window.h"
#include "ui/lockwait/lock_wait_tree_model.h"
#include "ui/result/off_thread.h"

namespace tarvolin::ui {

namespace {

/// Loads the report, finds what `fill` finds in it and opens the window, or tells why not.
template <typename Fill>
BlockingWindow* openWindow(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                           const QString& path, const core::KindChoice& kind, const ResultWindow::Names& names,
                           const QString& caption, Fill fill) {
  return openResultWindow(owner, platform, [&] {
    auto report = std::make_unique<core::LoadedSnapshot>();
    const std::string file = QFile::encodeName(path).toStdString();
    core::GridStore found;
    const QString status = readOffThread(owner, QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()), [&] {
      if (kind.locks || core::holdsLockWaits(kind.heading))
        core::loadLockSnapshot(file, configFolder, *report, kind);
      else
        core::loadSnapshot(file, core::ReportLoader::kWholeFile, configFolder, *report, true, kind);
      if (report->noSuchKind && !report->fileKinds.empty())
        report->report().kindHeading = report->fileKinds.front().heading;  // `fill` tells what it needs
      else if (!report->error.empty())
        throw std::runtime_error(report->error);
      return fill(file, *report, found);
    });
    auto* window = new BlockingWindow(names, caption + QStringLiteral(" - ") + QFileInfo(path).fileName(),
                                      std::move(report), platform, owner);
    window->store() = std::move(found);
    window->showGrid(status);
    return window;
  });
}

}  // namespace

BlockingWindow::BlockingWindow(const Names& names, const QString& title, std::unique_ptr<core::LoadedSnapshot> report,
                               platform::Platform& platform, QWidget* parent)
    : ResultWindow(names, title, platform, parent), m_report(std::move(report)) {}

BlockingWindow::~BlockingWindow() = default;

void BlockingWindow::showDetailOf(int row) {
  const int entry = core::resultEntryRow(store(), row);
  if (entry < 1 || entry >= m_report->grid.rows()) {
    platform().dialogs.message(this, QStringLiteral("This row stands for no entry of the report"));
    return;
  }
  showRowDetail(m_report->grid, entry, platform(), this);
}

void BlockingWindow::showTree(const core::LockWaits& waits) {
  QWidget* grid = takeCentralWidget();  // kept, hidden, as the store's view
  grid->setParent(this);
  grid->hide();
  m_tree = new QTreeView(this);
  m_tree->setObjectName(QStringLiteral("trvlockwaits"));
  m_tree->setModel(new LockWaitTreeModel(waits, m_tree));
  m_tree->setUniformRowHeights(true);
  m_tree->setAlternatingRowColors(true);
  m_tree->header()->setSortIndicator(-1, Qt::AscendingOrder);
  m_tree->setSortingEnabled(true);
  m_tree->expandAll();
  for (int c = 0; c < m_tree->model()->columnCount(); ++c) m_tree->resizeColumnToContents(c);
  setCentralWidget(m_tree);
  m_tree->show();  // the window may be on show already
  connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &BlockingWindow::followTreeCell);
  connect(m_tree, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& i) { showDetailOf(LockWaitTreeModel::treeRow(i) + 1); });
  if (auto* edit = findChild<QMenu*>(QStringLiteral("menedit"))) {
    QAction* order = edit->addAction(QStringLiteral("Tree Order"));
    order->setObjectName(QStringLiteral("mentreeorder"));
    connect(order, &QAction::triggered, this, [this] { m_tree->sortByColumn(-1, Qt::AscendingOrder); });
  }
  m_tree->setFocus();
}

void BlockingWindow::followTreeCell(const QModelIndex& current) {
  // The store holds the rows in tree order, below its header row.
  const int row = LockWaitTreeModel::treeRow(current) + 1;
  const int col = LockWaitTreeModel::headColumn(current.column());
  if (row >= 1) store().setSelection(row, col, row, col);
}

void BlockingWindow::sort(core::SortOrder order) {
  if (m_tree == nullptr || !m_tree->currentIndex().isValid()) {
    ResultWindow::sort(order);
    return;
  }
  m_tree->sortByColumn(m_tree->currentIndex().column(),
                       order == core::SortOrder::Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

BlockingWindow* showLockWaits(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& kind) {
  core::KindChoice locks = kind;
  if (!core::holdsLockWaits(kind.heading)) locks = {0, "", true};  // the kind on show holds none: the file's lock kind
  core::LockWaits found;
  BlockingWindow* window =
      openWindow(owner, platform, configFolder, path, locks, {"frmlockwaits", "grdlockwaits", "statlockwaits"},
                 QStringLiteral("Lock Waits"),
                 [&found](const std::string&, const core::LoadedSnapshot& report, core::GridStore& out) {
                   if (!core::holdsLockWaits(report.report().kindHeading))
                     throw std::runtime_error("Lock waits are read from lock snapshots, not from \"" +
                                              report.report().kindHeading + "\"");
                   const core::LockWaits waits = core::findLockWaits(report.grid, report.report().vars);
                   if (waits.rows.empty()) throw std::runtime_error(std::string(core::kNoLockWaits));
                   core::writeLockWaitGrid(waits, out);
                   found = waits;
                   const std::string which = core::snapshotOfText(report.time());
                   return QStringLiteral("%1Applications waiting: %2")
                       .arg(which.empty() ? QString() : QString::fromStdString(which) + QStringLiteral(". "))
                       .arg(waits.waiting);
                 });
  if (window != nullptr) window->showTree(found);
  return window;
}

BlockingWindow* showDeadlocks(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& /*kind*/) {
  core::KindChoice log;
  log.heading = std::string(core::kEventLog);
  return openWindow(owner, platform, configFolder, path, log, {"frmdeadlocks", "grddeadlocks", "statdeadlocks"},
                    QStringLiteral("Deadlocks"),
                    [](const std::string& file, const core::LoadedSnapshot&, core::GridStore& out) {
                      const std::vector<core::Deadlock> deadlocks = core::readDeadlocks(file);
                      if (deadlocks.empty()) throw std::runtime_error("The event log records no deadlock");
                      core::writeDeadlockGrid(deadlocks, out);
                      return QStringLiteral("Deadlocks: %1").arg(deadlocks.size());
                    });
}

}  // namespace tarvolin::ui
