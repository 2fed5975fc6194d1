// tarvolin [REPORT]: the viewer. With a REPORT it opens with that report loaded, as
// though it had been chosen with Select File.
#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "core/shared_state.h"
#include "platform/platform.h"
#include "ui/about/program_icon.h"
#include "ui/main/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvolin"));
  QApplication::setWindowIcon(tarvolin::ui::programIcon());

  tarvolin::core::SharedState shared;
  tarvolin::ui::MainWindow window(shared, tarvolin::platform::systemPlatform());
  window.show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const QString report = args.at(1);
    QTimer::singleShot(0, &window, [&window, report] { window.openReport(report); });
  }
  return QApplication::exec();
}
