#include "platform/text_viewer.h"

namespace tarvolin::platform {

namespace {

/// Message shown when View File or Help is asked to open no file.
const QString kNoFileMessage = QStringLiteral("An error file has not been specified");

}  // namespace

void run_notepad(const QString& path, Platform& platform, QWidget* parent) {
  if (path.isEmpty()) {
    platform.dialogs.message(parent, kNoFileMessage);
    return;
  }
  if (const auto error = platform.launcher.openTextFile(path))
    platform.dialogs.message(parent, QStringLiteral("Could not open the file in a text viewer: ") + *error);
}

}  // namespace tarvolin::platform
