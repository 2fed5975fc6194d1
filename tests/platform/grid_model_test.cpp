// The model and the view over a grid store: hidden rows, batched changes, layout and selection.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "core/grid/grid_store.h"
#include "platform/grid_model.h"
#include "platform/grid_view.h"

using tarvolin::core::GridStore;
using tarvolin::platform::GridModel;
using tarvolin::platform::GridView;

namespace {

/// Fills `g` with a header row and `rows` data rows, cells "r<row>c<col>".
void fill(GridStore& g, int rows, int cols) {
  g.setCols(cols);
  g.setRows(rows + 1);
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c < cols; ++c) g.setText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
}

QString cell(const QAbstractItemModel& m, int row, int col) { return m.index(row, col).data().toString(); }

int px(const GridView& v, int twips) {
  return tarvolin::platform::twipsToPixels(twips, tarvolin::platform::screenDpi(&v).x);
}

}  // namespace

class GridModelTest : public QObject {
  Q_OBJECT

 private slots:
  void hiddenRowsAreLeftOutBeyond32768() {
    GridStore g;
    fill(g, 40000, 2);
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("r0c1"));
    const QPersistentModelIndex on39000(m.index(38999, 1)), on3(m.index(2, 0));
    for (int r : {3, 32767, 32768}) g.setRowHeight(r, 0);
    m.flush();
    QCOMPARE(cell(m, 32765, 0), QStringLiteral("r32769c0"));
    QVERIFY(m.rowCount() == 39997 && m.storeRow(39996) == 40000 && m.nearestModelRow(32767) == 32765);
    QCOMPARE(cell(m, on39000.row(), 1), QStringLiteral("r39000c1"));  // kept on its store row
    QVERIFY(!on3.isValid());
    g.setCols(1);
    g.setRows(2);
    QCOMPARE(cell(m, 39000, 0), QString());  // dropped but not yet flushed: empty
  }

  void filledCellsAreLighterAndTipsHoldTheWholeValueUpToTheLimit() {
    GridStore g;
    fill(g, 3, 2);
    g.setText(2, 1, std::string(1500, 'x'));
    g.markFilled(1, 0);
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto lighter = [&m](int row, int col) { return m.index(row, col).data(Qt::ForegroundRole).isValid(); };
    QVERIFY(lighter(0, 0) && !lighter(0, 1) && !lighter(1, 0));
    g.permuteRows(1, {3, 2, 1});  // the mark moves with its row
    m.flush();
    QVERIFY(lighter(2, 0) && !lighter(0, 0));
    g.setText(3, 0, "own");  // a text set again is the row's own
    QVERIFY(!lighter(2, 0));
    const QString tip = m.index(1, 1).data(Qt::ToolTipRole).toString();
    QVERIFY(tip.size() == GridModel::kTipLength && tip.endsWith(QChar(0x2026)));
    QCOMPARE(m.index(0, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("r3c1"));
  }

  void storeChangesAreAppliedOncePerEventLoopTurn() {
    GridStore g;
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserts(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy changes(&m, &GridModel::storeChanged);
    g.setCols(1);
    for (int r = 1; r <= 1000; ++r) {
      if (r >= g.rows()) g.setRows(g.rows() + 100);
      g.setText(r, 0, "x");
    }
    QCOMPARE(inserts.count(), 0);  // nothing before the event loop runs
    QTRY_COMPARE(changes.count(), 1);
    QVERIFY(inserts.count() == 1 && m.rowCount() == g.rows() - 1);
  }

  void viewFollowsTheStore() {
    GridStore g;
    fill(g, 10, 4);
    for (auto [row, height] : {std::pair{0, 1200}, {3, 500}, {4, 0}}) g.setRowHeight(row, height);
    for (auto [col, width] : {std::pair{1, 0}, {2, 800}}) g.setColWidth(col, width);
    GridView v(g);
    QAbstractItemModelTester tester(v.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    v.show();
    QCOMPARE(tarvolin::platform::twipsToPixels(250, 96), 17);  // rounded, not cut
    QCOMPARE(v.horizontalHeader()->height(), px(v, 1200));
    QVERIFY(v.isColumnHidden(1) && v.columnWidth(2) == px(v, 800));
    QVERIFY(v.rowHeight(2) == px(v, 500) && v.rowHeight(3) == px(v, 250));
    g.setRowHeight(2, 0);  // row 3 moves up one place
    QTRY_VERIFY(v.rowHeight(1) == px(v, 500) && v.rowHeight(2) == px(v, 250));
    v.horizontalHeader()->resizeSection(2, px(v, 3000));  // the user drags a column edge
    QVERIFY(qAbs(g.colWidth(2) - 3000) <= 15);
    g.setSelection(8, 3, 7, 2);  // the view's selection follows the store's after the flush
    QTRY_COMPARE(v.selectionModel()->currentIndex(), v.model()->index(5, 3));
    QVERIFY(v.selectionModel()->isSelected(v.model()->index(4, 2)));
    QCOMPARE(g.row(), 8);
    g.setRow(0);  // the header row: nothing current in the view
    QTRY_VERIFY(!v.selectionModel()->currentIndex().isValid());
    v.resize(300, 120);  // a title, scrolled down: its column, the first data row current, the rows kept in place
    v.verticalScrollBar()->setValue(v.verticalScrollBar()->maximum());
    const int scrolled = v.verticalScrollBar()->value();
    QTest::mouseClick(v.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(v.columnViewportPosition(2) + 5, 5));
    QVERIFY(g.row() == 1 && g.col() == 2 && g.rowSel() == 10 && scrolled > 0 &&
            v.verticalScrollBar()->value() == scrolled);
  }

  void aViewOutlivesItsStoreAndStaysUsable() {
    auto g = std::make_unique<GridStore>();
    fill(*g, 50, 3);
    GridView v(*g);
    QAbstractItemModelTester tester(v.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    v.show();
    g->setSelection(2, 1, 5, 2);
    QTRY_VERIFY(v.selectionModel()->hasSelection());
    g.reset();
    QVERIFY(v.model()->rowCount() == 0 && v.model()->columnCount() == 0);
    v.selectAll();  // what the view writes back goes to the model's own empty store
    QTest::keyClick(&v, Qt::Key_Down);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!v.grab().isNull());
  }
};

QTEST_MAIN(GridModelTest)
#include "grid_model_test.moc"
