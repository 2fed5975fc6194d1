#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "common/platform_doubles.h"
#include "core/version.h"
#include "platform/twips.h"
#include "ui/about/about_box.h"
#include "ui/about/program_icon.h"

using namespace tarvolin;
using tarvolin::test::PlatformDouble;

class AboutBoxTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* child(QWidget* box, const char* name) {
    T* w = box->findChild<T*>(QLatin1String(name));
    if (w == nullptr) qFatal("no %s", name);
    return w;
  }

 private slots:
  void versionText_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1.0.0") << 1 << 0 << 0 << "Version: 1.0.0";
    QTest::newRow("no leading zeros") << 2 << 10 << 7 << "Version: 2.10.7";
    QTest::newRow("zero major") << 0 << 0 << 12 << "Version: 0.0.12";
  }
  void versionText() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, expected);
    QCOMPARE(ui::versionText(major, minor, revision), expected);
  }

  void showsTitleVersionAndTexts() {
    PlatformDouble d;
    ui::AboutBox box(d.platform, nullptr);
    QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Tarvolin"));
    QCOMPARE(child<QLabel>(&box, "lblVersion")->text(), ui::versionText(kVersionMajor, kVersionMinor, kVersionPatch));
    auto* title = child<QLabel>(&box, "lblTitle");
    QCOMPARE(title->text(), QStringLiteral("Tarvolin"));
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pointSize(), 18);
    QCOMPARE(child<QLabel>(&box, "lblDescription")->text(), QStringLiteral("DB2 Snapshot Viewer"));
    QVERIFY(!child<QLabel>(&box, "lblDisclaimer")->text().isEmpty());
    QCOMPARE(child<QPushButton>(&box, "cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(child<QPushButton>(&box, "cmdOK")->isDefault());
    QCOMPARE(child<QPushButton>(&box, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
  }

  void placesInTwips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("picIcon") << "picIcon" << QRect(240, 240, 540, 540);
    QTest::newRow("lblTitle") << "lblTitle" << QRect(1080, 240, 2325, 480);
    QTest::newRow("lblVersion") << "lblVersion" << QRect(1050, 960, 3885, 225);
    QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(240, 2160, 3855, 705);
    QTest::newRow("cmdOK") << "cmdOK" << QRect(4245, 2160, 1260, 345);
    QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(4260, 2640, 1245, 345);
  }
  void placesInTwips() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    PlatformDouble d;
    ui::AboutBox box(d.platform, nullptr);
    const double dpi = platform::screenDpi(nullptr).x;
    auto px = [dpi](int t) { return platform::twipsToPixels(t, dpi); };
    QCOMPARE(box.findChild<QWidget*>(name)->geometry(),
             QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
    QCOMPARE(box.minimumSize(), QSize(px(5730), px(3135)));
    QCOMPARE(box.maximumSize(), box.minimumSize());
  }

  void tabOrderStartsAtOk() {
    PlatformDouble d;
    ui::AboutBox box(d.platform, nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTRY_COMPARE(QApplication::focusWidget(), child<QWidget>(&box, "cmdOK"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&box, "picIcon"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&box, "cmdSysInfo"));
  }

  void enterEscAndOkCloseTheBox_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("OK clicked") << 0;
  }
  void enterEscAndOkCloseTheBox() {
    QFETCH(int, key);
    PlatformDouble d;
    QWidget owner;
    owner.show();
    QPointer<ui::AboutBox> box = ui::showAboutBox(d.platform, &owner);
    QVERIFY(box->isVisible());
    QVERIFY(box->isModal());
    QCOMPARE(box->parentWidget(), &owner);
    if (key == 0)
      QTest::mouseClick(child<QPushButton>(box, "cmdOK"), Qt::LeftButton);
    else
      QTest::keyClick(box, Qt::Key(key));
    QTRY_VERIFY(box.isNull());
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  void sysInfoUnavailableKeepsTheBoxOpen() {
    PlatformDouble d;
    QWidget owner;
    owner.show();
    QPointer<ui::AboutBox> box = ui::showAboutBox(d.platform, &owner);
    QTest::mouseClick(child<QPushButton>(box, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(d.dialogs.messages, QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    QCoreApplication::processEvents();
    QVERIFY(!box.isNull());
    QVERIFY(box->isVisible());
    box->close();
  }

  void sysInfoStartsTheRecordedTool() {
    PlatformDouble d;
    d.keys.set(ui::kSysInfoKey, ui::kSysInfoValue, QByteArray("/usr/bin/hardinfo\0", 18), ui::kRegSz);
    ui::AboutBox box(d.platform, nullptr);
    QTest::mouseClick(child<QPushButton>(&box, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(d.launcher.started, QStringList{QStringLiteral("/usr/bin/hardinfo")});
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  void iconIsPaintedAtEverySize() {
    const QIcon& icon = ui::programIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    const QImage picture = ui::paintProgramIcon(32).toImage();
    QCOMPARE(picture.size(), QSize(32, 32));
    const QColor header = picture.pixelColor(16, 5);
    QVERIFY2(header.blue() > 150 && header.red() < 100, qPrintable(header.name()));
    QCOMPARE(picture.pixelColor(0, 0).alpha(), 0);
  }

  void screenshot() {
    PlatformDouble d;
    ui::AboutBox box(d.platform, nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QString path = QStringLiteral(TARVOLIN_BUILD_DIR "/about_box.png");
    QVERIFY(box.grab().save(path));
    // Every size of the icon side by side, on the dialog's background.
    QImage sizes(16 + 24 + 32 + 48 + 64 + 128 + 256 + 8 * 8, 256 + 16, QImage::Format_ARGB32);
    sizes.fill(box.palette().color(QPalette::Window));
    QPainter p(&sizes);
    int x = 8;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
      p.drawPixmap(x, 8, ui::paintProgramIcon(size));
      x += size + 8;
    }
    p.end();
    QVERIFY(sizes.save(QStringLiteral(TARVOLIN_BUILD_DIR "/program_icon_sizes.png")));
  }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
