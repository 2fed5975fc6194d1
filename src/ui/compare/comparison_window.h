#pragma once

#include <QMainWindow>
#include <memory>

#include "core/compare/snapshot_compare.h"
#include "core/grid_commands.h"
#include "core/grid_store.h"
#include "platform/grid_view.h"
#include "platform/platform.h"

class QLabel;

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
/// reset entries. Its Edit menu copies cells as the main grid does (without the hidden column),
/// sorts the selection, and shows an entry's detail (also on a double click): each variable
/// with both values, the change and the rate. The window owns the snapshots.
class ComparisonWindow final : public QMainWindow {
  Q_OBJECT

 public:
  ComparisonWindow(std::unique_ptr<ComparedSnapshots> compared, const QString& title, platform::Platform& platform,
                   QWidget* parent = nullptr);
  ~ComparisonWindow() override;

  [[nodiscard]] core::GridStore& store() { return m_store; }
  [[nodiscard]] const ComparedSnapshots& compared() const { return *m_compared; }

  /// The selection on the clipboard in the main grid's format; "N cells copied to the
  /// clipboard" in the status line, or a message box with the clipboard's failure.
  void copyCells();
  void sort(core::SortOrder order);
  /// The detail of the entry on the current row, modal (nothing on the header row).
  void showDetail();
  /// What the detail shows for store row `row` (1 and up): a header row "Variable",
  /// "Earlier", "Later", "Change", "Per s", then one row per variable.
  [[nodiscard]] core::GridStore detailOf(int row) const;

 private:
  void buildMenus();

  std::unique_ptr<ComparedSnapshots> m_compared;
  platform::Platform& m_platform;
  core::GridStore m_store;
  platform::GridView* m_grid = nullptr;
  QLabel* m_status = nullptr;
};

/// The status line of a comparison: the interval note and the entries' counts.
[[nodiscard]] QString comparisonStatus(const core::Comparison& c);

}  // namespace tarvolin::ui
