#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <string>

#include "core/grid_store.h"
#include "platform/grid_model.h"
#include "platform/grid_view.h"

using tarvolin::core::Alignment;
using tarvolin::core::GridStore;
using tarvolin::platform::GridModel;
using tarvolin::platform::GridView;

namespace {

/// Fills `g` as a load does: header row, then `rows` data rows written in blocks of
/// 100 with redraw off, cells "r<row>c<col>".
void fill(GridStore& g, int rows, int cols) {
  g.setRedraw(false);
  g.setCols(cols);
  g.setRowHeight(0, 1200);
  for (int r = 1; r <= rows; ++r) {
    if (r >= g.rows()) g.setRows(g.rows() + 100);
    for (int c = 0; c < cols; ++c) g.setText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  }
  for (int c = 0; c < cols; ++c) g.setText(0, c, "name " + std::to_string(c));
  g.setRedraw(true);
  g.setRows(rows + 1);
}

QString cell(const GridModel& m, int row, int col) { return m.data(m.index(row, col)).toString(); }

}  // namespace

class GridModelTest : public QObject {
  Q_OBJECT

 private slots:
  void showsDataRowsAndHeader() {
    GridStore g;
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fill(g, 250, 3);
    m.flush();
    QCOMPARE(m.rowCount(), 250);
    QCOMPARE(m.columnCount(), 3);
    QCOMPARE(cell(m, 0, 0), QStringLiteral("r1c0"));
    QCOMPARE(cell(m, 249, 2), QStringLiteral("r250c2"));
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("name 1"));
    QVERIFY(!m.headerData(0, Qt::Vertical).isValid());
    g.setColAlignment(1, Alignment::LeftTop);
    g.setWordWrap(true);
    m.flush();
    QCOMPARE(m.data(m.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignTop));
    QVERIFY(m.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::TextWordWrap);
  }

  void hiddenRowsAreLeftOutAndMapped() {
    GridStore g;
    fill(g, 10, 2);
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy layouts(&m, &QAbstractItemModel::layoutChanged);
    for (int r : {2, 3, 7}) g.setRowHeight(r, 0);
    m.flush();
    QCOMPARE(layouts.count(), 1);
    QCOMPARE(m.rowCount(), 7);
    QCOMPARE(m.storeRow(0), 1);
    QCOMPARE(m.storeRow(1), 4);
    QCOMPARE(m.modelRow(4), 1);
    QCOMPARE(m.modelRow(3), -1);
    QCOMPARE(m.modelRow(0), -1);
    QCOMPARE(m.nearestModelRow(2), 1);
    QCOMPARE(m.nearestModelRow(99), 6);
    QCOMPARE(cell(m, 1, 0), QStringLiteral("r4c0"));
    for (int r = 1; r < g.rows(); ++r) g.setRowHeight(r, 250);
    m.flush();
    QCOMPARE(m.rowCount(), 10);
  }

  void persistentIndexesStayOnTheirStoreRows() {
    GridStore g;
    fill(g, 10, 2);
    GridModel m(g);
    QPersistentModelIndex onRow6(m.index(5, 1));  // store row 6
    QPersistentModelIndex onRow3(m.index(2, 0));  // store row 3
    g.setRowHeight(2, 0);
    g.setRowHeight(3, 0);
    m.flush();
    QVERIFY(onRow6.isValid());
    QCOMPARE(m.storeRow(onRow6.row()), 6);
    QCOMPARE(onRow6.column(), 1);
    QVERIFY(!onRow3.isValid());
  }

  void storeChangesAreAppliedOncePerEventLoopTurn() {
    GridStore g;
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    g.setRowHeight(0, 1200);
    m.flush();
    QSignalSpy inserts(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy changes(&m, &GridModel::storeChanged);
    g.setRedraw(false);
    for (int r = 1; r <= 1000; ++r) {
      if (r >= g.rows()) g.setRows(g.rows() + 100);
      g.setText(r, 0, "x");
      if (r % 100 == 0) {  // as a load repaints every 100 lines
        g.setRedraw(true);
        g.setRedraw(false);
      }
    }
    QCOMPARE(inserts.count(), 0);  // nothing before the event loop runs
    QTRY_COMPARE(changes.count(), 1);
    QCOMPARE(inserts.count(), 1);
    QCOMPARE(m.rowCount(), g.rows() - 1);
    g.setRedraw(true);
    g.setRows(1001);
    QTRY_COMPARE(changes.count(), 2);
    QCOMPARE(m.rowCount(), 1000);
  }

  void sortingKeepsPositionsAndReadsNewTexts() {
    GridStore g;
    fill(g, 5, 2);
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy data(&m, &QAbstractItemModel::dataChanged);
    g.permuteRows(1, {5, 4, 3, 2, 1});
    m.flush();
    QCOMPARE(cell(m, 0, 0), QStringLiteral("r5c0"));
    QCOMPARE(cell(m, 4, 1), QStringLiteral("r1c1"));
    QVERIFY(data.count() >= 1);
  }

  void aNewLoadShrinksAndRegrows() {
    GridStore g;
    fill(g, 300, 4);
    GridModel m(g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    g.clear();
    g.setCols(2);
    g.setRows(2);
    m.flush();
    QCOMPARE(m.rowCount(), 1);
    QCOMPARE(m.columnCount(), 2);
    QCOMPARE(cell(m, 0, 0), QString());
    fill(g, 120, 5);
    m.flush();
    QCOMPARE(m.rowCount(), 120);
    QCOMPARE(m.columnCount(), 5);
    QCOMPARE(cell(m, 119, 4), QStringLiteral("r120c4"));
  }

  void cellsOfRowsDroppedBeforeAFlushReadEmpty() {
    GridStore g;
    fill(g, 50, 3);
    GridModel m(g);
    g.setRows(2);
    g.setCols(1);
    QCOMPARE(m.rowCount(), 50);  // not yet flushed
    QCOMPARE(cell(m, 40, 2), QString());
    QCOMPARE(cell(m, 40, 0), QString());
  }

  void viewLaysOutColumnsAndHeader() {
    GridStore g;
    fill(g, 20, 4);
    g.setColWidth(0, 1440);
    g.setColWidth(1, 0);
    g.setColWidth(2, 800);
    g.setFixedCols(0);
    GridView v(g);
    v.resize(600, 400);
    v.show();
    QCOMPARE(v.horizontalHeader()->height(), v.px(1200));
    QCOMPARE(v.verticalHeader()->defaultSectionSize(), v.px(250));
    QCOMPARE(v.columnWidth(0), v.px(1440));
    QVERIFY(v.isColumnHidden(1));
    QCOMPARE(v.columnWidth(2), v.px(800));
    QVERIFY(v.frozenView() == nullptr);
    g.setColWidth(1, 1000);
    g.setFixedCols(1);
    QTRY_VERIFY(v.frozenView() != nullptr);
    QVERIFY(!v.isColumnHidden(1));
    QCOMPARE(v.frozenView()->columnWidth(0), v.px(1440));
    QVERIFY(v.frozenView()->isColumnHidden(3));
    g.setFixedCols(0);
    QTRY_VERIFY(v.frozenView() == nullptr);
  }

  void selectionFollowsTheStoreBothWays() {
    GridStore g;
    fill(g, 10, 3);
    g.setRowHeight(4, 0);
    GridView v(g);
    v.show();
    GridModel& m = *v.gridModel();
    QCOMPARE(m.rowCount(), 9);
    // A drag from shown row 2 (store 3) down to shown row 4 (store 6): store 3..6, row 4 included.
    QItemSelectionModel* sm = v.selectionModel();
    sm->setCurrentIndex(m.index(2, 0), QItemSelectionModel::ClearAndSelect);
    sm->setCurrentIndex(m.index(4, 1), QItemSelectionModel::NoUpdate);
    sm->select(QItemSelection(m.index(2, 0), m.index(4, 1)), QItemSelectionModel::ClearAndSelect);
    QCOMPARE(g.row(), 3);
    QCOMPARE(g.col(), 0);
    QCOMPARE(g.rowSel(), 6);
    QCOMPARE(g.colSel(), 1);
    // Code moves the store's selection: the view follows after the flush.
    g.setSelection(8, 2, 7, 1);
    QTRY_COMPARE(sm->currentIndex(), m.index(m.modelRow(7), 1));
    QVERIFY(sm->isSelected(m.index(m.modelRow(8), 2)));
    QVERIFY(!sm->isSelected(m.index(m.modelRow(6), 1)));
    QCOMPARE(g.row(), 8);  // not echoed back differently
    // The header row as current cell: nothing current in the view.
    g.setRow(0);
    QTRY_VERIFY(!sm->currentIndex().isValid());
  }

  void rowsOfAnotherHeight() {
    GridStore g;
    fill(g, 10, 2);
    g.setRowHeight(3, 500);
    GridView v(g);
    GridModel& m = *v.gridModel();
    QCOMPARE(m.customHeightRows(), std::vector<int>{2});
    QCOMPARE(v.rowHeight(2), v.px(500));
    QCOMPARE(v.rowHeight(1), v.px(250));
    g.setRowHeight(2, 0);  // row 3 moves up one place
    QTRY_COMPARE(m.rowCount(), 9);
    QCOMPARE(m.customHeightRows(), std::vector<int>{1});
    QCOMPARE(v.rowHeight(1), v.px(500));
    QCOMPARE(v.rowHeight(2), v.px(250));
    g.setRowHeight(3, 250);
    QTRY_VERIFY(m.customHeightRows().empty());
    QCOMPARE(v.rowHeight(1), v.px(250));
  }

  void userResizeIsKeptInTheStore() {
    GridStore g;
    fill(g, 3, 2);
    GridView v(g);
    v.horizontalHeader()->resizeSection(1, v.px(3000));
    QVERIFY(qAbs(g.colWidth(1) - 3000) <= 15);
  }
};

QTEST_MAIN(GridModelTest)
#include "grid_model_test.moc"
