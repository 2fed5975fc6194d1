#include <QSignalSpy>
#include <QtTest>
#include <string>

#include "core/grid_store.h"
#include "platform/grid_view.h"

using tarvolin::core::GridStore;
using tarvolin::platform::GridView;

namespace {

void fill(GridStore& g, int rows, int cols) {
  g.setCols(cols);
  g.setRows(rows + 1);
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c < cols; ++c) g.setText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
}

/// Where the view's cell of model row `row`, column `col` is drawn, in `view`'s viewport.
QPoint cellCentre(const QTableView& view, int row, int col) {
  return view.visualRect(view.model()->index(row, col)).center();
}

struct Cell {
  int row;
  int col;
  friend bool operator==(const Cell&, const Cell&) = default;
};

Cell storeCell(const GridStore& g) { return {g.row(), g.col()}; }

}  // namespace

Q_DECLARE_METATYPE(Qt::MouseButton)

class GridViewMouseTest : public QObject {
  Q_OBJECT

 private slots:
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
    QTableView* target = &v;
    if (fixedColumn) {
      QTRY_VERIFY(v.frozenView() != nullptr);
      target = v.frozenView();
    }
    const int col = fixedColumn ? 0 : 2;

    QTest::mouseClick(target->viewport(), Qt::LeftButton, {}, cellCentre(*target, 1, col));
    QCOMPARE(storeCell(g), (Cell{2, col}));
    QCOMPARE(released.size(), 1);

    // Press, drag, release and double click with the other button: nothing moves.
    const QPoint other = cellCentre(*target, 5, col);
    QTest::mousePress(target->viewport(), button, {}, other);
    QTest::mouseMove(target->viewport(), cellCentre(*target, 6, col));
    QTest::mouseRelease(target->viewport(), button, {}, cellCentre(*target, 6, col));
    QTest::mouseDClick(target->viewport(), button, {}, other);
    QCOMPARE(storeCell(g), (Cell{2, col}));
    QCOMPARE(g.rowSel(), 2);
    QCOMPARE(v.currentIndex(), v.model()->index(1, col));
    QVERIFY(released.size() >= 2);
    QCOMPARE(released.at(1).at(0).value<Qt::MouseButton>(), button);

    // The left button still selects.
    QTest::mouseClick(target->viewport(), Qt::LeftButton, {}, other);
    QCOMPARE(storeCell(g), (Cell{6, col}));
  }
};

QTEST_MAIN(GridViewMouseTest)
#include "grid_view_mouse_test.moc"
