// The main window driven as a user drives it: choosing and loading files, Stop and its
// guards, and one wiring check for every command on the grid and for the other windows.
// The rules behind the commands are tested in core.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "core/shared_state.h"
#include "report_double.h"
#include "ui/main/main_window.h"

using namespace tarvolin::test;
using tarvolin::core::GridStore;
using tarvolin::platform::GridView;

namespace {

QString finished(int read, int written) {
  return QStringLiteral("Finished. Records read: %1 Records outputted %2").arg(read).arg(written);
}

/// Runs `act` on the modal window named `name` once it is the active modal widget (at
/// most five seconds); returns at once, before the window opens.
void whenModal(QObject& context, const char* name, std::function<void(QDialog&)> act) {
  auto* poll = new QTimer(&context);
  const QDeadlineTimer deadline(5000);
  QObject::connect(poll, &QTimer::timeout, [poll, deadline, name = QString::fromLatin1(name), act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const bool found = dialog != nullptr && dialog->objectName() == name && dialog->isVisible();
    if (!found && !deadline.hasExpired()) return;
    poll->deleteLater();
    if (found) act(*dialog);
  });
  poll->start(5);
}

/// Text of row `row`, column `col` of the model behind the table named "grd" in `window`.
QString gridCell(const QWidget& window, int row, int col) {
  const QAbstractItemModel* m = child<QTableView>(window, "grd")->model();
  return m->index(row, col).data().toString();
}

/// The main window over the platform doubles, shown, its grid's model under test.
struct Window {
  Window() {
    w.resize(780, 560);  // inside the offscreen screen, so pop-ups open where asked
    w.show();
  }
  GridView& grd() { return *child<GridView>(w, "grd"); }
  GridStore& grid() { return grd().store(); }
  QComboBox& box() { return *child<QComboBox>(w, "cmbfile"); }
  QMenu& popup() { return *child<QMenu>(w, "mensortt"); }
  QString status() { return child<QLabel>(w, "statmsgText")->text(); }
  void click(const char* button) { child<QPushButton>(w, button)->click(); }
  void trigger(const char* action) { child<QAction>(w, action)->trigger(); }
  /// Types `path` in the file box and clicks Reload; true once the view shows the rows.
  bool load(const QString& path) {
    box().setEditText(path);
    click("comref");
    return QTest::qWaitFor([this] { return grd().model()->rowCount() == grid().rows() - 1; });
  }
  QString text(int row, int col) { return QString::fromStdString(std::string(grid().text(row, col))); }
  QStringList column(int col) {
    QStringList texts;
    for (int r = 1; r < grid().rows(); ++r) texts << text(r, col);
    return texts;
  }
  void select(int row, int col) { grid().setSelection(row, col, row, col); }
  /// Centre of store cell (row, col) in the grid's viewport.
  QPoint cellCentre(int row, int col) {
    return grd().visualRect(grd().model()->index(grd().gridModel()->modelRow(row), col)).center();
  }

  tarvolin::core::SharedState shared;
  PlatformDouble p;
  tarvolin::ui::MainWindow w{shared, p.platform};
  QAbstractItemModelTester tester{grd().gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QString m_small;  ///< 3 applications of 2 locks: 9 rows from 38 lines
  QString m_big;    ///< 10,000 applications of 4 locks: long enough to press Stop during its load

  QString file(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

  /// Starts loading m_big; `during` runs at the load's first yield to events and
  /// must stop the load.
  static void loadBig(Window& x, const QString& big, const std::function<void()>& during) {
    QTimer::singleShot(0, &x.w, during);
    x.box().setEditText(big);
    QVERIFY(x.w.do_refresh());
    QVERIFY(x.w.loader().counters().nout < 50000);
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));  // configuration files are read and written here
    m_small = writeLockSnapshot(file("locks.txt"), 3, 2);
    m_big = writeLockSnapshot(file("big.txt"), 10000, 4);
  }

  void loadsTheLockSample() {
    Window x;
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/lock_snapshot.txt")));
    QVERIFY(x.p.dialogs.messages.isEmpty());
    const auto& c = x.w.loader().counters();
    QVERIFY(c.nout > 0);
    QCOMPARE(x.status(), finished(c.nread, c.nout));
    QCOMPARE(child<QLabel>(x.w, "lbltype")->text(), QStringLiteral("Database Lock Snapshot"));
    QVERIFY(!child<QLabel>(x.w, "lbltime")->text().isEmpty());
    QCOMPARE(x.grd().model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Application handle"));
    QVERIFY(!child<QPushButton>(x.w, "comstop")->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void selectFileTheFileBoxAndViewFile() {
    Window x;
    x.click("comview");  // no file yet: said, nothing opened
    QCOMPARE(x.p.dialogs.messages.size(), 1);
    QVERIFY(x.p.launcher.openedFiles.isEmpty());
    x.p.dialogs.fileAnswer = m_small;
    x.click("Command2");
    QCOMPARE(x.status(), finished(38, 9));
    QCOMPARE(x.box().count(), 0);  // the first choice does not join the list
    const QString a = writeLockSnapshot(file("a.txt"), 1, 1);
    x.p.dialogs.fileAnswer = a;  // "locks.txt" in the box sorts after it: appended
    x.click("Command2");
    QCOMPARE(x.p.dialogs.startPaths.last(), m_small);
    QCOMPARE(x.box().itemText(0), a);
    QCOMPARE(x.status(), finished(12, 2));
    x.p.dialogs.fileAnswer.clear();  // Cancel, then a failing dialog: nothing changes
    x.click("Command2");
    x.p.dialogs.fileDialogFails = true;
    x.click("Command2");
    QCOMPARE(x.box().currentText(), a);
    // A typed path loads only with Reload; View File opens what the box says.
    x.box().setFocus();
    x.box().clearEditText();
    QTest::keyClicks(&x.box(), m_small);
    QTest::keyClick(&x.box(), Qt::Key_Return);
    QCOMPARE(x.status(), finished(12, 2));
    QCOMPARE(x.box().count(), 1);
    x.click("comview");
    QCOMPARE(x.p.launcher.openedFiles, QStringList{m_small});
    x.click("comref");
    QCOMPARE(x.status(), finished(38, 9));
    x.box().setCurrentIndex(0);  // picked from the list
    emit x.box().activated(0);
    QCOMPARE(x.status(), finished(12, 2));
    QCOMPARE(x.p.dialogs.messages.size(), 1);
    x.p.launcher.viewerMissing = true;
    x.click("comview");
    QVERIFY(x.p.dialogs.messages.last().contains(a));
    x.box().setEditText(file("missing.txt"));
    x.click("comref");
    QCOMPARE(x.p.dialogs.messages.size(), 3);
    QCOMPARE(x.status(), finished(0, 0));
  }

  void mostRecent() {
    Window x;
    x.p.files.dir = m_dir.path();
    x.p.files.names = {"locks.txt", "big.txt"};
    const QDateTime t(QDate(2026, 11, 27), QTime(16, 42));
    x.p.files.times = {{"locks.txt", t}, {"big.txt", t.addSecs(-60)}};
    x.click("comrec");
    QCOMPARE(x.box().currentText(), m_small);
    QCOMPARE(x.status(), finished(38, 9));
    x.p.files.unreadable = {"big.txt"};
    x.box().clearEditText();
    x.click("comrec");
    QCOMPARE(x.p.dialogs.messages, QStringList{"Permission denied big.txt"});
    QCOMPARE(x.box().currentText(), QString());
  }

  void gridAndFrameFollowTheWindowSize() {
    Window x;
    QWidget* frame = child<QWidget>(x.w, "Frame1");
    const QSize grid = x.grd().size();
    const int frameTop = frame->y();
    x.w.resize(x.w.width() + 100, x.w.height() + 60);
    QTRY_VERIFY(qAbs(x.grd().width() - grid.width() - 100) <= 1);
    QVERIFY(qAbs(x.grd().height() - grid.height() - 60) <= 1);
    QVERIFY(qAbs(frame->y() - frameTop - 60) <= 1);
  }

  void stopEndsALoadInTheMiddle() {
    Window x;
    bool stopEnabled = false;
    bool waitCursor = false;
    QString progress;
    loadBig(x, m_big, [&] {
      stopEnabled = child<QPushButton>(x.w, "comstop")->isEnabled();
      waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      progress = x.status();
      x.click("comstop");
    });
    QVERIFY(stopEnabled && waitCursor);
    QVERIFY2(progress.startsWith(QStringLiteral("Records read: ")), qPrintable(progress));
    const auto& c = x.w.loader().counters();
    QCOMPARE(x.grid().rows(), c.nout + 1);
    QCOMPARE(x.status(), finished(c.nread, c.nout));
    QVERIFY(!child<QPushButton>(x.w, "comstop")->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void noSecondLoadWhileOneRuns() {
    Window x;
    x.p.dialogs.fileAnswer = m_small;
    QStringList enabled;
    bool refused = false;
    loadBig(x, m_big, [&] {
      for (const char* name : {"Command2", "comrec", "comref", "cmbfile", "comview"})
        if (child<QWidget>(x.w, name)->isEnabled()) enabled << name;
      for (QAction* a : x.w.findChildren<QAction*>())
        if (!a->isSeparator() && !a->menu() && a->isEnabled()) enabled << a->objectName();
      refused = !x.w.do_refresh() && !x.w.openReport(m_small);
      QCOMPARE(x.status(), tarvolin::ui::kBusyMessage);
      x.click("Command2");  // disabled: no dialog
      x.click("comstop");
    });
    QVERIFY(refused);
    enabled.sort();
    QCOMPARE(enabled, QStringList({"comview", "menabout", "menclose", "mencolwider", "mencopy", "mencopycell",
                                   "mendetail", "menh", "menlock", "menprint", "menshowcell"}));
    QVERIFY(x.p.dialogs.startPaths.isEmpty());
    QVERIFY(child<QWidget>(x.w, "Command2")->isEnabled() && child<QAction>(x.w, "menexcl")->isEnabled());
  }

  void closingDuringALoadClosesWhenItEnds() {
    Window x;
    bool shownAfterClose = false;
    loadBig(x, m_big, [&] {
      x.w.close();
      shownAfterClose = x.w.isVisible();
    });
    QVERIFY(shownAfterClose);
    QVERIFY(!x.w.isVisible());
  }

  void droppedOrNamedReportsLoad() {
    Window x;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(m_small)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&x.w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&x.w, &drop);
    QTRY_COMPARE(x.status(), finished(38, 9));
    QVERIFY(x.w.openReport(QStringLiteral("a.txt")));  // relative to the working directory
    QCOMPARE(x.box().currentText(), file("a.txt"));
  }

  void clickShowsTheColumnsName() {
    Window x;
    QVERIFY(x.load(m_small));
    QTest::mouseClick(x.grd().viewport(), Qt::LeftButton, {}, x.cellCentre(5, kLockObject));
    QCOMPARE(x.grid().row(), 5);
    QCOMPARE(x.status(), QStringLiteral("Lock Object Name"));
    QHeaderView* header = x.grd().horizontalHeader();
    const QPoint title(header->sectionViewportPosition(kTableName) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    QCOMPARE(x.status(), QStringLiteral("Table Name"));
  }

  void rightClickOpensThePopupOnTheCurrentCell() {
    Window x;
    QVERIFY(x.load(m_small));
    QTest::mouseClick(x.grd().viewport(), Qt::LeftButton, {}, x.cellCentre(3, kLockObject));
    child<QPushButton>(x.w, "comref")->setFocus();
    const QPoint elsewhere = x.cellCentre(4, kTableName);
    QTest::mouseClick(x.grd().viewport(), Qt::MiddleButton, {}, elsewhere);
    QVERIFY(!x.popup().isVisible());
    QTest::mouseClick(x.grd().viewport(), Qt::RightButton, {}, elsewhere);
    QTRY_VERIFY(x.popup().isVisible());
    QCOMPARE(x.popup().pos(), x.grd().viewport()->mapToGlobal(elsewhere));
    QVERIFY(x.grd().hasFocus());
    QTest::mouseClick(&x.popup(), Qt::LeftButton, {},
                      x.popup().actionGeometry(child<QAction>(x.w, "menshowcell")).center());
    QTRY_VERIFY(!x.popup().isVisible());
    QCOMPARE(x.p.dialogs.messages, QStringList{"77"});
  }

  void copying() {
    Window x;
    QVERIFY(x.load(m_small));
    QTest::mousePress(x.grd().viewport(), Qt::LeftButton, {}, x.cellCentre(6, kTableName));
    QTest::mouseMove(x.grd().viewport(), x.cellCentre(4, kLockObject));
    QTest::mouseRelease(x.grd().viewport(), Qt::LeftButton, {}, x.cellCentre(4, kLockObject));
    x.grd().setFocus();
    QTest::keyClick(&x.grd(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(x.p.clipboard.lastText(), QStringLiteral("\t\t\r\n14\tRow\tT0\r\n154\tRow\tT1"));
    QCOMPARE(x.status(), QStringLiteral("9 cells copied to the clipboard"));
    x.select(5, kLockObject);
    x.trigger("mencopycell");
    QCOMPARE(x.p.clipboard.lastText(), QStringLiteral("14"));
    x.p.clipboard.failure = QStringLiteral("held by another program");
    x.trigger("mencopycell");
    x.trigger("mencopy");
    QCOMPARE(x.p.dialogs.messages, QStringList(2, *x.p.clipboard.failure));
    QCOMPARE(x.status(), QStringLiteral("9 cells copied to the clipboard"));
  }

  void sortAndWiderColumn() {
    Window x;
    QVERIFY(x.load(m_small));
    x.select(2, kLockObject);
    child<QMenu>(x.w, "mensortt")->actions().at(1)->trigger();  // Sort Descending
    QCOMPARE(x.column(kLockObject), QStringList({"231", "154", "77", "21", "14", "7", "", "", ""}));
    QTRY_COMPARE(gridCell(x.w, 0, kLockObject), QStringLiteral("231"));
    const int width = x.grd().columnWidth(kLockObject);
    x.trigger("mencolwider");
    QTRY_VERIFY(x.grd().columnWidth(kLockObject) > width);
  }

  void lockFirstColAndPrintScreen() {
    Window x;
    QVERIFY(x.load(m_small));
    auto* menlock = child<QAction>(x.w, "menlock");
    auto* fixed = child<QTableView>(x.w, "fixedColumn");
    x.trigger("menlock");
    QVERIFY(x.shared.lockcol && menlock->isChecked());
    QTRY_VERIFY((fixed = child<QTableView>(x.w, "fixedColumn")) && !fixed->isHidden());
    x.click("comref");  // a reload keeps the option
    QCOMPARE(x.grid().fixedCols(), 1);
    x.trigger("menlock");
    QVERIFY(!x.shared.lockcol && !menlock->isChecked());
    QTRY_VERIFY(fixed->isHidden());
    x.trigger("menprint");
    QCOMPARE(x.p.printer.images.size(), 1);
    QCOMPARE(x.p.printer.images.last().size(), x.w.grab().size());
    x.p.printer.fails = true;
    x.trigger("menprint");
    QVERIFY(x.p.dialogs.messages.isEmpty());
  }

  void excludeShowAllAndReload() {
    Window x;
    QVERIFY(x.load(m_small));
    x.select(1, kLocksHeld);  // "2" on the first data row: every application row
    x.trigger("menexcl");
    QTRY_COMPARE(x.grd().model()->rowCount(), 6);
    x.click("comref");  // a reload shows the first row again
    QTRY_COMPARE(x.grd().model()->rowCount(), 9);
    QCOMPARE(gridCell(x.w, 0, kHandle), QStringLiteral("100"));
    x.select(3, kTableName);  // T1
    x.trigger("menexcl");
    QTRY_COMPARE(x.grd().model()->rowCount(), 6);
    x.trigger("menexclnone");
    QTRY_COMPARE(x.grd().model()->rowCount(), 9);
  }

  void reloadWithOnlyLinesLikeThis() {
    Window x;
    QVERIFY(x.load(m_small));
    x.select(3, kTableName);  // T1
    x.trigger("menlike");
    QCOMPARE(x.column(kLockObject), QStringList({"77", "154", "231"}));
    x.click("comref");  // unfiltered again
    QCOMPARE(x.status(), finished(38, 9));
    x.select(2, kTableName);
    x.p.dialogs.answers = {QStringLiteral("T0"), QString()};
    x.trigger("menlike2");
    QCOMPARE(x.p.dialogs.prompts, QStringList{"Enter value to look for"});
    QCOMPARE(x.column(kLockObject), QStringList({"7", "14", "21"}));
    x.grid().setRowHeight(2, 0);
    x.trigger("menlike2");  // an empty answer reloads nothing
    QCOMPARE(x.grid().rowHeight(2), 0);
  }

  void rowDetailOpensOnTheCurrentRow() {
    Window x;
    QVERIFY(x.load(m_small));
    x.select(5, kLockObject);
    QStringList shown;
    whenModal(x.w, "Form2", [&](QDialog& d) {
      shown << gridCell(d, kLockObject, 1) << QString::number(d.parentWidget() == &x.w && d.isModal());
      d.close();
    });
    x.trigger("mendetail");
    const QPoint at = x.cellCentre(8, kTableName);
    whenModal(x.w, "Form2", [&](QDialog& d) {
      shown << gridCell(d, kLockObject, 1);
      d.close();
    });
    QTest::mouseClick(x.grd().viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(x.grd().viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(shown, QStringList({"14", "1", "21"}));
  }

  void customiseOkReloadsCancelDoesNot_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("OK") << "comok";
    QTest::newRow("Cancel") << "comcan";
  }
  void customiseOkReloadsCancelDoesNot() {
    QFETCH(QString, button);
    Window x;
    QVERIFY(x.load(m_small));
    x.grid().setRowHeight(2, 0);
    whenModal(x.w, "Form4", [&](QDialog& d) { child<QPushButton>(d, qPrintable(button))->click(); });
    x.trigger("mencfg");
    QCOMPARE(x.grid().rowHeight(2) == 0, button == "comcan");
    QCOMPARE(x.shared.cfgdone, button == "comok");
  }

  void aboutAndHelp() {
    Window x;
    x.trigger("menabout");
    auto* about = x.w.findChild<QDialog*>(QStringLiteral("frmAbout"));
    QVERIFY(about);  // opened without blocking
    QTRY_VERIFY(about->isVisible());
    about->close();
    x.trigger("menh");
    QCOMPARE(x.p.launcher.openedFiles, QStringList{x.p.files.dir + "/readme.txt"});
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
