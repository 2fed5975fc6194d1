// Grabs the main window, with a report loaded, to a PNG for a look by eye.
// Usage: main_window_shot REPORT OUT.png   (runs offscreen unless QT_QPA_PLATFORM is set)

#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "core/shared_state.h"
#include "platform/platform.h"
#include "ui/main/main_window.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: main_window_shot REPORT OUT.png\n");
    return 2;
  }
  tarvolin::core::SharedState shared;
  tarvolin::ui::MainWindow window(shared, tarvolin::platform::systemPlatform(), ".");
  window.show();
  window.openReport(QString::fromLocal8Bit(argv[1]));
  QCoreApplication::processEvents();  // the view follows the load on the next turn
  if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
