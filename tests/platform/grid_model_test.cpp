// The model and the view over a grid store: rows shown and hidden, store changes applied
// once per event-loop turn, layout and selection following the store, the mouse.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <string>

#include "core/grid_store.h"
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

Q_DECLARE_METATYPE(Qt::MouseButton)

class GridModelTest : public QObject {
  Q_OBJECT

 private slots:
  void hiddenRowsAreLeftOutBeyond32768() {
    GridStore g;
    fill(g, 40000, 2);
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("r0c1"));
    QPersistentModelIndex on39000(m.index(38999, 1));
    QPersistentModelIndex on3(m.index(2, 0));
    for (int r : {3, 32767, 32768}) g.setRowHeight(r, 0);
    m.flush();
    QCOMPARE(m.rowCount(), 39997);
    QCOMPARE(cell(m, 32765, 0), QStringLiteral("r32769c0"));
    QCOMPARE(m.storeRow(39996), 40000);
    QCOMPARE(m.nearestModelRow(32767), 32765);
    QCOMPARE(cell(m, on39000.row(), 1), QStringLiteral("r39000c1"));  // kept on its store row
    QVERIFY(!on3.isValid());
    g.permuteRows(1, {2, 1});
    m.flush();
    QCOMPARE(cell(m, 0, 0), QStringLiteral("r2c0"));
    g.clear();  // a new load: fewer rows and columns, then more
    g.setCols(1);
    g.setRows(2);
    QCOMPARE(cell(m, 39000, 1), QString());  // dropped but not yet flushed: empty
    m.flush();
    QCOMPARE(m.rowCount(), 1);
    fill(g, 120, 5);
    m.flush();
    QCOMPARE(cell(m, 119, 4), QStringLiteral("r120c4"));
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
    QCOMPARE(inserts.count(), 1);
    QCOMPARE(m.rowCount(), g.rows() - 1);
  }

  void viewFollowsTheStore() {
    GridStore g;
    fill(g, 10, 4);
    g.setRowHeight(0, 1200);
    g.setRowHeight(3, 500);
    g.setRowHeight(4, 0);
    g.setColWidth(1, 0);
    g.setColWidth(2, 800);
    GridView v(g);
    QAbstractItemModelTester tester(v.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    v.show();
    QCOMPARE(v.horizontalHeader()->height(), px(v, 1200));
    QVERIFY(v.isColumnHidden(1));
    QCOMPARE(v.columnWidth(2), px(v, 800));
    QCOMPARE(v.rowHeight(2), px(v, 500));
    QCOMPARE(v.rowHeight(3), px(v, 250));
    g.setRowHeight(2, 0);  // row 3 moves up one place
    QTRY_COMPARE(v.rowHeight(1), px(v, 500));
    QCOMPARE(v.rowHeight(2), px(v, 250));
    v.horizontalHeader()->resizeSection(2, px(v, 3000));  // the user drags a column edge
    QVERIFY(qAbs(g.colWidth(2) - 3000) <= 15);
    // A drag from shown row 1 (store 3) to shown row 2 (store 5, past hidden 4).
    QItemSelectionModel* sm = v.selectionModel();
    sm->setCurrentIndex(v.model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    sm->setCurrentIndex(v.model()->index(2, 2), QItemSelectionModel::NoUpdate);
    sm->select(QItemSelection(v.model()->index(1, 0), v.model()->index(2, 2)), QItemSelectionModel::ClearAndSelect);
    QCOMPARE((QList<int>{g.row(), g.col(), g.rowSel(), g.colSel()}), (QList<int>{3, 0, 5, 2}));
    g.setSelection(8, 3, 7, 2);  // and back: the view follows after the flush
    QTRY_COMPARE(sm->currentIndex(), v.model()->index(4, 2));
    QVERIFY(sm->isSelected(v.model()->index(5, 3)));
    QCOMPARE(g.row(), 8);
    g.setRow(0);  // the header row: nothing current in the view
    QTRY_VERIFY(!sm->currentIndex().isValid());
  }

  void onlyTheLeftButtonMovesTheCurrentCell_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("fixedColumn");
    QTest::newRow("right") << Qt::RightButton << false;
    QTest::newRow("middle") << Qt::MiddleButton << false;
    QTest::newRow("right on the fixed column") << Qt::RightButton << true;
  }
  void onlyTheLeftButtonMovesTheCurrentCell() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, fixedColumn);
    GridStore g;
    fill(g, 8, 4);
    g.setFixedCols(fixedColumn ? 1 : 0);
    GridView v(g);
    v.resize(500, 300);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QSignalSpy released(&v, &GridView::mouseReleased);
    QTableView* target = fixedColumn ? v.findChild<QTableView*>(QStringLiteral("fixedColumn")) : &v;
    QVERIFY(target && target->isVisible());
    const int col = fixedColumn ? 0 : 2;
    auto at = [&](int row) { return target->visualRect(target->model()->index(row, col)).center(); };
    QTest::mouseClick(target->viewport(), Qt::LeftButton, {}, at(1));
    QTest::mousePress(target->viewport(), button, {}, at(5));
    QTest::mouseMove(target->viewport(), at(6));
    QTest::mouseRelease(target->viewport(), button, {}, at(6));
    QTest::mouseDClick(target->viewport(), button, {}, at(5));
    QCOMPARE((QList<int>{g.row(), g.col(), g.rowSel()}), (QList<int>{2, col, 2}));
    QCOMPARE(v.currentIndex(), v.model()->index(1, col));
    QVERIFY(released.size() >= 2);
    QCOMPARE(released.at(1).at(0).value<Qt::MouseButton>(), button);
    QTest::mouseClick(target->viewport(), Qt::LeftButton, {}, at(5));  // the left button still selects
    QCOMPARE(g.row(), 6);
  }
};

QTEST_MAIN(GridModelTest)
#include "grid_model_test.moc"
