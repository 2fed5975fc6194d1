#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/read/report.h"

namespace tarvolin::ui {

/// One variable row of the customise list: what the user sees (name and Y/N switch) and the
/// fields that travel with the variable when it is moved (its mark and kept fields).
struct CustomiseRow {
  std::string name;
  std::string show;    ///< "Y" or "N", the text of the switch column.
  bool cmark = false;  ///< The configuration file flags the variable "C" (marked) instead of "Y" or "N".
  std::string cfg2;    ///< Fields 2 to 4 of the variable's configuration line, kept as read and written
  std::string cfg3;    ///< back unchanged; nothing in the viewer uses them.
  std::string cfg4;
};

/// Grid rows whose texts changed, first to last inclusive; empty when nothing changed.
struct RowSpan {
  int first = 1;
  int last = 0;
  [[nodiscard]] bool empty() const { return first > last; }
};

/// What `set_updown` applies: the enabled states of Up and Down and the row to scroll to.
struct UpDownState {
  bool up = false;
  bool down = false;
  int scrollTop = 0;  ///< Grid row to become the top visible row; 0: don't scroll.
};

/// The customise dialog's list without any window: rows numbered as in the grid (row 0 is the
/// header row, row r shows variable r - 1), the selected row `selrow`, and every edit the dialog
/// offers. The table is read once at construction and written only by writeBack/commit.
class CustomiseList {
 public:
  /// Copies records 0..lastIndex of `vars`. Cost O(lastIndex).
  explicit CustomiseList(const core::VariableTable& vars);

  /// n: the grid's row count, variables plus the header row.
  [[nodiscard]] int rowCount() const { return static_cast<int>(m_rows.size()) + 1; }
  [[nodiscard]] int variableCount() const { return static_cast<int>(m_rows.size()); }
  /// Row `r` of the grid, 1 <= r < rowCount(); throws std::out_of_range otherwise.
  [[nodiscard]] const CustomiseRow& row(int r) const { return m_rows.at(static_cast<size_t>(r - 1)); }
  /// The row Up, Down and Move After act on; 0 when no variable row is selected.
  [[nodiscard]] int16_t selrow() const { return m_selrow; }

  /// Up is enabled from row 2 on, Down from row 1 to the last but one. When the selected row is
  /// not visible and beyond row 12, row selrow - 10 is to become the top row.
  [[nodiscard]] UpDownState updown(bool selectedVisible) const;

  /// Click on the grid with the current cell at (`row`, `col`): selects the row and, in the
  /// switch column (2), toggles "Y" to "N" and anything else to "Y".
  RowSpan click(int row, int col);
  /// The current cell moved to `row`: selects it. A row outside the list selects nothing.
  void selChange(int row);
  /// Swaps the selected row with the one above; the selection follows. Nothing when selrow <= 1.
  RowSpan up();
  /// Swaps the selected row with the one below; the selection follows. Nothing on the last row
  /// or without a selection.
  RowSpan down();
  /// Moves the selected row to place p = answer + 1 (rounded half to even), shifting the rows in
  /// between by one. Nothing happens, without any message, when no row is selected, the answer is
  /// empty, not a number, gives p below 1 or above rowCount() - 2, or p equals selrow.
  RowSpan moveAfter(std::string_view answer);
  /// Every variable shown ("Y") / hidden ("N"); the selection stays.
  RowSpan dispAll();
  RowSpan dispNone();

  /// Writes the rows back into records 0..lastIndex by position (name, show, mark and kept fields;
  /// records beyond the list are untouched), then writes the kind's configuration file. Returns the
  /// failure text for the user.
  [[nodiscard]] std::optional<std::string> commit(core::Report& report, const std::string& folder) const;

 private:
  /// The write-back of commit. A row is shown when its switch text without surrounding blanks is "Y".
  void writeBack(core::VariableTable& vars) const;
  /// The place p an answer of Move After asks for: its numeric value plus one, rounded half to
  /// even. Nothing when the answer is empty, not a decimal number (an optional sign, digits with an
  /// optional fraction and exponent, spaces and tabs around it allowed) or p does not fit in 32 bits.
  [[nodiscard]] static std::optional<int32_t> moveAfterPlace(std::string_view answer);
  RowSpan setAllShown(const char* text);

  std::vector<CustomiseRow> m_rows;  ///< grid row r is m_rows[r - 1]
  int16_t m_selrow = 0;
};

}  // namespace tarvolin::ui
