#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "core/compare/snapshot_compare.h"
#include "core/derived/column_plan.h"
#include "core/derived/derived_columns.h"
#include "ui/result/result_window.h"

class QCheckBox;
class QToolBar;

namespace tarvolin::ui {

class CompareSettingsBar;
class ColumnCommands;

/// The two snapshots of a comparison and what compareSnapshots found in them.
struct ComparedSnapshots {
  core::LoadedSnapshot earlier;
  core::LoadedSnapshot later;
  core::Comparison comparison;
  core::CounterTypes types;                   ///< what the comparison was made with, for a new one
  std::optional<int64_t> fileIntervalMicros;  ///< between the files' modification times, when known
  core::ColumnPlan plan;                      ///< the kind's derived columns: their kept places are no columns
  size_t keyCount = 0;                        ///< the entries' key variables, first in `comparison`

  /// Compares the snapshots (again) into `comparison`, the places `plan` finds kept for
  /// derived columns left out. Throws CompareError as compareSnapshots.
  void compare(std::optional<int64_t> givenMicros, std::optional<core::DateOrder> dateOrder = std::nullopt);
};

/// The comparison window `frmcompare`: one row per entry of two snapshots of a report, the
/// "Change" column first and each counter's change and rate per second after it, in a grid
/// `grdcompare` over a store of its own (written once by writeComparisonGrid; a hidden last
/// column keeps each row's entry number, so that sorting keeps rows and entries together).
/// The status line `statcompare` tells the interval and the counts of matched, new, gone and
/// reset entries. Above the grid a CompareSettingsBar offers the order of the dates and, when
/// neither report has a "Snapshot timestamp", the interval: a change compares anew. Copying, sorting and the Edit menu
/// are ResultWindow's; an entry's detail shows each variable with both values, the change and the rate, with "Hide
/// Unchanged" and "Sort by Change". The entries' key columns come first after "Change", and the window opens on the
/// first counter that changed; Edit has Find Column and Hide Constant Columns as the main window has. A comparison of
/// one entry (a Database or Database Manager snapshot) shows that detail as its grid, with "Hide Unchanged" on the
/// toolbar and "Sort by Change" in the Edit menu; its columns widen with the window. The window owns the snapshots.
class ComparisonWindow final : public ResultWindow {
  Q_OBJECT

 public:
  /// `derived`: derived columns shown after the variables, each as NAME and "NAME (in
  /// interval)" (see ComparisonDerived); the window keeps copies.
  ComparisonWindow(std::unique_ptr<ComparedSnapshots> compared, const QString& title, platform::Platform& platform,
                   QWidget* parent = nullptr, const std::vector<const core::DerivedColumn*>& derived = {});
  ~ComparisonWindow() override;

  [[nodiscard]] const ComparedSnapshots& compared() const { return *m_compared; }

  void showDetailOf(int row) override;
  /// Sorts the rows by the change of the counter named `variable` (or by the derived column
  /// of that name in the interval), largest first, and makes that column current; nothing
  /// when the comparison has no such column.
  void sortByChangeOf(const std::string& variable);
  /// What the detail shows for store row `row` (1 and up) of a comparison of several entries:
  /// a header row "Variable", "Earlier", "Later", "Change", "Rate per s", then one row per
  /// variable, then one per derived column (its value on each snapshot, and under Change its
  /// value in the interval).
  [[nodiscard]] core::GridStore detailOf(int row) const;
  /// Whether the grid shows the one entry of the comparison on its side, as detailOf does.
  [[nodiscard]] bool sideways() const { return m_sideways; }

 private:
  /// Writes the comparison into the store: a row per entry, or with one entry a row per variable.
  void fill();
  /// Writes the comparison into `store`, a row per entry, each with its entry number.
  void fillWide(core::GridStore& store);
  /// The changes of the entry on row `row` of `wide` (as fillWide wrote it).
  [[nodiscard]] core::GridStore changesOf(const core::GridStore& wide, int row) const;
  /// "Hide Unchanged" on the toolbar, "Sort by Change" in the Edit menu, the columns as wide as the window.
  void addSidewaysControls(QToolBar* bar);
  /// Edit > Find Column..., Find Next Column and Hide Constant Columns, as in the main window.
  void addColumnCommands();
  /// The key columns no wider than a part of the window, and the first counter that changed current.
  void openOnFirstChange();
  /// Compares again with the settings of the bar.
  void compareAgain();

  std::unique_ptr<ComparedSnapshots> m_compared;
  CompareSettingsBar* m_settings = nullptr;
  bool m_sideways = false;  ///< one entry: the grid shows it a row per variable
  core::GridStore m_wide;   ///< sideways: the comparison a row per entry, which the grid turns
  QCheckBox* m_hideUnchanged = nullptr;
  std::unique_ptr<ColumnCommands> m_columns;  ///< a comparison of several entries: Find Column, Hide Constant Columns
  std::vector<core::DerivedColumn> m_derived;
};

/// The status line of a comparison: the interval note and the entries' counts.
[[nodiscard]] QString comparisonStatus(const core::Comparison& c);

}  // namespace tarvolin::ui
