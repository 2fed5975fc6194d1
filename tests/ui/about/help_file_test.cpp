#include <QFile>
#include <QTest>

#include "common/platform_doubles.h"
#include "ui/about/help_file.h"

using namespace tarvolin;
using tarvolin::test::PlatformDouble;

class HelpFileTest : public QObject {
  Q_OBJECT

 private slots:
  void helpOpensReadmeInTheProgramFolder() {
    PlatformDouble d;
    d.files.dir = QStringLiteral("/opt/tarvolin/bin");
    ui::showHelp(d.platform, nullptr);
    QCOMPARE(d.launcher.openedFiles, QStringList{QStringLiteral("/opt/tarvolin/bin/readme.txt")});
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  void helpFileIsAPlainTextGuide() {
    QFile file(QStringLiteral(TARVOLIN_SAMPLES_DIR "/../docs/readme.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.size() > 2000);
    int lineNo = 0;
    for (const QByteArray& line : text.split('\n')) {
      ++lineNo;
      QVERIFY2(QString::fromUtf8(line).size() <= 78, qPrintable(QStringLiteral("line %1 is too long").arg(lineNo)));
      QVERIFY2(!line.contains('\t'), qPrintable(QStringLiteral("line %1 holds a TAB").arg(lineNo)));
    }
  }
};

QTEST_MAIN(HelpFileTest)
#include "help_file_test.moc"
