// The main window as a user drives it: files, loads, Stop, one wiring check per command (rules: core).
#include <unistd.h>
#include <QtTest>
#include <QtWidgets>
#include <atomic>
#include <cerrno>
#include <functional>
#include <thread>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "common/window_loads.h"
#include "platform/user_settings.h"
#include "ui/main/file_rules.h"
#include "ui/main/kind_cache.h"
#include "ui/main/main_window.h"

using namespace tarvolin::test;

namespace {

/// A lock snapshot of `apps` applications of `locks` locks, 5 + apps * (3 + 4 * locks) lines. 3 x 2 loads as rows
/// 100 app0 2 | 7 Row T0 X | 77 Row T1 X | 101 app1 2 | 14 .. | 154 .. | 102 app2 2 | 21 .. | 231 .. (columns below).
QString writeLockSnapshot(const QString& path, int apps, int locks) {
  QFile f(path);
  QByteArray out = "\n            Database Lock Snapshot\n\nDatabase name                 = ORDERS\n\n";
  for (int a = 0; a < apps; ++a) {
    out += "Application handle = " + QByteArray::number(100 + a) + "\nApplication name = app" + QByteArray::number(a) +
           "\nLocks held = " + QByteArray::number(locks) + "\n";
    for (int l = 0; l < locks; ++l)
      out += " Lock Object Name = " + QByteArray::number((a + 1) * 7 * (l * 10 + 1)) +
             "\n Object Type = Row\n Table Name = T" + QByteArray::number(l % 7) + "\n Mode = X\n";
  }
  return f.open(QIODevice::WriteOnly) && f.write(out) == out.size() ? path : QString();
}
enum LockColumn { kHandle, kAppName, kLocksHeld, kLockObject, kObjectType, kTableName, kMode };

QString finished(int read, int written) {
  return QStringLiteral("Finished. Records read: %1 Records outputted %2").arg(read).arg(written);
}

/// Runs `act` on the modal window the next command opens, once it runs its own event loop.
void whenModal(QObject& context, std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, &context, [act] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) act(*dialog);
  });
}

/// Text at row `row`, column `col` of the table named "grd" in `window`, as the view shows it.
QString shown(const QWidget& window, int row, int col) {
  return child<QTableView>(window, "grd")->model()->index(row, col).data().toString();
}

/// Where the windows read and write configuration files.
const QTemporaryDir& configFolder() {
  static const QTemporaryDir dir;
  return dir;
}

/// The main window over the platform doubles, shown, its grid's model under test.
struct Window {
  Window() {
    w.resize(780, 560);  // inside the offscreen screen, so pop-ups open where asked
    w.show();
  }
  tarvolin::platform::GridView& grd() { return *child<tarvolin::platform::GridView>(w, "grd"); }
  tarvolin::core::GridStore& grid() { return grd().store(); }
  QComboBox& box() { return *child<QComboBox>(w, "cmbfile"); }
  QString status() { return child<QLabel>(w, "statmsgText")->text(); }
  /// Clicks, or triggers, and waits for the end of a load it started.
  void click(const char* button) {
    child<QPushButton>(w, button)->click();
    QVERIFY(loaded(w));
  }
  void trigger(const char* action) {
    child<QAction>(w, action)->trigger();
    QVERIFY(loaded(w));
  }
  /// Types `path` in the file box and clicks Reload; true once the view shows the rows.
  bool load(const QString& path) {
    box().setEditText(path);
    click("comref");
    return QTest::qWaitFor([this] { return grd().model()->rowCount() == grid().rows() - 1; });
  }
  QStringList column(int col) {
    QStringList texts;
    for (int r = 1; r < grid().rows(); ++r) texts << QString::fromStdString(std::string(grid().text(r, col)));
    return texts;
  }
  void select(int row, int col) { grid().setSelection(row, col, row, col); }
  /// Sends a mouse action at the centre of store row `row`, column `col` of `view` (the grid's).
  void mouse(QTest::MouseAction action, Qt::MouseButton button, int row, int col, QTableView* view = nullptr) {
    view = view ? view : &grd();
    QTest::mouseEvent(action, view->viewport(), button, {},
                      view->visualRect(view->model()->index(row - 1, col)).center());
  }

  tarvolin::core::SharedState shared;
  PlatformDouble p;
  tarvolin::ui::MainWindow w{shared, p.platform, configFolder().path().toStdString()};
  QAbstractItemModelTester tester{grd().gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QString m_small;  ///< 3 applications of 2 locks: 9 rows from 38 lines
  QString m_big;    ///< 50,000 applications of 4 locks: 950,005 lines

  /// Starts loading m_big through `read` and returns once the view shows its first rows.
  static void startBig(Window& x, const QString& big, tarvolin::core::ReadFunction read) {
    x.w.setReadFunction(std::move(read));
    x.box().setEditText(big);
    child<QPushButton>(x.w, "comref")->click();
    QTRY_VERIFY(x.grd().model()->rowCount() > 0);
    QVERIFY(x.w.loading());
  }
  /// Reads at most 4 KiB a call, a millisecond each: m_big takes some 5 s.
  static std::ptrdiff_t slowRead(int fd, char* dst, size_t n) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ::read(fd, dst, std::min<size_t>(n, 4096));
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);  // the window's kept place: none, and not the user's
    tarvolin::platform::userSettings().clear();
    m_small = writeLockSnapshot(m_dir.filePath("locks.txt"), 3, 2);
    m_big = writeLockSnapshot(m_dir.filePath("big.txt"), 50000, 4);
  }

  void keptKindsStayUnderTheLimitTheOldestGoingFirst() {
    const auto shown = [](int kind, int rows) {
      tarvolin::ui::ShownKind s;
      s.kind = kind;
      s.store.setCols(2);
      s.store.setRows(rows);
      return s;
    };
    tarvolin::ui::KindCache cache(tarvolin::ui::KindCache::bytesOf(shown(0, 100).store) * 2);
    for (const int kind : {0, 1, 2, 1}) cache.keep(shown(kind, 100));
    cache.keep(shown(3, 300));  // bigger than the limit: not kept
    QVERIFY(!cache.take(0) && !cache.take(3) && cache.take(2) && cache.take(1) && cache.bytes() == 0);
  }

  void newestFileAndLayoutRules() {
    FileSystemDouble fs;
    fs.names = {"a", "b", "c", "locked"};
    for (int i = 0; i < 3; ++i) fs.times[fs.names[i]] = QDateTime(QDate(2026, 11, 27), QTime(16, i == 0 ? 1 : 5));
    fs.unreadable = {"locked"};
    QCOMPARE(tarvolin::ui::newestFile(fs.dir, fs).error, QStringLiteral("Permission denied locked"));
    fs.names.removeLast();
    QCOMPARE(tarvolin::ui::newestFile(fs.dir, fs).path, fs.dir + "/b");  // the first of equal newest
    using tarvolin::ui::layoutRule;
    const tarvolin::ui::MainLayout now{10215, 4215, 5520},
        big = layoutRule(11025, 7725, now), tiny = layoutRule(629, 2499, now), zero = layoutRule(630, 2500, now);
    QVERIFY(big.gridWidth == 10395 && big.gridHeight == 5225 && big.frameTop == 5685);
    QVERIFY(tiny.gridWidth == 10215 && tiny.gridHeight == 4215 && tiny.frameTop == 4675);  // sizes kept
    QVERIFY(zero.gridWidth == 0 && zero.gridHeight == 0 && zero.frameTop == 460);
    QVERIFY(!tarvolin::ui::appendsToList("D:\\A.TXT", "d:\\a.txt") && tarvolin::ui::appendsToList("D:\\B", "d:\\a"));
  }

  void loadsTheLockSampleAndFollowsTheWindowSize() {
    Window x;
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/lock_snapshot.txt")));
    const auto& c = x.w.loader().counters();
    QVERIFY(c.nout > 0 && x.p.dialogs.messages.isEmpty());
    QCOMPARE(x.status(), finished(c.nread, c.nout));
    QCOMPARE(child<QLabel>(x.w, "lbltype")->text(), QStringLiteral("Database Lock Snapshot"));
    QCOMPARE(child<QLabel>(x.w, "lbltime")->text(), QStringLiteral("11/27/2026 16:42:08.305517"));  // its own
    QCOMPARE(x.w.windowTitle(), QStringLiteral("Tarvolin - View DB2 Snapshot - lock_snapshot.txt"));
    QVERIFY(x.load(m_small));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d \\(file time\\)$"))
                .match(child<QLabel>(x.w, "lbltime")->text())
                .hasMatch());  // a report's date format
    QCOMPARE(x.grd().model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Application handle"));
    QCOMPARE(x.grd().model()->headerData(3, Qt::Horizontal, Qt::ToolTipRole), QString::fromUtf8(x.grid().text(0, 3)));
    QWidget* frame = child<QWidget>(x.w, "Frame1");  // the grid and the frame follow the window's size
    const QRect before(0, frame->y(), x.grd().width(), x.grd().height());
    x.w.resize(x.w.width() + 100, x.w.height() + 60);
    QTRY_VERIFY(qAbs(x.grd().width() - before.width() - 100) <= 1);
    QVERIFY(qAbs(x.grd().height() - before.height() - 60) <= 1 && qAbs(frame->y() - before.y() - 60) <= 1);
  }

  void fileCommands() {
    Window x;
    x.click("comview");  // no file yet: said, nothing opened
    QVERIFY(x.p.dialogs.messages.size() == 1 && x.p.launcher.openedFiles.isEmpty());
    x.p.dialogs.fileAnswer = m_small;
    x.click("Command2");
    QCOMPARE(x.status(), finished(38, 9));
    const QString a = writeLockSnapshot(m_dir.filePath("A.txt"), 1, 1);
    x.p.dialogs.fileAnswer = a;  // "locks.txt" in the box sorts after it: appended
    x.click("Command2");
    QCOMPARE(x.box().count() == 1 ? x.box().itemText(0) : "", a);  // the first choice did not join the list
    x.box().clearEditText();                                       // a typed path loads with Enter, as with Reload
    QTest::keyClicks(&x.box(), m_small);
    QTest::keyClick(&x.box(), Qt::Key_Return);
    QVERIFY(loaded(x.w));
    QCOMPARE(x.status(), finished(38, 9));
    QCOMPARE(x.box().count(), 1);  // and joins no list
    x.click("comview");
    QCOMPARE(x.p.launcher.openedFiles, QStringList{m_small});
    x.click("comref");
    QCOMPARE(x.status(), finished(38, 9));
    x.box().setCurrentIndex(0);  // picked from the list
    emit x.box().activated(0);
    QVERIFY(loaded(x.w));
    QCOMPARE(x.status(), finished(12, 2));
    QVERIFY(x.w.openReport(QDir::current().relativeFilePath(m_small)) && loaded(x.w) &&
            x.box().currentText() == m_small);  // made absolute
    x.p.files.dir = m_dir.path();               // Most Recent: the newest file of the program's folder
    x.p.files.names = {"A.txt", "big.txt"};
    x.p.files.times = {{"A.txt", QDateTime::currentDateTime()}, {"big.txt", QDateTime(QDate(2026, 1, 1), {})}};
    x.click("comrec");
    QCOMPARE(x.status(), finished(12, 2));
    x.p.files.unreadable = {"big.txt"};
    x.click("comrec");
    QCOMPARE(x.p.dialogs.messages.last(), QStringLiteral("Permission denied big.txt"));
    x.box().setEditText(m_dir.filePath("missing.txt"));
    x.click("comref");
    QCOMPARE(x.p.dialogs.messages.size(), 3);
  }

  void whileALoadRunsTheWindowAnswersAndStopKeepsTheRows() {
    Window x;
    startBig(x, m_big, slowRead);
    QVERIFY(QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    QTRY_VERIFY(x.status().startsWith(QStringLiteral("Records read: ")));
    QStringList enabled;
    for (const char* name : {"Command2", "comrec", "comref", "cmbfile", "comview", "comstop"})
      if (child<QWidget>(x.w, name)->isEnabled()) enabled << name;
    for (QAction* a : x.w.findChildren<QAction*>())
      if (!a->isSeparator() && !a->menu() && a->isEnabled()) enabled << a->objectName();
    enabled.sort();
    QCOMPARE(enabled, QStringList({"comstop", "comview", "menabout", "menclose", "mencolwider", "mencopy",
                                   "mencopycell", "mendetail", "menh", "menprint", "menshowcell"}));
    if (const QString shot = qEnvironmentVariable("TARVOLIN_LOADING_SHOT"); !shot.isEmpty()) x.w.grab().save(shot);
    QScrollBar* bar = x.grd().verticalScrollBar();  // what is shown scrolls
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());  // rows may come meanwhile, and the maximum grow
    QVERIFY(bar->value() > 0);
    x.click("comstop");
    const auto& c = x.w.loader().counters();
    QVERIFY(c.nout > 0 && c.nout < 250000);
    QCOMPARE(x.status(), finished(c.nread, c.nout));
    QTRY_COMPARE(x.grd().model()->rowCount(), c.nout);
    QCOMPARE(x.grid().rows(), c.nout + 1);
    QVERIFY(!child<QPushButton>(x.w, "comstop")->isEnabled() && QApplication::overrideCursor() == nullptr);
    QVERIFY(child<QWidget>(x.w, "Command2")->isEnabled() && child<QAction>(x.w, "menexcl")->isEnabled());
  }

  void aLoadErrorKeepsTheRowsReadAndIsShown() {
    Window x;
    startBig(x, m_big, [calls = std::make_shared<std::atomic<int>>(0)](int fd, char* dst, size_t n) -> std::ptrdiff_t {
      if (++*calls > 10) {  // 40 KiB read
        errno = EIO;
        return -1;
      }
      return ::read(fd, dst, std::min<size_t>(n, 4096));
    });
    QVERIFY(loaded(x.w));
    QCOMPARE(x.p.dialogs.messages.size(), 1);
    QVERIFY2(x.p.dialogs.messages[0].contains(QStringLiteral("Cannot read")), qPrintable(x.p.dialogs.messages[0]));
    const auto& c = x.w.loader().counters();
    QVERIFY(c.failed && c.nout > 100);
    QCOMPARE(x.status(), finished(c.nread, c.nout));
    QCOMPARE(x.grid().rows(), c.nout + 1);
  }

  void closeOrAnotherLoadDuringALoad() {
    Window x;
    x.w.setReadFunction(slowRead);
    x.box().setEditText(m_big);
    child<QPushButton>(x.w, "comref")->click();  // a second load stops the first and follows it
    QVERIFY(x.w.openReport(m_small) && x.w.loading());
    QVERIFY(loaded(x.w));
    QCOMPARE(x.status(), finished(38, 9));
    child<QPushButton>(x.w, "comref")->click();
    QVERIFY(x.w.loading() && x.w.close() && !x.w.isVisible());  // closes at once; the load has ended
    QVERIFY(!x.w.loading() && QApplication::overrideCursor() == nullptr);
  }

  void cellCommands() {
    Window x;
    QVERIFY(x.load(m_small));
    QTest::keyClick(&x.grd(), Qt::Key_A, Qt::ControlModifier);  // the whole grid, titles included
    x.trigger("mencopy");
    QCOMPARE(x.status(), QStringLiteral("70 cells copied to the clipboard"));
    QVERIFY(x.p.clipboard.lastText().startsWith(QStringLiteral("Application handle\tApplication name\t")));
    QHeaderView* header = x.grd().horizontalHeader();  // a title: its column, the first data row current
    const QPoint appTitle(header->sectionViewportPosition(kAppName) + 5, 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, appTitle);
    QCOMPARE(x.status(), QStringLiteral("Application name"));
    x.trigger("menshowcell");
    x.mouse(QTest::MouseClick, Qt::LeftButton, 3, kLockObject);
    QCOMPARE(x.status(), QStringLiteral("Lock Object Name"));
    x.mouse(QTest::MousePress, Qt::LeftButton, 4, kLockObject);  // Copy Cells of a dragged selection
    x.mouse(QTest::MouseMove, Qt::NoButton, 6, kTableName);
    x.mouse(QTest::MouseRelease, Qt::LeftButton, 6, kTableName);
    QTest::keyClick(&x.grd(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(x.p.clipboard.lastText(), QStringLiteral("\t\t\r\n14\tRow\tT0\r\n154\tRow\tT1"));
    QCOMPARE(x.status(), QStringLiteral("9 cells copied to the clipboard"));
    x.trigger("menshowcell");  // on the cell the drag ended on, then where Shift+Up took it
    QTest::keyClick(&x.grd(), Qt::Key_Up, Qt::ShiftModifier);
    x.trigger("menshowcell");
    QCOMPARE(x.p.dialogs.messages, QStringList({"app0", "T1", "T0"}));
    x.p.dialogs.messages.clear();
    x.select(3, kLockObject);
    // A right click opens the pop-up where it was made; its commands act on the current cell.
    child<QPushButton>(x.w, "comref")->setFocus();
    auto* popup = child<QMenu>(x.w, "mensortt");
    x.mouse(QTest::MouseClick, Qt::MiddleButton, 4, kTableName);
    QVERIFY(!popup->isVisible() && x.grid().row() == 3);
    x.mouse(QTest::MouseClick, Qt::RightButton, 4, kTableName);
    QTRY_VERIFY(popup->isVisible() && x.grd().hasFocus());
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(child<QAction>(x.w, "menshowcell")).center());
    QCOMPARE(x.p.dialogs.messages, QStringList{"77"});
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, appTitle);  // over the titles too
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    x.trigger("mencopycell");
    QCOMPARE(x.p.clipboard.lastText(), QStringLiteral("77"));
    const int width = x.grd().columnWidth(kLockObject);
    x.trigger("mencolwider");
    QTRY_VERIFY(x.grd().columnWidth(kLockObject) > width);
    x.p.clipboard.failure = QStringLiteral("held by another program");
    const QString before = x.status();
    x.trigger("mencopy");
    x.trigger("mencopycell");
    QCOMPARE(x.p.dialogs.messages.mid(1), QStringList(2, *x.p.clipboard.failure));
    QCOMPARE(x.status(), before);  // kept by the failing copies
  }

  void everyGridCommandByKeyboard() {
    Window x;
    x.w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&x.w));
    QVERIFY(x.load(m_small));
    x.select(3, kLockObject);
    QTRY_COMPARE(x.grd().currentIndex().row(), 2);
    x.grd().setFocus();
    QTest::keyClick(&x.grd(), Qt::Key_Right);  // each keyboard move names the column
    QCOMPARE(x.status(), QStringLiteral("Object Type"));
    QTest::keyClick(&x.grd(), Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(x.grid().row() == 3 && x.grid().col() == kTableName && x.status() == "Table Name");
    auto* popup = child<QMenu>(x.w, "mensortt");
    for (const auto& [key, mods] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, {Qt::Key_F10, Qt::ShiftModifier}}) {
      QTest::keyClick(&x.grd(), key, mods);
      QTRY_VERIFY(popup->isVisible());
      popup->close();
    }
    QString detail;
    whenModal(x.w, [&](QDialog& d) {
      detail = shown(d, kTableName, 1);
      d.close();
    });
    QTest::keyClick(&x.grd(), Qt::Key_Return);
    QCOMPARE(detail, QStringLiteral("T1"));
    x.grid().setRowHeight(2, 0);
    x.w.activateWindow();  // again, after the detail window
    QVERIFY(QTest::qWaitForWindowActive(&x.w));
    QTest::keyClick(&x.grd(), Qt::Key_F5);  // Reload
    QVERIFY(loaded(x.w));
    QCOMPARE(x.grid().rowHeight(2), tarvolin::core::kDefaultRowHeight);
    QTest::keyClick(&x.grd(), Qt::Key_Tab);  // Tab leaves the grid for the file box, then its buttons
    QVERIFY(x.box().hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(child<QPushButton>(x.w, "Command2")->hasFocus());
  }

  void tableCommandsLockAndPrint() {
    Window x;
    QVERIFY(x.load(m_small));
    x.select(2, kLockObject);
    child<QMenu>(x.w, "mensortt")->actions().at(1)->trigger();  // Sort Descending
    QCOMPARE(x.column(kLockObject), QStringList({"231", "154", "77", "21", "14", "7", "", "", ""}));
    QTRY_COMPARE(shown(x.w, 0, kLockObject), QStringLiteral("231"));
    x.select(7, kLocksHeld);  // "2" on an application row: every application row
    x.trigger("menexcl");
    QTRY_COMPARE(x.grd().model()->rowCount(), 6);
    const auto filters = [&x] { return child<QLabel>(x.w, "statfilter")->text(); };
    QCOMPARE(filters(), QStringLiteral("Showing 6 of 9 entries: Locks held <> 2"));
    x.trigger("menexclnone");
    QTRY_COMPARE(x.grd().model()->rowCount(), 9);
    QCOMPARE(filters(), QString());
    x.click("comref");
    x.select(1, kLocksHeld);  // the first data row, hidden, then shown again by a reload
    x.trigger("menexcl");
    QTRY_COMPARE(shown(x.w, 0, kLockObject), QStringLiteral("7"));
    x.click("comref");
    QTRY_COMPARE(shown(x.w, 0, kHandle), QStringLiteral("100"));
    x.select(3, kTableName);  // T1
    x.trigger("menlike");
    QCOMPARE(x.column(kLockObject), QStringList({"77", "154", "231"}));
    QCOMPARE(filters(), QStringLiteral("Showing 3 of 9 entries: Table Name = T1"));
    x.select(1, kLockObject);
    child<QMenu>(x.w, "mensortt")->actions().at(1)->trigger();  // Sort Descending: 231 154 77
    x.select(2, kLockObject);
    x.trigger("menexcl");
    QTRY_COMPARE(x.grd().model()->rowCount(), 2);
    x.trigger("menexclnone");  // reads the report again, unfiltered: every entry shown
    QVERIFY(x.grid().rows() == 10 && filters().isEmpty());
    QTRY_COMPARE(x.grd().model()->rowCount(), 9);
    QCOMPARE(shown(x.w, 1, kLockObject), QStringLiteral("7"));
    x.select(1, kTableName);
    x.p.dialogs.answers = {QStringLiteral("T0"), QString()};
    x.trigger("menlike2");
    QCOMPARE(x.column(kLockObject), QStringList({"7", "14", "21"}));
    x.grid().setRowHeight(2, 0);
    x.trigger("menlike2");  // an empty answer reloads nothing
    QCOMPARE(x.grid().rowHeight(2), 0);
    x.click("comref");
    x.trigger("menlock");
    QTableView* fixed = nullptr;
    QTRY_VERIFY((fixed = child<QTableView>(x.w, "fixedColumn")) && fixed->isVisible());
    QVERIFY(x.shared.lockcol && child<QAction>(x.w, "menlock")->isChecked());
    x.select(2, kHandle);  // a right click on the fixed column leaves the current cell
    x.mouse(QTest::MouseClick, Qt::RightButton, 4, kHandle, fixed);
    QTRY_VERIFY(child<QMenu>(x.w, "mensortt")->isVisible());
    QCOMPARE(x.grid().row(), 2);
    x.trigger("menlock");
    QVERIFY(!x.shared.lockcol && !child<QAction>(x.w, "menlock")->isChecked());
    QTRY_VERIFY(fixed->isHidden());
    x.trigger("menprint");
    x.p.printer.fails = true;
    x.trigger("menprint");
    QCOMPARE(x.p.printer.images.size(), 2);
    QCOMPARE(x.p.printer.images.first().size(), x.w.grab().size());
    QVERIFY(x.p.dialogs.messages.isEmpty());
  }

  void otherWindows() {
    Window x;
    QVERIFY(x.load(m_small));
    x.select(5, kLockObject);
    QStringList values;
    auto read = [&](QDialog& d) {
      values << shown(d, kLockObject, 1) + (d.parentWidget() == &x.w && d.isModal() ? "" : " not modal");
      d.close();
    };
    whenModal(x.w, read);
    x.trigger("mendetail");
    x.mouse(QTest::MouseClick, Qt::LeftButton, 8, kTableName);
    whenModal(x.w, read);
    x.mouse(QTest::MouseDClick, Qt::LeftButton, 8, kTableName);
    whenModal(x.w, read);  // on a title: the first entry, an application's
    QTest::mouseDClick(x.w.windowHandle(), Qt::LeftButton, {}, x.grd().horizontalHeader()->mapTo(&x.w, QPoint(9, 5)));
    QCOMPARE(values, QStringList({"14", "21", ""}));
    for (const bool ok : {false, true}) {  // Customize: only OK reloads
      x.grid().setRowHeight(2, 0);
      whenModal(x.w, [ok](QDialog& d) { child<QPushButton>(d, ok ? "comok" : "comcan")->click(); });
      x.trigger("mencfg");
      QVERIFY(x.shared.cfgdone == ok && (x.grid().rowHeight(2) != 0) == ok);
    }
    x.trigger("menabout");  // opens without blocking
    QTRY_VERIFY(x.w.findChild<QDialog*>(QStringLiteral("frmAbout")));
    x.trigger("menh");
    QCOMPARE(x.p.launcher.openedFiles, QStringList{x.p.files.dir + "/readme.txt"});
  }

  void aTabShowsItsKindWithItsTitleAndConfiguration() {
    QFile cfg(configFolder().filePath(QStringLiteral("TableSnapshot.cfg")));
    QVERIFY(cfg.open(QIODevice::WriteOnly) && cfg.write("N;;;;;Table Type;\r\n") > 0);
    cfg.close();
    Window x;
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/capture_all.txt")));
    auto* tabs = child<QTabBar>(x.w, "tabkinds");
    auto* title = child<QLabel>(x.w, "lbltype");
    QVERIFY(tabs->isVisible() && tabs->count() == 7 && tabs->currentIndex() == 0);
    QCOMPARE(tabs->tabText(4), QStringLiteral("Table Snapshot (4)"));
    QCOMPARE(title->text(), QStringLiteral("Database Snapshot"));
    QCOMPARE(x.column(0), QStringList{QStringLiteral("ORDERS")});
    const int32_t wholeLines = x.w.loader().counters().nread;
    tabs->setCurrentIndex(4);
    QVERIFY(loaded(x.w));
    QCOMPARE(title->text(), QStringLiteral("Table Snapshot"));
    QCOMPARE(x.grid().text(0, 0), "Table Type");  // its own .cfg: first, and hidden
    QCOMPARE(x.grid().colWidth(0), 0);
    QCOMPARE(x.column(2), (QStringList{"INVOICE", "INVOICE_LINE", "PRICE", "SYSTABLES"}));
    const int32_t tableLines = x.w.loader().counters().nread;
    QVERIFY(x.w.loader().readParts() && tableLines < wholeLines);  // its records alone
    tabs->setCurrentIndex(0);  // kept when left: back without a read, as it was left
    QVERIFY(loaded(x.w));
    QCOMPARE(title->text(), QStringLiteral("Database Snapshot"));
    QVERIFY(x.w.loader().counters().nread == tableLines && x.column(0) == QStringList{QStringLiteral("ORDERS")});
    tabs->setCurrentIndex(4);
    QVERIFY(loaded(x.w));
    QCOMPARE(title->text(), QStringLiteral("Table Snapshot"));
    QVERIFY(x.w.loader().counters().nread == tableLines && x.grid().colWidth(0) == 0);
    QCOMPARE(x.column(2), (QStringList{"INVOICE", "INVOICE_LINE", "PRICE", "SYSTABLES"}));
    const auto hiddenColumns = [&x] {
      int n = 0;
      for (int c = 0; c < x.grid().cols(); ++c) n += x.grid().colWidth(c) == 0 ? 1 : 0;
      return n;
    };
    auto* hideConstant = child<QAction>(x.w, "menhideconst");
    hideConstant->trigger();  // on for this kind, off while another shows: this one's columns come back
    QVERIFY(hiddenColumns() > 1);
    x.select(1, 2);
    child<QAction>(x.w, "menexcl")->trigger();  // the lines excluded are told again when it shows again
    const QString excluded = child<QLabel>(x.w, "statfilter")->text();
    QVERIFY(excluded.startsWith(QStringLiteral("Showing 3 of 4 entries")));
    child<QAction>(x.w, "menlock")->trigger();  // and each kind kept takes the option as it is now
    for (const int tab : {0, 4}) {
      tabs->setCurrentIndex(tab);
      QVERIFY(loaded(x.w));
      QCOMPARE(x.grid().fixedCols(), 1);
      if (tab == 0) hideConstant->trigger();
    }
    QCOMPARE(hiddenColumns(), 1);
    QCOMPARE(child<QLabel>(x.w, "statfilter")->text(), excluded);
    child<QAction>(x.w, "menlock")->trigger();
    x.click("comref");  // Reload keeps the kind on show
    QVERIFY(tabs->currentIndex() == 4 && title->text() == QStringLiteral("Table Snapshot") && x.grid().rows() == 5);
    child<QPushButton>(x.w, "comref")->click();
    tabs->setCurrentIndex(0);  // while loading: the load stops and the kind's follows
    QVERIFY(loaded(x.w));
    QVERIFY(title->text() == QStringLiteral("Database Snapshot") &&
            x.column(0) == QStringList{QStringLiteral("ORDERS")});
    startBig(x, m_big, slowRead);  // another file: no tab of this one to choose while it loads
    QVERIFY(tabs->isHidden() || tabs->count() == 0);
    x.click("comstop");
    x.w.setReadFunction({});
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/table_snapshot.txt")));  // one kind: no tabs
    QVERIFY(tabs->isHidden());
    QVERIFY(cfg.remove());
  }

  void anEntryOfTheSummaryShowsInItsKindsTab() {
    Window x;
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/capture_loop.txt")));
    auto* tabs = child<QTabBar>(x.w, "tabkinds");
    x.w.showEntry("Table Snapshot", "SHOP PRICE");  // another kind: its tab loads, then the row is selected
    QVERIFY(loaded(x.w));
    QTRY_COMPARE(tabs->currentIndex(), 4);
    const int price = x.grid().row();
    QCOMPARE(x.grid().text(price, 2), "PRICE");
    QCOMPARE(x.column(2).lastIndexOf(QStringLiteral("PRICE")) + 1, price);  // of the last snapshot
    x.w.showEntry("Table Snapshot", "SHOP INVOICE");                        // the kind on show: at once
    QCOMPARE(x.grid().text(x.grid().row(), 2), "INVOICE");
    x.w.showEntry("Table Snapshot", "SHOP NONE");  // no such entry: the selection stays
    QCOMPARE(x.grid().text(x.grid().row(), 2), "INVOICE");
  }

  void theFromToPairListsTheSnapshotsAndTheCommandsReadItsWindow() {
    Window x;
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/capture_loop.txt")));  // a database snapshot taken 3 times
    auto* from = child<QComboBox>(x.w, "cmbfrom");
    auto* to = child<QComboBox>(x.w, "cmbto");
    const QAbstractItemModelTester labels(from->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(to->model(), from->model());
    QTRY_VERIFY(from->isVisible());
    QCOMPARE(to->count(), 3);
    QVERIFY(!x.w.timeWindow().given());  // open: first to last
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/slow_window.txt")));
    QCOMPARE(from->itemText(0), QStringLiteral("16:05:00"));
    QCOMPARE(to->itemText(to->count() - 1), QStringLiteral("16:11:00"));
    from->setCurrentIndex(5);
    emit from->activated(5);  // From past To: To follows
    QCOMPARE(to->currentIndex(), 6);
    from->setCurrentIndex(2);
    emit from->activated(2);
    to->setCurrentIndex(4);
    emit to->activated(4);
    QCOMPARE(x.w.timeWindow().text(), "--from 12/07/2026 16:07:00 --to 12/07/2026 16:09:00");
    x.click("comref");  // the same snapshots again: the pair stays
    QCOMPARE(from->currentIndex(), 2);
    x.p.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app");  // counter_types.txt
    child<QAction>(x.w, "mencomparewindow")->trigger();
    QTRY_VERIFY(x.w.findChild<QMainWindow*>(QStringLiteral("frmcompare")));
    QCOMPARE(x.w.findChild<QMainWindow*>(QStringLiteral("frmcompare"))->windowTitle(),
             QStringLiteral("Compare slow_window.txt from snapshot 3 to snapshot 5"));
    QVERIFY(x.w.grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/main_window_from_to.png")));
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/table_snapshot.txt")));  // one snapshot: no pair
    QVERIFY(!from->isVisible());
  }

  void eachKindKeepsItsPlaceAndEveryKindIsInReach() {
    Window x;
    x.w.resize(1024, 700);
    x.w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&x.w));
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/capture_loop.txt")));
    auto* tabs = child<QTabBar>(x.w, "tabkinds");
    QCOMPARE(child<QLabel>(x.w, "lbltime")->text(), QString::fromUtf8("17:05 \u2013 17:07, 3 snapshots"));
    QCOMPARE(child<QMenu>(x.w, "menview")->actions().size(), 3 + tabs->count());  // next, previous, a line, the kinds
    x.grd().setFocus();
    QTest::keyClick(&x.grd(), Qt::Key_3, Qt::ControlModifier);
    QVERIFY(loaded(x.w));
    QVERIFY(tabs->currentIndex() == 2 && child<QAction>(x.w, "menkind3")->isChecked());
    const int lastCol = x.grid().cols() - 1;
    x.select(2, lastCol);  // the current cell and the scroll are each tab's own
    QTRY_COMPARE(x.grd().currentIndex().column(), lastCol);
    const tarvolin::platform::GridView::Place place = x.grd().place();
    QVERIFY(place.scroll.x() > 0);
    QTest::keyClick(&x.grd(), Qt::Key_PageDown, Qt::ControlModifier);
    QVERIFY(loaded(x.w));
    QCOMPARE(tabs->currentIndex(), 3);
    QTRY_COMPARE(x.grd().horizontalScrollBar()->value(), 0);
    QTest::keyClick(&x.grd(), Qt::Key_PageUp, Qt::ControlModifier);
    QVERIFY(tabs->currentIndex() == 2 && x.grid().row() == 2 && x.grid().col() == lastCol);
    QCOMPARE(x.grd().place().scroll, place.scroll);
    QCOMPARE(x.grd().place().current, place.current);
    x.select(2, 1);  // Derived Columns reloads with other columns: the current cell stays where it stands
    QTRY_COMPARE(x.grd().currentIndex().column(), 1);
    const std::string title(x.grid().text(0, 1));
    const auto at = x.grd().place().current;
    x.trigger("menderived");
    QVERIFY(x.grid().row() == 2 && x.grid().text(0, x.grid().col()) == title);
    QCOMPARE(x.grd().place().current, at);
    x.trigger("menderived");
    const QString kind = child<QLabel>(x.w, "lbltype")->text();
    QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/capture_all.txt")));  // another capture: the same kind
    QVERIFY(loaded(x.w));
    QCOMPARE(child<QLabel>(x.w, "lbltype")->text(), kind);
    QVERIFY(tabs->currentIndex() > 0);
  }

  void whoBlocksWhomForItsKindOfReport() {
    Window x;
    const char* views[][4] = {{"lock_waits.txt", "menlockwaits", "mendeadlocks", "frmlockwaits"},
                              {"deadlock_events.txt", "mendeadlocks", "menlockwaits", "frmdeadlocks"}};
    for (const auto& [file, enabled, disabled, window] : views) {
      QVERIFY(x.load(QStringLiteral(TARVOLIN_SAMPLES_DIR "/") + QLatin1String(file)));
      QVERIFY(child<QAction>(x.w, enabled)->isEnabled() && !child<QAction>(x.w, disabled)->isEnabled());
      x.box().setEditText(QStringLiteral("typed, not loaded.txt"));  // the command acts on the report on screen
      x.trigger(enabled);
      QTRY_VERIFY(x.w.findChild<QMainWindow*>(QLatin1String(window)));
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
