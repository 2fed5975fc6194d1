// The comparison window and the command that opens it, on the sample pairs.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "core/compare/counter_types.h"
#include "core/report_loader.h"
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
  }

  void severalSnapshotsAreOfferedAndTheChosenOnesCompared() {
    d.dialogs.fileAnswer = QString::fromStdString(sample("tables_three_snapshots.txt"));
    QString dialogPath;
    std::vector<std::string> offered;
    ui::ComparisonWindow* w = ui::compareWithEarlier(
        nullptr, d.platform, configFolder(), d.dialogs.fileAnswer, dialogPath,
        [&](const std::vector<std::string>& earlier, const std::vector<std::string>&, int& first, int& last) {
          offered = earlier;
          first = 1;
          last = 2;
          return true;
        },
        "Rows Read");  // the main grid's current column: the comparison opens sorted by its change
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

  void reportsThatCantBeComparedAreToldInAMessageBox() {
    QString dialogPath;
    d.dialogs.fileAnswer = QString::fromStdString(sample("tablespace_earlier.txt"));
    const auto never = [](const auto&, const auto&, int&, int&) { return false; };
    QVERIFY(!ui::compareWithEarlier(nullptr, d.platform, configFolder(),
                                    QString::fromStdString(sample("locks_later.txt")), dialogPath, never));
    QCOMPARE(d.dialogs.messages.last(),
             QStringLiteral("Reports of different kinds: Tablespace Snapshot and Database Lock Snapshot"));
    d.dialogs.fileAnswer.clear();  // Cancel
    const qsizetype shown = d.dialogs.messages.size();
    QVERIFY(!ui::compareWithEarlier(nullptr, d.platform, configFolder(), QStringLiteral("x"), dialogPath, never));
    QCOMPARE(d.dialogs.messages.size(), shown);
  }

 private:
  test::PlatformDouble d;
};

}  // namespace

QTEST_MAIN(ComparisonWindowTest)
#include "comparison_window_test.moc"
