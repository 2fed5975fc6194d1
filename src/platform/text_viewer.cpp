#include "platform/text_viewer.h"

namespace tarvolin::platform {

void run_notepad(const QString& path, Platform& platform, QWidget* parent) {
  if (path.isEmpty()) {
    platform.dialogs.message(parent, kNoFileMessage);
    return;
  }
  if (const auto error = platform.launcher.openTextFile(path))
    platform.dialogs.message(parent, QStringLiteral("Could not open the file in a text viewer: ") + *error);
}

}  // namespace tarvolin::platform
