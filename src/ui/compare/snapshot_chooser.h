#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;

namespace tarvolin::ui {

/// "Compare Snapshots" (`frmsnapshots`): which snapshot of each report to compare, offered
/// by number and "Snapshot timestamp" in `cmbearlier` and `cmblater`; at first the earlier
/// report's first snapshot and the later report's last.
class SnapshotChooser final : public QDialog {
  Q_OBJECT

 public:
  /// `earlierTimes`, `laterTimes`: each report's snapshot times (listSnapshots), not empty.
  SnapshotChooser(const std::vector<std::string>& earlierTimes, const std::vector<std::string>& laterTimes,
                  QWidget* parent = nullptr);

  /// The chosen snapshots, counted from 0.
  [[nodiscard]] int earlierIndex() const;
  [[nodiscard]] int laterIndex() const;

 private:
  QComboBox* m_earlier = nullptr;
  QComboBox* m_later = nullptr;
};

}  // namespace tarvolin::ui
