#include "ui/about/help_file.h"

#include "platform/text_viewer.h"

namespace tarvolin::ui {

QString helpFilePath(platform::FileSystem& files) { return files.programDir() + QLatin1Char('/') + kHelpFileName; }

void showHelp(platform::Platform& platform, QWidget* parent) {
  platform::run_notepad(helpFilePath(platform.files), platform, parent);
}

}  // namespace tarvolin::ui
