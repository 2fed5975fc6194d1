// The capture summary window on the capture loop sample: a chart per figure, the top lists,
// and where their clicks go.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QScatterSeries>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "common/platform_doubles.h"
#include "common/samples.h"
#include "ui/chart/chart_window.h"
#include "ui/summary/summary_command.h"

using namespace tarvolin;
using test::sample;

namespace {

class SummaryWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { d.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app"); }

  void aChartPerFigureTheRulesBrokenInRedAndTheTopListsGoToTheirEntries() {
    std::vector<std::pair<std::string, std::string>> shown;
    std::unique_ptr<ui::SummaryWindow> w(ui::showCaptureSummary(
        nullptr, d.platform, choosers, ".", sample("capture_loop.txt"),
        [&](const std::string& kind, const std::string& key) { shown.emplace_back(kind, key); }));
    QVERIFY(w != nullptr);
    QCOMPARE(w->charts().size(), size_t{13});  // the package cache and files closed lacked
    QCOMPARE(w->charts()[9]->chart()->title(), QStringLiteral("Deadlocks: 1 (&gt; 0)"));
    const auto* broken = qobject_cast<QScatterSeries*>(w->charts()[9]->chart()->series().at(1));
    QCOMPARE(broken->count(), 1);
    QCOMPARE(broken->at(0).x(), 2.0);  // the second interval
    QCOMPARE(w->tops().size(), size_t{4});
    for (QTableWidget* t : w->tops())
      QAbstractItemModelTester tester(t->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QTableWidget* waits = w->tops()[3];
    QCOMPARE(waits->item(0, 2)->text(), QStringLiteral("report_daily"));
    emit waits->cellClicked(0, 1);
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(shown[0].first, std::string("Application Snapshot"));
    QCOMPARE(shown[0].second, std::string("10.20.31.42.50102.261207090402"));

    // A click on a chart: Chart Over Time of the figure, per second from the snapshots' times.
    QSignalSpy chosen(w.get(), &ui::SummaryWindow::figureChosen);
    QTest::mouseClick(w->charts()[0]->viewport(), Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    ui::ChartWindow* chart = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* c = qobject_cast<ui::ChartWindow*>(top)) chart = c;
    QVERIFY(chart != nullptr);
    QCOMPARE(chart->data().lines.size(), size_t{1});
    QVERIFY(chart->data().lines[0].y[1].has_value());
    QCOMPARE(qRound(*chart->data().lines[0].y[1] * 1000), qRound(*w->summary().figures[0].values[0] * 1000));
    delete chart;
  }

  void noSummaryWithoutTwoSnapshotsOfAFiguresKind() {
    QVERIFY(!ui::showCaptureSummary(nullptr, d.platform, choosers, ".", QString(), {}));
    QVERIFY(!ui::showCaptureSummary(nullptr, d.platform, choosers, ".", sample("slow_window.txt"), {}));
    QVERIFY(d.dialogs.messages.last().startsWith(QStringLiteral("slow_window.txt: no summary")));
  }

 private:
  test::PlatformDouble d;
  test::FileChoosersDouble choosers;
};

}  // namespace

QTEST_MAIN(SummaryWindowTest)
#include "summary_window_test.moc"
