#pragma once

#include <Qt>

#include "core/grid_commands.h"

class QPoint;

namespace tarvolin::ui {

class Form1;

/// The main window's commands on its grid's cells: the mouse on the grid, the pop-up
/// menu's items, Copy Cells, Lock First Col? and Print Screen. Each works on the grid's
/// store through the core grid commands and row filters and shows its outcome in the
/// window (status line, message boxes through the platform). Commands that change the
/// table (sorting, the row filters) are refused with the window's busy status while a
/// load runs. The window owns the handler and outlives it.
class GridCommandHandler {
 public:
  explicit GridCommandHandler(Form1& window);

  /// A click on the grid: the status line shows row 0's text in the current column.
  void click();
  /// A mouse button released over the grid: for the right button only, the grid takes
  /// the focus and the pop-up menu opens at `globalPos` (without blocking). The current
  /// cell stays where it was.
  void mouseUp(Qt::MouseButton button, const QPoint& globalPos);
  /// Sort Ascending / Sort Descending of the selection (core::sortSelection).
  void sort(core::SortOrder order);
  /// Show Row Detail and a double click: the entry detail window on the current row,
  /// modal; returns when it is closed.
  void showDetail();
  /// A message box with the current cell's text.
  void showCellValue();
  /// The current cell's text alone on the clipboard; a failure is shown in a message
  /// box with the system's reason. The status line is not changed.
  void copyCellValue();
  /// 5000 twips more for the current column, each time.
  void makeColumnWider();
  /// The selection on the clipboard as TAB / CR LF text, and "N cells copied to the
  /// clipboard" in the status line. A clipboard failure is shown in a message box and
  /// leaves the status line as it was.
  void copyCells();
  /// Inverts lockcol and the grid's fixed first column; returns the new lockcol for
  /// the menu item's check mark.
  bool lockFirstCol();
  /// An image of the whole window to the default printer. Every error is ignored.
  void printScreen();
  /// Exclude lines like this: hides the data rows whose cell in the current column
  /// equals the current cell's text.
  void excludeLikeThis();
  /// Show all lines: every data row back at the default height.
  void showAllLines();
  /// Reload with only lines like this: the reload filter from the current cell, then
  /// the file box's file loads again.
  void reloadLikeThis();
  /// As above but prompt for value: asks "Enter value to look for"; an empty answer
  /// (or Cancel) reloads nothing.
  void reloadLikePrompt();

 private:
  Form1& m_window;
};

}  // namespace tarvolin::ui
