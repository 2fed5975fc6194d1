#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "common/platform_doubles.h"
#include "ui/about/web_link.h"

using namespace tarvolin;
using tarvolin::test::PlatformDouble;

namespace {

/// The corner of a main window the link lives in: Frame1 holding a button and Label2,
/// and one control outside the frame.
struct LinkWindow {
  explicit LinkWindow(platform::Platform& platform) {
    window.resize(700, 160);
    outside = new QPushButton(QStringLiteral("Outside"), &window);
    outside->setGeometry(10, 5, 80, 25);
    frame = new QGroupBox(QStringLiteral("Select Snapshot File"), &window);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(8, 40, 689, 100);
    inFrame = new QPushButton(QStringLiteral("Most Recent"), frame);
    inFrame->setGeometry(344, 16, 73, 25);
    label = new QLabel(frame);
    label->setObjectName(QStringLiteral("Label2"));
    label->setGeometry(544, 48, 129, 17);
    controller = new ui::WebLinkController(*frame, *label, platform);
    window.show();
  }
  /// Puts the pointer on the window's own free area, away from the frame, so that every
  /// move of a test changes the pointer's position (moves that don't are dropped).
  void park() { QTest::mouseMove(&window, QPoint(650, 10)); }

  QWidget window;
  QPushButton* outside;
  QGroupBox* frame;
  QPushButton* inFrame;
  QLabel* label;
  ui::WebLinkController* controller;
};

}  // namespace

class WebLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void labelShowsTheAddressAsALink() {
    PlatformDouble d;
    LinkWindow w(d.platform);
    QCOMPARE(w.label->text(), ui::kWebAddress);
    QCOMPARE(w.label->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    QVERIFY(w.label->font().underline());
    QCOMPARE(w.label->font().pointSizeF(), 8.25);
    QVERIFY(w.label->autoFillBackground());
    QVERIFY(!w.controller->isHighlighted());
  }

  void highlightRule_data() {
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QList<bool>>("lit");
    QTest::newRow("over the label") << QStringList{"label"} << QList<bool>{true};
    QTest::newRow("free frame area first") << QStringList{"frame"} << QList<bool>{false};
    QTest::newRow("on to a control in the frame") << QStringList{"label", "inFrame"} << QList<bool>{true, true};
    QTest::newRow("on to a control outside") << QStringList{"label", "outside"} << QList<bool>{true, true};
    QTest::newRow("on to the window outside the frame") << QStringList{"label", "window"} << QList<bool>{true, true};
    QTest::newRow("out of the window") << QStringList{"label", "away"} << QList<bool>{true, true};
    QTest::newRow("free frame area clears")
        << QStringList{"label", "inFrame", "frame"} << QList<bool>{true, true, false};
    QTest::newRow("and lights up again") << QStringList{"label", "frame", "label"} << QList<bool>{true, false, true};
  }
  void highlightRule() {
    QFETCH(QStringList, path);
    QFETCH(QList<bool>, lit);
    PlatformDouble d;
    LinkWindow w(d.platform);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.park();
    QVERIFY(!w.controller->isHighlighted());
    const QColor buttonFace = w.frame->palette().color(QPalette::Button);
    for (qsizetype i = 0; i < path.size(); ++i) {
      const QString& to = path[i];
      if (to == QLatin1String("label")) QTest::mouseMove(w.label, w.label->rect().center());
      if (to == QLatin1String("inFrame")) QTest::mouseMove(w.inFrame, w.inFrame->rect().center());
      if (to == QLatin1String("outside")) QTest::mouseMove(w.outside, w.outside->rect().center());
      if (to == QLatin1String("frame")) QTest::mouseMove(w.frame, QPoint(200, 70));
      if (to == QLatin1String("window")) QTest::mouseMove(&w.window, QPoint(400, 20));
      if (to == QLatin1String("away")) QTest::mouseMove(&w.window, QPoint(-40, -40));
      QCOMPARE(w.controller->isHighlighted(), lit[i]);
      QCOMPARE(w.label->palette().color(QPalette::Window), lit[i] ? QColor(192, 255, 255) : buttonFace);
    }
  }

  void clickOpensTheAddress_data() {
    QTest::addColumn<bool>("browserFails");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("browser starts") << false << QStringList{};
    QTest::newRow("no browser") << true << QStringList{QStringLiteral("Note: could not start browser")};
  }
  void clickOpensTheAddress() {
    QFETCH(bool, browserFails);
    QFETCH(QStringList, messages);
    PlatformDouble d;
    d.launcher.browserMissing = browserFails;
    LinkWindow w(d.platform);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QTest::mouseClick(w.label, Qt::LeftButton, {}, w.label->rect().center());
    QCOMPARE(d.launcher.urls, QStringList{ui::kWebAddress});
    QCOMPARE(d.dialogs.messages, messages);
  }

  void screenshot() {
    PlatformDouble d;
    LinkWindow w(d.platform);
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.park();
    QTest::mouseMove(w.label, w.label->rect().center());
    const QImage shot = w.frame->grab().toImage();
    QCOMPARE(shot.pixelColor(w.label->geometry().topLeft() + QPoint(1, 1)), QColor(192, 255, 255));
    QVERIFY(shot.save(QStringLiteral(TARVOLIN_BUILD_DIR "/web_link_lit.png")));
  }
};

QTEST_MAIN(WebLinkTest)
#include "web_link_test.moc"
