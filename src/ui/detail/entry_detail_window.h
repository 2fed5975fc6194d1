#pragma once

#include <QDialog>
#include <cstdint>

#include "core/grid/grid_store.h"
#include "platform/grid_view.h"
#include "platform/platform.h"

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;

namespace tarvolin::ui {

/// The entry detail window `Form2`, "Entry Detail": one entry of the main grid as a list of
/// "Attribute"/"Value" rows, one per main-grid column (hidden columns included), with
/// Prev and Next stepping one main-grid row at a time (hidden rows included). The title
/// names the entry shown; "Hide Empty Values" in the pop-up (remembered between runs)
/// leaves out the variables that are empty in it.
///
/// It reads the main grid directly every time it shows an entry and never changes it;
/// the only copy it keeps is the detail grid's own cells. The main grid must outlive
/// the window and must not change while it is open (the window is modal).
class EntryDetailWindow final : public QDialog {
  Q_OBJECT

 public:
  /// Builds the window over `mainGrid`, owned by `owner` (centred over it when shown).
  /// Nothing is read from the main grid until the window is first shown.
  EntryDetailWindow(const core::GridStore& mainGrid, platform::Platform& platform, QWidget* owner = nullptr);

  /// Sets the main-grid row to show; nothing is redrawn. Any value is accepted: a row
  /// outside the main grid shows the attribute names with empty values.
  void set_rowno(int32_t r);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  /// Prev is enabled exactly when the row is above 1, Next exactly when it is below
  /// the main grid's last row (the row count read now).
  void set_buttons();
  /// Rebuilds the detail grid from the main grid's header row and row `rowno`:
  /// 2 columns of 4000 twips, left aligned, and one row more than the main grid has
  /// columns. Cost: one pass over the main grid's columns.
  void get_data();

  void buildControls();
  void buildMenus();
  void layoutControls();
  [[nodiscard]] QString currentCellText() const;

  void comnextClick();
  void comprevClick();
  void mencopyClick();
  void menshowClick();
  void menprintClick();
  void openEditMenu(QPoint globalPos);
  /// "Hide Empty Values" switched: remembered for the next windows, the entry shown again.
  void menhideemptyClick(bool on);
  /// The entry's name for the title: the name and value of its first own non-empty cell.
  [[nodiscard]] QString entryName() const;

  const core::GridStore& m_main;
  platform::Platform& m_platform;
  core::GridStore m_detail;
  int32_t rowno = 0;
  bool m_loaded = false;

  QMenuBar* m_menuBar = nullptr;
  QWidget* m_client = nullptr;
  QPushButton* m_exit = nullptr;
  QPushButton* m_prev = nullptr;
  QPushButton* m_next = nullptr;
  platform::GridView* m_grid = nullptr;
  QMenu* m_menedit = nullptr;
  bool m_hideEmpty = false;  ///< "Hide Empty Values": the variables empty in this entry are left out
};

/// Opens the entry detail window on main-grid row `row` (the main grid's current row),
/// modal over `owner`, and returns when the user closes it. The main grid is read, never
/// changed.
void showRowDetail(const core::GridStore& mainGrid, int row, platform::Platform& platform, QWidget* owner);

}  // namespace tarvolin::ui
