#pragma once

#include <QString>
#include <cstddef>
#include <list>
#include <optional>
#include <string>

#include "core/grid/constant_columns.h"
#include "core/grid/filter_summary.h"
#include "core/grid/grid_store.h"
#include "platform/grid_view.h"
#include "ui/derived/derived_columns_option.h"

namespace tarvolin::ui {

/// What the main window shows of one kind of a file of several: enough to show it again
/// without reading the file.
struct ShownKind {
  int kind = -1;  ///< an index into the file's kinds
  /// Its report (variables, heading, snapshot times, start name) and how it was left
  /// (sorting, hidden rows and columns).
  core::GridStore store;
  QString status;                             ///< the status line
  DerivedColumnsOption::Applied derived;      ///< its derived columns (a reload's filter on one, the chart)
  std::optional<core::HiddenColumns> hidden;  ///< what Hide Constant Columns hid in it, when it was on
  core::FilterSummary filters;                ///< its load's filter and the lines excluded since
  platform::GridView::Place place;            ///< where its view stood: the scroll, the current cell
};

/// The kinds of the file on show that were shown and left, so that coming back to a tab
/// shows its kind at once. Bounded by memory: the cells (their text and their references)
/// of the kinds kept stay under a limit, kDefaultLimit unless told otherwise; the kind
/// left longest ago goes first, and a kind bigger than the limit is not kept.
class KindCache {
 public:
  /// 512 MiB of cells: a day of minute captures of seven kinds, whose grids together are
  /// well under the file's size, keeps every kind.
  static constexpr size_t kDefaultLimit = size_t{512} << 20;

  explicit KindCache(size_t limit = kDefaultLimit) : m_limit(limit) {}

  /// Keeps `shown` (replacing what was kept of its kind), dropping the oldest while over the limit.
  void keep(ShownKind shown);
  /// Takes out what was kept of `kind`, if anything.
  [[nodiscard]] std::optional<ShownKind> take(int kind);
  /// Forgets every kind (another file, or the file read again).
  void clear();
  /// Bytes the kinds kept hold, as counted against the limit.
  [[nodiscard]] size_t bytes() const { return m_bytes; }

  /// Bytes a grid's cells take.
  [[nodiscard]] static size_t bytesOf(const core::GridStore& store);

 private:
  size_t m_limit;
  size_t m_bytes = 0;
  std::list<ShownKind> m_kept;  // the newest last
};

}  // namespace tarvolin::ui
