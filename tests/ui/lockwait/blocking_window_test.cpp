// The lock-wait and deadlock windows on the samples: sorting keeps each row with its entry.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QTreeView>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "core/grid/result_grid.h"
#include "ui/lockwait/blocking_window.h"

using namespace tarvolin;
using test::child;

namespace {

QString sample(const char* name) { return QStringLiteral(TARVOLIN_SAMPLES_DIR "/") + QLatin1String(name); }

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

 private:
  test::PlatformDouble d;
};

}  // namespace

QTEST_MAIN(BlockingWindowTest)
#include "blocking_window_test.moc"
