#include <QtTest>

#include "common/platform_doubles.h"
#include "ui/main/file_rules.h"

using namespace tarvolin::ui;

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
    QTest::newRow("same path, other case") << "D:\\A.TXT"
                                           << "d:\\a.txt" << false;
    QTest::newRow("case ignored in the order") << "d:\\c.txt"
                                               << "D:\\B.txt" << true;
  }
  void listRule() {
    QFETCH(QString, box);
    QFETCH(QString, path);
    QTEST(appendsToList(box, path), "appends");
  }

  void newest_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("minutes");  // modification minute of each name; -1 unreadable
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("timesRead");
    QTest::newRow("newest wins") << QStringList{"a", "b", "c"} << QList<int>{1, 5, 3} << "b"
                                 << "" << 3;
    QTest::newRow("first of equal newest") << QStringList{"x", "y", "z"} << QList<int>{2, 9, 9} << "y"
                                           << "" << 3;
    QTest::newRow("no ordinary files") << QStringList{} << QList<int>{} << ""
                                       << "" << 0;
    QTest::newRow("unreadable time ends the scan") << QStringList{"a", "locked", "c"} << QList<int>{1, -1, 3} << ""
                                                   << "Permission denied locked" << 2;
  }
  void newest() {
    QFETCH(QStringList, names);
    QFETCH(QList<int>, minutes);
    QFETCH(QString, path);
    tarvolin::test::FileSystemDouble fs;
    fs.names = names;
    for (int i = 0; i < names.size(); ++i)
      minutes[i] < 0 ? void(fs.unreadable.insert(names[i]))
                     : void(fs.times.insert(names[i], QDateTime(QDate(2026, 11, 27), QTime(16, minutes[i]))));
    const NewestFile found = newestFile(fs.dir, fs);
    QCOMPARE(found.path, path.isEmpty() ? QString() : fs.dir + "/" + path);
    QTEST(found.error.value_or(QString()), "error");
    QTEST(int(fs.timesAsked.size()), "timesRead");
  }

  void layout_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QList<int>>("grid");  // width, height, frame top; from 10215 x 4215, frame at 5520
    QTest::newRow("design-like") << 11025 << 7725 << QList<int>{10395, 5225, 5685};
    QTest::newRow("exactly 630 x 2500") << 630 << 2500 << QList<int>{0, 0, 460};
    QTest::newRow("too small: sizes kept, frame follows") << 629 << 2499 << QList<int>{10215, 4215, 4675};
  }
  void layout() {
    QFETCH(int, w);
    QFETCH(int, h);
    const MainLayout next = layoutRule(w, h, MainLayout{10215, 4215, 5520});
    QTEST((QList<int>{next.gridWidth, next.gridHeight, next.frameTop}), "grid");
  }
};

QTEST_MAIN(FileRulesTest)
#include "file_rules_test.moc"
