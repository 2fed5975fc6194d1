#include "ui/lockwait/blocking_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>
#include <stdexcept>

#include "core/grid/result_grid.h"
#include "core/lockwait/blockers.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/report_loader.h"
#include "core/series/series.h"
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

const core::LoadedSnapshot& BlockingWindow::report() const {
  return m_history.empty() ? *m_report : m_history[static_cast<size_t>(m_chosen)].snapshot;
}

void BlockingWindow::showDetailOf(int row) {
  if (!m_history.empty()) {
    if (row >= 1 && row < store().rows()) showRowDetail(store(), row, platform(), this);
    return;
  }
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

void BlockingWindow::showHistory(std::vector<LockSnapshotWaits> snapshots, int chosen) {
  m_history = std::move(snapshots);
  QWidget* grid = takeCentralWidget();  // the blocker table, under the tree
  auto* split = new QSplitter(Qt::Horizontal, this);
  m_snapshots = new QListWidget(split);
  m_snapshots->setObjectName(QStringLiteral("lstsnapshots"));
  for (const LockSnapshotWaits& s : m_history) {
    const QString time = QString::fromStdString(core::timeOfDay(s.label));
    m_snapshots->addItem(s.waits.waiting > 0 ? QStringLiteral("%1   %2 waiting").arg(time).arg(s.waits.waiting)
                                             : QStringLiteral("%1   no waits").arg(time));
    m_snapshots->item(m_snapshots->count() - 1)->setToolTip(QString::fromStdString(s.label));
  }
  auto* right = new QSplitter(Qt::Vertical, split);
  m_historyTree = new QTreeView(right);
  m_historyTree->setObjectName(QStringLiteral("trvlockwaits"));
  m_historyTree->setUniformRowHeights(true);
  m_historyTree->setAlternatingRowColors(true);
  m_historyTree->setSortingEnabled(true);
  grid->setParent(right);
  right->addWidget(grid);
  split->setStretchFactor(1, 1);
  setCentralWidget(split);
  split->setSizes({m_snapshots->sizeHintForColumn(0) + 2 * m_snapshots->frameWidth() + 8, split->width()});
  connect(m_snapshots, &QListWidget::currentRowChanged, this, &BlockingWindow::chooseSnapshot);
  connect(m_historyTree, &QAbstractItemView::doubleClicked, this, &BlockingWindow::showTreeEntry);
  m_snapshots->setCurrentRow(chosen);
  m_snapshots->setFocus();
}

void BlockingWindow::chooseSnapshot(int index) {
  if (index < 0 || index >= static_cast<int>(m_history.size())) return;
  m_chosen = index;
  if (m_snapshots->currentRow() != index) m_snapshots->setCurrentRow(index);
  QAbstractItemModel* before = m_historyTree->model();
  QItemSelectionModel* selection = m_historyTree->selectionModel();
  m_historyTree->setModel(new LockWaitTreeModel(m_history[static_cast<size_t>(index)].waits, m_historyTree));
  delete selection;
  delete before;
  m_historyTree->header()->setSortIndicator(-1, Qt::AscendingOrder);
  m_historyTree->expandAll();
  for (int c = 0; c < m_historyTree->model()->columnCount(); ++c) m_historyTree->resizeColumnToContents(c);
}

void BlockingWindow::showTreeEntry(const QModelIndex& index) {
  const LockSnapshotWaits& s = m_history[static_cast<size_t>(m_chosen)];
  const int entry = core::resultEntryRow(s.tree, LockWaitTreeModel::treeRow(index) + 1);
  if (entry < 1 || entry >= s.snapshot.grid.rows()) {
    platform().dialogs.message(this, QStringLiteral("This row stands for no entry of the report"));
    return;
  }
  showRowDetail(s.snapshot.grid, entry, platform(), this);
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

namespace {

/// The kind whose statements the blocker table takes.
constexpr const char* kApplicationKind = "Application Snapshot";

/// Reads the lock snapshots of `source` with their waits and root blockers, the statements of
/// the blockers from the capture's Application Snapshot in the window. Throws with the text for the user.
std::vector<LockSnapshotWaits> readLockHistory(const core::SeriesSource& source, core::BlockerHistory& blockers) {
  std::vector<LockSnapshotWaits> read;
  (void)core::forEachSeriesSnapshot(source, [&](core::LoadedSnapshot& s, int number) {
    if (!core::holdsLockWaits(s.report().kindHeading))
      throw std::runtime_error("Lock waits are read from lock snapshots, not from \"" + s.report().kindHeading + "\"");
    LockSnapshotWaits one;
    one.label = core::snapshotLabel(s, number);
    one.waits = core::findLockWaits(s.grid, s.report().vars);
    core::writeLockWaitGrid(one.waits, one.tree);
    blockers.add(one.waits, s.grid, s.report().vars, one.label);
    one.snapshot = core::takeSnapshot(s);
    read.push_back(std::move(one));
  });
  if (blockers.blockers().empty()) return read;
  core::SeriesSource apps = source;
  apps.kind = kApplicationKind;
  try {
    (void)core::forEachSeriesSnapshot(
        apps, [&](core::LoadedSnapshot& s, int) { blockers.addStatements(s.grid, s.report().vars); });
  } catch (const std::exception&) {
    // a capture without applications: the table has no statements
  }
  return read;
}

/// The status line of a history: how many snapshots had waits, and that the last had none
/// when an earlier one had.
QString historyStatus(const std::vector<LockSnapshotWaits>& read, size_t blockers) {
  int withWaits = 0;
  int lastWithWaits = -1;
  for (size_t i = 0; i < read.size(); ++i)
    if (!read[i].waits.rows.empty()) {
      ++withWaits;
      lastWithWaits = static_cast<int>(i);
    }
  const auto time = [&](size_t i) { return QString::fromStdString(core::timeOfDay(read[i].label)); };
  QString status = QStringLiteral("Snapshots: %1 (%2 to %3), with lock waits: %4, root blockers: %5")
                       .arg(read.size())
                       .arg(time(0), time(read.size() - 1))
                       .arg(withWaits)
                       .arg(blockers);
  if (read.back().waits.rows.empty())
    status = QStringLiteral(
                 "No application waits in the last snapshot (%1); %2 of the window had waits, the last "
                 "at %3. ")
                 .arg(time(read.size() - 1),
                      withWaits == 1 ? QStringLiteral("1 snapshot") : QStringLiteral("%1 snapshots").arg(withWaits),
                      time(static_cast<size_t>(lastWithWaits))) +
             status;
  return status;
}

/// Show Lock Waits over a window of snapshots (or all of a file's several).
BlockingWindow* showLockHistory(QWidget* owner, platform::Platform& platform, const core::SeriesSource& source,
                                const QString& path, const core::SnapshotWindow& window) {
  return openResultWindow(owner, platform, [&]() -> BlockingWindow* {
    core::BlockerHistory blockers;
    std::vector<LockSnapshotWaits> read =
        readOffThread(owner, QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()),
                      [&] { return readLockHistory(source, blockers); });
    const auto waits = [](const LockSnapshotWaits& s) { return !s.waits.rows.empty(); };
    const auto last = std::find_if(read.rbegin(), read.rend(), waits);
    if (last == read.rend())
      throw std::runtime_error(std::string(core::kNoLockWaits) +
                               (window.given() ? " in any snapshot of the window" : " in any snapshot"));
    auto* w = new BlockingWindow({"frmlockwaits", "grdlockwaits", "statlockwaits"},
                                 QStringLiteral("Lock Waits - ") + QFileInfo(path).fileName(),
                                 std::make_unique<core::LoadedSnapshot>(), platform, owner);
    blockers.write(w->store());
    core::fitResultColumns(w->store());
    w->showGrid(historyStatus(read, blockers.blockers().size()));
    const int chosen = static_cast<int>(std::distance(read.begin(), last.base()) - 1);
    w->showHistory(std::move(read), chosen);
    return w;
  });
}

}  // namespace

BlockingWindow* showLockWaits(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& kind, const core::SnapshotWindow& window) {
  core::KindChoice locks = kind;
  if (!core::holdsLockWaits(kind.heading)) locks = {0, "", true};  // the kind on show holds none: the file's lock kind
  const std::string file = QFile::encodeName(path).toStdString();
  size_t snapshots = 0;
  if (!window.given()) {
    try {
      snapshots = readOffThread(owner, QString(), [&] { return core::listSnapshots(file, locks).size(); });
    } catch (const std::exception&) {
      // told as the one snapshot's load tells it
    }
  }
  if (window.given() || snapshots > 1) {
    core::SeriesSource source{{file}, std::nullopt, configFolder, std::nullopt, locks, window};
    if (!locks.heading.empty()) source.kind = locks.heading;
    return showLockHistory(owner, platform, source, path, window);
  }
  core::LockWaits found;
  BlockingWindow* shown =
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
  if (shown != nullptr) shown->showTree(found);
  return shown;
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
