#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/read/kinds_index.h"
#include "core/read/report_cells.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// A loaded report, apart from how it is shown: its kind, its variables (variable i is
/// column i), its cells (a header row, then one row per entry, each with its entry number,
/// snapshot and owner marks), the time of each of its snapshots and the kinds index of its
/// file. A GridStore shows one; a result grid (a comparison, a series) is a report of no
/// file. Plain data: a copy is deep.
struct Report {
  std::string kindHeading;  ///< heading line of its kind, trimmed; empty until read
  int kind = -1;            ///< its kind's place in index->kinds(), or -1
  VariableTable vars;       ///< its variables, with their shown flags and layout
  ReportCells cells;
  /// Each of its snapshots' "Snapshot timestamp" (KindSection::time; empty where it has
  /// none), in file order: ReportCells::snapshot of a row indexes it. A load snapshot by
  /// snapshot gives each snapshot's report its one time.
  std::vector<std::string> snapshotTimes;
  std::shared_ptr<const KindsIndex> index;  ///< of its file, as far as it was read; null for no file
  std::string startName;                    ///< the name that begins an entry, as it was read
  std::vector<std::pair<std::string, std::string>>
      preamble;  ///< names and values before its (last) snapshot's first entry

  /// The time of its first snapshot, or empty.
  [[nodiscard]] const std::string& time() const {
    static const std::string none;
    return snapshotTimes.empty() ? none : snapshotTimes.front();
  }
  /// Copies everything of `other` but its cells: what a load learnt of the report, given
  /// to a snapshot whose cells it wrote.
  void copyModelOf(const Report& other) {
    kindHeading = other.kindHeading;
    kind = other.kind;
    vars = other.vars;
    snapshotTimes = other.snapshotTimes;
    index = other.index;
    startName = other.startName;
    preamble = other.preamble;
  }
};

}  // namespace tarvolin::core
