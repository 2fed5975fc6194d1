#include "ui/about/sys_info.h"

#include <QStringList>
#include <exception>

namespace tarvolin::ui {

namespace {

/// Full path of the first system information program on the PATH, or empty.
QString findSysInfoProgram(platform::Launcher& launcher) {
  // Whole-system profilers first (hardware, drivers, software: what such a tool is for),
  // then the system pages of the KDE, Xfce and GNOME desktops.
  static const QStringList kPrograms = {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                                        QStringLiteral("kinfocenter"), QStringLiteral("xfce4-about"),
                                        QStringLiteral("gnome-system-monitor")};
  return launcher.findProgram(kPrograms);
}

}  // namespace

void StartSysInfo(platform::Platform& platform, QWidget* parent) {
  try {
    const QString program = findSysInfoProgram(platform.launcher);
    if (!program.isEmpty() && !platform.launcher.startDetached(program, {}).has_value()) return;
  } catch (const std::exception&) {
    // Reported below like every other way of not finding the program.
  }
  platform.dialogs.message(parent, QStringLiteral("System Information Is Unavailable At This Time"));
}

}  // namespace tarvolin::ui
