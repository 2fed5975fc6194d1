// File > Export to Database...: the chooser, the export on its own thread, its progress and Stop.
#include <sqlite3.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "common/samples.h"
#include "core/read/shared_state.h"
#include "ui/main/database_export.h"
#include "ui/main/main_window.h"

using namespace tarvolin;
using test::child;
using test::sample;

namespace {

/// The number of rows of `table` in the database `db`, or -1 when it has no such table.
int rowsIn(const QString& db, const char* table) {
  sqlite3* h = nullptr;
  sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  int rows = -1;
  if (sqlite3_prepare_v2(h, (std::string("SELECT count(*) FROM ") + table).c_str(), -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW)
    rows = sqlite3_column_int(st, 0);
  sqlite3_finalize(st);
  sqlite3_close(h);
  return rows;
}

}  // namespace

class DatabaseExportTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);  // the main window's kept place: not the user's
    d.files.dir = QStringLiteral(TARVOLIN_BUILD_DIR "/src/app");
  }

  void theMainWindowOffersItInItsFileMenu() {
    core::SharedState shared;
    ui::MainWindow w(shared, d.platform, dir.path().toStdString());
    QAction* a = child<QAction>(w, "menexportdb");
    QCOMPARE(a->text(), QStringLiteral("Export to Database..."));
    QVERIFY(child<QMenu>(w, "menfile")->actions().contains(a));
  }

  void everyKindGoesToTheChosenDatabaseWithItsProgress() {
    choosers.addAnswer = dir.filePath(QStringLiteral("day.db"));
    ui::DatabaseExportDialog* dialog =
        ui::exportToDatabase(nullptr, d.platform, choosers, dir.path().toStdString(), sample("capture_loop.txt"));
    QVERIFY(dialog != nullptr);
    QCOMPARE(choosers.startPaths.last(), QStringLiteral(TARVOLIN_SAMPLES_DIR));
    QSignalSpy ended(dialog, &ui::DatabaseExportDialog::exportEnded);
    QVERIFY(ended.wait(20000));
    QCOMPARE(ended.at(0).at(0).toBool(), true);
    QCOMPARE(child<QLabel>(*dialog, "status")->text(),
             QStringLiteral("21 snapshot(s) added to day.db (Database Snapshot, Bufferpool Snapshot, Application "
                            "Snapshot, Tablespace Snapshot, Table Snapshot, Database Lock Snapshot, Dynamic SQL "
                            "Snapshot Result)."));
    QCOMPARE(child<QPushButton>(*dialog, "stop")->text(), QStringLiteral("Close"));
    QCOMPARE(rowsIn(choosers.addAnswer, "table_snapshot"), 12);
    QCOMPARE(rowsIn(choosers.addAnswer, "table_snapshot_intervals"), 8);
    QPointer<ui::DatabaseExportDialog> closing = dialog;
    child<QPushButton>(*dialog, "stop")->click();  // Close
    QTRY_VERIFY(closing.isNull());
  }

  void stopRollsTheReportBackAndCancelOrNoReportDoNothing() {
    const QString db = dir.filePath(QStringLiteral("stopped.db"));
    ui::DatabaseExportDialog dialog(QFile::encodeName(sample("capture_all.txt")).toStdString(),
                                    QFile::encodeName(db).toStdString(), dir.path().toStdString(), {});
    QSignalSpy ended(&dialog, &ui::DatabaseExportDialog::exportEnded);
    dialog.stop();
    dialog.start();
    QVERIFY(ended.wait(20000));
    QCOMPARE(ended.at(0).at(0).toBool(), false);
    QVERIFY(
        ended.at(0).at(1).toString().endsWith(QStringLiteral("capture_all.txt: stopped; nothing of it was added.")));
    QCOMPARE(rowsIn(db, "captures"), 0);
    QCOMPARE(rowsIn(db, "database_snapshot"), -1);

    choosers.addAnswer.clear();
    QCOMPARE(ui::exportToDatabase(nullptr, d.platform, choosers, ".", sample("capture_all.txt")), nullptr);
    QCOMPARE(ui::exportToDatabase(nullptr, d.platform, choosers, ".", QString()), nullptr);
    QCOMPARE(d.dialogs.messages.last(), QStringLiteral("Load a report first: its kinds are what is exported."));
  }

 private:
  test::PlatformDouble d;
  test::FileChoosersDouble choosers;
  QTemporaryDir dir;
};

QTEST_MAIN(DatabaseExportTest)
#include "database_export_test.moc"
