#include <QTest>

#include "common/platform_doubles.h"
#include "ui/about/sys_info.h"

using namespace tarvolin;
using tarvolin::test::PlatformDouble;

namespace {
const QString kToolPath = QStringLiteral("/usr/bin/hardinfo");
const QString kToolFolder = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");
}  // namespace

class SysInfoTest : public QObject {
  Q_OBJECT

 private slots:
  void keyValueRules_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");
    const QString unchanged = QStringLiteral("before");
    QTest::newRow("text ending in NUL") << QByteArray("C:\\msinfo32.exe", 16) << 1 << "C:\\msinfo32.exe";
    QTest::newRow("text without NUL") << QByteArray("abc") << 1 << "abc";
    QTest::newRow("only the last NUL goes") << QByteArray("ab\0\0", 4) << 1 << QString::fromLatin1("ab\0", 3);
    QTest::newRow("NUL inside stays") << QByteArray("a\0b", 3) << 1 << QString::fromLatin1("a\0b", 3);
    QTest::newRow("lone NUL") << QByteArray("\0", 1) << 1 << "";
    QTest::newRow("empty text") << QByteArray() << 1 << "";
    QTest::newRow("number 1") << QByteArray("\x01\0\0\0", 4) << 4 << "1";
    QTest::newRow("number 256") << QByteArray("\0\x01\0\0", 4) << 4 << "256";
    QTest::newRow("number 0x01020304") << QByteArray("\x04\x03\x02\x01", 4) << 4 << "16909060";
    QTest::newRow("largest number") << QByteArray("\xff\xff\xff\xff", 4) << 4 << "4294967295";
    QTest::newRow("zero") << QByteArray("\0\0\0\0", 4) << 4 << "0";
    QTest::newRow("expandable text") << QByteArray("%SystemRoot%", 13) << 2 << unchanged;
    QTest::newRow("binary") << QByteArray("\x01\x02", 2) << 3 << unchanged;
    QTest::newRow("multi text") << QByteArray("a\0b\0\0", 5) << 7 << unchanged;
  }
  void keyValueRules() {
    QFETCH(QByteArray, data);
    QFETCH(int, type);
    QFETCH(QString, expected);
    QString value = QStringLiteral("before");
    ui::applyKeyValue(data, type, value);
    QCOMPARE(value, expected);
  }

  void getKeyValueFailsWithEmptyValue_data() {
    QTest::addColumn<quint32>("root");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("found");
    QTest::newRow("stored value") << quint32(ui::HKEY_LOCAL_MACHINE) << "PATH" << 10 << true;
    QTest::newRow("fills the buffer") << quint32(ui::HKEY_LOCAL_MACHINE) << "PATH" << 1024 << true;
    QTest::newRow("too long for the buffer") << quint32(ui::HKEY_LOCAL_MACHINE) << "PATH" << 1025 << false;
    QTest::newRow("missing value") << quint32(ui::HKEY_LOCAL_MACHINE) << "OTHER" << 10 << false;
    QTest::newRow("other root") << quint32(0x80000001u) << "PATH" << 10 << false;
  }
  void getKeyValueFailsWithEmptyValue() {
    QFETCH(quint32, root);
    QFETCH(QString, valueName);
    QFETCH(int, size);
    QFETCH(bool, found);
    PlatformDouble d;
    d.keys.set(ui::kSysInfoKey, QStringLiteral("PATH"), QByteArray(size, 'x'), ui::kRegSz);
    ui::SysInfo sysInfo(d.platform, nullptr);
    QString value = QStringLiteral("before");
    QCOMPARE(sysInfo.GetKeyValue(root, ui::kSysInfoKey, valueName, value), found);
    QCOMPARE(value, found ? QString(size, QLatin1Char('x')) : QString());
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  void startSysInfo_data() {
    QTest::addColumn<bool>("first");
    QTest::addColumn<bool>("second");
    QTest::addColumn<bool>("programExists");
    QTest::addColumn<bool>("startFails");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QStringList>("existenceTests");
    QTest::addColumn<bool>("unavailable");
    const QString second = kToolFolder + QStringLiteral("\\MSINFO32.EXE");
    const QStringList none;
    // The first place is trusted as it stands: no existence test, even with a second place.
    QTest::newRow("first place") << true << true << false << false << QStringList{kToolPath} << none << false;
    QTest::newRow("first place, start fails") << true << true << true << true << QStringList{kToolPath} << none << true;
    QTest::newRow("second place") << false << true << true << false << QStringList{second} << QStringList{second}
                                  << false;
    QTest::newRow("second place, no program") << false << true << false << false << none << QStringList{second} << true;
    QTest::newRow("second place, start fails")
        << false << true << true << true << QStringList{second} << QStringList{second} << true;
    QTest::newRow("nothing recorded") << false << false << true << false << none << none << true;
  }
  void startSysInfo() {
    QFETCH(bool, first);
    QFETCH(bool, second);
    QFETCH(bool, programExists);
    QFETCH(bool, startFails);
    QFETCH(QStringList, started);
    QFETCH(QStringList, existenceTests);
    QFETCH(bool, unavailable);
    PlatformDouble d;
    if (first) d.keys.set(ui::kSysInfoKey, ui::kSysInfoValue, kToolPath.toLocal8Bit() + '\0', ui::kRegSz);
    if (second) d.keys.set(ui::kSysInfoLocKey, ui::kSysInfoLocValue, kToolFolder.toLocal8Bit() + '\0', ui::kRegSz);
    if (programExists) d.launcher.existing << kToolFolder + QStringLiteral("\\MSINFO32.EXE");
    d.launcher.startFails = startFails;

    ui::SysInfo(d.platform, nullptr).StartSysInfo();

    QCOMPARE(d.launcher.started, started);
    QCOMPARE(d.launcher.existenceTests, existenceTests);
    QCOMPARE(d.dialogs.messages, unavailable
                                     ? QStringList{QStringLiteral("System Information Is Unavailable At This Time")}
                                     : QStringList{});
  }

  void secondPlaceIsNotReadWhenTheFirstAnswers() {
    PlatformDouble d;
    d.keys.set(ui::kSysInfoKey, ui::kSysInfoValue, kToolPath.toLocal8Bit(), ui::kRegSz);
    ui::SysInfo(d.platform, nullptr).StartSysInfo();
    QCOMPARE(d.keys.queries, QStringList{ui::kSysInfoKey + QStringLiteral("|PATH")});
  }
};

QTEST_MAIN(SysInfoTest)
#include "sys_info_test.moc"
