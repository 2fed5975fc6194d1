#pragma once

#include <QString>

#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// Name of the help file beside the program.
inline const QString kHelpFileName = QStringLiteral("readme.txt");

/// The program's folder followed by "/readme.txt".
QString helpFilePath(platform::FileSystem& files);

/// "&Help" (`menh`): opens the help file in the text viewer through `run_notepad`,
/// which reports a viewer that can't be started. Returns at once.
void showHelp(platform::Platform& platform, QWidget* parent);

}  // namespace tarvolin::ui
