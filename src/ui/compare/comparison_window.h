#pragma once

#include <memory>

#include "core/compare/snapshot_compare.h"
#include "ui/result/result_window.h"

namespace tarvolin::ui {

/// The two snapshots of a comparison and what compareSnapshots found in them.
struct ComparedSnapshots {
  core::LoadedSnapshot earlier;
  core::LoadedSnapshot later;
  core::Comparison comparison;
};

/// The comparison window `frmcompare`: one row per entry of two snapshots of a report, the
/// "Change" column first and each counter's change and rate per second after it, in a grid
/// `grdcompare` over a store of its own (written once by writeComparisonGrid; a hidden last
/// column keeps each row's entry number, so that sorting keeps rows and entries together).
/// The status line `statcompare` tells the interval and the counts of matched, new, gone and
/// reset entries. Copying, sorting and the Edit menu are ResultWindow's; an entry's detail
/// shows each variable with both values, the change and the rate. The window owns the snapshots.
class ComparisonWindow final : public ResultWindow {
  Q_OBJECT

 public:
  ComparisonWindow(std::unique_ptr<ComparedSnapshots> compared, const QString& title, platform::Platform& platform,
                   QWidget* parent = nullptr);
  ~ComparisonWindow() override;

  [[nodiscard]] const ComparedSnapshots& compared() const { return *m_compared; }

  void showDetailOf(int row) override;
  /// Sorts the rows by the change of the counter named `variable`, largest first, and makes
  /// that column current; nothing when `variable` is not a counter of the comparison.
  void sortByChangeOf(const std::string& variable);
  /// What the detail shows for store row `row` (1 and up): a header row "Variable",
  /// "Earlier", "Later", "Change", "Per s", then one row per variable.
  [[nodiscard]] core::GridStore detailOf(int row) const;

 private:
  std::unique_ptr<ComparedSnapshots> m_compared;
};

/// The status line of a comparison: the interval note and the entries' counts.
[[nodiscard]] QString comparisonStatus(const core::Comparison& c);

}  // namespace tarvolin::ui
