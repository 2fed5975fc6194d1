#pragma once

#include <QObject>
#include <functional>

class QAction;
class QComboBox;
class QMenu;

namespace tarvolin::platform {
class GridView;
}

namespace tarvolin::ui {

class GridCommandHandler;

/// The grid's commands by keyboard: the Menu key and Shift+F10 open the pop-up `popup`
/// at the current cell, Enter opens Show Row Detail, Tab and Shift+Tab leave the grid
/// for the next control while Ctrl+Tab and Ctrl+Shift+Tab move between cells, and after
/// every keyboard move the status line names the current column as a click does. F5
/// (anywhere in `window`) and Enter in the file box `box` call `reload`. Everything given
/// must outlive this object, which `grid` owns.
class GridKeys : public QObject {
  Q_OBJECT

 public:
  GridKeys(platform::GridView& grid, QMenu& popup, GridCommandHandler& commands, QWidget& window, QComboBox& box,
           std::function<void()> reload);

  /// F5's action, which the window disables with Reload while a load runs.
  [[nodiscard]] QAction* reloadAction() const { return m_reload; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void openPopup();
  /// Ctrl+Tab: the cell `step` columns along, on to the next row past the last column.
  void moveAlong(int step);

  platform::GridView& m_grid;
  QMenu& m_popup;
  GridCommandHandler& m_commands;
  QAction* m_reload;
  bool m_keyMove = false;  ///< a key press is being handled by the grid
};

}  // namespace tarvolin::ui
