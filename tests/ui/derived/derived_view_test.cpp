// Derived columns in the main grid and the statements-by-shape window.
#include <QAbstractItemModelTester>
#include <QtTest>
#include <QtWidgets>
#include <chrono>
#include <filesystem>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "common/samples.h"
#include "common/window_loads.h"
#include "core/grid/result_grid.h"
#include "ui/derived/statements_window.h"
#include "ui/main/main_window.h"

using namespace tarvolin;
using test::child;
using test::sample;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

/// Column of `grid` named `name` in its header row, or -1.
int columnOf(const core::GridStore& grid, std::string_view name) {
  for (int c = 0; c < grid.cols(); ++c)
    if (grid.text(0, c) == name) return c;
  return -1;
}

/// The main window over the platform doubles, with the shipped files beside the built programs.
struct Window {
  explicit Window(const QTemporaryDir& folder) : w(shared, p.platform, folder.path().toStdString()) {
    p.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app");
    w.show();
  }
  core::GridStore& grid() { return child<platform::GridView>(w, "grd")->store(); }
  /// Options > Derived Columns; its switch reloads the report.
  QAction& derived() { return *child<QAction>(w, "menderived"); }
  void switchDerived() {
    derived().trigger();
    QVERIFY(test::loaded(w));
  }
  bool load(const QString& path) {
    child<QComboBox>(w, "cmbfile")->setEditText(path);
    w.loadCurrentFile();
    return test::loaded(w);
  }

  core::SharedState shared;
  test::PlatformDouble p;
  ui::MainWindow w;
  QAbstractItemModelTester tester{child<platform::GridView>(w, "grd")->model(),
                                  QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class DerivedViewTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_folder;

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void derivedColumnsJoinTheGridAsVariablesAndAreRememberedPerKind() {
    QSettings(QStringLiteral("Tarvolin"), QStringLiteral("Tarvolin")).clear();
    // The kind's configuration hides one of them, as Customise writes it.
    writeFile(m_folder.filePath(QStringLiteral("DynamicSQLSnapshotResult.cfg")),
              "Y;;;;;Statement text;\r\nN;;;;;Average CPU time (s);\r\nY;;;;;Rows read per execution;\r\n");
    Window x(m_folder);
    QVERIFY(x.load(sample("dynamic_sql_snapshot.txt")));
    QVERIFY(x.derived().isEnabled() && !x.derived().isChecked());
    QCOMPARE(columnOf(x.grid(), "Average execution time (s)"), -1);
    x.switchDerived();  // checks it and reloads
    QVERIFY(x.derived().isChecked());
    const int average = columnOf(x.grid(), "Average execution time (s)");
    const int cpu = columnOf(x.grid(), "Average CPU time (s)");
    QCOMPARE(cpu, 1);  // where the configuration puts it, hidden, its values kept
    QCOMPARE(x.grid().colWidth(cpu), 0);
    QCOMPARE(x.grid().text(2, cpu), "0.662007");
    QVERIFY(average > cpu && x.grid().colWidth(average) > 0);
    QCOMPARE(x.grid().report().vars[average].name, "Average execution time (s)");
    QCOMPARE(x.grid().text(2, average), "1.104467");
    QVERIFY(x.p.dialogs.messages.isEmpty());
    x.grid().setSelection(2, average, 2, average);
    child<QAction>(x.w, "menlike")->trigger();  // a filter on a column the load does not fill
    QVERIFY(test::loaded(x.w));
    QCOMPARE(x.grid().rows(), 2);
    QCOMPARE(x.grid().text(1, average), "1.104467");

    Window y(m_folder);  // remembered for the kind, not for others
    QVERIFY(y.load(sample("dynamic_sql_snapshot.txt")));
    QVERIFY(y.derived().isChecked());
    QVERIFY(columnOf(y.grid(), "Rows read per execution") > 0);
    QVERIFY(y.load(sample("lock_snapshot.txt")));
    QVERIFY(!y.derived().isChecked());
    QVERIFY(y.load(sample("dynamic_sql_snapshot.txt")));
    y.switchDerived();  // off again
    QCOMPARE(columnOf(y.grid(), "Average execution time (s)"), -1);
    QCOMPARE(y.grid().colWidth(columnOf(y.grid(), "Rows read per execution")), 0);  // listed, empty, not shown
  }

  void theChartDrawsADerivedColumnOfTheGridInEachInterval() {
    QSettings(QStringLiteral("Tarvolin"), QStringLiteral("Tarvolin")).clear();
    Window x(m_folder);
    QVERIFY(x.load(sample("capture_loop.txt")));  // its database snapshot, taken three times
    x.switchDerived();
    const int ratio = columnOf(x.grid(), "Data hit ratio (%)");
    QVERIFY(ratio > 0);
    auto* tabs = child<QTabBar>(x.w, "tabkinds");
    for (const int tab : {4, 0}) {  // its Table Snapshot, of no derived columns, and back from the kind cache
      tabs->setCurrentIndex(tab);
      QVERIFY(test::loaded(x.w));
    }
    x.grid().setSelection(1, ratio, 1, ratio);
    child<QAction>(x.w, "menchart")->trigger();
    QWidget* chart = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == QStringLiteral("frmchart")) chart = top;
    QVERIFY2(chart != nullptr, qPrintable(x.p.dialogs.messages.join('\n')));
    QCOMPARE(child<platform::GridView>(*chart, "grdchart")->store().text(0, 1), "Data hit ratio (%) (in interval)");
    delete chart;
    const std::string first(x.grid().text(1, ratio));
    child<QAction>(x.w, "menlike")->trigger();  // a filter on the derived column of the kind shown again
    QVERIFY(test::loaded(x.w));
    QVERIFY(x.grid().rows() > 1 && x.grid().text(1, ratio) == first);

    // A derived column left out for a variable of its name: the chart draws the variable.
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("derived_columns.txt")),
              "Database Snapshot | Rows read = [Rows read] * 2\n");
    Window y(folder);
    QVERIFY(y.load(sample("capture_loop.txt")));
    if (!y.derived().isChecked()) y.switchDerived();
    QVERIFY(y.p.dialogs.messages.join('\n').contains(QStringLiteral("\"Rows read\" left out")));
    const int read = columnOf(y.grid(), "Rows read");
    y.grid().setSelection(1, read, 1, read);
    child<QAction>(y.w, "menchart")->trigger();
    chart = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == QStringLiteral("frmchart")) chart = top;
    QVERIFY(chart != nullptr);
    QCOMPARE(child<platform::GridView>(*chart, "grdchart")->store().text(0, 1), "Rows read (per s)");
    delete chart;
  }

  void statementsByShapeOfACaptureGroupTheLastSnapshotOfTheKindOnShow() {
    Window x(m_folder);
    QVERIFY(x.load(sample("capture_loop.txt")));
    auto* tabs = child<QTabBar>(x.w, "tabkinds");
    tabs->setCurrentIndex(tabs->count() - 1);  // its Dynamic SQL snapshots
    QVERIFY(test::loaded(x.w));
    QTRY_VERIFY(child<QAction>(x.w, "menshapes")->isEnabled());
    child<QAction>(x.w, "menshapes")->trigger();
    QWidget* shapes = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == QStringLiteral("frmshapes")) shapes = top;
    QVERIFY2(shapes != nullptr, qPrintable(x.p.dialogs.messages.join('\n')));
    QAbstractItemModelTester tester(child<platform::GridView>(*shapes, "grdshapes")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    const core::GridStore& g = child<platform::GridView>(*shapes, "grdshapes")->store();
    for (int r = 1; r < g.rows(); ++r) QCOMPARE(g.text(r, 1), "1");  // one statement each, not one per snapshot
    QVERIFY(
        child<QLabel>(*shapes, "statshapes")->text().endsWith("Statements of the last snapshot (3 of 3, 17:07:00)"));
    delete shapes;
  }

  void aBadDefinitionIsToldOnceAndLeftOut() {
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("derived_columns.txt")),
              "Dynamic SQL Snapshot Result | Broken = ([Rows read]\n"
              "Dynamic SQL Snapshot Result | Twice = [Number of executions] * 2\n");
    Window x(folder);
    QSettings(QStringLiteral("Tarvolin"), QStringLiteral("Tarvolin")).clear();
    QVERIFY(x.load(sample("dynamic_sql_snapshot.txt")));
    x.switchDerived();
    QVERIFY(x.load(sample("dynamic_sql_snapshot.txt")));
    QCOMPARE(x.p.dialogs.messages.size(), 1);
    QVERIFY(x.p.dialogs.messages[0].contains(QStringLiteral("derived_columns.txt:1: missing \")\"")));
    QCOMPARE(columnOf(x.grid(), "Broken"), -1);
    QCOMPARE(x.grid().text(1, columnOf(x.grid(), "Twice")), "6240");

    // Mended while the viewer runs: the next load reads it again.
    const QString file = folder.filePath(QStringLiteral("derived_columns.txt"));
    writeFile(file, "Dynamic SQL Snapshot Result | Broken = ([Rows read])\n");
    const auto later = std::filesystem::last_write_time(file.toStdString()) + std::chrono::seconds(2);
    std::filesystem::last_write_time(file.toStdString(), later);  // whatever the clock's grain
    QVERIFY(x.load(sample("dynamic_sql_snapshot.txt")));
    QVERIFY(columnOf(x.grid(), "Broken") > 0);
    QCOMPARE(columnOf(x.grid(), "Twice"), -1);
    QCOMPARE(x.p.dialogs.messages.size(), 1);
  }

  void statementsByShapeSortsAndListsTheStatementsOfAShape() {
    const QString report = m_folder.filePath(QStringLiteral("sql.txt"));
    writeFile(report,
              " Dynamic SQL Snapshot Result\n\n"
              " Number of executions = 2\n Total execution time (sec.microsec)= 0.5\n"
              " Statement text = SELECT * FROM T WHERE ID = 1\n\n"
              " Number of executions = 1\n Total execution time (sec.microsec)= 3\n"
              " Statement text = DELETE FROM T\n\n"
              " Number of executions = 3\n Total execution time (sec.microsec)= 0.25\n"
              " Statement text = SELECT * FROM T WHERE ID = 22\n");
    test::PlatformDouble p;
    p.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app");
    core::DerivedDefinitions none;
    ui::StatementsWindow* w =
        ui::showStatementsByShape(nullptr, p.platform, m_folder.path().toStdString(), report, none);
    QVERIFY(w != nullptr);
    QAbstractItemModelTester tester(child<platform::GridView>(*w, "grdshapes")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    core::GridStore& g = w->store();
    QCOMPARE(g.rows(), 3);
    QCOMPARE(g.text(1, 0), "DELETE FROM T");
    g.setSelection(1, 1, 2, 1);  // by the number of statements, most first
    w->sort(core::SortOrder::Descending);
    QCOMPARE(g.text(1, 0), "SELECT * FROM T WHERE ID = ?");
    QStringList listed;
    QTimer::singleShot(0, w, [&listed] {
      auto* detail = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (detail == nullptr) return;
      const QAbstractItemModel* m = child<QTableView>(*detail, "grd")->model();
      for (int r = 0; r < m->rowCount(); ++r)
        listed << m->index(r, 0).data().toString() + "=" + m->index(r, 1).data().toString();
      detail->close();
    });
    w->showDetailOf(1);
    QCOMPARE(listed, QStringList({"Statement shape=SELECT * FROM T WHERE ID = ?", "Statements=2",
                                  "Entry 1=SELECT * FROM T WHERE ID = 1", "Entry 3=SELECT * FROM T WHERE ID = 22"}));
    delete w;

    QVERIFY(!ui::showStatementsByShape(nullptr, p.platform, m_folder.path().toStdString(), sample("table_snapshot.txt"),
                                       none));
    QCOMPARE(p.dialogs.messages.last(),
             QStringLiteral("Statements are grouped in Dynamic SQL snapshots, not in \"Table Snapshot\""));
  }

  void statementsByShapeOverAWindowRankTheirChange() {
    test::PlatformDouble p;
    p.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app");
    core::DerivedDefinitions none;
    const struct {
      core::SnapshotWindow window;
      const char *first, *status;
    } cases[] = {
        {{}, "SELECT COUNT(*) FROM SHOP.ORDER_LINE", "Statement shapes: 4, statements: 5. Statements of the last"},
        {core::parseSnapshotWindow("16:07", "16:09"), "UPDATE SHOP.ORDERS SET STATUS = ? WHERE CUST_ID = ?",
         "Statement shapes: 4, statements: 5. Change over 3 snapshots, from 16:07:00 to 16:09:00"},
    };
    for (const auto& c : cases) {
      std::unique_ptr<ui::StatementsWindow> w(
          ui::showStatementsByShape(nullptr, p.platform, m_folder.path().toStdString(), sample("slow_window.txt"), none,
                                    core::KindChoice{0, "Dynamic SQL Snapshot Result"}, c.window));
      QVERIFY(w != nullptr);
      QAbstractItemModelTester tester(child<platform::GridView>(*w, "grdshapes")->model(),
                                      QAbstractItemModelTester::FailureReportingMode::QtTest);
      QCOMPARE(w->store().text(1, 0), c.first);
      QVERIFY2(child<QLabel>(*w, "statshapes")->text().startsWith(QLatin1String(c.status)),
               qPrintable(child<QLabel>(*w, "statshapes")->text()));
      if (c.window.given()) {
        QCOMPARE(w->store().text(0, 2), "Executions");
        QCOMPARE(w->store().text(1, 2), "20");
        w->resize(900, 300);
        QVERIFY(w->grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/statements_over_window.png")));
      }
    }
  }
};

QTEST_MAIN(DerivedViewTest)
#include "derived_view_test.moc"
