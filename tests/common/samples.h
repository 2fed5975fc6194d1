#pragma once

#include <QLatin1String>
#include <QString>

namespace tarvolin::test {

/// The path of the bundled sample report `name` (in samples/ of the source tree).
inline QString sample(const char* name) { return QStringLiteral(TARVOLIN_SAMPLES_DIR "/") + QLatin1String(name); }

}  // namespace tarvolin::test
