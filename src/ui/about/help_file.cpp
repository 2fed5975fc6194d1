#include "ui/about/help_file.h"

#include "platform/text_viewer.h"

namespace tarvolin::ui {

void showHelp(platform::Platform& platform, QWidget* parent) {
  platform::run_notepad(platform.files.programDir() + QStringLiteral("/readme.txt"), platform, parent);
}

}  // namespace tarvolin::ui
