#include <QtTest>

#include "common/platform_doubles.h"
#include "ui/main/file_rules.h"

using tarvolin::test::FileSystemDouble;
using tarvolin::ui::appendsToList;
using tarvolin::ui::layoutRule;
using tarvolin::ui::MainLayout;
using tarvolin::ui::newestFile;

class FileRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void listRule_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("appends");
    QTest::newRow("empty box") << ""
                               << "D:\\a.txt" << false;
    QTest::newRow("box sorts after") << "D:\\b.txt"
                                     << "D:\\a.txt" << true;
    QTest::newRow("box sorts before") << "D:\\a.txt"
                                      << "D:\\b.txt" << false;
    QTest::newRow("same path") << "D:\\a.txt"
                               << "D:\\a.txt" << false;
    QTest::newRow("same path, other case") << "D:\\A.TXT"
                                           << "d:\\a.txt" << false;
    QTest::newRow("case ignored in the order") << "d:\\c.txt"
                                               << "D:\\B.txt" << true;
    QTest::newRow("upper case box before") << "D:\\A.txt"
                                           << "d:\\b.txt" << false;
  }
  void listRule() {
    QFETCH(QString, box);
    QFETCH(QString, path);
    QFETCH(bool, appends);
    QCOMPARE(appendsToList(box, path), appends);
  }

  void newest_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("minutes");  // modification minute of each name
    QTest::addColumn<QString>("expected");
    QTest::newRow("newest wins") << QStringList{"a.txt", "b.txt", "c.txt"} << QList<int>{1, 5, 3} << "b.txt";
    QTest::newRow("first of equal newest") << QStringList{"x.txt", "y.txt", "z.txt"} << QList<int>{2, 9, 9} << "y.txt";
    QTest::newRow("help file newer than reports")
        << QStringList{"lock.txt", "readme.txt", "tarvolin"} << QList<int>{1, 8, 4} << "readme.txt";
    QTest::newRow("no ordinary files") << QStringList{} << QList<int>{} << "";
  }
  void newest() {
    QFETCH(QStringList, names);
    QFETCH(QList<int>, minutes);
    QFETCH(QString, expected);
    FileSystemDouble fs;
    fs.names = names;
    const QDateTime base(QDate(2026, 11, 27), QTime(16, 0));
    for (int i = 0; i < names.size(); ++i) fs.times[names[i]] = base.addSecs(60 * minutes[i]);
    const auto found = newestFile(fs.dir, fs);
    QVERIFY(!found.error);
    QCOMPARE(found.path, expected.isEmpty() ? QString() : fs.dir + "/" + expected);
    QCOMPARE(fs.timesAsked.size(), names.size());
  }

  void newestReportsTheFailingName() {
    FileSystemDouble fs;
    fs.names = {"a.txt", "locked.txt", "c.txt"};
    fs.times["a.txt"] = QDateTime(QDate(2026, 1, 1), QTime(0, 0));
    fs.times["c.txt"] = QDateTime(QDate(2026, 2, 1), QTime(0, 0));
    fs.unreadable = {"locked.txt"};
    const auto found = newestFile(fs.dir, fs);
    QCOMPARE(found.error.value_or(QString()), QStringLiteral("Permission denied locked.txt"));
    QVERIFY(found.path.isEmpty());
    QCOMPARE(fs.timesAsked.size(), 2);  // the command ends at the failure
  }

  void newestWhenTheListingFails() {
    FileSystemDouble fs;
    fs.listingFails = true;
    const auto found = newestFile(fs.dir, fs);
    QCOMPARE(found.error.value_or(QString()), QStringLiteral("Path not found "));
    QVERIFY(found.path.isEmpty());
  }

  void layout_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<int>("gridHeight");
    QTest::addColumn<int>("frameTop");
    // Starting from grid 10215 x 4215, frame at 5520.
    QTest::newRow("design-like") << 11025 << 7725 << 10395 << 5225 << 5685;
    QTest::newRow("narrower than 630: width kept") << 600 << 7725 << 10215 << 5225 << 5685;
    QTest::newRow("exactly 630") << 630 << 3000 << 0 << 500 << 960;
    QTest::newRow("lower than 2500: height kept, frame follows it") << 9000 << 2400 << 8370 << 4215 << 4675;
    QTest::newRow("both too small") << 100 << 100 << 10215 << 4215 << 4675;
  }
  void layout() {
    QFETCH(int, w);
    QFETCH(int, h);
    const MainLayout next = layoutRule(w, h, MainLayout{10215, 4215, 5520});
    QTEST(next.gridWidth, "gridWidth");
    QTEST(next.gridHeight, "gridHeight");
    QTEST(next.frameTop, "frameTop");
  }
};

QTEST_MAIN(FileRulesTest)
#include "file_rules_test.moc"
