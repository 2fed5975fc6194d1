#include "ui/about/help_file.h"

#include <QDir>
#include <QFileInfo>

#include "platform/text_viewer.h"

namespace tarvolin::ui {

QString userGuidePath(platform::FileSystem& files) {
  const QDir programDir(files.programDir());
  const QString beside = programDir.filePath(QStringLiteral("readme.txt"));
  const QString installed = QDir::cleanPath(programDir.filePath(QStringLiteral("../share/doc/tarvolin/readme.txt")));
  return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

void showHelp(platform::Platform& platform, QWidget* parent) {
  platform::run_notepad(userGuidePath(platform.files), platform, parent);
}

}  // namespace tarvolin::ui
