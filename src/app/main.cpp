// tarvolin [REPORT]: the viewer. With a REPORT it opens with that report loaded, as
// though it had been chosen with Select File. --help and --version answer on standard
// output without opening a window; a usage error exits with 2, also without a window.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "core/read/shared_state.h"
#include "core/version.h"
#include "platform/platform.h"
#include "ui/about/program_icon.h"
#include "ui/main/main_window.h"

namespace {

/// The report named on the command line (empty for none), or the exit code when the
/// program must end before opening a window.
struct Arguments {
  QString report;
  std::optional<int> exitCode;
};

Arguments parseArguments(int argc, char** argv) {
  // Parsing needs no display: a plain core application serves it, and goes before the
  // windows' application is made.
  const QCoreApplication probe(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tarvolin"));
  QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                              .arg(tarvolin::kVersionMajor)
                                              .arg(tarvolin::kVersionMinor)
                                              .arg(tarvolin::kVersionPatch));
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("View the text reports of the DB2 command line processor as a grid."));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version and exit."));
  parser.addOption(help);
  parser.addOption(version);
  // The window system's own options (-platform offscreen, -style fusion, -reverse, ...) are
  // known too, unlisted: the windows' application takes them.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const auto addQtOption = [&parser](const char* name, bool takesValue) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), takesValue ? QStringLiteral("value") : QString());
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  };
  for (const char* name :
       {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "session", "display", "geometry", "name", "title", "visual", "style", "stylesheet", "im"})
    addQtOption(name, true);
  for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) addQtOption(name, false);
  parser.addPositionalArgument(QStringLiteral("REPORT"), QStringLiteral("The report to open (optional)."),
                               QStringLiteral("[REPORT]"));

  Arguments result;
  QString error;
  if (!parser.parse(QCoreApplication::arguments()))
    error = parser.errorText();
  else if (parser.positionalArguments().size() > 1)
    error = QStringLiteral("Only one REPORT can be given.");
  if (!error.isEmpty()) {
    std::fprintf(stderr, "tarvolin: %s\nTry 'tarvolin --help' for more information.\n", qPrintable(error));
    result.exitCode = 2;
  } else if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    result.exitCode = 0;
  } else if (parser.isSet(version)) {
    std::printf("tarvolin %s\n", qPrintable(QCoreApplication::applicationVersion()));
    result.exitCode = 0;
  } else if (!parser.positionalArguments().isEmpty()) {
    result.report = parser.positionalArguments().constFirst();
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const Arguments args = parseArguments(argc, argv);
  if (args.exitCode) return *args.exitCode;

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvolin"));
  QApplication::setWindowIcon(tarvolin::ui::programIcon());

  tarvolin::core::SharedState shared;
  tarvolin::ui::MainWindow window(shared, tarvolin::platform::systemPlatform(), ".");  // the current folder
  window.show();
  if (!args.report.isEmpty())
    QTimer::singleShot(0, &window, [&window, report = args.report] { window.openReport(report); });
  return QApplication::exec();
}
