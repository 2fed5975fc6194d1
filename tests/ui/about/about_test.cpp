// The about box with its system information button, the help command and the web link.
#include <QDir>
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

QPointer<QDialog> openAboutBox(platform::Platform& platform, QWidget& owner) {
  owner.show();
  ui::showAboutBox(platform, &owner);
  return owner.findChild<QDialog*>(QStringLiteral("frmAbout"));
}

/// `Frame1` holding a button and `Label2`, as a window of its own.
struct LinkWindow {
  explicit LinkWindow(platform::Platform& platform, const QString& address = QStringLiteral("https://example.org")) {
    frame.resize(689, 100);
    inFrame.setGeometry(344, 16, 73, 25);
    label.setGeometry(544, 48, 129, 17);
    new ui::WebLinkController(frame, label, platform, address);
    frame.show();
  }
  [[nodiscard]] bool lit() const { return label.palette().color(QPalette::Window) == QColor(192, 255, 255); }

  QGroupBox frame;
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
    QTest::mouseClick(child<QPushButton>(*box, "cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(box.isNull());
  }

  void helpOpensTheReadmeBesideTheProgramOrInstalled() {
    QTemporaryDir prefix;
    test::PlatformDouble d;
    d.files.dir = prefix.filePath("bin");
    const QString beside = prefix.filePath("bin/readme.txt"),
                  installed = prefix.filePath("share/doc/tarvolin/readme.txt");
    for (const QString& guide : {installed, beside}) {  // neither, installed, both
      ui::showHelp(d.platform, nullptr);
      QVERIFY(QDir().mkpath(QFileInfo(guide).path()) && QFile(guide).open(QIODevice::WriteOnly));
    }
    d.launcher.viewerMissing = true;
    ui::showHelp(d.platform, nullptr);
    QCOMPARE(d.launcher.openedFiles, QStringList({beside, installed, beside}));
    QCOMPARE(d.dialogs.messages.size(), 1);  // only the viewer that can't be started is reported
  }

  void linkStaysLitUntilThePointerCrossesTheFreeFrameAndOpensTheAddress() {
    test::PlatformDouble d;
    LinkWindow w(d.platform);
    QString lit;  // after each stop: f the frame's free area, l the label, b a button in it, a away
    for (QChar stop : QStringLiteral("flblafl")) {
      if (stop == 'f') QTest::mouseMove(&w.frame, QPoint(200, 70));
      if (stop == 'l') QTest::mouseMove(&w.label, w.label.rect().center());
      if (stop == 'b') QTest::mouseMove(&w.inFrame, w.inFrame.rect().center());
      if (stop == 'a') QTest::mouseMove(&w.frame, QPoint(-40, -40));
      lit += w.lit() ? '1' : '0';
    }
    QCOMPARE(lit, "0111101");
    QTest::mouseClick(&w.label, Qt::LeftButton, {}, w.label.rect().center());
    d.launcher.browserMissing = true;
    QTest::mouseClick(&w.label, Qt::LeftButton, {}, w.label.rect().center());
    QCOMPARE(d.launcher.urls, QStringList(2, w.label.text()));
    QCOMPARE(d.dialogs.messages, QStringList{"Note: could not start browser"});
    LinkWindow guide(d.platform, QString());  // no web site: the user guide, as Help finds it
    QTest::mouseClick(&guide.label, Qt::LeftButton, {}, guide.label.rect().center());
    QVERIFY(d.launcher.urls.size() == 2 && !guide.label.text().isEmpty());
    QCOMPARE(d.launcher.openedFiles, QStringList{ui::userGuidePath(d.files)});
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
