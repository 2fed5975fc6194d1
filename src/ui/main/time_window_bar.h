#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "core/series/snapshot_window.h"

class QComboBox;

namespace tarvolin::ui {

class SnapshotLabels;

/// The main window's From/To pair (`cmbfrom`, `cmbto`): a window of time over the snapshots
/// of the kind on show, listed by their times (by "#N" where a snapshot has none). Hidden for
/// a kind of fewer than two snapshots. The pair starts open, first to last, which is no
/// window at all; From never goes past To (choosing one moves the other along).
class TimeWindowBar : public QWidget {
  Q_OBJECT

 public:
  explicit TimeWindowBar(QWidget* parent);

  /// Lists `times`, one per snapshot in file order (empty where one has none). The same
  /// snapshots listed again, or more after them (a capture that grew), keep the pair where it
  /// was, an end on the last snapshot moving to the new last; other times open it again.
  void showTimes(std::vector<std::string> times);
  /// The snapshots listed.
  [[nodiscard]] int count() const { return static_cast<int>(m_times.size()); }
  /// The window's first and last snapshot, indices into the times listed (from 0).
  [[nodiscard]] int first() const;
  [[nodiscard]] int last() const;
  /// Whether the pair spans every snapshot (or lists fewer than two): no window.
  [[nodiscard]] bool isOpen() const { return count() < 2 || (first() == 0 && last() == count() - 1); }
  /// Sets the pair to snapshots `first` to `last` (clamped, in order).
  void choose(int first, int last);
  /// The window as core reads it: an end at the first or the last snapshot is open; another is
  /// its snapshot's timestamp to the second (so that the other kinds of a capture, taken in the
  /// same second, fall in too), or "#N" when it has no time that reads.
  [[nodiscard]] core::SnapshotWindow window() const;
  /// "16:07:00 to 16:09:00": the window's ends as listed, for titles and status lines.
  [[nodiscard]] QString text() const;
  /// Height in pixels, 0 while hidden.
  [[nodiscard]] int shownHeight() const { return isHidden() ? 0 : height(); }

 signals:
  /// The user moved either end.
  void changed();

 private:
  [[nodiscard]] core::WindowBound boundAt(int index) const;
  [[nodiscard]] QString label(int index) const;
  /// Each list's tool tip: its snapshot's timestamp in full.
  void showFullTimes();

  QComboBox* m_from;
  QComboBox* m_to;
  SnapshotLabels* m_labels;  // both lists' items, over m_times
  std::vector<std::string> m_times;
  bool m_filling = false;
};

}  // namespace tarvolin::ui
