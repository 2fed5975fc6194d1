// The customise dialog: the rules of its list in one table, then each command of the window.
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "ui/customise/customise_command.h"
#include "ui/customise/customise_dialog.h"
#include "ui/customise/customise_model.h"

using namespace tarvolin;
using test::child;

namespace {

/// The folder the dialog writes to, and the lock snapshot's file there.
const QTemporaryDir& folder() {
  static const QTemporaryDir dir;
  return dir;
}
std::string folderPath() { return folder().path().toStdString(); }
QString cfgFile() { return folder().filePath(QStringLiteral("DatabaseLockSnapshot.cfg")); }

core::Report lockKind(int count) {
  core::Report report;
  report.kindHeading = "Database Lock Snapshot";
  for (int i = 1; i <= count; ++i) report.vars.appendName("v" + std::to_string(i));
  return report;
}

/// The variables' numbers in row order, each followed by "N" when hidden: "1 2N 3".
QString order(const QAbstractItemModel& model) {
  QStringList out;
  for (int r = 0; r < model.rowCount(); ++r)
    out << model.index(r, 1).data().toString().mid(1) + (model.index(r, 2).data() == "N" ? "N" : "");
  return out.join(' ');
}

void clickCell(QTableView& list, int row, int col) {
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, col)).center());
}

QByteArray readFile() {
  QFile file(cfgFile());
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}  // namespace

class CustomiseTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QDir().rmdir(cfgFile()), QFile::remove(cfgFile()); }

  void listRules_data() {
    // Variables | steps: sN select row N, cN.C click cell (N, C), u Up, d Down, aX Move After X, n Disp None,
    // y Disp All | order afterwards ("" unchanged) | selrow, Up, Down, top row if the selection is out of sight
    QTest::addColumn<QString>("rule");
    QTest::newRow("up on row 2") << "10|s2;u|2 1 3 4 5 6 7 8 9 10|1 0 1 0";
    QTest::newRow("down to the last row") << "10|s9;d|1 2 3 4 5 6 7 8 10 9|10 1 0 0";
    QTest::newRow("up on row 1, down on the last") << "10|s1;u;s10;d||10 1 0 0";
    QTest::newRow("nothing selected") << "10|s11;u;d;a7||0 0 0 0";
    QTest::newRow("after 8 is n - 2") << "10|s3;a8|1 2 4 5 6 7 8 9 3 10|9 1 1 0";
    QTest::newRow("after 9 is beyond, own place") << "10|s3;a2;a9||3 1 1 0";
    QTest::newRow("upwards, half to even") << "10|s10;a3.5|1 2 3 10 4 5 6 7 8 9|4 1 1 0";
    QTest::newRow("0.5 to even 2") << "10|s3;a0.5|1 3 2 4 5 6 7 8 9 10|2 1 1 0";
    QTest::newRow("blanks, sign, exponent") << "10|s3;a +0.7e1 |1 2 4 5 6 7 8 3 9 10|8 1 1 0";
    QTest::newRow("no number") << "10|s3;a;ainf;a0x10;a-;a.;a1 2;a7x;a1,5;a7e;a2147483647;a1e400||3 1 1 0";
    QTest::newRow("tiny is after 0, the top") << "10|s3;a-0.5;a1e-400|3 1 2 4 5 6 7 8 9 10|1 0 1 0";
    QTest::newRow("row 13 scrolls") << "30|s13||13 1 1 3";
    QTest::newRow("row 12 doesn't") << "30|s12||12 1 1 0";
    QTest::newRow("only the switch toggles") << "3|c2.2;c3.0;c1.1;c1.2;c1.2|1 2N 3|1 0 1 0";
    QTest::newRow("none keeps the selection") << "3|s2;n|1N 2N 3N|2 1 1 0";
    QTest::newRow("all") << "3|n;s3;y||3 1 0 0";
  }
  void listRules() {
    QFETCH(QString, rule);
    const QStringList part = rule.split('|');
    ui::CustomiseList list(lockKind(part[0].toInt()).vars);
    ui::CustomiseModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QString untouched = order(model);
    for (const QString& step : part[1].split(';')) {
      const QString arg = step.mid(1);
      if (step[0] == 's') list.selChange(arg.toInt());
      if (step[0] == 'c') list.click(arg.section('.', 0, 0).toInt(), arg.section('.', 1).toInt());
      if (step[0] == 'a') model.rowsChanged(list.moveAfter(arg.toStdString()));
      model.rowsChanged(step == "u" ? list.up() : step == "d" ? list.down() : ui::RowSpan{});
      model.rowsChanged(step == "n" ? list.dispNone() : step == "y" ? list.dispAll() : ui::RowSpan{});
    }
    QCOMPARE(order(model), part[2].isEmpty() ? untouched : part[2]);
    const ui::UpDownState s = list.updown(false);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(list.selrow()).arg(s.up).arg(s.down).arg(s.scrollTop), part[3]);
  }

  void eachCommandReachesTheList() {
    core::SharedState shared;
    core::Report report = lockKind(60);
    report.vars.edit(0).cmark = true;  // the mark travels with its variable
    test::PlatformDouble d;
    d.dialogs.answers = {QStringLiteral("2"), QStringLiteral("29")};
    ui::CustomiseDialog dialog(shared, report, d.platform, folderPath());
    dialog.show();
    auto* list = child<QTableView>(dialog, "flexcols");
    QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto click = [&](const char* name) { child<QPushButton>(dialog, name)->click(); };
    QHeaderView* titles = list->horizontalHeader();  // every caption whole, the list no wider than its box
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    for (int c = 0; c < 3; ++c)
      QVERIFY(titles->sectionSize(c) >
              titles->fontMetrics().horizontalAdvance(list->model()->headerData(c, Qt::Horizontal).toString()));
    QVERIFY(!child<QPushButton>(dialog, "comdown")->isEnabled());  // nothing selected yet
    click("comafter");                                             // nothing to move: nothing asked
    const QPoint show2 = list->viewport()->mapTo(&dialog, list->visualRect(list->model()->index(1, 2)).center());
    QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, {},
                       show2);  // as the window system sends it: toggles once
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Space);  // Show? of the row selected
    QVERIFY(!child<QPushButton>(dialog, "comup")->isEnabled() && child<QPushButton>(dialog, "comdown")->isEnabled());
    for (const char* name : {"comdown", "comdown", "comup", "comafter"}) click(name);
    QCOMPARE(d.dialogs.prompts, QStringList{"Move to after entry number"});
    QCOMPARE(order(*list->model()).left(13), "2N 3 1N 4 5 6");
    click("comafter");
    QCOMPARE(list->rowAt(0), 19);  // the selected row 30 was out of sight: row 30 - 10 on top
    click("comup");
    QCOMPARE(list->rowAt(0), 19);  // row 29 is in sight
    click("comdnone");
    QCOMPARE(order(*list->model()).count('N'), 60);
    click("comdall");
    QTest::keyClick(list, Qt::Key_Return);  // OK
    QCOMPARE(dialog.result(), QDialog::Accepted);
    QVERIFY(readFile().startsWith("Y;;;;;v2;\r\nY;;;;;v3;\r\n") && readFile().contains("\r\nC;;;;;v1;\r\n"));
  }

  void runCustomiseTellsWhetherToReload_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("fileBlocked");
    QTest::newRow("OK") << "comok" << false;
    QTest::newRow("OK, write fails") << "comok" << true;
    QTest::newRow("Cancel") << "comcan" << false;
  }
  void runCustomiseTellsWhetherToReload() {
    QFETCH(QString, button);
    QFETCH(bool, fileBlocked);
    const bool reload = button == "comok";
    if (fileBlocked) QVERIFY(QDir().mkdir(cfgFile()));  // a folder can't be opened for writing, not even by root
    core::SharedState shared;
    core::Report report = lockKind(2);
    test::PlatformDouble d;
    QWidget owner;
    owner.show();
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog && dialog->objectName() == "Form4" && dialog->parentWidget() == &owner);
      clickCell(*child<QTableView>(*dialog, "flexcols"), 0, 2);
      child<QPushButton>(*dialog, button.toLatin1().constData())->click();
      dialog->close();  // in case the button failed to
    });
    QCOMPARE(ui::runCustomise(shared, report, d.platform, folderPath(), &owner), reload);
    QCOMPARE(report.vars[0].show, !reload);  // the change made in the dialog reached the table only with OK
    QCOMPARE(d.dialogs.messages.size(), fileBlocked ? 1 : 0);
    QCOMPARE(readFile(), reload && !fileBlocked ? "N;;;;;v1;\r\nY;;;;;v2;\r\n" : "(missing)");
  }
};

QTEST_MAIN(CustomiseTest)
#include "customise_test.moc"
