// The about box with its system information button, the help command and the web link.
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "ui/about/about_box.h"
#include "ui/about/help_file.h"
#include "ui/about/web_link.h"

using namespace tarvolin;
using test::child;

namespace {

/// Opens the about box over `owner` the way "&About" does; the box deletes itself when closed.
QPointer<QDialog> openAboutBox(platform::Platform& platform, QWidget& owner) {
  owner.show();
  ui::showAboutBox(platform, &owner);
  return owner.findChild<QDialog*>(QStringLiteral("frmAbout"));
}

/// A corner of the main window: `Frame1` holding a button and `Label2`.
struct LinkWindow {
  explicit LinkWindow(platform::Platform& platform) {
    window.resize(700, 160);
    frame.setGeometry(8, 40, 689, 100);
    inFrame.setGeometry(344, 16, 73, 25);
    label.setGeometry(544, 48, 129, 17);
    new ui::WebLinkController(frame, label, platform);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qWarning("the window was not shown");
    QTest::mouseMove(&window, QPoint(650, 10));  // every move of a test then changes the pointer's place
  }
  [[nodiscard]] bool lit() const { return label.palette().color(QPalette::Window) == QColor(192, 255, 255); }

  QWidget window;
  QGroupBox frame{&window};
  QPushButton inFrame{&frame};
  QLabel label{&frame};
};

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

 private slots:
  void systemInfoStartsTheProgramFoundAndOkCloses() {
    test::PlatformDouble d;
    QWidget owner;
    QPointer<QDialog> box = openAboutBox(d.platform, owner);
    QVERIFY(box && box->isVisible() && box->isModal());
    auto* sysInfo = child<QPushButton>(*box, "cmdSysInfo");
    QTest::mouseClick(sysInfo, Qt::LeftButton);  // none on the PATH
    d.launcher.program = QStringLiteral("/usr/bin/hardinfo2");
    QTest::mouseClick(sysInfo, Qt::LeftButton);
    d.launcher.startFails = true;
    QTest::mouseClick(sysInfo, Qt::LeftButton);
    QCOMPARE(d.launcher.started, QStringList(2, "/usr/bin/hardinfo2"));
    QCOMPARE(d.dialogs.messages, QStringList(2, "System Information Is Unavailable At This Time"));
    QVERIFY(box->isVisible());             // the box stays open
    QTest::keyClick(box, Qt::Key_Escape);  // OK is also the cancel button
    QTRY_VERIFY(box.isNull());
    box = openAboutBox(d.platform, owner);
    QTest::mouseClick(child<QPushButton>(*box, "cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(box.isNull());
  }

  void helpOpensTheReadmeBesideTheProgram() {
    test::PlatformDouble d;
    d.files.dir = QStringLiteral("/opt/tarvolin/bin");
    ui::showHelp(d.platform, nullptr);
    d.launcher.viewerMissing = true;
    ui::showHelp(d.platform, nullptr);
    QCOMPARE(d.launcher.openedFiles, QStringList(2, "/opt/tarvolin/bin/readme.txt"));
    QCOMPARE(d.dialogs.messages.size(), 1);  // only the viewer that can't be started is reported
  }

  void linkStaysLitUntilThePointerCrossesTheFreeFrameAndOpensTheAddress() {
    test::PlatformDouble d;
    LinkWindow w(d.platform);
    // Stops: f the frame's free area, l the label, b a button in the frame, w the window outside
    // the frame, a away from the window.
    QString lit;
    for (QChar stop : QStringLiteral("flblwlafl")) {
      if (stop == 'f') QTest::mouseMove(&w.frame, QPoint(200, 70));
      if (stop == 'l') QTest::mouseMove(&w.label, w.label.rect().center());
      if (stop == 'b') QTest::mouseMove(&w.inFrame, w.inFrame.rect().center());
      if (stop == 'w') QTest::mouseMove(&w.window, QPoint(400, 20));
      if (stop == 'a') QTest::mouseMove(&w.window, QPoint(-40, -40));
      lit += w.lit() ? '1' : '0';
    }
    QCOMPARE(lit, "011111101");
    QTest::mouseClick(&w.label, Qt::LeftButton, {}, w.label.rect().center());
    d.launcher.browserMissing = true;
    QTest::mouseClick(&w.label, Qt::LeftButton, {}, w.label.rect().center());
    QCOMPARE(d.launcher.urls, QStringList(2, w.label.text()));
    QCOMPARE(d.dialogs.messages, QStringList{"Note: could not start browser"});
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
