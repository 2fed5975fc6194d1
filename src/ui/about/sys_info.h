#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// Root key of the machine-wide registry hive, the only root the key-value store holds.
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
/// Value types the key-value rules know.
inline constexpr int kRegSz = 1;
inline constexpr int kRegDword = 4;
/// Largest value, in bytes, that a key-value read takes.
inline constexpr int kKeyValueBufferSize = 1024;

/// Where the system information tool is recorded.
inline const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kSysInfoValue = QStringLiteral("PATH");
inline const QString kSysInfoLocKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kSysInfoLocValue = QStringLiteral("MSINFO");
/// Appended to the folder found at the second place.
inline const QString kSysInfoProgram = QStringLiteral("\\MSINFO32.EXE");

inline const QString kSysInfoUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

/// The value rules of a key-value read. `data` is the value as stored (its length is the
/// returned length). Its text is `data` less its last byte when that byte is a NUL.
/// Type 1 (text): `value` becomes that text. Type 4 (32-bit number): `value` becomes the
/// stored unsigned little-endian number in decimal. Any other type leaves `value` as it is.
void applyKeyValue(const QByteArray& data, int type, QString& value);

/// The about box's system information routines over the platform's key-value store
/// and launcher. Failures are shown in message boxes parented to `parent`.
class SysInfo {
 public:
  SysInfo(platform::Platform& platform, QWidget* parent) : m_platform(platform), m_parent(parent) {}

  /// Finds and starts the system information tool: first from the program path recorded
  /// at kSysInfoKey (started without a file-existence test), else from the folder recorded
  /// at kSysInfoLocKey when that folder + "\MSINFO32.EXE" exists. When neither gives a
  /// program, or starting it fails, shows kSysInfoUnavailable. Never throws.
  void StartSysInfo();

  /// Reads `valueName` of `keyPath` under `keyRoot` into `value` by the rules of
  /// applyKeyValue. Returns false, with `value` emptied, when the root is not
  /// HKEY_LOCAL_MACHINE, the value can't be read or it is longer than kKeyValueBufferSize
  /// bytes. Shows no message.
  bool GetKeyValue(std::uint32_t keyRoot, const QString& keyPath, const QString& valueName, QString& value);

 private:
  /// Starts `program` detached; true on success.
  bool started(const QString& program);

  platform::Platform& m_platform;
  QWidget* m_parent;
};

}  // namespace tarvolin::ui
