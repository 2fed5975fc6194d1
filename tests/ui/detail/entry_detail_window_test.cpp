// The entry detail window: stepping through the main grid, closing, and its commands.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "platform/user_settings.h"
#include "ui/detail/entry_detail_window.h"

using namespace tarvolin;
using test::child;

namespace {

/// Opened on row `row` of a main grid of header "a b c", cells "r<row>c<col>" and row 3 hidden.
struct Detail {
  explicit Detail(int row) {
    main.setCols(3);
    main.setRows(5);
    for (int c = 0; c < 3; ++c) {
      main.setText(0, c, std::string(1, char('a' + c)));
      for (int r = 1; r < 5; ++r) main.setText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
    }
    main.setRowHeight(3, 0);
    window.set_rowno(row);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qWarning("the window was not shown");
  }
  /// Column `col` of the detail grid, ' ' between the cells.
  [[nodiscard]] QString column(int col) const {
    QStringList cells;
    for (int r = 0; r < grid->model()->rowCount(); ++r) cells << grid->model()->index(r, col).data().toString();
    return cells.join(' ');
  }
  void click(const char* button) { QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton); }

  core::GridStore main;
  test::PlatformDouble d;
  ui::EntryDetailWindow window{main, d.platform};
  QTableView* grid = child<QTableView>(window, "grd");
  QAbstractItemModelTester tester{grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class EntryDetailWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);  // remembered choices: not the user's
    tarvolin::platform::userSettings().clear();
  }

  void nextAndPrevStepOneMainRow() {
    // Each walk: the row opened on | steps (n Next, p Prev, e Enter on the focused Prev) | the entry
    // shown afterwards | whether Prev and Next are enabled.
    for (const QString walk : {"2|n|r3c0 r3c1 r3c2|11", "2|p|r1c0 r1c1 r1c2|01", "1|nnn|r4c0 r4c1 r4c2|10",
                               "4|e|r3c0 r3c1 r3c2|11", "7||  |10"}) {
      const QStringList part = walk.split('|');
      Detail w(part[0].toInt());
      for (QChar step : part[1]) {
        if (step == 'n') w.click("comnext");
        if (step == 'p') w.click("comprev");
        if (step == 'e')
          child<QPushButton>(w.window, "comprev")->setFocus(), QTest::keyClick(&w.window, Qt::Key_Return);
      }
      const auto enabled = [&w](const char* name) {
        return child<QPushButton>(w.window, name)->isEnabled() ? "1" : "0";
      };
      QCOMPARE(w.column(0) + '|' + w.column(1) + '|' + enabled("comprev") + enabled("comnext"),
               "a b c|" + part[2] + '|' + part[3]);
    }
  }

  void titleNamesTheEntryAndHideEmptyValuesIsRemembered() {
    {
      Detail w(2);
      QCOMPARE(w.window.windowTitle(), QStringLiteral("Entry Detail - a r2c0"));
      w.main.setText(2, 0, "");
      w.main.markFilled(2, 1);  // a lock's owner: shown, but it does not name the entry
      child<QAction>(w.window, "menhideempty")->setChecked(true);
      QCOMPARE(w.column(0) + '|' + w.window.windowTitle(), QStringLiteral("b c|Entry Detail - c r2c2"));
    }
    Detail next(2);
    QVERIFY(child<QAction>(next.window, "menhideempty")->isChecked());
    child<QAction>(next.window, "menhideempty")->setChecked(false);
    QCOMPARE(next.column(0), QStringLiteral("a b c"));
  }

  void editMenuPrintCloseAndExit() {
    Detail w(2);
    w.grid->setCurrentIndex(w.grid->model()->index(1, 1));
    QTest::mouseClick(w.grid->viewport(), Qt::RightButton, {},
                      w.grid->visualRect(w.grid->model()->index(2, 0)).center());
    QTRY_VERIFY(child<QMenu>(w.window, "menedit")->isVisible());  // the current cell stays where it was
    child<QAction>(w.window, "mencopy")->trigger();
    child<QAction>(w.window, "menshow")->trigger();
    child<QMenu>(w.window, "menedit")->close();
    QTest::keyClick(w.grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(w.d.clipboard.texts, QStringList({"r2c1", "r2c1"}));
    QCOMPARE(w.d.dialogs.messages, QStringList{"r2c1"});
    w.d.clipboard.failure = QStringLiteral("no clipboard");
    child<QAction>(w.window, "mencopy")->trigger();
    QCOMPARE(w.d.dialogs.messages.last(), QStringLiteral("no clipboard"));
    child<QAction>(w.window, "menprint")->trigger();
    w.d.printer.fails = true;
    child<QAction>(w.window, "menprint")->trigger();  // a failure is ignored
    QCOMPARE(w.d.printer.images.size(), 2);
    QVERIFY(!w.d.printer.images[0].isNull() && w.window.isVisible() && w.d.dialogs.messages.size() == 2);
    child<QAction>(w.window, "menclose")->trigger();
    QVERIFY(!w.window.isVisible());
    w.window.show();
    w.click("Command1");
    QVERIFY(!w.window.isVisible());
  }
};

QTEST_MAIN(EntryDetailWindowTest)
#include "entry_detail_window_test.moc"
