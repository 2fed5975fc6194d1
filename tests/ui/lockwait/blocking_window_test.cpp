// The lock-wait and deadlock windows on the samples: sorting keeps each row with its entry.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "common/samples.h"
#include "core/grid/result_grid.h"
#include "ui/lockwait/blocking_window.h"

using namespace tarvolin;
using test::child;
using test::sample;

namespace {

/// An empty folder for the kinds' configuration files.
const std::string& folder() {
  static const QTemporaryDir dir;
  static const std::string path = dir.path().toStdString();
  return path;
}

class BlockingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void sortedRowsKeepTheirEntriesAndCopyLeavesThemOut() {
    using Open = ui::BlockingWindow* (*)(QWidget*, platform::Platform&, const std::string&, const QString&,
                                         const core::KindChoice&);
    const struct {
      Open open;
      const char *file, *grid, *keyVar;  // keyVar: the variable shown in column keyCol
      int keyCol, rows;
    } views[] = {{[](QWidget* o, platform::Platform& p, const std::string& f, const QString& path,
                     const core::KindChoice& k) { return ui::showLockWaits(o, p, f, path, k); },
                  "lock_waits.txt", "grdlockwaits", "Application handle", 1, 22},
                 {&ui::showDeadlocks, "deadlock_events.txt", "grddeadlocks", "Deadlock ID", 1, 5}};
    for (const auto& v : views) {
      ui::BlockingWindow* w = v.open(nullptr, d.platform, folder(), sample(v.file), {});
      QVERIFY(w != nullptr);
      QAbstractItemModelTester tester(child<platform::GridView>(*w, v.grid)->model(),
                                      QAbstractItemModelTester::FailureReportingMode::QtTest);
      core::GridStore& g = w->store();
      QCOMPARE(g.rows(), v.rows + 1);
      g.setSelection(1, 8, g.rows() - 1, 8);
      w->sort(core::SortOrder::Descending);
      const int var = w->report().report().vars.lookup(v.keyVar);
      for (int r = 1; r < g.rows(); ++r)
        if (const int entry = core::resultEntryRow(g, r); entry > 0)
          QCOMPARE(w->report().grid.text(entry, var), g.text(r, v.keyCol));
      g.setSelection(1, 0, 1, g.cols() - 1);
      w->copyCells();
      QCOMPARE(d.clipboard.lastText().count('\t'), g.cols() - 2);
      delete w;
    }
  }

  void whatCantBeShownIsToldInAMessageBox() {
    const struct {
      bool locks;
      const char *file, *message;
    } cases[] = {
        {true, "table_snapshot.txt", "Lock waits are read from lock snapshots, not from \"Table Snapshot\""},
        {false, "lock_waits.txt", "the report is not an event monitor log (its heading is \"Database Lock Snapshot\")"},
        {false, "lock_snapshot.txt",
         "the report is not an event monitor log (its heading is \"Database Lock Snapshot\")"},
    };
    for (const auto& c : cases) {
      QVERIFY(!(c.locks ? ui::showLockWaits(nullptr, d.platform, folder(), sample(c.file))
                        : ui::showDeadlocks(nullptr, d.platform, folder(), sample(c.file))));
      QCOMPARE(d.dialogs.messages.last(), QLatin1String(c.message));
    }
    QVERIFY(!ui::showLockWaits(nullptr, d.platform, folder(), sample("absent.txt")));
    QVERIFY(d.dialogs.messages.last().contains(QStringLiteral("absent.txt")));
    ui::BlockingWindow* w = ui::showLockWaits(nullptr, d.platform, folder(), sample("lock_waits.txt"));
    int outside = 1;  // the root of holder 777, not in the report
    while (w->store().text(outside, 1) != "777") ++outside;
    w->showDetailOf(outside);
    QCOMPARE(d.dialogs.messages.last(), QStringLiteral("This row stands for no entry of the report"));
    delete w;
  }

  void eachWaiterIsShownUnderItsHolderInAnyOrder() {
    ui::BlockingWindow* w = ui::showLockWaits(nullptr, d.platform, folder(), sample("lock_waits.txt"));
    QVERIFY(w != nullptr);
    auto* tree = child<QTreeView>(*w, "trvlockwaits");
    QVERIFY(tree->isVisible());
    QAbstractItemModel* m = tree->model();
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const int handle = 0;
    const int waitingFor = 3;
    QStringList wrong;  // waiters shown under somebody else
    // Each waiter's "Waiting for" names the holder it is shown under; the tree order comes back.
    auto walk = [&](auto& self, const QModelIndex& parent, QStringList& order) -> int {
      int waiters = 0;
      for (int r = 0; r < m->rowCount(parent); ++r) {
        const QModelIndex i = m->index(r, handle, parent);
        order << i.data().toString();
        if (parent.isValid() && !parent.data().toString().isEmpty()) {
          if (m->index(r, waitingFor, parent).data() == parent.data())
            ++waiters;
          else
            wrong << i.data().toString();
        }
        waiters += self(self, i, order);
      }
      return waiters;
    };
    QStringList first;
    QVERIFY(walk(walk, {}, first) > 0);
    tree->setCurrentIndex(m->index(0, handle));
    w->sort(core::SortOrder::Descending);
    QStringList sorted;
    QVERIFY(walk(walk, {}, sorted) > 0);
    QVERIFY(sorted != first);
    child<QAction>(*w, "mentreeorder")->trigger();
    QStringList again;
    walk(walk, {}, again);
    QCOMPARE(again, first);
    QCOMPARE(wrong, QStringList());
    delete w;
  }

  void aWindowOfLockSnapshotsListsThemWithTheirRootBlockers() {
    const core::SnapshotWindow window = core::parseSnapshotWindow("16:06", "16:10");
    ui::BlockingWindow* w = ui::showLockWaits(nullptr, d.platform, folder(), sample("slow_window.txt"), {}, window);
    QVERIFY(w != nullptr);
    {  // the testers go before the models
      auto* list = child<QListWidget>(*w, "lstsnapshots");
      auto* tree = child<QTreeView>(*w, "trvlockwaits");
      QAbstractItemModelTester listTester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
      QAbstractItemModelTester gridTester(child<platform::GridView>(*w, "grdlockwaits")->model(),
                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
      QCOMPARE(list->count(), 5);
      QCOMPARE(list->currentRow(), 3);  // the last with waits
      QCOMPARE(list->item(2)->text(), QStringLiteral("16:08:00   3 waiting"));
      QCOMPARE(list->item(4)->text(), QStringLiteral("16:10:00   no waits"));
      QCOMPARE(child<QLabel>(*w, "statlockwaits")->text(),
               QStringLiteral("No application waits in the last snapshot (16:10:00); 4 snapshots of the window had "
                              "waits, the last at 16:09:00. Snapshots: 5 (16:06:00 to 16:10:00), with lock waits: 4, "
                              "root blockers: 2"));
      const core::GridStore& g = w->store();  // as tarvolin-export --lock-waits --blockers writes them
      QCOMPARE(g.rows(), 3);
      QCOMPARE(g.text(2, 0), "5120");
      QCOMPARE(g.text(2, 6), "3");
      QCOMPARE(g.text(2, 8), "UPDATE SHOP.ORDERS SET STATUS = 'S' WHERE CUST_ID = 4711");
      QAbstractItemModelTester treeTester(tree->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
      QCOMPARE(tree->model()->index(0, 0).data().toString(), QStringLiteral("5120"));
      list->setCurrentRow(0);  // 16:06: another blocker's tree
      QCOMPARE(tree->model()->index(0, 0).data().toString(), QStringLiteral("5102"));
      QCOMPARE(w->report().time(), "12/07/2026 16:06:00.123518");
      w->resize(900, 480);
      list->setCurrentRow(3);
      QVERIFY(w->grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/lock_waits_window.png")));
    }
    delete w;
    // A file of several lock snapshots without a window: all of them.
    w = ui::showLockWaits(nullptr, d.platform, folder(), sample("slow_window.txt"));
    QCOMPARE(child<QListWidget>(*w, "lstsnapshots")->count(), 7);
    delete w;
  }

 private:
  test::PlatformDouble d;
};

}  // namespace

QTEST_MAIN(BlockingWindowTest)
#include "blocking_window_test.moc"
