// Build step: writes the program's icon as PNG files of the sizes a desktop's icon theme
// wants, painted by the same code as the icon of the program's windows.
// Usage: make_icons OUTPUT_DIR SIZE...   (writes OUTPUT_DIR/tarvolin-SIZE.png)
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "ui/about/program_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: make_icons OUTPUT_DIR SIZE...\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[1]));
  for (int i = 2; i < argc; ++i) {
    const int size = QByteArray(argv[i]).toInt();
    const QString file = out.filePath(QStringLiteral("tarvolin-%1.png").arg(size));
    if (size <= 0 || !tarvolin::ui::programIcon().pixmap(size, size).save(file, "PNG")) {
      std::fprintf(stderr, "make_icons: can't write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
