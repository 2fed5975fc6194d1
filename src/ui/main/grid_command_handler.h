#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "core/grid/grid_commands.h"
#include "core/grid/grid_store.h"
#include "core/read/shared_state.h"
#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

class FilterStatus;

/// The commands on a report grid's cells: the pop-up menu's items, a click and a double
/// click on the grid, Copy Cells, Lock First Col? and Print Screen. Each works on the grid's
/// store through the core grid commands and row filters and shows its outcome through the
/// host's status line and the platform's message boxes. The host disables the commands
/// that change the table (sorting, the row filters) while a load fills it.
/// Everything given to the constructor must outlive the handler.
class GridCommandHandler : public QObject {
  Q_OBJECT

 public:
  /// What the handler needs of the window it serves.
  struct Host {
    QWidget& owner;                                  ///< owner of modal windows; what Print Screen prints
    std::function<void(const QString&)> showStatus;  ///< sets the status line at once
    std::function<void()> reload;                    ///< loads the current file again
  };

  GridCommandHandler(core::GridStore& grid, core::SharedState& shared, core::LoadState& load,
                     platform::Platform& platform, Host host);

  /// A click on the grid: the status line shows row 0's text in the current column.
  void click();
  /// Sort Ascending / Sort Descending of the selection (core::sortSelection).
  void sort(core::SortOrder order);
  /// Show Row Detail and a double click: the entry detail window on the current row (the
  /// first data row while the header row is current), modal; returns when it is closed.
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
  /// An image of the owner window to the default printer. Every error is ignored.
  void printScreen();
  /// Exclude lines like this: hides the data rows whose cell in the current column
  /// equals the current cell's text.
  void excludeLikeThis();
  /// Show all lines: every data row back at the default height; after a filtered load,
  /// the report read again without the filter.
  void showAllLines();
  /// Reload with only lines like this: the reload filter from the current cell, then
  /// the reload.
  void reloadLikeThis();
  /// As above but prompt for value: asks "Enter value to look for"; an empty answer
  /// (or Cancel) reloads nothing.
  void reloadLikePrompt();

  /// Told of the rows the commands hide and show; nullptr (the default) for none. Not owned.
  void setFilterStatus(FilterStatus* status) { m_filters = status; }

 private:
  core::GridStore& m_grid;
  core::SharedState& m_shared;
  core::LoadState& m_load;
  platform::Platform& m_platform;
  Host m_host;
  FilterStatus* m_filters = nullptr;
};

}  // namespace tarvolin::ui
