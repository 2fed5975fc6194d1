#include "ui/about/sys_info.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace tarvolin::ui {

void applyKeyValue(const QByteArray& data, int type, QString& value) {
  QByteArray text = data;
  if (!text.isEmpty() && text.back() == '\0') text.chop(1);
  if (type == kRegSz) {
    value = QString::fromLocal8Bit(text);
  } else if (type == kRegDword) {
    std::uint32_t number = 0;
    for (qsizetype i = std::min<qsizetype>(data.size(), 4) - 1; i >= 0; --i)
      number = (number << 8) | static_cast<unsigned char>(data[i]);
    value = QString::number(number);
  }
}

bool SysInfo::started(const QString& program) { return !m_platform.launcher.startDetached(program, {}).has_value(); }

bool SysInfo::GetKeyValue(std::uint32_t keyRoot, const QString& keyPath, const QString& valueName, QString& value) {
  std::optional<platform::KeyValueStore::Value> stored;
  if (keyRoot == HKEY_LOCAL_MACHINE) stored = m_platform.keys.query(keyPath, valueName);
  if (!stored || stored->bytes.size() > kKeyValueBufferSize) {
    value.clear();
    return false;
  }
  applyKeyValue(stored->bytes, stored->type, value);
  return true;
}

void SysInfo::StartSysInfo() {
  try {
    QString sysInfoPath;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoKey, kSysInfoValue, sysInfoPath)) {
      if (started(sysInfoPath)) return;
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoLocKey, kSysInfoLocValue, sysInfoPath)) {
      const QString program = sysInfoPath + kSysInfoProgram;
      if (m_platform.launcher.fileExists(program) && started(program)) return;
    }
  } catch (const std::exception&) {
    // Reported below like every other way of not finding the tool.
  }
  m_platform.dialogs.message(m_parent, kSysInfoUnavailable);
}

}  // namespace tarvolin::ui
