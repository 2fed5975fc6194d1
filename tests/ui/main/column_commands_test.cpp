// Find Column and Hide Constant Columns wired into the main window, on the wide application
// sample (the matching and the constant rule themselves: core).
#include <QtTest>
#include <QtWidgets>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "common/window_loads.h"
#include "ui/main/main_window.h"

using namespace tarvolin::test;

namespace {

struct Window {
  Window() {
    w.resize(780, 560);
    w.show();
    child<QComboBox>(w, "cmbfile")->setEditText(QStringLiteral(TARVOLIN_SAMPLES_DIR "/application_snapshot_wide.txt"));
  }
  tarvolin::platform::GridView& grd() { return *child<tarvolin::platform::GridView>(w, "grd"); }
  tarvolin::core::GridStore& grid() { return grd().store(); }
  QString status() { return child<QLabel>(w, "statmsgText")->text(); }
  void trigger(const char* action) { child<QAction>(w, action)->trigger(); }
  int col(std::string_view name) {
    for (int c = 0; c < grid().cols(); ++c)
      if (grid().text(0, c) == name) return c;
    return -1;
  }
  /// Find Column with `part` typed in.
  void find(const QString& part) {
    p.dialogs.answers = {part};
    trigger("menfindcol");
  }
  /// The view's current cell is in `col` and on screen.
  bool showsCurrent(int col) {
    const int x = grd().columnViewportPosition(col);
    return grd().currentIndex().column() == col && x >= 0 && x < grd().viewport()->width();
  }

  QTemporaryDir config;
  tarvolin::core::SharedState shared;
  PlatformDouble p;
  tarvolin::ui::MainWindow w{shared, p.platform, config.path().toStdString()};
  QAbstractItemModelTester tester{grd().gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class ColumnCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void findColumnScrollsThereKeepsTheRowAndWrapsOnF3() {
    Window x;
    x.w.loadCurrentFile();
    QVERIFY(loaded(x.w));
    x.grid().setSelection(3, 0, 3, 0);
    x.find(QStringLiteral("LOCK WAITS"));
    const int waits = x.col("Lock waits since connect");
    QVERIFY(x.grid().col() == waits && x.grid().row() == 3);
    QTRY_VERIFY(x.showsCurrent(waits));
    // Beside the key column, which stays in place, the match's title whole; the key lets go at the left edge.
    auto* key = child<QTableView>(x.grd(), "fixedColumn");
    QVERIFY(key->isVisible() && x.grid().fixedCols() == 0);
    QCOMPARE(x.grd().columnViewportPosition(waits), x.grd().columnWidth(0));
    QVERIFY(x.grd().columnViewportPosition(waits) + x.grd().columnWidth(waits) <= x.grd().viewport()->width());
    x.grd().horizontalScrollBar()->setValue(0);
    QVERIFY(key->isHidden());
    x.grid().setSelection(3, x.grid().cols() - 1, 3, x.grid().cols() - 1);
    x.trigger("menfindnext");  // F3: round past the last column
    QVERIFY(x.grid().col() == waits && x.grid().row() == 3);
    QTRY_VERIFY(x.showsCurrent(waits));
    const QPoint at = x.grd().visualRect(x.grd().currentIndex()).topLeft();
    x.trigger("menhideconst");  // the current cell stays where it stands
    QCOMPARE(x.grd().visualRect(x.grd().currentIndex()).topLeft(), at);
    x.find(QStringLiteral("agents stolen"));  // a lone match that is hidden: nothing moves
    QCOMPARE(x.grid().col(), waits);
    QCOMPARE(x.status(), QStringLiteral("Agents stolen (hidden as constant; Hide Constant Columns shows it)"));
  }

  void hideConstantColumnsAfterEveryLoadUntilTurnedOff() {
    Window x;
    x.w.loadCurrentFile();
    QVERIFY(loaded(x.w));
    const int db = x.col("Database name");
    const int dbWidth = x.grid().colWidth(db);
    x.trigger("menhideconst");
    QCOMPARE(x.status(), QStringLiteral("82 constant columns hidden"));  // 159 columns, 77 left
    QTRY_VERIFY(x.grd().isColumnHidden(db));
    QVERIFY(!x.grd().isColumnHidden(x.col("Application handle")));
    x.w.loadCurrentFile();
    QVERIFY(loaded(x.w));  // a reload hides them again
    QVERIFY2(x.status().endsWith(QStringLiteral("; 82 constant columns hidden")), qPrintable(x.status()));
    QTRY_VERIFY(x.grd().isColumnHidden(db));
    QVERIFY(QDir(x.config.path()).isEmpty());  // no .cfg written
    x.trigger("menhideconst");
    QCOMPARE(x.grid().colWidth(db), dbWidth);
    QTRY_VERIFY(!x.grd().isColumnHidden(db));
  }
};

QTEST_MAIN(ColumnCommandsTest)
#include "column_commands_test.moc"
