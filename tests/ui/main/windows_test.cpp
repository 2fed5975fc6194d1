// The main window's way into the other windows: Customize, Show Row Detail, About, Help
// and the web link.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "common/find_child.h"
#include "common/hidden_rows.h"
#include "common/platform_doubles.h"
#include "core/shared_state.h"
#include "report_double.h"
#include "ui/about/web_link.h"
#include "ui/detail/entry_detail_window.h"
#include "ui/main/form1.h"

using namespace tarvolin::test;
using tarvolin::core::GridStore;
using tarvolin::core::SharedState;
using tarvolin::ui::Form1;

namespace {

/// Runs `act` on the modal window named `name` as soon as it is the active modal
/// widget; gives up after five seconds or when `context` is deleted. Returns at once:
/// the window is opened after.
void whenModal(QObject& context, const char* name, std::function<void(QDialog&)> act) {
  auto* poll = new QTimer(&context);
  const QDeadlineTimer deadline(5000);
  QObject::connect(poll, &QTimer::timeout, [poll, deadline, name = QString::fromLatin1(name), act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const bool found = dialog != nullptr && dialog->objectName() == name && dialog->isVisible();
    if (!found && !deadline.hasExpired()) return;
    poll->stop();
    poll->deleteLater();
    if (found) act(*dialog);
  });
  poll->start(5);
}

/// Clicks cell (row, col) of a dialog's list.
void clickCell(QTableView& view, int row, int col) {
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(row, col)).center());
}

QStringList headers(const GridStore& g) {
  QStringList names;
  for (int c = 0; c < g.cols(); ++c) names << QString::fromStdString(std::string(g.text(0, c)));
  return names;
}

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

struct Loaded {
  explicit Loaded(const QString& report) {
    form.resize(780, 560);
    form.show();
    form.openReport(report);
    if (!QTest::qWaitFor([this] { return form.grd()->model()->rowCount() == form.grid().rows() - 1; }))
      qWarning("The view did not follow the load");
  }
  void trigger(const char* name) { child<QAction>(form, name)->trigger(); }

  SharedState shared;
  PlatformDouble p;
  Form1 form{shared, p.platform};
  QAbstractItemModelTester tester{form.grd()->gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

const QString kFinished = QStringLiteral("Finished. Records read: 38 Records outputted 9");

}  // namespace

class WindowsTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QString m_report;
  QString m_cfg;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));  // configuration files are read and written here
    // Screenshots go to shots/, which a fresh build folder lacks.
    QVERIFY(QDir().mkpath(QStringLiteral(TARVOLIN_BUILD_DIR "/shots")));
    m_report = writeSmallLockReport(m_dir.filePath("locks.txt"));
    m_cfg = m_dir.filePath("DatabaseLockSnapshot.cfg");
  }

  void init() { QFile::remove(m_cfg); }

  void customiseReordersAndHidesThenReloads() {
    Loaded w(m_report);
    QCOMPARE(headers(w.form.grid()), QStringList({"Application handle", "Application name", "Locks held",
                                                  "Lock Object Name", "Object Type", "Table Name", "Mode"}));
    QString title;
    whenModal(w.form, "Form4", [&](QDialog& form4) {
      title = form4.windowTitle();
      auto* list = child<QTableView>(form4, "flexcols");
      clickCell(*list, 6, 1);  // Mode
      child<QPushButton>(form4, "comup")->click();
      child<QPushButton>(form4, "comup")->click();  // Mode now at place 5
      clickCell(*list, 1, 2);                       // Application name: N
      clickCell(*list, 5, 2);                       // Object Type, moved down to place 6: N
      child<QPushButton>(form4, "comok")->click();
    });
    w.form.showStatus(QStringLiteral("before"));
    w.trigger("mencfg");
    QCOMPARE(title, QStringLiteral("Customise Display of \"Database Lock Snapshot\""));
    QVERIFY(w.shared.cfgdone);
    QCOMPARE(readFile(m_cfg), QByteArray("Y;;;;;Application handle;\r\n"
                                         "N;;;;;Application name;\r\n"
                                         "Y;;;;;Locks held;\r\n"
                                         "Y;;;;;Lock Object Name;\r\n"
                                         "Y;;;;;Mode;\r\n"
                                         "N;;;;;Object Type;\r\n"
                                         "Y;;;;;Table Name;\r\n"));
    // Reloaded in the new order, the hidden variables at width 0.
    QCOMPARE(w.form.statusText(), kFinished);
    const GridStore& g = w.form.grid();
    QCOMPARE(headers(g), QStringList({"Application handle", "Application name", "Locks held", "Lock Object Name",
                                      "Mode", "Object Type", "Table Name"}));
    for (int c = 0; c < g.cols(); ++c) QCOMPARE(g.colWidth(c) == 0, c == 1 || c == 5);
    QCOMPARE(std::string(g.text(9, 6)), std::string("T1"));
    QTRY_VERIFY(w.form.grd()->isColumnHidden(5));
    QVERIFY(w.form.grd()->isColumnHidden(1));
    QVERIFY(!w.form.grd()->isColumnHidden(4));
    QVERIFY(w.form.grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/shots/form1_customised.png")));
  }

  void customiseFailedWriteStillReloadsWhatIsOnDisk() {
    // A folder in the configuration file's place: the write fails for any user.
    QVERIFY(QDir().mkdir(m_cfg));
    Loaded w(m_report);
    whenModal(w.form, "Form4", [](QDialog& form4) {
      clickCell(*child<QTableView>(form4, "flexcols"), 1, 2);  // would hide Application handle
      child<QPushButton>(form4, "comok")->click();
    });
    w.form.showStatus(QStringLiteral("before"));
    w.trigger("mencfg");
    QVERIFY(w.shared.cfgdone);
    QCOMPARE(w.p.dialogs.messages.size(), 1);
    QVERIFY(w.p.dialogs.messages.first().startsWith(
        QStringLiteral("Unable to write to config file DatabaseLockSnapshot.cfg\r\n")));
    // Reloaded from what is on disk: nothing readable, so the report's own order, all shown.
    QCOMPARE(w.form.statusText(), kFinished);
    QCOMPARE(headers(w.form.grid()).first(), QStringLiteral("Application handle"));
    QVERIFY(w.form.grid().colWidth(0) > 0);
    QVERIFY(QDir(m_cfg).removeRecursively());
  }

  void customiseOkReloadsEvenUnchanged() {
    Loaded w(m_report);
    w.form.grid().setRowHeight(2, 0);
    w.form.showStatus(QStringLiteral("before"));
    whenModal(w.form, "Form4", [](QDialog& form4) { child<QPushButton>(form4, "comok")->click(); });
    w.trigger("mencfg");
    QCOMPARE(w.form.statusText(), kFinished);
    QCOMPARE(hiddenRowCount(w.form.grid()), 0);
    QVERIFY(QFile::exists(m_cfg));
  }

  void customiseCancelOrCloseBoxReloadsNothing_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
  }

  void customiseCancelOrCloseBoxReloadsNothing() {
    QFETCH(bool, closeBox);
    Loaded w(m_report);
    w.form.grid().setRowHeight(2, 0);
    w.form.showStatus(QStringLiteral("before"));
    bool opened = false;
    whenModal(w.form, "Form4", [&](QDialog& form4) {
      opened = true;
      clickCell(*child<QTableView>(form4, "flexcols"), 0, 2);  // a change that is thrown away
      if (closeBox)
        form4.close();
      else
        child<QPushButton>(form4, "comcan")->click();
    });
    w.trigger("mencfg");
    QVERIFY(opened);
    QVERIFY(!w.shared.cfgdone);
    QCOMPARE(w.form.statusText(), QStringLiteral("before"));
    QCOMPARE(hiddenRowCount(w.form.grid()), 1);
    QVERIFY(!QFile::exists(m_cfg));
  }

  void showRowDetailOpensOnTheCurrentRow() {
    Loaded w(m_report);
    w.form.grid().setSelection(5, 3, 5, 3);
    QList<int> shown;
    bool modalOverMain = false;
    whenModal(w.form, "Form2", [&](QDialog& dialog) {
      auto& form2 = static_cast<tarvolin::ui::Form2&>(dialog);
      modalOverMain = form2.parentWidget() == &w.form && form2.isModal();
      shown << form2.shownRow();
      child<QPushButton>(form2, "comnext")->click();
      shown << form2.shownRow();
      form2.close();  // the close box
    });
    w.trigger("mendetail");
    QVERIFY(modalOverMain);
    // Reopened: at the main grid's current row again, not where Next left it.
    whenModal(w.form, "Form2", [&](QDialog& dialog) {
      shown << static_cast<tarvolin::ui::Form2&>(dialog).shownRow();
      dialog.close();
    });
    w.trigger("mendetail");
    QCOMPARE(shown, QList<int>({5, 6, 5}));
    QCOMPARE(w.form.grid().row(), 5);
  }

  void doubleClickOpensTheDetailOfThatRow() {
    Loaded w(m_report);
    QTableView* grd = w.form.grd();
    const QPoint at = grd->visualRect(grd->model()->index(7, 5)).center();  // store row 8
    int shown = -1;
    QString valueOfTableName;
    whenModal(w.form, "Form2", [&](QDialog& dialog) {
      auto& form2 = static_cast<tarvolin::ui::Form2&>(dialog);
      shown = form2.shownRow();
      valueOfTableName = QString::fromStdString(std::string(form2.detailGrid().text(6, 1)));
      dialog.close();
    });
    QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grd->viewport(), Qt::LeftButton, {}, at);  // only the second press of a double click
    QTest::mouseRelease(grd->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(shown, 8);
    QCOMPARE(valueOfTableName, QStringLiteral("T0"));
  }

  void aboutOpensWithoutBlocking() {
    Loaded w(m_report);
    w.trigger("menabout");
    auto* about = w.form.findChild<QDialog*>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QTRY_VERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Tarvolin"));
    QVERIFY(about->windowModality() != Qt::NonModal);
    child<QPushButton>(*about, "cmdOK")->click();
    QTRY_VERIFY(w.form.findChild<QDialog*>(QStringLiteral("frmAbout")) == nullptr);
  }

  void helpOpensTheReadmeBesideTheProgram() {
    Loaded w(m_report);
    w.trigger("menh");
    QCOMPARE(w.p.launcher.openedFiles, QStringList{w.p.files.dir + "/readme.txt"});
    QVERIFY(w.p.dialogs.messages.isEmpty());
  }

  void webLinkHighlightsAndOpens() {
    Loaded w(m_report);
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    auto* frame = child<QGroupBox>(w.form, "Frame1");
    auto* label = child<QLabel>(w.form, "Label2");
    QCOMPARE(label->text(), tarvolin::ui::kWebAddress);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    const QColor buttonFace = frame->palette().color(QPalette::Button);
    const QPoint freeArea(frame->width() - 4, label->y() - 4);
    QCOMPARE(frame->childAt(freeArea), nullptr);

    QTest::mouseMove(frame, freeArea);
    QCOMPARE(label->palette().color(QPalette::Window), buttonFace);
    QTest::mouseMove(label, label->rect().center());
    QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 255, 255));
    QTest::mouseMove(child<QWidget>(w.form, "comview"), QPoint(5, 5));  // another control: still lit
    QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 255, 255));
    QTest::mouseMove(frame, freeArea);
    QCOMPARE(label->palette().color(QPalette::Window), buttonFace);

    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    QCOMPARE(w.p.launcher.urls, QStringList{tarvolin::ui::kWebAddress});
    QVERIFY(w.p.dialogs.messages.isEmpty());
    w.p.launcher.browserMissing = true;
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    QCOMPARE(w.p.dialogs.messages, QStringList{"Note: could not start browser"});
  }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
