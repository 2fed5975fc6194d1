#pragma once

class QTableView;
class QWidget;

namespace tarvolin::ui {

/// Keeps the main window's size and place between runs, in the user's settings. On a
/// first run (nothing kept yet) the first report loaded widens the window, within the
/// screen, until the grid's first ten shown columns fit. The window must outlive this.
class WindowPlace {
 public:
  /// Puts `window` where the last run left it, if it was kept.
  explicit WindowPlace(QWidget& window);

  /// Keeps the window's size and place for the next run.
  void save() const;
  /// After a load into `grid`: on a first run, the widening described above, once.
  void fitColumns(const QTableView& grid);

  /// Columns a first run's window shows.
  static constexpr int kFirstColumns = 10;

 private:
  QWidget& m_window;
  bool m_fitted = false;  ///< restored, or widened once already
};

}  // namespace tarvolin::ui
