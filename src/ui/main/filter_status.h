#pragma once

#include <QObject>

#include "core/grid/filter_summary.h"
#include "core/grid/grid_store.h"

class QLabel;
class QStatusBar;

namespace tarvolin::ui {

/// The status line's part that says, while rows are hidden or the load was filtered,
/// how many entries are on show and why ("Showing 12 of 90,000 entries: Mode = X"); it
/// is empty otherwise. Its label `statfilter` sits at the right of `bar`. The grid must
/// outlive this object, which `bar` owns.
class FilterStatus : public QObject {
  Q_OBJECT

 public:
  FilterStatus(QStatusBar& bar, const core::GridStore& grid);

  /// Before a load: notes its reload filter from `load`.
  void loadStarts(const core::LoadState& load);
  /// After it: `entries` begun in the report.
  void loaded(int32_t entries);
  /// After "Exclude lines like this" on `column` = `value`.
  void excluded(const std::string& column, const std::string& value);
  /// After "Show all lines".
  void shownAll();
  /// The last load was filtered: "Show all lines" reads the report again.
  [[nodiscard]] bool loadFiltered() const { return m_summary.loadFiltered(); }
  /// The filters of the grid on show, kept with it when it is put away (the kind cache) ...
  [[nodiscard]] const core::FilterSummary& summary() const { return m_summary; }
  /// ... and given back when it shows again.
  void shownAgain(core::FilterSummary summary);

 private:
  void update();

  const core::GridStore& m_grid;
  core::FilterSummary m_summary;
  QLabel* m_label;
};

}  // namespace tarvolin::ui
