#pragma once

#include <QString>

#include "platform/platform.h"

class QWidget;

namespace tarvolin::platform {

/// Opens the text file `path` in the desktop's text viewer without waiting for it.
/// An empty path shows "An error file has not been specified" and starts nothing;
/// a viewer that can't be started is reported in a message box naming the file.
void run_notepad(const QString& path, Platform& platform, QWidget* parent);

}  // namespace tarvolin::platform
