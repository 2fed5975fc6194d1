#pragma once

#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// "&Help" (`menh`): opens "readme.txt" in the program's folder in the text viewer
/// through `run_notepad`, which reports a viewer that can't be started. Returns at once.
void showHelp(platform::Platform& platform, QWidget* parent);

}  // namespace tarvolin::ui
