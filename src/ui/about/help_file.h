#pragma once

#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// The user guide "readme.txt": beside the program (a build tree, a copy run from its
/// folder), else where an installation puts it, PREFIX/share/doc/tarvolin for a program
/// in PREFIX/bin. When neither exists, the path beside the program. Two file tests.
[[nodiscard]] QString userGuidePath(platform::FileSystem& files);

/// "&Help" (`menh`): opens the user guide (userGuidePath) in the text viewer through
/// `run_notepad`, which reports a viewer that can't be started. Returns at once.
void showHelp(platform::Platform& platform, QWidget* parent);

}  // namespace tarvolin::ui
