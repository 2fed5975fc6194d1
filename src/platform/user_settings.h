#pragma once

#include <QSettings>

namespace tarvolin::platform {

/// The user's own settings of the program (window places, remembered choices), kept
/// between runs in the user's configuration folder. Cheap to make; make one per use.
inline QSettings userSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarvolin"), QStringLiteral("tarvolin"));
}

}  // namespace tarvolin::platform
