// Grabs the main window, with a report loaded, to a PNG for a look by eye; or, given the
// objectName of an Options command that opens a window (menlockwaits, ...), that window; or,
// for a check item (menderived), the main window after it. Settings it changes go to the test
// location of QStandardPaths, never the user's.
// Usage: main_window_shot REPORT OUT.png [COMMAND]   (runs offscreen unless QT_QPA_PLATFORM is set)

#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

#include "core/read/shared_state.h"
#include "platform/platform.h"
#include "ui/main/main_window.h"
#include "window_load.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  QSettings(QStringLiteral("Tarvolin"), QStringLiteral("Tarvolin")).clear();  // every check item starts off
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: main_window_shot REPORT OUT.png [COMMAND]\n");
    return 2;
  }
  tarvolin::core::SharedState shared;
  tarvolin::ui::MainWindow window(shared, tarvolin::platform::systemPlatform(), ".");
  window.show();
  window.openReport(QString::fromLocal8Bit(argv[1]));
  bench::waitForLoad(window);
  QWidget* shown = &window;
  if (argc == 4) {
    const QList<QWidget*> before = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    window.findChild<QAction*>(QString::fromLatin1(argv[3]))->trigger();
    bench::waitForLoad(window);  // a command that reloads
    for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->isWindow() && !before.contains(w)) shown = w;
    shown->resize(shown == &window ? 2400 : 1800, 480);  // wider than the offscreen screen, to see every column
    if (shown->objectName() == QLatin1String("frmsummary")) shown->resize(960, 1500);  // a page: all of it
    QCoreApplication::processEvents();
  }
  if (!shown->grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
