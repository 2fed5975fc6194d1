// tarvolin [REPORT]: the viewer. With a REPORT it opens with that report loaded, as
// though it had been chosen with Select File.
#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "core/shared_state.h"
#include "platform/platform.h"
#include "ui/about/program_icon.h"
#include "ui/main/form1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvolin"));
  QApplication::setWindowIcon(tarvolin::ui::programIcon());

  tarvolin::core::SharedState shared;
  tarvolin::ui::Form1 form(shared, tarvolin::platform::systemPlatform());
  form.show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const QString report = args.at(1);
    QTimer::singleShot(0, &form, [&form, report] { form.openReport(report); });
  }
  return QApplication::exec();
}
