#pragma once

#include <QIcon>

namespace tarvolin::ui {

/// The program's icon: a small report grid with a blue header row and one
/// highlighted row, painted for 16, 24, 32, 48, 64, 128 and 256 pixels.
/// Built once on first use (needs a QGuiApplication); the main window uses it as its
/// window icon and the about box shows its 32 by 32 picture.
const QIcon& programIcon();

}  // namespace tarvolin::ui
