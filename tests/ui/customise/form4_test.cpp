#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "common/platform_doubles.h"
#include "core/config_file.h"
#include "core/text_encoding.h"
#include "ui/customise/customise_command.h"
#include "ui/customise/form4.h"

using tarvolin::core::SharedState;
using tarvolin::test::PlatformDouble;
using tarvolin::ui::Form4;

namespace {

const char* const kKind = "Database Lock Snapshot";
const QString kFile = QStringLiteral("DatabaseLockSnapshot.cfg");

void addVars(SharedState& shared, std::initializer_list<const char*> names) {
  for (const char* name : names) shared.vars.appendName(name);
}

void addNumberedVars(SharedState& shared, int count) {
  for (int i = 1; i <= count; ++i) shared.vars.appendName("v" + std::to_string(i));
}

QByteArray readFile(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}

void writeFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

/// One dialog over a shared state and platform doubles, its model watched by a tester.
struct Opened {
  SharedState shared;
  PlatformDouble doubles;
  std::unique_ptr<Form4> dialog;
  std::unique_ptr<QAbstractItemModelTester> tester;

  Opened() { shared.snaptype = kKind; }
  ~Opened() {
    tester.reset();
    dialog.reset();
  }
  Form4& open(bool show = true) {
    dialog = std::make_unique<Form4>(shared, doubles.platform);
    tester = std::make_unique<QAbstractItemModelTester>(view()->model(),
                                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
    if (show) {
      dialog->show();
      if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("dialog not exposed");
    }
    return *dialog;
  }
  QTableView* view() const { return dialog->findChild<QTableView*>(QStringLiteral("flexcols")); }
  QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(QLatin1String(name)); }
  QString text(int row, int col) const { return view()->model()->index(row, col).data().toString(); }
  QStringList names() const {
    QStringList out;
    for (int r = 0; r < view()->model()->rowCount(); ++r) out << text(r, 1);
    return out;
  }
  void clickCell(int row, int col) const {
    const QRect cell = view()->visualRect(view()->model()->index(row, col));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cell.center());
  }
  int selrow() const { return dialog->list().selrow(); }
};

int px(double twips, double dpi) { return qRound(twips * dpi / 1440.0); }

}  // namespace

class Form4Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void layout();
  void opensWithNoVariables();
  void opensWithNothingSelected();
  void clickTogglesTheSwitch();
  void keyboardMovesTheSelection();
  void upAndDownButtons();
  void moveAfterAsksAndMoves();
  void moveAfterScrollsToAHiddenRow();
  void dispNoneThenOkKeepsMarkedLines();
  void reorderHideAndOkWritesTheFile();
  void failingWriteIsShownAndStillConfirms();
  void cancelChangesNothing();
  void closeBoxChangesNothing();
  void enterConfirmsEscapeCancels();
  void runCustomiseReportsOk_data();
  void runCustomiseReportsOk();
  void screenshot();

 private:
  std::unique_ptr<QTemporaryDir> m_dir;
  QString m_previousDir;
};

void Form4Test::init() {
  m_dir = std::make_unique<QTemporaryDir>();
  QVERIFY(m_dir->isValid());
  m_previousDir = QDir::currentPath();
  QVERIFY(QDir::setCurrent(m_dir->path()));  // the configuration file goes to the current folder
}

void Form4Test::cleanup() {
  QDir::setCurrent(m_previousDir);
  m_dir.reset();
}

void Form4Test::layout() {
  Opened o;
  addNumberedVars(o.shared, 3);
  Form4& dialog = o.open();
  QCOMPARE(dialog.objectName(), QStringLiteral("Form4"));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Customise Display of \"Database Lock Snapshot\""));
  const double dx = dialog.screen()->logicalDotsPerInchX();
  const double dy = dialog.screen()->logicalDotsPerInchY();
  QCOMPARE(dialog.size(), QSize(px(8685, dx), px(7305, dy)));

  struct Place {
    const char* name;
    const char* caption;
    int left, top, width, height;
  };
  const Place places[] = {
      {"flexcols", nullptr, 240, 240, 6975, 6255},    {"comup", "Up", 7440, 240, 1095, 375},
      {"comdown", "Down", 7440, 840, 1095, 375},      {"comok", "OK", 2640, 6720, 1215, 375},
      {"comcan", "Cancel", 4200, 6720, 1215, 375},    {"comafter", "Move After", 7440, 1320, 1095, 375},
      {"comdall", "Disp All", 7440, 2400, 1095, 375}, {"comdnone", "Disp None", 7440, 2880, 1095, 375}};
  auto checkPlaces = [&] {
    for (const Place& p : places) {
      QWidget* w = dialog.findChild<QWidget*>(QLatin1String(p.name));
      QVERIFY2(w != nullptr, p.name);
      QCOMPARE(w->geometry(), QRect(px(p.left, dx), px(p.top, dy), px(p.width, dx), px(p.height, dy)));
      if (p.caption != nullptr) QCOMPARE(static_cast<QPushButton*>(w)->text(), QLatin1String(p.caption));
    }
  };
  checkPlaces();
  dialog.resize(dialog.width() + 200, dialog.height() + 100);  // no layout behaviour of its own
  checkPlaces();

  // Tab order: the list, then the buttons in the order of their tab indices.
  QStringList chain;
  QWidget* w = o.view();
  do {
    if (!w->objectName().isEmpty() && w->focusPolicy() & Qt::TabFocus && !chain.contains(w->objectName()))
      chain << w->objectName();
    w = w->nextInFocusChain();
  } while (w != o.view());
  QCOMPARE(chain, QStringList({"flexcols", "comup", "comdown", "comok", "comcan", "comafter", "comdall", "comdnone"}));
  QVERIFY(o.button("comok")->isDefault());
  QCOMPARE(dialog.focusWidget(), o.view());

  QTableView* view = o.view();
  QAbstractItemModel* model = view->model();
  QCOMPARE(model->columnCount(), 3);
  QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Num"));
  QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Performance Variable"));
  QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Show? (click to change)"));
  QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString(), QStringLiteral("Show? (click to change)"));
  QCOMPARE(view->columnWidth(0), px(600, dx));
  QCOMPARE(view->columnWidth(1), px(4000, dx));
  QCOMPARE(view->columnWidth(2), px(2000, dx));
  QVERIFY(view->verticalHeader()->isHidden());
  QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
  QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
  QCOMPARE(o.text(2, 0), QStringLiteral("3"));
  QCOMPARE(o.text(2, 1), QStringLiteral("v3"));
  QCOMPARE(o.text(2, 2), QStringLiteral("Y"));
}

void Form4Test::opensWithNoVariables() {
  Opened o;
  o.open();
  QCOMPARE(o.view()->model()->rowCount(), 0);
  QCOMPARE(o.view()->model()->columnCount(), 3);
  QVERIFY(o.view()->horizontalHeader()->isVisible());
  QVERIFY(!o.button("comup")->isEnabled());
  QVERIFY(!o.button("comdown")->isEnabled());
  o.button("comafter")->click();  // nothing to move: nothing asked
  QVERIFY(o.doubles.dialogs.prompts.isEmpty());
  o.button("comok")->click();
  QCOMPARE(o.dialog->result(), int(QDialog::Accepted));
  QVERIFY(o.shared.cfgdone);
  QVERIFY(QFile::exists(kFile));
  QCOMPARE(readFile(kFile), QByteArray());
  QVERIFY(o.doubles.dialogs.messages.isEmpty());
}

void Form4Test::opensWithNothingSelected() {
  Opened o;
  addNumberedVars(o.shared, 12);
  o.shared.vars.edit(4).show = false;
  o.shared.vars.edit(5).cmark = true;
  o.shared.vars.edit(5).show = false;
  o.open();
  QCOMPARE(o.selrow(), 0);
  QVERIFY(!o.button("comup")->isEnabled());
  QVERIFY(!o.button("comdown")->isEnabled());
  QVERIFY(!o.view()->selectionModel()->hasSelection());
  QCOMPARE(o.text(4, 2), QStringLiteral("N"));
  QCOMPARE(o.text(5, 2), QStringLiteral("N"));
  o.button("comafter")->click();  // no row selected: Move After does nothing
  QVERIFY(o.doubles.dialogs.prompts.isEmpty());
}

void Form4Test::clickTogglesTheSwitch() {
  Opened o;
  addNumberedVars(o.shared, 5);
  o.open();
  o.clickCell(1, 2);
  QCOMPARE(o.selrow(), 2);
  QCOMPARE(o.text(1, 2), QStringLiteral("N"));
  QVERIFY(o.button("comup")->isEnabled());
  QVERIFY(o.button("comdown")->isEnabled());
  o.clickCell(1, 2);
  QCOMPARE(o.text(1, 2), QStringLiteral("Y"));
  o.clickCell(0, 1);  // name column: only selects
  QCOMPARE(o.selrow(), 1);
  QCOMPARE(o.text(0, 2), QStringLiteral("Y"));
  QVERIFY(!o.button("comup")->isEnabled());
  o.clickCell(4, 0);  // number column: only selects
  QCOMPARE(o.selrow(), 5);
  QCOMPARE(o.text(4, 2), QStringLiteral("Y"));
  QVERIFY(!o.button("comdown")->isEnabled());
  QVERIFY(o.shared.vars[1].show);  // the table is untouched before OK
}

void Form4Test::keyboardMovesTheSelection() {
  Opened o;
  addNumberedVars(o.shared, 5);
  o.open();
  QTest::keyClick(o.view(), Qt::Key_Down);
  QCOMPARE(o.view()->currentIndex().row(), 1);
  QCOMPARE(o.selrow(), 2);
  QVERIFY(o.button("comup")->isEnabled());
  QTest::keyClick(o.view(), Qt::Key_End, Qt::ControlModifier);
  QCOMPARE(o.selrow(), 5);
  QVERIFY(!o.button("comdown")->isEnabled());
  QTest::keyClick(o.view(), Qt::Key_Home, Qt::ControlModifier);
  QCOMPARE(o.selrow(), 1);
  QVERIFY(!o.button("comup")->isEnabled());
  QVERIFY(o.button("comdown")->isEnabled());
}

void Form4Test::upAndDownButtons() {
  Opened o;
  addNumberedVars(o.shared, 4);
  o.open();
  o.clickCell(1, 1);
  o.button("comup")->click();
  QCOMPARE(o.names(), QStringList({"v2", "v1", "v3", "v4"}));
  QCOMPARE(o.selrow(), 1);
  QCOMPARE(o.view()->currentIndex().row(), 0);
  QCOMPARE(o.view()->currentIndex().column(), 1);
  QVERIFY(o.view()->selectionModel()->isRowSelected(0, {}));
  QVERIFY(!o.button("comup")->isEnabled());
  for (int i = 0; i < 3; ++i) o.button("comdown")->click();
  QCOMPARE(o.names(), QStringList({"v1", "v3", "v4", "v2"}));
  QCOMPARE(o.selrow(), 4);
  QVERIFY(!o.button("comdown")->isEnabled());
  QVERIFY(o.button("comup")->isEnabled());
  QCOMPARE(o.text(3, 0), QStringLiteral("4"));  // numbers are places, not variables
}

void Form4Test::moveAfterAsksAndMoves() {
  Opened o;
  addNumberedVars(o.shared, 10);
  o.open();
  o.clickCell(2, 1);
  o.doubles.dialogs.answers = {QStringLiteral("7"), QStringLiteral("9"), QString(), QStringLiteral("x")};
  o.button("comafter")->click();
  QCOMPARE(o.doubles.dialogs.prompts, QStringList({"Move to after entry number"}));
  QCOMPARE(o.doubles.dialogs.initials, QStringList({QString()}));
  QCOMPARE(o.names(), QStringList({"v1", "v2", "v4", "v5", "v6", "v7", "v8", "v3", "v9", "v10"}));
  QCOMPARE(o.selrow(), 8);
  QCOMPARE(o.view()->currentIndex().row(), 7);
  for (int i = 0; i < 3; ++i) o.button("comafter")->click();  // out of range, cancelled, not a number
  QCOMPARE(o.doubles.dialogs.prompts.size(), 4);
  QCOMPARE(o.selrow(), 8);
  QCOMPARE(o.names().at(7), QStringLiteral("v3"));
  QVERIFY(o.doubles.dialogs.messages.isEmpty());
}

void Form4Test::moveAfterScrollsToAHiddenRow() {
  Opened o;
  addNumberedVars(o.shared, 60);
  o.open();
  QTableView* view = o.view();
  QCOMPARE(view->rowAt(0), 0);
  o.clickCell(0, 1);
  o.doubles.dialogs.answers = {QStringLiteral("39")};
  o.button("comafter")->click();
  QCOMPARE(o.selrow(), 40);
  QCOMPARE(view->rowAt(0), 29);  // grid row 30 (selrow - 10) at the top
  o.button("comup")->click();    // still in sight: no scrolling
  QCOMPARE(view->rowAt(0), 29);
  o.doubles.dialogs.answers = {QStringLiteral("0")};
  o.button("comafter")->click();  // row 1 out of sight, but not beyond row 12: stays
  QCOMPARE(o.selrow(), 1);
  QCOMPARE(view->rowAt(0), 29);
}

void Form4Test::dispNoneThenOkKeepsMarkedLines() {
  Opened o;
  addVars(o.shared, {"Application handle", "Lock Object Name", "Lock Mode"});
  o.shared.vars.edit(1).cmark = true;
  o.shared.vars.edit(1).cfg3 = "k3";
  o.open();
  o.button("comdnone")->click();
  QCOMPARE(o.text(0, 2) + o.text(1, 2) + o.text(2, 2), QStringLiteral("NNN"));
  QCOMPARE(o.selrow(), 0);
  o.button("comok")->click();
  QCOMPARE(readFile(kFile), QByteArray("N;;;;;Application handle;\r\n"
                                       "C;;k3;;;Lock Object Name;\r\n"
                                       "N;;;;;Lock Mode;\r\n"));
  QVERIFY(!o.shared.vars[1].show);
  QVERIFY(o.shared.vars[1].cmark);
}

void Form4Test::reorderHideAndOkWritesTheFile() {
  Opened o;
  addVars(o.shared, {"Application handle", "Lock Object Name", "Lock Mode", "Lock Status", "Table Name"});
  o.shared.vars.edit(0).cmark = true;
  o.shared.vars.edit(0).cfg2 = "a2";
  o.shared.vars.edit(0).cfg4 = "a4";
  o.shared.vars.edit(3).show = false;
  o.open();
  o.clickCell(0, 1);
  o.doubles.dialogs.answers = {QStringLiteral("2")};
  o.button("comafter")->click();  // Application handle to place 3
  o.clickCell(4, 2);              // hide Table Name
  o.clickCell(3, 2);              // show Lock Status again
  o.clickCell(3, 1);
  o.button("comup")->click();  // Lock Status to place 3
  o.clickCell(1, 2);           // hide Lock Mode (place 2)
  o.button("comok")->click();
  QVERIFY(o.shared.cfgdone);
  QCOMPARE(o.dialog->result(), int(QDialog::Accepted));
  const QByteArray expected =
      "Y;;;;;Lock Object Name;\r\n"
      "N;;;;;Lock Mode;\r\n"
      "Y;;;;;Lock Status;\r\n"
      "C;a2;;a4;;Application handle;\r\n"
      "N;;;;;Table Name;\r\n";
  QCOMPARE(readFile(kFile), expected);

  // The reload reads it back in the new order with the new switches.
  tarvolin::core::readcfg(o.shared, ".", tarvolin::core::removeBlanks(kKind));
  QCOMPARE(o.shared.vars.maxvar(), 4);
  QCOMPARE(o.shared.vars[3].name, "Application handle");
  QVERIFY(o.shared.vars[3].cmark);
  QVERIFY(!o.shared.vars[1].show);
  QVERIFY(o.shared.vars[2].show);
}

void Form4Test::failingWriteIsShownAndStillConfirms() {
  QVERIFY(QDir().mkdir(kFile));  // a folder of that name can't be opened for writing, not even by root
  Opened o;
  addNumberedVars(o.shared, 2);
  o.open();
  o.button("comok")->click();
  QCOMPARE(o.doubles.dialogs.messages,
           QStringList({QStringLiteral("Unable to write to config file DatabaseLockSnapshot.cfg\r\n") +
                        QString::fromLocal8Bit(std::strerror(EISDIR))}));
  QVERIFY(o.shared.cfgdone);
  QCOMPARE(o.dialog->result(), int(QDialog::Accepted));
  QVERIFY(!o.dialog->isVisible());
}

void Form4Test::cancelChangesNothing() {
  writeFile(kFile, "Y;;;;;v1;\r\nY;;;;;v2;\r\n");
  Opened o;
  addNumberedVars(o.shared, 2);
  o.shared.cfgdone = true;
  o.open();
  o.button("comdnone")->click();
  o.clickCell(1, 1);
  o.button("comup")->click();
  o.button("comcan")->click();
  QVERIFY(!o.shared.cfgdone);
  QCOMPARE(o.dialog->result(), int(QDialog::Rejected));
  QVERIFY(!o.dialog->isVisible());
  QCOMPARE(o.shared.vars[0].name, "v1");
  QVERIFY(o.shared.vars[0].show);
  QCOMPARE(readFile(kFile), QByteArray("Y;;;;;v1;\r\nY;;;;;v2;\r\n"));
}

void Form4Test::closeBoxChangesNothing() {
  Opened o;
  addNumberedVars(o.shared, 2);
  o.shared.cfgdone = true;  // the close box runs no handler: not even this is touched
  o.open();
  o.button("comdnone")->click();
  QVERIFY(o.dialog->close());
  QVERIFY(o.shared.cfgdone);
  QVERIFY(!o.dialog->isVisible());
  QVERIFY(o.shared.vars[1].show);
  QVERIFY(!QFile::exists(kFile));
}

void Form4Test::enterConfirmsEscapeCancels() {
  {
    Opened o;
    addNumberedVars(o.shared, 2);
    o.open();
    QTest::keyClick(o.view(), Qt::Key_Return);  // the list passes Enter on to the default button
    QVERIFY(o.shared.cfgdone);
    QCOMPARE(readFile(kFile), QByteArray("Y;;;;;v1;\r\nY;;;;;v2;\r\n"));
  }
  QVERIFY(QFile::remove(kFile));
  {
    Opened o;
    addNumberedVars(o.shared, 2);
    o.shared.cfgdone = true;
    o.open();
    QTest::keyClick(o.view(), Qt::Key_Escape);  // from the list, as the user would
    QVERIFY(!o.shared.cfgdone);
    QVERIFY(!o.dialog->isVisible());
    QVERIFY(!QFile::exists(kFile));
  }
}

void Form4Test::runCustomiseReportsOk_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<bool>("expected");
  QTest::newRow("OK") << "comok" << true;
  QTest::newRow("Cancel") << "comcan" << false;
  QTest::newRow("close box") << "" << false;
}

void Form4Test::runCustomiseReportsOk() {
  QFETCH(QString, how);
  QFETCH(bool, expected);
  SharedState shared;
  shared.snaptype = kKind;
  shared.cfgdone = true;
  addNumberedVars(shared, 2);
  PlatformDouble doubles;
  QWidget owner;
  owner.show();
  bool seen = false;
  bool modalOverOwner = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<Form4*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    seen = dialog->isVisible();
    modalOverOwner = dialog->parentWidget() == &owner && dialog->isModal();
    if (how.isEmpty())
      dialog->close();
    else
      dialog->findChild<QPushButton*>(how)->click();
  });
  const bool result = tarvolin::ui::runCustomise(shared, doubles.platform, &owner);
  QVERIFY(seen);
  QVERIFY(modalOverOwner);
  QCOMPARE(result, expected);
  QCOMPARE(shared.cfgdone, expected);
  QCOMPARE(QFile::exists(kFile), expected);
}

void Form4Test::screenshot() {
  Opened o;
  addVars(o.shared, {"Application handle", "Application ID", "Sequence number", "Application name",
                     "CONNECT Authorization ID", "Application status", "Status change time", "Application code page",
                     "Locks held", "Total wait time (ms)", "Lock Object Name", "Lock Mode"});
  o.shared.vars.edit(2).show = false;
  o.shared.vars.edit(6).show = false;
  o.shared.vars.edit(7).show = false;
  o.open();
  o.clickCell(4, 1);
  const QString path = QStringLiteral(TARVOLIN_BUILD_DIR "/form4_customise.png");
  QVERIFY(o.dialog->grab().save(path));
}

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
