#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "core/values/snapshot_time.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvolin::ui {

/// The settings of a comparison above its grid (`barcompare`): the order of the reports'
/// dates (`cmbdateorder`: as their form shows, or day, month or year first), and, when
/// `offerInterval`, the interval in seconds (`txtinterval`, labelled `lblinterval`),
/// filled in from `fileIntervalMicros` (the files' modification times, said so in the
/// label until the user types another). changed() after either is changed by the user.
class CompareSettingsBar final : public QWidget {
  Q_OBJECT

 public:
  CompareSettingsBar(bool offerInterval, std::optional<int64_t> fileIntervalMicros, QWidget* parent = nullptr);

  /// The order chosen; nothing for "as the reports show".
  [[nodiscard]] std::optional<core::DateOrder> dateOrder() const;
  /// The interval typed (seconds above 0, up to 6 decimals), or nothing.
  [[nodiscard]] std::optional<int64_t> intervalMicros() const;

 signals:
  void changed();

 private:
  QComboBox* m_order = nullptr;
  QLabel* m_intervalLabel = nullptr;
  QLineEdit* m_interval = nullptr;
};

}  // namespace tarvolin::ui
