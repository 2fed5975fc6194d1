#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>
#include <string>
#include <vector>

#include "ui/customise/customise_list.h"

using tarvolin::core::VariableTable;
using tarvolin::ui::CustomiseList;
using tarvolin::ui::RowSpan;
using tarvolin::ui::UpDownState;

namespace {

/// A table of `count` shown variables named "v1" to "v<count>".
VariableTable table(int count) {
  VariableTable vars;
  for (int i = 1; i <= count; ++i) vars.appendName("v" + std::to_string(i));
  return vars;
}

/// The list's variable numbers in row order, "1 2 3 ..." for an untouched list.
QString order(const CustomiseList& list) {
  QStringList out;
  for (int r = 1; r < list.rowCount(); ++r) out << QString::fromStdString(list.row(r).name.substr(1));
  return out.join(QLatin1Char(' '));
}

QString untouched(int count) {
  QStringList out;
  for (int i = 1; i <= count; ++i) out << QString::number(i);
  return out.join(QLatin1Char(' '));
}

}  // namespace

class CustomiseListTest : public QObject {
  Q_OBJECT

 private slots:
  void opensFromTable();
  void moveAfter_data();
  void moveAfter();
  void moveAfterPlace_data();
  void moveAfterPlace();
  void upDown_data();
  void upDown();
  void updownStates_data();
  void updownStates();
  void clickTogglesOnlyTheSwitchColumn();
  void dispAllAndNoneKeepTheSelection();
  void writeBackByPositionWithTravellingFields();
  void commitWritesTheFile();
};

void CustomiseListTest::opensFromTable() {
  VariableTable vars = table(3);
  vars.edit(1).show = false;
  vars.edit(2).cmark = true;
  vars.edit(2).show = false;
  const CustomiseList list(vars);
  QCOMPARE(list.rowCount(), 4);
  QCOMPARE(list.selrow(), 0);
  QCOMPARE(list.row(1).show, "Y");
  QCOMPARE(list.row(2).show, "N");
  QCOMPARE(list.row(3).show, "N");  // the mark is not shown: the switch says what show says
  QCOMPARE(CustomiseList(VariableTable()).rowCount(), 1);
}

void CustomiseListTest::moveAfter_data() {
  QTest::addColumn<int>("selected");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QString>("expected");
  QTest::addColumn<int>("selrow");

  const QString same = untouched(10);
  QTest::newRow("row 3 after 7") << 3 << "7"
                                 << "1 2 4 5 6 7 8 3 9 10" << 8;
  QTest::newRow("after 9 is beyond n-2") << 3 << "9" << same << 3;
  QTest::newRow("after 8 reaches n-2") << 3 << "8"
                                       << "1 2 4 5 6 7 8 9 3 10" << 9;
  QTest::newRow("last row upwards") << 10 << "4"
                                    << "1 2 3 4 10 5 6 7 8 9" << 5;
  QTest::newRow("after 0 is the top") << 3 << "0"
                                      << "3 1 2 4 5 6 7 8 9 10" << 1;
  QTest::newRow("1.5 rounds to even 2") << 5 << "1.5"
                                        << "1 5 2 3 4 6 7 8 9 10" << 2;
  QTest::newRow("2.5 rounds to even 4") << 1 << "2.5"
                                        << "2 3 4 1 5 6 7 8 9 10" << 4;
  QTest::newRow("0.5 rounds to even 2") << 3 << "0.5"
                                        << "1 3 2 4 5 6 7 8 9 10" << 2;
  QTest::newRow("-0.5 gives place 0") << 3 << "-0.5" << same << 3;
  QTest::newRow("negative") << 3 << "-1" << same << 3;
  QTest::newRow("own place") << 4 << "3" << same << 4;
  QTest::newRow("blanks around, plus, exponent") << 3 << " +0.7e1 "
                                                 << "1 2 4 5 6 7 8 3 9 10" << 8;
  QTest::newRow("empty (cancelled)") << 3 << "" << same << 3;
  QTest::newRow("beyond 32 bits") << 3 << "4294967296" << same << 3;
  QTest::newRow("p just beyond 32 bits") << 3 << "2147483647" << same << 3;
  QTest::newRow("beyond a double") << 3 << "1e400" << same << 3;
  QTest::newRow("no row selected") << 0 << "7" << same << 0;
}

void CustomiseListTest::moveAfter() {
  QFETCH(int, selected);
  QFETCH(QString, answer);
  QFETCH(QString, expected);
  QFETCH(int, selrow);
  CustomiseList list(table(10));
  list.selChange(selected);
  const RowSpan span = list.moveAfter(answer.toStdString());
  QCOMPARE(order(list), expected);
  QCOMPARE(list.selrow(), selrow);
  QCOMPARE(span.empty(), expected == untouched(10));
  if (!span.empty()) {
    QCOMPARE(span.first, std::min(selected, selrow));
    QCOMPARE(span.last, std::max(selected, selrow));
  }
}

void CustomiseListTest::moveAfterPlace_data() {
  QTest::addColumn<QString>("answer");
  QTest::addColumn<bool>("valid");
  QTest::addColumn<int>("place");
  QTest::newRow("3") << "3" << true << 4;
  QTest::newRow("-1.5 to even 0") << "-1.5" << true << 0;
  QTest::newRow("3.49") << "3.49" << true << 4;
  QTest::newRow("3.51") << "3.51" << true << 5;
  QTest::newRow(".5") << ".5" << true << 2;
  QTest::newRow("5.") << "5." << true << 6;
  QTest::newRow("tab around") << "\t2\t" << true << 3;
  QTest::newRow("too small for a double") << "1e-400" << true << 1;
  QTest::newRow("largest 32-bit place") << "2147483646" << true << 2147483647;
  QTest::newRow("smallest 32-bit place") << "-2147483649" << true << std::numeric_limits<int>::min();
  QTest::newRow("below 32 bits") << "-2147483650" << false << 0;
  QTest::newRow("inf") << "inf" << false << 0;
  QTest::newRow("nan") << "nan" << false << 0;
  QTest::newRow("hex") << "0x10" << false << 0;
  QTest::newRow("sign only") << "-" << false << 0;
  QTest::newRow("dot only") << "." << false << 0;
  QTest::newRow("two numbers") << "1 2" << false << 0;
  QTest::newRow("blanks only") << "   " << false << 0;
  QTest::newRow("word") << "seven" << false << 0;
  QTest::newRow("trailing text") << "7x" << false << 0;
  QTest::newRow("decimal comma") << "1,5" << false << 0;
  QTest::newRow("bare exponent") << "7e" << false << 0;
}

void CustomiseListTest::moveAfterPlace() {
  QFETCH(QString, answer);
  QFETCH(bool, valid);
  QFETCH(int, place);
  const std::optional<int32_t> p = CustomiseList::moveAfterPlace(answer.toStdString());
  QCOMPARE(p.has_value(), valid);
  if (valid) QCOMPARE(*p, place);
}

void CustomiseListTest::upDown_data() {
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("selected");
  QTest::addColumn<QString>("presses");
  QTest::addColumn<QString>("expected");
  QTest::addColumn<int>("selrow");
  QTest::addColumn<bool>("up");
  QTest::addColumn<bool>("down");

  QTest::newRow("up on row 2") << 10 << 2 << "up"
                               << "2 1 3 4 5 6 7 8 9 10" << 1 << false << true;
  QTest::newRow("down to the last row") << 10 << 9 << "down"
                                        << "1 2 3 4 5 6 7 8 10 9" << 10 << true << false;
  QTest::newRow("down on the last row") << 10 << 10 << "down" << untouched(10) << 10 << true << false;
  QTest::newRow("up on row 1") << 10 << 1 << "up" << untouched(10) << 1 << false << true;
  QTest::newRow("no selection") << 10 << 0 << "up down" << untouched(10) << 0 << false << false;
  QTest::newRow("the same variable keeps moving") << 5 << 2 << "down down down down"
                                                  << "1 3 4 5 2" << 5 << true << false;
  QTest::newRow("up then down") << 5 << 3 << "up down" << untouched(5) << 3 << true << true;
  QTest::newRow("single variable") << 1 << 1 << "up down"
                                   << "1" << 1 << false << false;
}

void CustomiseListTest::upDown() {
  QFETCH(int, count);
  QFETCH(int, selected);
  QFETCH(QString, presses);
  QFETCH(QString, expected);
  QFETCH(int, selrow);
  QFETCH(bool, up);
  QFETCH(bool, down);
  CustomiseList list(table(count));
  list.selChange(selected);
  for (const QString& press : presses.split(QLatin1Char(' '))) {
    const int before = list.selrow();
    const RowSpan span = press == QLatin1String("up") ? list.up() : list.down();
    if (!span.empty()) QCOMPARE(span.last - span.first, 1);
    QCOMPARE(span.empty(), before == list.selrow());
  }
  QCOMPARE(order(list), expected);
  QCOMPARE(list.selrow(), selrow);
  const UpDownState state = list.updown(true);
  QCOMPARE(state.up, up);
  QCOMPARE(state.down, down);
}

void CustomiseListTest::updownStates_data() {
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("selected");
  QTest::addColumn<bool>("visible");
  QTest::addColumn<bool>("up");
  QTest::addColumn<bool>("down");
  QTest::addColumn<int>("scrollTop");
  QTest::newRow("no variables") << 0 << 0 << false << false << false << 0;
  QTest::newRow("nothing selected") << 30 << 0 << false << false << false << 0;
  QTest::newRow("first row") << 30 << 1 << true << false << true << 0;
  QTest::newRow("middle row") << 30 << 7 << true << true << true << 0;
  QTest::newRow("last row") << 30 << 30 << true << true << false << 0;
  QTest::newRow("row 13 out of sight scrolls") << 30 << 13 << false << true << true << 3;
  QTest::newRow("row 12 out of sight stays") << 30 << 12 << false << true << true << 0;
  QTest::newRow("row 20 in sight stays") << 30 << 20 << true << true << true << 0;
  QTest::newRow("last row out of sight") << 30 << 30 << false << true << false << 20;
}

void CustomiseListTest::updownStates() {
  QFETCH(int, count);
  QFETCH(int, selected);
  QFETCH(bool, visible);
  QFETCH(bool, up);
  QFETCH(bool, down);
  QFETCH(int, scrollTop);
  CustomiseList list(table(count));
  list.selChange(selected);
  const UpDownState state = list.updown(visible);
  QCOMPARE(state.up, up);
  QCOMPARE(state.down, down);
  QCOMPARE(state.scrollTop, scrollTop);
}

void CustomiseListTest::clickTogglesOnlyTheSwitchColumn() {
  CustomiseList list(table(3));
  QVERIFY(list.click(2, 0).empty());
  QCOMPARE(list.selrow(), 2);
  QVERIFY(list.click(3, 1).empty());
  QCOMPARE(list.selrow(), 3);
  QCOMPARE(list.row(3).show, "Y");
  const RowSpan span = list.click(2, 2);
  QCOMPARE(span.first, 2);
  QCOMPARE(span.last, 2);
  QCOMPARE(list.row(2).show, "N");
  list.click(2, 2);
  QCOMPARE(list.row(2).show, "Y");
  QVERIFY(list.click(0, 2).empty());  // no variable row: nothing to toggle
  QCOMPARE(list.selrow(), 0);
  list.selChange(4);  // beyond the list
  QCOMPARE(list.selrow(), 0);
}

void CustomiseListTest::dispAllAndNoneKeepTheSelection() {
  CustomiseList list(table(4));
  list.selChange(3);
  RowSpan span = list.dispNone();
  QCOMPARE(span.first, 1);
  QCOMPARE(span.last, 4);
  for (int r = 1; r <= 4; ++r) QCOMPARE(list.row(r).show, "N");
  QCOMPARE(list.selrow(), 3);
  list.dispAll();
  for (int r = 1; r <= 4; ++r) QCOMPARE(list.row(r).show, "Y");
  QCOMPARE(list.selrow(), 3);
  QVERIFY(CustomiseList(VariableTable()).dispNone().empty());
}

void CustomiseListTest::writeBackByPositionWithTravellingFields() {
  VariableTable vars = table(3);
  vars.edit(0).cmark = true;
  vars.edit(0).cfg2 = "a";
  vars.edit(0).cfg4 = "d";
  vars.edit(1).seqno = 41;
  vars.setWidth(1, 900);
  CustomiseList list(vars);
  list.selChange(1);
  list.down();
  list.click(3, 2);  // hides v3
  list.writeBack(vars);
  QCOMPARE(vars.maxvar(), 2);
  QCOMPARE(vars[0].name, "v2");
  QVERIFY(!vars[0].cmark);
  QVERIFY(vars[0].cfg2.empty());
  QCOMPARE(vars[1].name, "v1");
  QVERIFY(vars[1].cmark);
  QCOMPARE(vars[1].cfg2, "a");
  QCOMPARE(vars[1].cfg4, "d");
  QCOMPARE(vars[1].seqno, 41);  // load-time fields stay with the index
  QCOMPARE(vars[1].width, 900);
  QVERIFY(vars[1].show);
  QVERIFY(!vars[2].show);
  QCOMPARE(vars.lookup("v1"), 1);
}

void CustomiseListTest::commitWritesTheFile() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(dir.path()));
  tarvolin::core::SharedState shared;
  shared.snaptype = "Table Snapshot";
  shared.vars = table(2);
  CustomiseList list(shared.vars);
  list.click(1, 2);
  const std::optional<std::string> failure = list.commit(shared);
  QFile file(dir.filePath(QStringLiteral("TableSnapshot.cfg")));
  const bool opened = file.open(QIODevice::ReadOnly);
  const QByteArray bytes = file.readAll();
  QDir::setCurrent(previous);
  QVERIFY(!failure);
  QVERIFY(opened);
  QCOMPARE(bytes, QByteArray("N;;;;;v1;\r\nY;;;;;v2;\r\n"));
}

QTEST_APPLESS_MAIN(CustomiseListTest)
#include "customise_list_test.moc"
