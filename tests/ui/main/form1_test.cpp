#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "common/find_child.h"
#include "common/platform_doubles.h"
#include "core/shared_state.h"
#include "platform/text_viewer.h"
#include "platform/twips.h"
#include "ui/main/form1.h"

using tarvolin::core::SharedState;
using tarvolin::test::child;
using tarvolin::test::PlatformDouble;
using tarvolin::ui::Form1;

namespace {

/// Writes a lock snapshot of `apps` applications with `locks` locks each:
/// 2 + apps * (3 + locks * 4) lines after the heading block.
QString writeLockSnapshot(const QString& path, int apps, int locks) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  QByteArray out = "\n            Database Lock Snapshot\n\nDatabase name                 = ORDERS\n\n";
  for (int a = 0; a < apps; ++a) {
    out += "Application handle            = " + QByteArray::number(100 + a) + "\n";
    out += "Application name              = app" + QByteArray::number(a) + "\n";
    out += "Locks held                    = " + QByteArray::number(locks) + "\n";
    for (int l = 0; l < locks; ++l) {
      out += " Lock Object Name            = " + QByteArray::number(a * 1000 + l) + "\n";
      out += " Object Type                 = Row\n";
      out += " Table Name                  = T" + QByteArray::number(l % 7) + "\n";
      out += " Mode                        = X\n";
    }
  }
  f.write(out);
  return path;
}

QStringList boxList(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QString m_small;  ///< 3 applications of 2 locks: 9 rows
  QString m_big;    ///< 4,000 applications of 4 locks: 20,000 rows

  QString file(const QString& name) const { return m_dir.filePath(name); }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    // Configuration files are looked for in the working directory: use an empty one.
    QVERIFY(QDir::setCurrent(m_dir.path()));
    m_small = writeLockSnapshot(file("small.txt"), 3, 2);
    m_big = writeLockSnapshot(file("big.txt"), 4000, 4);
  }

  void controlsAndMenusAreInPlace() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Tarvolin - View DB2 Snapshot"));
    const struct {
      const char* name;
      const char* caption;
      const char* tip;
      int left;
    } buttons[] = {
        {"Command2", "Select File", "Sekect the Snapshot file to be displayed", 3840},
        {"comrec", "Most Recent", "Use the most recent snapshot file", 5160},
        {"comref", "Reload", "Reload the file", 6480},
        {"comview", "View File", "View the snapshot file using Notepad", 7800},
        {"comstop", "Stop", "Stop loading the file", 9120},
    };
    auto* frame = child<QGroupBox>(form, "Frame1");
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("Select Snapshot File"));
    for (const auto& b : buttons) {
      auto* button = child<QPushButton>(form, b.name);
      QVERIFY2(button, b.name);
      QCOMPARE(button->text(), QString::fromUtf8(b.caption));
      QCOMPARE(button->toolTip(), QString::fromUtf8(b.tip));
      QCOMPARE(button->parentWidget(), frame);
      QCOMPARE(button->x(), tarvolin::platform::twipsToPixels(b.left, tarvolin::platform::screenDpi(&form).x));
    }
    QVERIFY(!child<QPushButton>(form, "comstop")->isEnabled());
    for (const char* name : {"cmbfile", "Label1", "Label2"})
      QCOMPARE(child<QWidget>(form, name)->parentWidget(), frame);
    auto* lbltype = child<QLabel>(form, "lbltype");
    QVERIFY(lbltype->font().bold());
    QCOMPARE(lbltype->font().pointSize(), 12);
    QVERIFY(child<QLabel>(form, "lbltime"));
    QVERIFY(child<QStatusBar>(form, "statmsg"));
    auto* label2 = child<QLabel>(form, "Label2");
    QVERIFY(label2->font().underline());
    QCOMPARE(label2->palette().color(QPalette::WindowText), QColor(0, 0, 192));

    // Menu bar, in order.
    QStringList bar;
    for (QAction* a : form.menuBar()->actions()) bar << a->objectName() + "=" + a->text();
    QCOMPARE(bar, QStringList({"menclose=&Close", "menedit=&Edit", "mencfg=Customi&ze", "menprint=&Print Screen",
                               "menop=&Options", "menhelp=&Help"}));
    QCOMPARE(child<QAction>(form, "mencopy")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(child<QMenu>(form, "menhelp")->actions().size(), 2);
    QVERIFY(child<QAction>(form, "menlock")->isCheckable());

    // The pop-up menu: every item and separator, in order, not in the menu bar.
    auto* popup = child<QMenu>(form, "mensortt");
    QVERIFY(popup);
    QCOMPARE(popup, form.popupMenu());
    QCOMPARE(popup->title(), QStringLiteral("sort"));
    QVERIFY(!form.menuBar()->actions().contains(popup->menuAction()));
    QStringList items;
    for (QAction* a : popup->actions()) items << a->objectName() + "=" + (a->isSeparator() ? "-" : a->text());
    QCOMPARE(items,
             QStringList({"mensort=Sort Ascending", "mensort=Sort Descending", "xw=-", "mendetail=Show Row Detail",
                          "menshowcell=Show Cell Value", "mencopycell=Copy Cell Value", "mencolwider=Make Column Wider",
                          "xx=-", "menexcl=Exclude lines like this", "menexclnone=Show all lines", "x=-",
                          "menlike=Reload with only lines like this", "menlike2=As above but prompt for value"}));
    QCOMPARE(popup->actions().at(1)->property("index").toInt(), 1);
  }

  void focusOrder() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    QStringList order;
    QWidget* w = child<QWidget>(form, "grd");
    for (int i = 0; i < 7; ++i) {
      order << w->objectName();
      w = w->nextInFocusChain();
      while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty() ||
             w->objectName() == QLatin1String("qt_scrollarea_viewport"))
        w = w->nextInFocusChain();
    }
    QCOMPARE(order, QStringList({"grd", "Command2", "cmbfile", "comrec", "comref", "comview", "comstop"}));
  }

  void ctrlCOnTheGridReachesCopyCells() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy copy(child<QAction>(form, "mencopy"), &QAction::triggered);
    form.grd()->setFocus();
    QTest::keyClick(form.grd(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copy.count(), 1);
  }

  void loadsTheLockSample() {
    const QString sample = QStringLiteral(TARVOLIN_SAMPLES_DIR "/lock_snapshot.txt");
    if (!QFile::exists(sample)) QSKIP("samples/lock_snapshot.txt is missing");
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    QAbstractItemModelTester tester(form.grd()->gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    form.show();
    QVERIFY(form.openReport(sample));
    QVERIFY(p.dialogs.messages.isEmpty());
    QCOMPARE(child<QLabel>(form, "lbltype")->text(), QStringLiteral("Database Lock Snapshot"));
    const auto& c = form.loader().counters();
    QVERIFY(c.nout > 0);
    QCOMPARE(form.statusText(),
             QStringLiteral("Finished. Records read: %1 Records outputted %2").arg(c.nread).arg(c.nout));
    QCOMPARE(form.grid().rows(), c.nout + 1);
    QTRY_COMPARE(form.grd()->gridModel()->rowCount(), c.nout);
    QCOMPARE(form.grd()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Application handle"));
    QCOMPARE(form.grd()->horizontalHeader()->height(), form.grd()->px(1200));
    const QDateTime modified = QFileInfo(sample).lastModified();
    QCOMPARE(child<QLabel>(form, "lbltime")->text(), QLocale::system().toString(modified, QLocale::ShortFormat));
    QVERIFY(!child<QPushButton>(form, "comstop")->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(form.fileBox()->currentText(), sample);
    QVERIFY(form.grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/form1_lock_snapshot.png")));
    // The first column kept in place while the grid scrolls right, with a selection.
    form.grid().setFixedCols(1);
    form.grid().setSelection(2, 2, 4, 3);
    QTRY_VERIFY(form.grd()->frozenView() != nullptr);
    QTRY_VERIFY(form.grd()->selectionModel()->isSelected(form.grd()->model()->index(2, 3)));
    form.grd()->horizontalScrollBar()->setValue(form.grd()->columnWidth(0) * 2);
    QVERIFY(form.grab().save(QStringLiteral(TARVOLIN_BUILD_DIR "/form1_fixed_column.png")));
  }

  void selectFile() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    auto* select = child<QPushButton>(form, "Command2");
    p.dialogs.fileAnswer = m_small;
    select->click();
    QCOMPARE(p.dialogs.filters, QStringList{"Text (*.txt)|*.txt| All (*.*)|*.*"});
    QCOMPARE(form.fileBox()->currentText(), m_small);
    QCOMPARE(form.fileBox()->count(), 0);  // the first choice does not join the list
    QCOMPARE(form.loader().counters().nout, 9);
    // Cancel: nothing changes; the dialog starts from the last path.
    p.dialogs.fileAnswer.clear();
    select->click();
    QCOMPARE(p.dialogs.startPaths.last(), m_small);
    QCOMPARE(form.fileBox()->currentText(), m_small);
    // A failing dialog ends the command silently.
    p.dialogs.fileDialogFails = true;
    select->click();
    QVERIFY(p.dialogs.messages.isEmpty());
    QCOMPARE(form.fileBox()->currentText(), m_small);
  }

  void fileBoxListCases() {
    const QString a = writeLockSnapshot(file("a.txt"), 1, 1);
    const QString b = writeLockSnapshot(file("b.txt"), 2, 1);
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    QComboBox* box = form.fileBox();
    form.addPath(b);
    QCOMPARE(boxList(box), QStringList{});
    form.addPath(a);  // b in the box sorts after a
    QCOMPARE(boxList(box), QStringList{a});
    form.addPath(a);  // the path already in the box: reloaded, not appended
    QCOMPARE(boxList(box), QStringList{a});
    form.addPath(b);  // a sorts before b
    QCOMPARE(boxList(box), QStringList{a});
    form.addPath(a);  // appended a second time
    QCOMPARE(boxList(box), QStringList({a, a}));
    QCOMPARE(box->currentText(), a);
    // Picking from the list loads the picked path.
    box->setEditText(b);
    form.do_refresh();
    QCOMPARE(form.loader().counters().nout, 4);
    box->setCurrentIndex(0);
    emit box->activated(0);
    QCOMPARE(form.loader().counters().nout, 2);
    QVERIFY(p.dialogs.messages.isEmpty());
  }

  void typedPathLoadsOnlyWithReload() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.show();
    QComboBox* box = form.fileBox();
    box->setFocus();
    QTest::keyClicks(box, m_small);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->currentText(), m_small);
    QCOMPARE(form.loader().counters().nread, 0);
    QCOMPARE(box->count(), 0);
    child<QPushButton>(form, "comref")->click();
    QCOMPARE(form.loader().counters().nout, 9);
    child<QPushButton>(form, "comview")->click();
    QCOMPARE(p.launcher.openedFiles, QStringList{m_small});
  }

  void viewFile() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    auto* view = child<QPushButton>(form, "comview");
    view->click();
    QCOMPARE(p.dialogs.messages, QStringList{tarvolin::platform::kNoFileMessage});
    QVERIFY(p.launcher.openedFiles.isEmpty());
    // A path far longer than a 255-character command line reaches the viewer whole.
    const QString longPath = "/reports/" + QString(300, QLatin1Char('x')) + ".txt";
    form.fileBox()->setEditText(longPath);
    view->click();
    QCOMPARE(p.launcher.openedFiles, QStringList{longPath});
    // No viewer: said clearly.
    p.launcher.viewerMissing = true;
    view->click();
    QCOMPARE(p.dialogs.messages.size(), 2);
    QVERIFY(p.dialogs.messages.last().contains(longPath));
  }

  void mostRecent() {
    SharedState shared;
    PlatformDouble p;
    p.files.dir = m_dir.path();
    p.files.names = {"small.txt", "big.txt", "a.txt"};
    const QDateTime t(QDate(2026, 11, 27), QTime(16, 42));
    p.files.times = {{"small.txt", t}, {"big.txt", t.addSecs(-60)}, {"a.txt", t}};
    Form1 form(shared, p.platform);
    auto* recent = child<QPushButton>(form, "comrec");
    recent->click();
    QCOMPARE(form.fileBox()->currentText(), m_dir.path() + "/small.txt");
    QCOMPARE(form.loader().counters().nout, 9);
    // An unreadable time: the message names the file, nothing is loaded.
    p.files.unreadable = {"big.txt"};
    form.fileBox()->setEditText(QString());
    recent->click();
    QCOMPARE(p.dialogs.messages, QStringList{"Permission denied big.txt"});
    QCOMPARE(form.fileBox()->currentText(), QString());
    // No ordinary files: nothing happens, nothing is said.
    p.files.names.clear();
    recent->click();
    QCOMPARE(p.dialogs.messages.size(), 1);
    QCOMPARE(form.fileBox()->currentText(), QString());
  }

  void layoutFollowsResizes() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const double dpi = tarvolin::platform::screenDpi(&form).x;
    auto twips = [dpi](int px) { return tarvolin::platform::pixelsToTwips(px, dpi); };
    auto* grd = child<QWidget>(form, "grd");
    auto* frame = child<QWidget>(form, "Frame1");
    form.resize(900, 600);
    QTRY_COMPARE(form.size(), QSize(900, 600));
    QSize outer = form.frameGeometry().size();  // frame, title and menu bar included
    QVERIFY(qAbs(twips(grd->width()) - (twips(outer.width()) - 630)) <= 15);
    QVERIFY(qAbs(twips(grd->height()) - (twips(outer.height()) - 2500)) <= 15);
    QVERIFY(qAbs(twips(frame->y()) - (360 + twips(grd->height()) + 100)) <= 15);
    QCOMPARE(grd->pos(),
             QPoint(tarvolin::platform::twipsToPixels(240, dpi), tarvolin::platform::twipsToPixels(360, dpi)));
    // Narrower than 630 twips: the grid keeps its width, height and frame still follow.
    const int width = grd->width();
    form.setMinimumSize(1, 1);
    form.resize(30, 500);
    QTRY_COMPARE(form.height(), 500);
    outer = form.frameGeometry().size();
    QVERIFY(twips(outer.width()) < 630);
    QCOMPARE(grd->width(), width);
    QVERIFY(qAbs(twips(grd->height()) - (twips(outer.height()) - 2500)) <= 15);
    QVERIFY(qAbs(twips(frame->y()) - (360 + twips(grd->height()) + 100)) <= 15);
  }

  void stopEndsALoadInTheMiddle() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    QAbstractItemModelTester tester(form.grd()->gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    form.setYieldInterval(std::chrono::microseconds(0));
    auto* stop = child<QPushButton>(form, "comstop");
    bool enabledDuringLoad = false;
    bool waitCursor = false;
    QString progress;
    // Runs at the load's first yield to events.
    QTimer::singleShot(0, &form, [&] {
      enabledDuringLoad = stop->isEnabled();
      waitCursor =
          QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      progress = form.statusText();
      stop->click();
    });
    form.fileBox()->setEditText(m_big);
    QVERIFY(form.do_refresh());
    QVERIFY(enabledDuringLoad);
    QVERIFY(waitCursor);
    QVERIFY2(progress.startsWith(QStringLiteral("Records read: ")), qPrintable(progress));
    const auto& c = form.loader().counters();
    QVERIFY2(c.nread > 0 && c.nread < 1000, qPrintable(QString::number(c.nread)));
    QVERIFY(c.nout > 0);
    QCOMPARE(form.grid().rows(), c.nout + 1);
    QCOMPARE(form.statusText(),
             QStringLiteral("Finished. Records read: %1 Records outputted %2").arg(c.nread).arg(c.nout));
    QVERIFY(!stop->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void noSecondLoadWhileOneRuns() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.setYieldInterval(std::chrono::microseconds(0));
    p.dialogs.fileAnswer = m_small;
    QStringList disabled;
    bool refused = false;
    QTimer::singleShot(0, &form, [&] {
      for (const char* name : {"Command2", "comrec", "comref", "cmbfile"})
        if (!child<QWidget>(form, name)->isEnabled()) disabled << name;
      for (const char* name : {"mencfg", "menlike", "menlike2", "menexcl", "menexclnone"})
        if (!child<QAction>(form, name)->isEnabled()) disabled << name;
      for (QAction* sort : form.findChildren<QAction*>(QStringLiteral("mensort")))
        if (!sort->isEnabled()) disabled << "mensort";
      refused = !form.do_refresh() && !form.addPath(m_small) && !form.openReport(m_small);
      QCOMPARE(form.statusText(), tarvolin::ui::kBusyMessage);
      child<QPushButton>(form, "Command2")->click();  // disabled: no dialog
      QVERIFY(child<QPushButton>(form, "comview")->isEnabled());
      child<QPushButton>(form, "comstop")->click();
    });
    form.fileBox()->setEditText(m_big);
    QVERIFY(form.do_refresh());
    QVERIFY(refused);
    QCOMPARE(disabled, QStringList({"Command2", "comrec", "comref", "cmbfile", "mencfg", "menlike", "menlike2",
                                    "menexcl", "menexclnone", "mensort", "mensort"}));
    QVERIFY(p.dialogs.filters.isEmpty());
    QCOMPARE(form.fileBox()->currentText(), m_big);
    QVERIFY(form.loader().counters().nread < 1000);
    QVERIFY(child<QWidget>(form, "Command2")->isEnabled());
    QVERIFY(child<QAction>(form, "mencfg")->isEnabled());
  }

  void closingDuringALoadEndsCleanly() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.setYieldInterval(std::chrono::microseconds(0));
    form.show();
    bool stillShown = false;
    QTimer::singleShot(0, &form, [&] {
      form.close();
      stillShown = form.isVisible();
    });
    form.fileBox()->setEditText(m_big);
    form.do_refresh();
    QVERIFY(stillShown);  // kept open until the load had finished
    QVERIFY(!form.isVisible());
    QVERIFY(form.loader().counters().nread < 1000);
    QVERIFY(!form.loading());
  }

  void aLoadErrorIsShownAndTheLoadFinishes() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.fileBox()->setEditText(file("missing.txt"));
    form.do_refresh();
    QCOMPARE(p.dialogs.messages.size(), 1);
    QCOMPARE(form.statusText(), QStringLiteral("Finished. Records read: 0 Records outputted 0"));
    QVERIFY(child<QLabel>(form, "lbltime")->text().isEmpty());
  }

  void aDroppedReportLoads() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    form.show();
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(m_small)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    QTRY_COMPARE(form.loader().counters().nout, 9);
    QCOMPARE(form.fileBox()->currentText(), m_small);
    delete mime;
  }

  void aRelativeReportIsMadeAbsolute() {
    SharedState shared;
    PlatformDouble p;
    Form1 form(shared, p.platform);
    QVERIFY(form.openReport(QStringLiteral("small.txt")));  // the working directory is the temp folder
    QCOMPARE(form.fileBox()->currentText(), m_small);
    QCOMPARE(form.loader().counters().nout, 9);
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
