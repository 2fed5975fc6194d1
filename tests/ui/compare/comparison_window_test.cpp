// The comparison window and the command that opens it, on the sample pairs.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <chrono>
#include <filesystem>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "core/read/report_loader.h"
#include "core/values/counter_types.h"
#include "ui/compare/compare_command.h"

using namespace tarvolin;
using test::child;

namespace {

std::string sample(const char* name) { return std::string(TARVOLIN_SAMPLES_DIR "/compare/") + name; }

/// An empty folder for the kinds' configuration files.
const std::string& configFolder() {
  static const QTemporaryDir dir;
  static const std::string path = dir.path().toStdString();
  return path;
}

/// The column whose header is `name` (with `byRow` 0, the row whose first cell is), or -1.
int column(const core::GridStore& g, std::string_view name, int byRow = -1) {
  for (int i = 0; i < (byRow < 0 ? g.cols() : g.rows()); ++i)
    if ((byRow < 0 ? g.text(0, i) : g.text(i, 0)) == name) return i;
  return -1;
}

class ComparisonWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { d.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app"); }

  void sortingKeepsEachRowWithItsEntryAndCopyLeavesTheEntryNumbersOut() {
    const core::CounterTypes types = core::loadCounterTypes(TARVOLIN_BUILD_DIR "/src/app");
    auto* w = new ui::ComparisonWindow(ui::compareReportFiles(sample("locks_earlier.txt"), 0, sample("locks_later.txt"),
                                                              core::ReportLoader::kLastSnapshot, configFolder(), types),
                                       "locks", d.platform);
    QAbstractItemModelTester tester(child<platform::GridView>(*w, "grdcompare")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(child<QLabel>(*w, "statcompare")->text(),
             QStringLiteral("Interval: 10 s   Matched: 5  New: 3  Gone: 2  Reset: 0"));
    core::GridStore& g = w->store();
    // The keys first, and the window opens on the first counter that changed.
    QCOMPARE(column(g, "Application handle"), 1);
    QCOMPARE(column(g, "Lock Name"), 2);
    QVERIFY(g.col() > 2 && g.text(0, g.col()).ends_with(" (change)"));
    const int change = column(g, "Total wait time (ms) (change)");
    QVERIFY(change > 0);
    g.setSelection(1, change, g.rows() - 1, change);
    w->sort(core::SortOrder::Descending);
    const core::GridStore detail = w->detailOf(1);  // the entry that waited most, wherever it was
    const int wait = column(detail, "Total wait time (ms)", 0);
    const std::vector<std::string_view> cells = {detail.text(wait, 1), detail.text(wait, 2), detail.text(wait, 3),
                                                 detail.text(wait, 4)};
    QCOMPARE(cells, (std::vector<std::string_view>{"15320", "25320", "10000", "1000.000"}));
    QCOMPARE(detail.text(1, 2), "4126");

    g.setSelection(1, 0, 1, g.cols() - 1);
    w->copyCells();
    const QString copied = d.clipboard.lastText();
    QCOMPARE(copied.count('\t'), g.cols() - 2);
    delete w;

    // Hide Constant Columns as in the main window: the page size is the same everywhere.
    ui::ComparisonWindow t(ui::compareReportFiles(sample("tablespace_earlier.txt"), 0, sample("tablespace_later.txt"),
                                                  core::ReportLoader::kLastSnapshot, configFolder(), types),
                           "tablespaces", d.platform);
    const int page = column(t.store(), "Tablespace Page size (bytes)");
    QVERIFY(page > 0 && t.store().colWidth(page) > 0);
    child<QAction>(t, "menhideconst")->trigger();
    QCOMPARE(t.store().colWidth(page), 0);
    child<QAction>(t, "menhideconst")->trigger();
    QVERIFY(t.store().colWidth(page) > 0);
  }

  void theIntervalIsOfferedWhenNoReportHasATimestampAndTheDateOrderAlways() {
    const core::CounterTypes types = core::loadCounterTypes(TARVOLIN_BUILD_DIR "/src/app");
    QTemporaryDir dir;
    std::string paths[2];
    for (const int i : {0, 1}) {  // modification times 60 s apart
      paths[i] = dir.filePath(i == 0 ? "e.txt" : "l.txt").toStdString();
      std::filesystem::copy_file(sample(i == 0 ? "dynamic_sql_earlier.txt" : "dynamic_sql_later.txt"), paths[i]);
      std::filesystem::last_write_time(paths[i],
                                       std::filesystem::file_time_type() + std::chrono::seconds(1000 + 60 * i));
    }
    auto* w = new ui::ComparisonWindow(
        ui::compareReportFiles(paths[0], 0, paths[1], core::ReportLoader::kLastSnapshot, configFolder(), types), "dyn",
        d.platform);
    w->show();
    QAbstractItemModelTester tester(child<platform::GridView>(*w, "grdcompare")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto* field = child<QLineEdit>(*w, "txtinterval");
    const int rate = column(w->store(), "Number of executions (per s)");
    QCOMPARE(field->text(), QStringLiteral("60"));
    QVERIFY(child<QLabel>(*w, "lblinterval")->text().contains(QStringLiteral("modification times")));
    QCOMPARE(w->store().text(1, rate), "3.000");
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("120"));
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(w->store().text(1, rate), "1.500");
    QVERIFY(child<QLabel>(*w, "statcompare")->text().startsWith(QStringLiteral("Interval: 120 s (given)")));
    QCOMPARE(child<QLabel>(*w, "lblinterval")->text(), QStringLiteral("Interval (s):"));
    delete w;

    // With timestamps, no interval to type; the date order reads them anew ("11-27-2026" is no day first date).
    w = new ui::ComparisonWindow(ui::compareReportFiles(sample("locks_earlier.txt"), 0, sample("locks_later.txt"),
                                                        core::ReportLoader::kLastSnapshot, configFolder(), types),
                                 "locks", d.platform);
    QVERIFY(!w->findChild<QLineEdit*>(QStringLiteral("txtinterval")));
    auto* order = child<QComboBox>(*w, "cmbdateorder");
    order->setFocus();
    QTest::keyClick(order, Qt::Key_Down);
    QTRY_VERIFY(child<QLabel>(*w, "statcompare")->text().startsWith(QStringLiteral("Interval: unknown")));
    delete w;
  }

  void severalSnapshotsAreOfferedAndTheChosenOnesCompared() {
    d.dialogs.fileAnswer = QString::fromStdString(sample("tables_three_snapshots.txt"));
    QString dialogPath;
    std::vector<std::string> offered;
    ui::ComparisonWindow* w = ui::compareWithEarlier(
        nullptr, d.platform, configFolder(), d.dialogs.fileAnswer, dialogPath, {},
        [&](const std::vector<std::string>& earlier, const std::vector<std::string>&, int& first, int& last) {
          offered = earlier;
          first = 1;
          last = 2;
          return true;
        },
        nullptr, "Rows Read");  // the main grid's current column: the comparison opens sorted by its change
    QVERIFY(w != nullptr);
    QCOMPARE(d.dialogs.fileTitles.last(), QStringLiteral("Choose the Earlier Snapshot"));
    QCOMPARE(d.dialogs.startPaths.last(), QStringLiteral(TARVOLIN_SAMPLES_DIR "/compare"));  // no file chosen
    const core::GridStore& g = w->store();
    QStringList changes;
    for (int r = 1; r < g.rows(); ++r) changes << QString::fromStdString(std::string(g.text(r, g.col())));
    QCOMPARE(QString::fromStdString(std::string(g.text(0, g.col()))), QStringLiteral("Rows Read (change)"));
    QCOMPARE(changes, QStringList({"3000", "3000", "30"}));  // in the report: 30 first
    QCOMPARE(offered.size(), size_t{3});
    QCOMPARE(offered[2], std::string("2026-11-27 16.49.02.770318"));
    QVERIFY(child<QLabel>(*w, "statcompare")->text().startsWith(QStringLiteral("Interval: 60 s   Matched: 3  New: 0")));
    delete w;
  }

  void derivedColumnsComeOnTheLaterValuesAndInTheIntervalBeforeTheEntryNumbers() {
    std::vector<std::string> errors;
    core::DerivedDefinitions defs;
    defs.read("Dynamic SQL Snapshot Result | Avg = [Total execution time (sec.microsec)] / [Number of executions]\n",
              "d", errors);
    d.dialogs.fileAnswer = QString::fromStdString(sample("dynamic_sql_earlier.txt"));
    // The kind's configuration keeps a place for Avg, as Customise saves it when shown.
    QFile cfg(QString::fromStdString(configFolder() + "/DynamicSQLSnapshotResult.cfg"));
    QVERIFY(cfg.open(QIODevice::WriteOnly) && cfg.write("Y;;;;;Avg;\r\nY;;;;;Number of executions;\r\n") > 0);
    cfg.close();
    QString dialogPath;
    ui::ComparisonWindow* w = ui::compareWithEarlier(
        nullptr, d.platform, configFolder(), QString::fromStdString(sample("dynamic_sql_later.txt")), dialogPath, {},
        [](const auto&, const auto&, int&, int&) { return true; }, &defs, "Avg");
    QVERIFY(cfg.remove());
    QVERIFY(w != nullptr);
    const core::GridStore& g = w->store();
    QCOMPARE(column(g, "Statement text"), 1);        // the key first
    QCOMPARE(column(g, "Number of executions"), 2);  // the place kept for Avg is no column of the comparison
    const int avg = column(g, "Avg");
    QCOMPARE(column(g, "Avg (in interval)"), avg + 1);
    QCOMPARE(avg + 2, g.cols() - 1);
    QCOMPARE(g.col(), avg + 1);  // opened sorted by it: the new statement (from zero), then the one that got slower
    QCOMPARE(g.text(1, avg + 1), "0.001");
    QCOMPARE(g.text(2, avg), "0.000567");
    QCOMPARE(g.text(2, avg + 1), "0.000422");
    const core::GridStore detail = w->detailOf(2);
    const int row = column(detail, "Avg", 0);
    QVERIFY(row > 0);
    // On each snapshot, and under Change in the interval.
    const std::vector<std::string_view> cells = {detail.text(row, 1), detail.text(row, 2), detail.text(row, 3)};
    QCOMPARE(cells, (std::vector<std::string_view>{"0.000608", "0.000567", "0.000422"}));
    delete w;
  }

  void aComparisonOfOneEntryShowsItARowPerVariable() {
    const core::CounterTypes types = core::loadCounterTypes(TARVOLIN_BUILD_DIR "/src/app");
    const std::string capture = TARVOLIN_SAMPLES_DIR "/capture_loop.txt";
    auto* w = new ui::ComparisonWindow(ui::compareReportFiles(capture, 0, capture, core::ReportLoader::kLastSnapshot,
                                                              configFolder(), types, {1, "", false}),
                                       "database", d.platform);
    QAbstractItemModelTester tester(child<platform::GridView>(*w, "grdcompare")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(w->sideways());
    core::GridStore& g = w->store();
    QCOMPARE(g.text(0, 4), "Rate per s");
    const int waits = column(g, "Lock waits", 0);
    QCOMPARE(g.text(waits, 3), "4");
    child<QCheckBox>(*w, "chkunchanged")->setChecked(true);  // what kept its value is hidden
    QCOMPARE(g.rowHeight(column(g, "Database name", 0)), 0);
    QVERIFY(g.rowHeight(waits) > 0);
    child<QAction>(*w, "mensortchange")->trigger();  // the largest change first
    QCOMPARE(g.text(1, 0), "Rows read");
    QCOMPARE(g.rowHeight(column(g, "Database name", 0)), 0);  // hidden rows stay hidden
    g.setSelection(2, 0, 2, 4);
    w->copyCells();
    QCOMPARE(d.clipboard.lastText(),
             QStringLiteral("Time database waited on locks (ms)\t12044\t108464\t96420\t803.487"));
    delete w;
  }

  void reportsThatCantBeComparedAreToldInAMessageBox() {
    QString dialogPath;
    d.dialogs.fileAnswer = QString::fromStdString(sample("tablespace_earlier.txt"));
    const auto never = [](const auto&, const auto&, int&, int&) { return false; };
    QVERIFY(!ui::compareWithEarlier(nullptr, d.platform, configFolder(),
                                    QString::fromStdString(sample("locks_later.txt")), dialogPath, {}, never));
    QCOMPARE(d.dialogs.messages.last(),
             QStringLiteral("Reports of different kinds: Tablespace Snapshot and Database Lock Snapshot"));
    d.dialogs.fileAnswer.clear();  // Cancel
    const qsizetype shown = d.dialogs.messages.size();
    QVERIFY(!ui::compareWithEarlier(nullptr, d.platform, configFolder(), QStringLiteral("x"), dialogPath, {}, never));
    QCOMPARE(d.dialogs.messages.size(), shown);
  }

 private:
  test::PlatformDouble d;
};

}  // namespace

QTEST_MAIN(ComparisonWindowTest)
#include "comparison_window_test.moc"
