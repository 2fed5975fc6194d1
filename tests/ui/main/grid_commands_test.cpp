// The commands on the main grid's cells, driven through the window's menus and mouse.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/find_child.h"
#include "common/hidden_rows.h"
#include "common/platform_doubles.h"
#include "core/shared_state.h"
#include "report_double.h"
#include "ui/main/form1.h"

using namespace tarvolin::test;
using tarvolin::core::GridStore;
using tarvolin::core::SharedState;
using tarvolin::ui::Form1;

namespace {

/// "Finished. ..." after a load that read `read` lines and wrote `written` rows.
QStringList headers(const GridStore& g) {
  QStringList names;
  for (int c = 0; c < g.cols(); ++c) names << QString::fromStdString(std::string(g.text(0, c)));
  return names;
}

QString finished(int read, int written) {
  return QStringLiteral("Finished. Records read: %1 Records outputted %2").arg(read).arg(written);
}

/// The main window with the small lock report loaded, its model under test.
struct Loaded {
  explicit Loaded(const QString& report) {
    form.resize(780, 560);  // inside the offscreen screen, so pop-ups open where asked
    form.show();
    form.openReport(report);
    // The view hears of the load on the next turn of the event loop.
    if (!QTest::qWaitFor([this] { return form.grd()->model()->rowCount() == grid().rows() - 1; }))
      qWarning("The view did not follow the load");
  }

  GridStore& grid() { return form.grid(); }
  QString text(int row, int col) { return QString::fromStdString(std::string(grid().text(row, col))); }
  /// The texts of column `col`, data rows in order.
  QStringList column(int col) {
    QStringList texts;
    for (int r = 1; r < grid().rows(); ++r) texts << text(r, col);
    return texts;
  }
  void trigger(const char* name) { child<QAction>(form, name)->trigger(); }
  void sort(int index) {
    for (QAction* a : form.findChildren<QAction*>(QStringLiteral("mensort")))
      if (a->property("index").toInt() == index) a->trigger();
  }
  /// Makes (row, col) the current cell, the selection that one cell.
  void select(int row, int col) { grid().setSelection(row, col, row, col); }
  /// Centre of store cell (row, col) in the grid's viewport, scrolled into view.
  QPoint cellCentre(int row, int col) {
    const QModelIndex index = form.grd()->model()->index(form.grd()->gridModel()->modelRow(row), col);
    static_cast<QTableView*>(form.grd())->scrollTo(index);
    return form.grd()->visualRect(index).center();
  }

  SharedState shared;
  PlatformDouble p;
  Form1 form{shared, p.platform};
  QAbstractItemModelTester tester{form.grd()->gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class GridCommandsTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QString m_report;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));  // no configuration files
    // Screenshots go to shots/, which a fresh build folder lacks.
    QVERIFY(QDir().mkpath(QStringLiteral(TARVOLIN_BUILD_DIR "/shots")));
    m_report = writeSmallLockReport(m_dir.filePath("locks.txt"));
    QVERIFY(!m_report.isEmpty());
  }

  void loadsAsDescribed() {
    Loaded w(m_report);
    QCOMPARE(w.form.statusText(), finished(38, 9));
    QCOMPARE(w.text(0, kLockObject), QStringLiteral("Lock Object Name"));
    QCOMPARE(w.column(kLockObject), QStringList({"", "7", "77", "", "14", "154", "", "21", "231"}));
    QCOMPARE(w.column(kTableName), QStringList({"", "T0", "T1", "", "T0", "T1", "", "T0", "T1"}));
  }

  void clickShowsTheColumnsVariable() {
    Loaded w(m_report);
    QTest::mouseClick(w.form.grd()->viewport(), Qt::LeftButton, {}, w.cellCentre(5, kLockObject));
    QCOMPARE(w.grid().row(), 5);
    QCOMPARE(w.form.statusText(), QStringLiteral("Lock Object Name"));
    QTest::mouseClick(w.form.grd()->viewport(), Qt::LeftButton, {}, w.cellCentre(2, kMode));
    QCOMPARE(w.form.statusText(), QStringLiteral("Mode"));
    // The header row too.
    QHeaderView* header = w.form.grd()->horizontalHeader();
    const QPoint title(header->sectionViewportPosition(kTableName) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    QCOMPARE(w.form.statusText(), QStringLiteral("Table Name"));
  }

  void rightClickOpensThePopupWithoutMovingTheCurrentCell() {
    Loaded w(m_report);
    QTest::mouseClick(w.form.grd()->viewport(), Qt::LeftButton, {}, w.cellCentre(3, kLockObject));
    child<QPushButton>(w.form, "comref")->setFocus();
    const QPoint elsewhere = w.cellCentre(4, kTableName);
    QTest::mousePress(w.form.grd()->viewport(), Qt::RightButton, {}, elsewhere);
    QTest::mouseRelease(w.form.grd()->viewport(), Qt::RightButton, {}, elsewhere);
    QMenu* popup = w.form.popupMenu();
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(popup->pos(), w.form.grd()->viewport()->mapToGlobal(elsewhere));
    QVERIFY(w.form.grd()->hasFocus());
    QCOMPARE(w.grid().row(), 3);
    QCOMPARE(w.grid().col(), static_cast<int>(kLockObject));
    // The pop-up's commands act on that cell.
    auto* show = child<QAction>(w.form, "menshowcell");
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(show).center());
    QTRY_VERIFY(!popup->isVisible());
    QCOMPARE(w.p.dialogs.messages, QStringList{"77"});
    QCOMPARE(w.grid().row(), 3);
    // Other buttons open nothing.
    QTest::mouseClick(w.form.grd()->viewport(), Qt::MiddleButton, {}, elsewhere);
    QVERIFY(!popup->isVisible());
    QCOMPARE(w.grid().row(), 3);
  }

  void popupScreenshot() {
    Loaded w(m_report);
    w.select(4, kAppName);
    const QPoint at = w.cellCentre(4, kAppName);
    QTest::mouseClick(w.form.grd()->viewport(), Qt::RightButton, {}, at);
    QTRY_VERIFY(w.form.popupMenu()->isVisible());
    // The pop-up is a window of its own: paint it over the main window's image.
    QPixmap shot = w.form.grab();
    QPainter painter(&shot);
    painter.drawPixmap(w.form.mapFromGlobal(w.form.popupMenu()->pos()), w.form.popupMenu()->grab());
    painter.end();
    QVERIFY(shot.save(QStringLiteral(TARVOLIN_BUILD_DIR "/shots/form1_popup.png")));
    w.form.popupMenu()->close();
  }

  void screenshotsOfTheLockSample() {
    const QString sample = QStringLiteral(TARVOLIN_SAMPLES_DIR "/lock_snapshot.txt");
    if (!QFile::exists(sample)) QSKIP("samples/lock_snapshot.txt is missing");
    Loaded w(sample);
    QVERIFY(w.grid().rows() > 4);
    // Exclude the rows like the second entry's Object Type, then open the pop-up.
    const int type = QStringList(headers(w.grid())).indexOf(QStringLiteral("Object Type"));
    QVERIFY(type >= 0);
    int lockRow = 1;
    while (lockRow < w.grid().rows() && w.grid().text(lockRow, type).empty()) ++lockRow;
    QVERIFY(lockRow < w.grid().rows());
    const int before = w.grid().rows() - 1;
    w.select(lockRow, type);
    w.trigger("menexcl");
    QVERIFY(hiddenRowCount(w.grid()) > 0);
    QTRY_COMPARE(w.form.grd()->model()->rowCount(), before - hiddenRowCount(w.grid()));
    w.select(1, 1);
    const QPoint at = w.cellCentre(1, 1);
    QTest::mouseClick(w.form.grd()->viewport(), Qt::RightButton, {}, at);
    QTRY_VERIFY(w.form.popupMenu()->isVisible());
    QPixmap shot = w.form.grab();
    QPainter painter(&shot);
    painter.drawPixmap(w.form.mapFromGlobal(w.form.popupMenu()->pos()), w.form.popupMenu()->grab());
    painter.end();
    QVERIFY(shot.save(QStringLiteral(TARVOLIN_BUILD_DIR "/shots/form1_sample_excluded_popup.png")));
    w.form.popupMenu()->close();
  }

  void copyCells_data() {
    QTest::addColumn<QList<int>>("selection");  // row, col, rowSel, colSel
    QTest::addColumn<bool>("excludeT0");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("status");
    QTest::newRow("one cell") << QList<int>{2, kLockObject, 2, kLockObject} << false << "7"
                              << "1 cells copied to the clipboard";
    QTest::newRow("dragged down right") << QList<int>{4, kLockObject, 6, kTableName} << false
                                        << "\t\t\r\n14\tRow\tT0\r\n154\tRow\tT1"
                                        << "9 cells copied to the clipboard";
    QTest::newRow("dragged up left") << QList<int>{6, kTableName, 4, kLockObject} << false
                                     << "\t\t\r\n14\tRow\tT0\r\n154\tRow\tT1"
                                     << "9 cells copied to the clipboard";
    QTest::newRow("across hidden rows") << QList<int>{1, kTableName, 3, kMode} << true << "\t\r\nT0\tX\r\nT1\tX"
                                        << "6 cells copied to the clipboard";
    QTest::newRow("empty last column") << QList<int>{1, kAppName, 2, kLockObject} << false << "app0\t2\t\r\n\t\t7"
                                       << "6 cells copied to the clipboard";
    QTest::newRow("from the header row") << QList<int>{0, kHandle, 1, kAppName} << false
                                         << "Application handle\tApplication name\r\n100\tapp0"
                                         << "4 cells copied to the clipboard";
  }

  void copyCells() {
    QFETCH(QList<int>, selection);
    QFETCH(bool, excludeT0);
    QFETCH(QString, clipboard);
    QFETCH(QString, status);
    Loaded w(m_report);
    if (excludeT0) {
      w.select(2, kTableName);
      w.trigger("menexcl");
      QCOMPARE(hiddenRowCount(w.grid()), 3);
    }
    w.grid().setSelection(selection[0], selection[1], selection[2], selection[3]);
    w.trigger("mencopy");
    QCOMPARE(w.p.clipboard.lastText(), clipboard);
    QCOMPARE(w.form.statusText(), status);
  }

  void copyCellsOfADraggedSelection() {
    Loaded w(m_report);
    QWidget* viewport = w.form.grd()->viewport();
    const QPoint from = w.cellCentre(6, kTableName);
    const QPoint to = w.cellCentre(4, kLockObject);
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    QCOMPARE(w.grid().row(), 6);
    QCOMPARE(w.grid().rowSel(), 4);
    w.form.grd()->setFocus();
    QTest::keyClick(w.form.grd(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(w.p.clipboard.lastText(), QStringLiteral("\t\t\r\n14\tRow\tT0\r\n154\tRow\tT1"));
    QCOMPARE(w.form.statusText(), QStringLiteral("9 cells copied to the clipboard"));
  }

  void clipboardFailures() {
    Loaded w(m_report);
    w.select(5, kLockObject);
    w.trigger("mencopycell");
    QCOMPARE(w.p.clipboard.lastText(), QStringLiteral("14"));
    QCOMPARE(w.form.statusText(), finished(38, 9));  // Copy Cell Value leaves the status line alone
    w.p.clipboard.failure = QStringLiteral("The clipboard is held by another program");
    w.trigger("mencopycell");
    w.trigger("mencopy");
    QCOMPARE(w.p.dialogs.messages, QStringList(2, *w.p.clipboard.failure));
    QCOMPARE(w.form.statusText(), finished(38, 9));
  }

  void showCellValueOfAnEmptyCell() {
    Loaded w(m_report);
    w.select(1, kMode);
    w.trigger("menshowcell");
    QCOMPARE(w.p.dialogs.messages, QStringList{QString()});
  }

  void makeColumnWiderTwice() {
    Loaded w(m_report);
    w.select(3, kTableName);
    const int before = w.grid().colWidth(kTableName);
    const int mode = w.grid().colWidth(kMode);
    w.trigger("mencolwider");
    w.trigger("mencolwider");
    QCOMPARE(w.grid().colWidth(kTableName), before + 10000);
    QTRY_COMPARE(w.form.grd()->columnWidth(kTableName), w.form.grd()->px(before + 10000));
    QCOMPARE(w.grid().colWidth(kMode), mode);
  }

  void lockFirstColTwice() {
    Loaded w(m_report);
    auto* menlock = child<QAction>(w.form, "menlock");
    QVERIFY(!menlock->isChecked());
    QCOMPARE(w.grid().fixedCols(), 0);
    w.trigger("menlock");
    QVERIFY(w.shared.lockcol);
    QVERIFY(menlock->isChecked());
    QCOMPARE(w.grid().fixedCols(), 1);
    QTRY_VERIFY(w.form.grd()->frozenView() != nullptr);
    // A reload keeps the option.
    child<QPushButton>(w.form, "comref")->click();
    QCOMPARE(w.grid().fixedCols(), 1);
    w.trigger("menlock");
    QVERIFY(!w.shared.lockcol);
    QVERIFY(!menlock->isChecked());
    QCOMPARE(w.grid().fixedCols(), 0);
    QTRY_VERIFY(w.form.grd()->frozenView() == nullptr);
  }

  void exclusionsAddUpAndShowAllLines() {
    Loaded w(m_report);
    w.select(3, kTableName);  // T1
    w.trigger("menexcl");
    QCOMPARE(hiddenRowCount(w.grid()), 3);
    w.select(1, kMode);  // empty: every application row
    w.trigger("menexcl");
    QCOMPARE(hiddenRowCount(w.grid()), 6);
    for (int r : {1, 3, 4, 6, 7, 9}) QCOMPARE(w.grid().rowHeight(r), 0);
    QTRY_COMPARE(w.form.grd()->model()->rowCount(), 3);
    QVERIFY(w.form.grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/shots/form1_excluded.png")));
    w.trigger("menexclnone");
    QCOMPARE(hiddenRowCount(w.grid()), 0);
    for (int r = 1; r < w.grid().rows(); ++r) QCOMPARE(w.grid().rowHeight(r), 250);
    QTRY_COMPARE(w.form.grd()->model()->rowCount(), 9);
  }

  void reloadWithOnlyLinesLikeThisThenReload() {
    Loaded w(m_report);
    w.select(3, kTableName);  // T1
    w.trigger("menlike");
    QCOMPARE(w.form.statusText(), finished(38, 3));
    QCOMPARE(w.column(kLockObject), QStringList({"77", "154", "231"}));
    QVERIFY(w.form.loadState().like_val.empty());
    child<QPushButton>(w.form, "comref")->click();
    QCOMPARE(w.form.statusText(), finished(38, 9));
  }

  void promptedValue_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("status");  // after the command
    QTest::newRow("value of no entry") << "T9" << finished(38, 0);
    QTest::newRow("value of some entries") << "T0" << finished(38, 3);
    QTest::newRow("empty answer") << ""
                                  << "marker";
  }

  void promptedValue() {
    QFETCH(QString, answer);
    QFETCH(QString, status);
    Loaded w(m_report);
    w.select(2, kTableName);
    w.grid().setRowHeight(4, 0);  // an excluded row: kept unless a load runs
    w.form.showStatus(QStringLiteral("marker"));
    w.p.dialogs.answers = {answer};
    w.trigger("menlike2");
    QCOMPARE(w.p.dialogs.prompts, QStringList{"Enter value to look for"});
    QCOMPARE(w.form.statusText(), status);
    QVERIFY(w.form.loadState().like_val.empty());
    if (answer.isEmpty()) QCOMPARE(w.grid().rowHeight(4), 0);
    // The next plain Reload is not filtered.
    child<QPushButton>(w.form, "comref")->click();
    QCOMPARE(w.form.statusText(), finished(38, 9));
  }

  void sortIsNumeric_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("ascending") << 0 << QStringList{"7", "14", "21", "77", "154", "231", "", "", ""};
    QTest::newRow("descending") << 1 << QStringList{"231", "154", "77", "21", "14", "7", "", "", ""};
  }

  void sortIsNumeric() {
    QFETCH(int, index);
    QFETCH(QStringList, order);
    Loaded w(m_report);
    w.select(2, kLockObject);
    w.sort(index);
    QCOMPARE(w.column(kLockObject), order);
    QCOMPARE(w.text(0, kLockObject), QStringLiteral("Lock Object Name"));
    QTRY_COMPARE(w.form.grd()->model()->index(0, kLockObject).data().toString(), order.first());
  }

  void tableCommandsWaitForTheLoad() {
    const QString big = m_dir.filePath("big.txt");
    {
      QFile f(big);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QByteArray out = "\n            Database Lock Snapshot\n\n";
      for (int a = 0; a < 20000; ++a) out += "Application handle            = " + QByteArray::number(a) + "\n";
      f.write(out);
    }
    Loaded w(m_report);
    w.form.setYieldInterval(std::chrono::microseconds(0));
    w.p.dialogs.answers = {QStringLiteral("T0")};
    QString during;
    QTimer::singleShot(0, &w.form, [&] {
      w.form.on_menexcl();
      w.form.on_menexclnone();
      w.form.on_mensort(0);
      w.form.on_menlike();
      w.form.on_menlike2();
      w.form.on_mencfg();
      during = w.form.statusText();
      child<QPushButton>(w.form, "comstop")->click();
    });
    w.form.fileBox()->setEditText(big);
    QVERIFY(w.form.do_refresh());
    QCOMPARE(during, tarvolin::ui::kBusyMessage);
    QVERIFY(w.p.dialogs.prompts.isEmpty());
    QVERIFY(w.form.loader().counters().nout < 20000);
  }

  void printScreen() {
    Loaded w(m_report);
    w.trigger("menprint");
    QCOMPARE(w.p.printer.images.size(), 1);
    QCOMPARE(w.p.printer.images.last().size(), w.form.grab().size());
    w.p.printer.fails = true;
    w.trigger("menprint");
    QCOMPARE(w.p.printer.images.size(), 2);
    QVERIFY(w.p.dialogs.messages.isEmpty());
  }
};

QTEST_MAIN(GridCommandsTest)
#include "grid_commands_test.moc"
