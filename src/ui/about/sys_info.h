#pragma once

#include <QString>

#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// Full path of the first system information program found on the PATH, or empty when
/// this desktop has none. Asks `launcher` once; the programs are tried best first.
QString findSysInfoProgram(platform::Launcher& launcher);

/// "&System Info...": starts the program findSysInfoProgram finds, without arguments
/// and without waiting for it. When there is none or it can't be started, shows
/// "System Information Is Unavailable At This Time" over `parent`. Never throws.
void StartSysInfo(platform::Platform& platform, QWidget* parent);

}  // namespace tarvolin::ui
