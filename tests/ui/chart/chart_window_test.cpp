// The chart over time and the command that opens it, on the capture loop samples.
#include <QAbstractItemModelTester>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "common/samples.h"
#include "core/derived/column_plan.h"
#include "core/read/report_loader.h"
#include "platform/font_text_measure.h"
#include "platform/grid_view.h"
#include "ui/chart/chart_command.h"

using namespace tarvolin;
using test::child;
using test::sample;

namespace {

/// A report loaded whole, as the main window holds it, with the current cell on the first row
/// whose cells include `entry` and on the column `variable`.
struct Shown {
  core::LoadedSnapshot report;
  Shown(const QString& path, const QString& configFolder, std::string_view entry, std::string_view variable) {
    core::loadSnapshot(path.toStdString(), core::ReportLoader::kWholeFile, configFolder.toStdString(), report);
    core::GridStore& g = report.grid;
    int row = 0;
    int col = 0;
    for (int r = g.rows() - 1; r >= 1; --r)
      for (int c = 0; c < g.cols(); ++c) row = g.text(r, c) == entry ? r : row;
    for (int c = 0; c < g.cols(); ++c) col = g.text(0, c) == variable ? c : col;
    g.setSelection(row, col, row, col);
  }
};

QStringList lineNames(ui::ChartWindow& w) {
  QStringList names;
  for (QAbstractSeries* s : w.chart().series()) names << s->name();
  return names;
}

class ChartWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { d.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app"); }

  void theCurrentEntryFirstThenTheLargestChangesAndTheTableHoldsTheSamePoints() {
    ui::ChartWindow* w = open(sample("series/tables_loop.txt"), "CART", "Rows Read");
    QVERIFY(w != nullptr);
    QAbstractItemModelTester tester(child<platform::GridView>(*w, "grdchart")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(lineNames(*w), QStringList({"SHOP CART", "SHOP ORDERS", "SHOP INVOICE", "SYSIBM SYSTABLES"}));
    const struct {
      core::ChartMeasure measure;
      const char* title;
      int points;        // 4 lines over 6 snapshots, without the first snapshot's, the reset's and CART's before it
      const char* last;  // CART's last point
    } rows[] = {{core::ChartMeasure::Rate, "Rows Read (per s)", 17, "13.333"},  // CART new: from zero
                {core::ChartMeasure::Change, "Rows Read (change)", 17, "800"},
                {core::ChartMeasure::Value, "Rows Read", 21, "1690"}};
    core::GridStore& g = w->store();
    for (const auto& row : rows) {
      w->setMeasure(row.measure);
      QCOMPARE(g.rows(), row.points + 1);
      QCOMPARE(g.text(0, 1), row.title);
      const int cartPoints = 3;
      QCOMPARE(g.text(cartPoints, 2), "SHOP CART");
      QCOMPARE(g.text(cartPoints, 1), row.last);
      QCOMPARE(w->pointText(0, 5), QStringLiteral("2026-11-27 16:52:02.770318  SHOP CART  ") + row.last);
      const auto* cart = qobject_cast<QLineSeries*>(w->chart().series().first());
      QCOMPARE(cart->count(), cartPoints);
      QCOMPARE(QString::number(cart->at(cartPoints - 1).y(), 'f', 3).toDouble(), QByteArray(row.last).toDouble());
    }
    w->setMeasure(core::ChartMeasure::Rate);
    g.setSelection(1, 1, g.rows() - 1, 1);
    w->sort(core::SortOrder::Descending);
    QCOMPARE(g.text(1, 1), "200.000");
    g.setSelection(1, 0, 1, g.cols() - 1);
    w->copyCells();
    QCOMPARE(d.clipboard.lastText().count('\t'), 2);  // the hidden point number stays out

    QSet<QRgb> colours;  // each line its own
    for (QAbstractSeries* line : w->chart().series()) colours << qobject_cast<QLineSeries*>(line)->pen().color().rgb();
    QCOMPARE(colours.size(), w->chart().series().size());
    const QString png = config.filePath(QStringLiteral("chart.png"));
    choosers.saveAnswer = config.filePath(QStringLiteral("chart"));
    child<QAction>(*w, "mensaveimage")->trigger();
    QVERIFY(QImage(png).height() > w->findChild<QChartView*>()->height());  // under a caption that tells what it is
    QCOMPARE(w->imageCaption().first(), QStringLiteral("Table Snapshot: Rows Read per second"));
    QVERIFY(w->imageCaption().last().endsWith(QStringLiteral(", 6 snapshots   tables_loop.txt")));
    delete w;

    ui::ChartWindow* gauge = open(sample("series/tables_loop.txt"), "CART", "Data Object Pages");
    QVERIFY(gauge != nullptr);
    QVERIFY(!child<QComboBox>(*gauge, "cmbmeasure")->isEnabled());
    QCOMPARE(gauge->store().text(0, 1), "Data Object Pages");
    delete gauge;
  }

  void aDerivedColumnShownInTheGridIsDrawnInEachIntervalOrAsItsValue() {
    // The capture's first kind, a database snapshot taken three times, with its derived columns.
    const QString path = sample("capture_loop.txt");
    Shown shown(path, config.path(), "", "");
    std::vector<std::string> errors;
    const core::DerivedDefinitions defs = core::loadDerivedDefinitions(TARVOLIN_BUILD_DIR "/src/app", "", errors);
    const core::ColumnPlan plan(&defs, shown.report.report().kindHeading, shown.report.report().vars,
                                shown.report.grid);
    const std::vector<const core::DerivedColumn*> derived = plan.columns();
    platform::FontTextMeasure measure{QFont()};
    plan.addTo(shown.report.report().vars, shown.report.grid, measure);
    core::GridStore& g = shown.report.grid;
    for (int c = 0; c < g.cols(); ++c)
      if (g.text(0, c) == "Data hit ratio (%)") g.setSelection(1, c, 1, c);
    std::unique_ptr<ui::ChartWindow> w(
        ui::chartOverTime(nullptr, d.platform, choosers, config.path().toStdString(), path, g, derived));
    QVERIFY(w != nullptr);
    auto* measures = child<QComboBox>(*w, "cmbmeasure");
    QVERIFY(measures->isEnabled());
    QCOMPARE(measures->count(), 2);
    // As tarvolin-export --series --derived gives them for the two intervals.
    QCOMPARE(w->store().text(0, 1), "Data hit ratio (%) (in interval)");
    QCOMPARE(w->data().lines.at(0).text, (std::vector<std::string>{"", "99.599484", "99.599484"}));
    QVERIFY(qobject_cast<QValueAxis*>(w->chart().axes(Qt::Vertical).first())->max() <= 100);  // no ratio above 100%
    std::unique_ptr<ui::ChartWindow> late(ui::chartOverTime(nullptr, d.platform, choosers, config.path().toStdString(),
                                                            path, g, derived, core::parseSnapshotWindow("#2", "")));
    QCOMPARE(late->data().lines.at(0).text.size(), 2u);  // the window's snapshots only
    measures->setCurrentIndex(1);
    QCOMPARE(w->store().text(0, 1), "Data hit ratio (%)");
    QCOMPARE(w->data().lines.at(0).text.at(2), "99.507135");
  }

  void filesAddedInNameOrderDrawWhatOneFileOfThemDraws() {
    ui::ChartWindow* whole = open(sample("series/tables_loop.txt"), "ORDERS", "Rows Written");
    const QString minutes = sample("series/minutes/tables_20261127_16");
    choosers.openAnswer = {minutes + "49.txt", minutes + "48.txt"};
    ui::ChartWindow* w = open(minutes + "47.txt", "ORDERS", "Rows Written");
    QVERIFY(w != nullptr && whole != nullptr);
    QVERIFY(
        d.dialogs.messages.last().endsWith("holds one snapshot: a chart over time needs two or more. Choose "
                                           "the files of the later snapshots."));
    // A file without the kind is skipped and said so; Dates reads every file again.
    choosers.openAnswer = {minutes + "52.txt", minutes + "50.txt", sample("dynamic_sql_snapshot.txt"),
                           minutes + "51.txt"};
    child<QAction>(*w, "menaddfiles")->trigger();
    QVERIFY(d.dialogs.messages.last().endsWith("dynamic_sql_snapshot.txt: no Table Snapshot, skipped"));
    const auto told = d.dialogs.messages.size();
    auto* dates = child<QComboBox>(*w, "cmbdateorder");
    for (const int order : {0, 1}) {
      dates->setCurrentIndex(order);
      emit dates->activated(order);
      QCOMPARE(w->data().labels, whole->data().labels);
      QCOMPARE(w->data().lines.size(), whole->data().lines.size());
      for (size_t i = 0; i < w->data().lines.size(); ++i) {
        QCOMPARE(w->data().lines[i].key, whole->data().lines[i].key);
        QCOMPARE(w->data().lines[i].text, whole->data().lines[i].text);
      }
    }
    // The file skipped is told once; day first, the minutes' "/" stamps are no dates, which is told.
    QCOMPARE(d.dialogs.messages.size(), told + 1);
    QCOMPARE(d.dialogs.messages.last(),
             "Dates: \"11/27/2026 07:58:13.602291\" is no date day first (DMY), the "
             "order Dates gives: the intervals next to it have no length");
    delete w;
    delete whole;
  }

  void whatCantBeChartedIsToldInAMessageBox() {
    choosers.openAnswer.clear();
    const struct {
      QString path;
      const char* variable;
      QString message;
    } rows[] = {
        {sample("series/tables_loop.txt"), "Table Name",
         "\"Table Name\" is neither a counter nor a gauge: choose a column of one, or a derived column, to chart it "
         "over "
         "time"},
        {sample("table_snapshot.txt"), "Rows Read", "No chart: a chart over time needs two snapshots or more"},
        {QString(), "Rows Read", "Load a report first: the chart shows its snapshots over time"},
    };
    for (const auto& row : rows) {
      const Shown shown(row.path.isEmpty() ? sample("series/tables_loop.txt") : row.path, config.path(), "",
                        row.variable);
      QVERIFY(
          !ui::chartOverTime(nullptr, d.platform, choosers, config.path().toStdString(), row.path, shown.report.grid));
      QCOMPARE(d.dialogs.messages.last(), row.message);
    }
  }

 private:
  ui::ChartWindow* open(const QString& path, std::string_view entry, std::string_view variable) {
    const Shown shown(path, config.path(), entry, variable);
    return ui::chartOverTime(nullptr, d.platform, choosers, config.path().toStdString(), path, shown.report.grid);
  }

  test::PlatformDouble d;
  test::FileChoosersDouble choosers;
  QTemporaryDir config;
};

}  // namespace

QTEST_MAIN(ChartWindowTest)
#include "chart_window_test.moc"
