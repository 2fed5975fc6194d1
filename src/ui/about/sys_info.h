#pragma once

#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// "&System Info...": starts the first system information program found on the PATH
/// (a short list of known ones, best first), without arguments and without waiting for
/// it. When there is none or it can't be started, shows "System Information Is
/// Unavailable At This Time" over `parent`. Never throws.
void StartSysInfo(platform::Platform& platform, QWidget* parent);

}  // namespace tarvolin::ui
