#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "common/platform_doubles.h"
#include "core/report_parser.h"
#include "core/shared_state.h"
#include "platform/font_text_measure.h"
#include "platform/twips.h"
#include "ui/detail/entry_detail_window.h"

using tarvolin::core::GridStore;
using tarvolin::test::PlatformDouble;
using tarvolin::ui::Form2;

namespace {

/// A loaded-looking main grid: header row "Var0".."VarN", cell (r, c) = "r<r>c<c>".
std::unique_ptr<GridStore> makeMain(int rows, int cols) {
  auto g = std::make_unique<GridStore>();
  g->setRows(rows);
  g->setCols(cols);
  for (int c = 0; c < cols; ++c) {
    g->setText(0, c, "Var" + std::to_string(c));
    for (int r = 1; r < rows; ++r) g->setText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  }
  return g;
}

std::string detailText(const Form2& f, int r, int c) { return std::string(f.detailGrid().text(r, c)); }

/// True when the detail grid lists every column of main row `row` as it stands now.
bool showsEntry(const Form2& f, const GridStore& main, int row) {
  const GridStore& d = f.detailGrid();
  if (d.rows() != main.cols() + 1 || d.cols() != 2) return false;
  if (d.text(0, 0) != "Attribute" || d.text(0, 1) != "Value") return false;
  for (int i = 1; i <= main.cols(); ++i)
    if (d.text(i, 0) != main.text(0, i - 1) || d.text(i, 1) != main.text(row, i - 1)) return false;
  return true;
}

template <typename T>
T* child(const QObject* parent, const char* name) {
  T* found = parent->findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no child %s", name);
  return found;
}

QTableView* gridOf(const Form2& f) { return child<QTableView>(&f, "grd"); }

QPoint cellCentre(QTableView* view, int modelRow, int col) {
  return view->visualRect(view->model()->index(modelRow, col)).center();
}

}  // namespace

class EntryDetailWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void controlsMenusAndFocus();
  void buttonsFollowRow_data();
  void buttonsFollowRow();
  void nextShowsHiddenRowAndReadsMainGridEachTime();
  void hiddenVariableIsListed();
  void rowCountFollowsReload();
  void rightClickKeepsCurrentCellForCopy();
  void copyCurrentCell_data();
  void copyCurrentCell();
  void showCellValueAndCtrlC();
  void printScreenIgnoresErrors();
  void enterActsOnFocusedButtonOnly();
  void closeCommands_data();
  void closeCommands();
  void reopeningStartsAtGivenRowCentredOverOwner();
  void rowsBeyond16Bits();
  void layoutOnResize_data();
  void layoutOnResize();
  void minimisedAndRestored();
  void screenshotOfLockSnapshot();

 private:
  QTemporaryDir m_cwd;
};

void EntryDetailWindowTest::initTestCase() {
  // Loads look for their configuration file in the working directory.
  QVERIFY(m_cwd.isValid());
  QVERIFY(QDir::setCurrent(m_cwd.path()));
}

void EntryDetailWindowTest::controlsMenusAndFocus() {
  auto main = makeMain(4, 3);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  QCOMPARE(f.objectName(), QStringLiteral("Form2"));
  QCOMPARE(f.windowTitle(), QStringLiteral("Entry Detail"));
  QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(f.windowFlags() & Qt::WindowMaximizeButtonHint);
  QVERIFY(f.isModal());

  auto* exit = child<QPushButton>(&f, "Command1");
  auto* prev = child<QPushButton>(&f, "comprev");
  auto* next = child<QPushButton>(&f, "comnext");
  QTableView* grd = gridOf(f);
  QCOMPARE(exit->text(), QStringLiteral("Exit"));
  QCOMPARE(prev->text(), QStringLiteral("Prev"));
  QCOMPARE(next->text(), QStringLiteral("Next"));

  f.set_rowno(2);
  f.show();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  QTRY_COMPARE(QApplication::focusWidget(), exit);
  QVERIFY(exit->nextInFocusChain() == prev && prev->nextInFocusChain() == next && next->nextInFocusChain() == grd);

  // Design places (left, width, height) in twips at the screen's DPI; the client area.
  const double dx = f.logicalDpiX();
  const double dy = f.logicalDpiY();
  using tarvolin::platform::twipsToPixels;
  QCOMPARE(exit->x(), twipsToPixels(960, dx));
  QCOMPARE(prev->x(), twipsToPixels(3480, dx));
  QCOMPARE(next->x(), twipsToPixels(6240, dx));
  QCOMPARE(exit->width(), twipsToPixels(855, dx));
  QCOMPARE(next->width(), twipsToPixels(735, dx));
  QCOMPARE(exit->height(), twipsToPixels(375, dy));
  QCOMPARE(grd->pos(), QPoint(twipsToPixels(120, dx), twipsToPixels(120, dy)));
  QCOMPARE(grd->parentWidget()->size(), QSize(twipsToPixels(9090, dx), twipsToPixels(6975, dy)));

  // The menu bar holds Close and Print Screen; Edit is only the grid's pop-up.
  auto* bar = child<QMenuBar>(&f, "");
  QStringList barTexts;
  for (QAction* a : bar->actions()) barTexts << a->text();
  QCOMPARE(barTexts, (QStringList{QStringLiteral("&Close"), QStringLiteral("&Print Screen")}));
  QCOMPARE(bar->actions().at(0)->objectName(), QStringLiteral("menclose"));
  QCOMPARE(bar->actions().at(1)->objectName(), QStringLiteral("menprint"));
  auto* menedit = child<QMenu>(&f, "menedit");
  QVERIFY(!bar->actions().contains(menedit->menuAction()));
  QVERIFY(!menedit->isVisible());
  auto* mencopy = child<QAction>(&f, "mencopy");
  auto* menshow = child<QAction>(&f, "menshow");
  QCOMPARE(menedit->actions(), (QList<QAction*>{mencopy, menshow}));
  QCOMPARE(mencopy->text(), QStringLiteral("&Copy"));
  QCOMPARE(mencopy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  QCOMPARE(menshow->text(), QStringLiteral("Show cell value"));

  // The detail grid: header row, 2 columns of 4000 twips, left/centre, read-only.
  const GridStore& d = f.detailGrid();
  QVERIFY(showsEntry(f, *main, 2));
  for (int c = 0; c < 2; ++c) {
    QCOMPARE(d.colWidth(c), 4000);
    QCOMPARE(d.colAlignment(c), tarvolin::core::Alignment::LeftCenter);
    QCOMPARE(grd->columnWidth(c), twipsToPixels(4000, dx));
  }
  QCOMPARE(grd->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
  QCOMPARE(grd->model()->rowCount(), 3);
  QCOMPARE(grd->model()->index(0, 1).data().toString(), QStringLiteral("r2c0"));
  QCOMPARE(grd->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void EntryDetailWindowTest::buttonsFollowRow_data() {
  QTest::addColumn<int>("mainRows");
  QTest::addColumn<int>("row");
  QTest::addColumn<bool>("prevEnabled");
  QTest::addColumn<bool>("nextEnabled");
  QTest::newRow("first entry") << 5 << 1 << false << true;
  QTest::newRow("middle entry") << 5 << 2 << true << true;
  QTest::newRow("last entry") << 5 << 4 << true << false;
  QTest::newRow("the only entry") << 2 << 1 << false << false;
  QTest::newRow("header row") << 5 << 0 << false << true;
  QTest::newRow("past 16 bits, not last") << 40001 << 32768 << true << true;
  QTest::newRow("past 16 bits, last") << 40001 << 40000 << true << false;
}

void EntryDetailWindowTest::buttonsFollowRow() {
  QFETCH(int, mainRows);
  QFETCH(int, row);
  QFETCH(bool, prevEnabled);
  QFETCH(bool, nextEnabled);
  auto main = makeMain(mainRows, 2);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(row);
  f.show();
  QCOMPARE(child<QPushButton>(&f, "comprev")->isEnabled(), prevEnabled);
  QCOMPARE(child<QPushButton>(&f, "comnext")->isEnabled(), nextEnabled);
  QVERIFY(showsEntry(f, *main, row));
}

void EntryDetailWindowTest::nextShowsHiddenRowAndReadsMainGridEachTime() {
  auto main = makeMain(6, 4);
  main->setRowHeight(3, 0);  // hidden by a filter
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  QAbstractItemModelTester tester(gridOf(f)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  f.set_rowno(2);
  f.show();
  QVERIFY(showsEntry(f, *main, 2));

  main->setText(3, 1, "changed after opening");
  QTest::mouseClick(child<QPushButton>(&f, "comnext"), Qt::LeftButton);
  QCOMPARE(f.shownRow(), 3);
  QVERIFY(showsEntry(f, *main, 3));
  QCOMPARE(detailText(f, 2, 1), std::string("changed after opening"));
  QTRY_COMPARE(gridOf(f)->model()->index(1, 1).data().toString(), QStringLiteral("changed after opening"));

  QTest::mouseClick(child<QPushButton>(&f, "comprev"), Qt::LeftButton);
  QTest::mouseClick(child<QPushButton>(&f, "comprev"), Qt::LeftButton);
  QCOMPARE(f.shownRow(), 1);
  QVERIFY(!child<QPushButton>(&f, "comprev")->isEnabled());
  QVERIFY(showsEntry(f, *main, 1));
  QCOMPARE(main->row(), 0);  // the main grid's current row does not follow
  QCOMPARE(main->rowHeight(3), 0);
}

void EntryDetailWindowTest::hiddenVariableIsListed() {
  auto main = makeMain(3, 4);
  main->setColWidth(2, 0);  // switched off in the display configuration
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(1);
  f.show();
  QCOMPARE(detailText(f, 3, 0), std::string("Var2"));
  QCOMPARE(detailText(f, 3, 1), std::string("r1c2"));
  QVERIFY(!gridOf(f)->isRowHidden(2));
}

void EntryDetailWindowTest::rowCountFollowsReload() {
  // Two real loads into the same main grid, with different numbers of variables.
  const QString lockReport = QStringLiteral(
      "Database Lock Snapshot\n\nDatabase name = SHOP\n\nApplication handle = 7\nApplication name = batch\n"
      "Locks held = 2\n\n Lock Object Name = 4\n Object Type = Row\n Mode = X\n");
  const QString dirReport = QStringLiteral(
      "System Database Directory\n\nDatabase alias = SHOP\nDatabase name = SHOP\n\n"
      "Database alias = HR\nDatabase name = HRDB\n");
  tarvolin::core::SharedState shared;
  tarvolin::core::LoadState load;
  tarvolin::core::NullLoadObserver observer;
  tarvolin::core::FixedTextMeasure measure;
  tarvolin::core::ReportLoader loader(shared, load, observer, measure, ".");
  GridStore main;
  PlatformDouble pd;

  struct Case {
    QString text;
    int cols;
  };
  for (const Case& c : {Case{lockReport, 6}, Case{dirReport, 2}, Case{lockReport, 6}}) {
    const QString path = m_cwd.filePath(QStringLiteral("report.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(c.text.toUtf8());
    file.close();
    loader.do_refresh(path.toStdString(), main);
    QCOMPARE(main.cols(), c.cols);

    Form2 f(main, pd.platform);
    QAbstractItemModelTester tester(gridOf(f)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.set_rowno(1);
    f.show();
    QCOMPARE(f.detailGrid().rows(), c.cols + 1);
    QVERIFY(showsEntry(f, main, 1));
    QTRY_COMPARE(gridOf(f)->model()->rowCount(), c.cols);
  }
}

void EntryDetailWindowTest::rightClickKeepsCurrentCellForCopy() {
  auto main = makeMain(3, 5);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(2);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  QTableView* grd = gridOf(f);

  // Left click selects detail row 2 (Var1), value column.
  QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, cellCentre(grd, 1, 1));
  QCOMPARE(f.detailGrid().row(), 2);
  QCOMPARE(f.detailGrid().col(), 1);

  // A right click elsewhere opens the pop-up without moving the current cell.
  child<QPushButton>(&f, "Command1")->setFocus();  // focus elsewhere first
  const QPoint other = cellCentre(grd, 3, 0);
  QTest::mousePress(grd->viewport(), Qt::RightButton, {}, other);
  QTest::mouseRelease(grd->viewport(), Qt::RightButton, {}, other);
  auto* menedit = child<QMenu>(&f, "menedit");
  QTRY_VERIFY(menedit->isVisible());
  QCOMPARE(f.focusWidget(), grd);
  QCOMPARE(f.detailGrid().row(), 2);
  QCOMPARE(f.detailGrid().col(), 1);
  QCOMPARE(grd->currentIndex(), grd->model()->index(1, 1));

  auto* mencopy = child<QAction>(&f, "mencopy");
  QTest::mouseClick(menedit, Qt::LeftButton, {}, menedit->actionGeometry(mencopy).center());
  QTRY_VERIFY(!menedit->isVisible());
  QCOMPARE(pd.clipboard.texts, QStringList{QStringLiteral("r2c1")});
  QVERIFY(pd.dialogs.messages.isEmpty());

  // A middle click does not move it either; the keyboard does.
  QTest::mouseClick(grd->viewport(), Qt::MiddleButton, {}, other);
  QCOMPARE(f.detailGrid().row(), 2);
  grd->setFocus();
  QTest::keyClick(grd, Qt::Key_Down);
  QCOMPARE(f.detailGrid().row(), 3);
  QTest::keyClick(grd, Qt::Key_Left);
  QCOMPARE(f.detailGrid().col(), 0);
}

void EntryDetailWindowTest::copyCurrentCell_data() {
  QTest::addColumn<QString>("value");
  QTest::addColumn<QString>("failure");
  QTest::addColumn<QStringList>("copied");
  QTest::addColumn<QStringList>("messages");
  QTest::newRow("value") << "INVOICE" << QString() << QStringList{"INVOICE"} << QStringList{};
  QTest::newRow("empty cell") << QString() << QString() << QStringList{QString()} << QStringList{};
  QTest::newRow("clipboard fails") << "INVOICE"
                                   << "Can't open the clipboard" << QStringList{}
                                   << QStringList{"Can't open the clipboard"};
}

void EntryDetailWindowTest::copyCurrentCell() {
  QFETCH(QString, value);
  QFETCH(QString, failure);
  QFETCH(QStringList, copied);
  QFETCH(QStringList, messages);
  auto main = makeMain(3, 3);
  main->setText(1, 2, value.toStdString());
  PlatformDouble pd;
  if (!failure.isEmpty()) pd.clipboard.failure = failure;
  Form2 f(*main, pd.platform);
  f.set_rowno(1);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  QTableView* grd = gridOf(f);
  QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, cellCentre(grd, 2, 1));
  child<QAction>(&f, "mencopy")->trigger();
  QCOMPARE(pd.clipboard.texts, copied);
  QCOMPARE(pd.dialogs.messages, messages);
  QVERIFY(f.isVisible());
  QVERIFY(showsEntry(f, *main, 1));
}

void EntryDetailWindowTest::showCellValueAndCtrlC() {
  auto main = makeMain(4, 3);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(3);
  f.show();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  QTableView* grd = gridOf(f);
  QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, cellCentre(grd, 2, 1));
  child<QAction>(&f, "menshow")->trigger();
  QCOMPARE(pd.dialogs.messages, QStringList{QStringLiteral("r3c2")});

  // Ctrl+C in the grid goes through the platform clipboard.
  QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, cellCentre(grd, 0, 0));
  QTest::keyClick(grd, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(pd.clipboard.texts, QStringList{QStringLiteral("Var0")});
}

void EntryDetailWindowTest::printScreenIgnoresErrors() {
  auto main = makeMain(3, 3);
  PlatformDouble pd;
  pd.printer.fails = true;
  Form2 f(*main, pd.platform);
  f.set_rowno(1);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  child<QAction>(&f, "menprint")->trigger();
  QCOMPARE(pd.printer.images.size(), 1);
  // The client area: below the menu bar, as wide as the window.
  const QImage& image = pd.printer.images.front();
  const qreal dpr = image.devicePixelRatio();
  QCOMPARE(QSizeF(image.size()) / dpr, QSizeF(gridOf(f)->parentWidget()->size()));
  QVERIFY(pd.dialogs.messages.isEmpty());
  QVERIFY(f.isVisible());
}

void EntryDetailWindowTest::enterActsOnFocusedButtonOnly() {
  auto main = makeMain(6, 2);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(2);
  f.show();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  auto* next = child<QPushButton>(&f, "comnext");
  next->setFocus();
  QTest::keyClick(next, Qt::Key_Return);
  QCOMPARE(f.shownRow(), 3);
  QTableView* grd = gridOf(f);
  grd->setFocus();
  QTest::keyClick(grd, Qt::Key_Return);
  QVERIFY(f.isVisible());
  QCOMPARE(f.shownRow(), 3);
}

void EntryDetailWindowTest::closeCommands_data() {
  QTest::addColumn<int>("how");
  QTest::newRow("Exit") << 0;
  QTest::newRow("menclose") << 1;
  QTest::newRow("close box") << 2;
}

void EntryDetailWindowTest::closeCommands() {
  QFETCH(int, how);
  auto main = makeMain(3, 3);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(1);
  f.show();
  QSignalSpy finished(&f, &QDialog::finished);
  if (how == 0) QTest::mouseClick(child<QPushButton>(&f, "Command1"), Qt::LeftButton);
  if (how == 1) child<QAction>(&f, "menclose")->trigger();
  if (how == 2) f.close();
  QVERIFY(!f.isVisible());
  QCOMPARE(finished.size(), 1);
}

void EntryDetailWindowTest::reopeningStartsAtGivenRowCentredOverOwner() {
  auto main = makeMain(8, 3);
  main->setRow(3);
  PlatformDouble pd;
  QWidget owner;
  owner.setGeometry(60, 40, 700, 540);
  owner.show();
  QVERIFY(QTest::qWaitForWindowExposed(&owner));

  QList<int> shownAtOpen;
  QList<bool> centred;
  auto driveOnce = [&](int nextClicks) {
    QTimer::singleShot(0, [&, nextClicks] {
      auto* f = qobject_cast<Form2*>(QApplication::activeModalWidget());
      if (f == nullptr) return;
      shownAtOpen << f->shownRow();
      const QPoint delta = f->frameGeometry().center() - owner.frameGeometry().center();
      centred << (delta.manhattanLength() <= 4);
      for (int i = 0; i < nextClicks; ++i) QTest::mouseClick(child<QPushButton>(f, "comnext"), Qt::LeftButton);
      f->close();  // the close box
    });
    tarvolin::ui::showRowDetail(*main, main->row(), pd.platform, &owner);
  };
  driveOnce(2);
  driveOnce(0);
  QCOMPARE(shownAtOpen, (QList<int>{3, 3}));
  QCOMPARE(centred, (QList<bool>{true, true}));
  QCOMPARE(main->row(), 3);
}

void EntryDetailWindowTest::rowsBeyond16Bits() {
  auto main = std::make_unique<GridStore>();
  main->setCols(3);
  main->setRows(40001);
  for (int c = 0; c < 3; ++c) {
    main->setText(0, c, "Var" + std::to_string(c));
    for (int r : {32767, 32768}) main->setText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  }
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(32767);
  f.show();
  QTest::mouseClick(child<QPushButton>(&f, "comnext"), Qt::LeftButton);
  QCOMPARE(f.shownRow(), 32768);
  QVERIFY(showsEntry(f, *main, 32768));
  QCOMPARE(detailText(f, 1, 1), std::string("r32768c0"));
}

void EntryDetailWindowTest::layoutOnResize_data() {
  QTest::addColumn<QSize>("size");
  QTest::newRow("design size") << QSize();
  QTest::newRow("wider and lower") << QSize(760, 580);
  QTest::newRow("narrower than the margin") << QSize(20, 600);
  QTest::newRow("lower than the margin") << QSize(700, 60);
  QTest::newRow("tiny") << QSize(1, 1);
}

void EntryDetailWindowTest::layoutOnResize() {
  QFETCH(QSize, size);
  auto main = makeMain(3, 3);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(1);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  if (size.isValid()) {
    f.resize(size);
    QTRY_COMPARE(f.size(), size.expandedTo(f.minimumSize()));
  }

  const double dx = f.logicalDpiX();
  const double dy = f.logicalDpiY();
  using tarvolin::platform::pixelsToTwips;
  using tarvolin::platform::twipsToPixels;
  const int w = pixelsToTwips(f.frameGeometry().width(), dx);
  const int h = pixelsToTwips(f.frameGeometry().height(), dy);
  QTableView* grd = gridOf(f);
  QCOMPARE(grd->pos(), QPoint(twipsToPixels(120, dx), twipsToPixels(120, dy)));
  QCOMPARE(grd->width(), twipsToPixels(std::max(w - 400, 0), dx));
  QCOMPARE(grd->height(), twipsToPixels(std::max(h - 1800, 0), dy));
  const int top = twipsToPixels(120 + std::max(h - 1800, 0) + 400, dy);
  for (const char* name : {"Command1", "comprev", "comnext"}) QCOMPARE(child<QPushButton>(&f, name)->y(), top);
  QCOMPARE(child<QPushButton>(&f, "comnext")->x(), twipsToPixels(6240, dx));

  // Still working: step and copy.
  QTest::mouseClick(child<QPushButton>(&f, "comnext"), Qt::LeftButton);
  QCOMPARE(f.shownRow(), 2);
}

void EntryDetailWindowTest::minimisedAndRestored() {
  auto main = makeMain(4, 3);
  PlatformDouble pd;
  Form2 f(*main, pd.platform);
  f.set_rowno(1);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  const QRect before = gridOf(f)->geometry();
  f.showMinimized();
  QTRY_VERIFY(f.isMinimized());
  f.showNormal();
  QTRY_VERIFY(!f.isMinimized());
  QTRY_COMPARE(gridOf(f)->geometry(), before);
  QTest::mouseClick(child<QPushButton>(&f, "comnext"), Qt::LeftButton);
  QVERIFY(showsEntry(f, *main, 2));
}

void EntryDetailWindowTest::screenshotOfLockSnapshot() {
  tarvolin::core::SharedState shared;
  tarvolin::core::LoadState load;
  tarvolin::core::NullLoadObserver observer;
  tarvolin::platform::FontTextMeasure measure(QApplication::font());
  tarvolin::core::ReportLoader loader(shared, load, observer, measure, ".");
  GridStore main;
  loader.do_refresh(TARVOLIN_SAMPLES_DIR "/lock_snapshot.txt", main);
  QVERIFY(main.rows() > 3);

  PlatformDouble pd;
  Form2 f(main, pd.platform);
  f.set_rowno(2);  // a lock entry
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  QVERIFY(showsEntry(f, main, 2));
  QTableView* grd = gridOf(f);
  QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, cellCentre(grd, 2, 1));
  const QString out = QStringLiteral(TARVOLIN_BUILD_DIR "/detail_window.png");
  QVERIFY(f.grab().save(out));
}

QTEST_MAIN(EntryDetailWindowTest)
#include "entry_detail_window_test.moc"
