#include "core/report_loader.h"

#include <algorithm>
#include <exception>

#include "core/column_widths.h"
#include "core/config_file.h"
#include "core/entry_reader.h"
#include "core/grid_output.h"
#include "core/load_progress.h"
#include "core/text_encoding.h"

namespace tarvolin::core {

ReportLoader::ReportLoader(SharedState& shared, LoadState& load, LoadObserver& observer, TextMeasure& measure,
                           std::string configFolder)
    : m_shared(shared),
      m_load(load),
      m_observer(observer),
      m_measure(measure),
      m_configFolder(std::move(configFolder)) {}

void ReportLoader::do_refresh(const std::string& file, Grid& g) {
  m_loading = true;
  m_counters = {};
  try {
    prepare(g);
    read(file, g);
    if (!m_sinkStopped) finishEntry(g);  // the last entry, also after Stop
  } catch (const std::exception& e) {
    m_counters.failed = true;
    m_observer.showError(e.what());
  }
  if (m_sinkStopped) {
    m_loading = false;
    return;
  }
  finish(g);
  if (m_sink && m_snapshots > 0) m_sink(g);
  m_loading = false;
}

void ReportLoader::prepare(Grid& g) {
  // Until the grid is reset an error must still reach finish(); nothing here throws on
  // a grid that holds at least one row and column.
  prepareGrid(g);
  m_hasdata = false;
  m_kind = -1;
  m_active = false;
  m_snapshots = 0;
  m_sinkStopped = false;
  m_snapshotCol = -1;
  m_label.clear();
  m_timed = false;
  m_index = {};
  const int likeCol = m_load.like_col;
  const bool likeNamed = !m_load.like_val.empty() && likeCol >= 0 && likeCol <= m_shared.vars.maxvar();
  m_likeName = likeNamed ? m_shared.vars[likeCol].name : std::string();
  m_load.clearVals(m_shared.vars.maxvar());
  m_shared.vars.reset();
  m_shared.snaptype.clear();
  m_owners.reset();
  m_observer.setWaitCursor(true);
  m_load.stopflag = false;
  m_observer.setStopEnabled(true);
}

void ReportLoader::prepareGrid(Grid& g) {
  g.clear();
  g.setCols(2);
  g.setRows(2);
  g.setRedraw(false);
  g.setRowHeight(0, kHeaderRowHeight);
  g.setRowHeight(1, kDefaultRowHeight);
}

void ReportLoader::takeHeading(const ReportItem& item, int kind, Grid& g) {
  if (m_active) finishEntry(g);  // a heading ends the entry being read
  if (m_kind < 0 && m_choice.accepts(item.text, kind + 1)) {
    m_kind = kind;
    m_shared.snaptype = item.text;
    m_observer.setKind(m_shared.snaptype);
    readcfg(m_shared, m_configFolder, removeBlanks(m_shared.snaptype));
  }
  m_active = kind == m_kind;
}

/// Hands the snapshot read so far to the sink and empties the grid for the next one; the
/// entry being read, if any, goes to the next one.
bool ReportLoader::deliver(Grid& g) {
  finishGrid(g);
  m_observer.setStatus(progressText(m_counters.nread, m_counters.nout, true));
  if (!m_sink(g)) return false;
  prepareGrid(g);
  m_counters.nout = m_counters.nentry = 0;
  m_snapshotTime.clear();
  m_preamble.clear();
  return true;
}

/// A snapshot of the chosen kind begins. A later one goes to the sink, or gives the kind its
/// Snapshot column when the second begins. False when the sink ends the reading.
bool ReportLoader::beginSnapshot(EntryReader& in, Grid& g, ColumnWidths& widths) {
  if (m_snapshots++ > 0) {
    if (m_sink && !deliver(g)) return false;
    if (!m_sink && m_snapshots == 2) {
      addSnapshotColumn(in, g);
      if (m_sizeColumns) widths.widen(m_snapshotCol, m_label);
    }
  }
  m_label = "#" + std::to_string(m_snapshots);  // until its section has a time
  m_timed = false;
  if (m_snapshotCol >= 0 && m_sizeColumns) widths.widen(m_snapshotCol, m_label);
  return true;
}

/// The snapshot's time, once its section has one, becomes its label.
void ReportLoader::noteSnapshotTime(const EntryReader& in, ColumnWidths& widths) {
  const KindSection* section = in.index().current();
  if (section == nullptr || section->time.empty()) return;
  m_label = section->time;
  m_timed = true;
  if (m_snapshotCol >= 0 && m_sizeColumns) widths.widen(m_snapshotCol, m_label);
}

/// The Snapshot column: the configuration's, else a new first one; the rows written so far
/// are of the first snapshot.
void ReportLoader::addSnapshotColumn(EntryReader& in, Grid& g) {
  int col = m_shared.vars.lookup(kSnapshotColumn);
  if (col < 0) {
    if (m_shared.vars.full()) return;  // the report's own variables come first
    col = 0;
    m_shared.vars.insertName(col, kSnapshotColumn);
    g.insertColumn(col);
    auto& vals = m_load.vals;  // of the entry being read
    std::move_backward(vals.begin() + col, vals.begin() + m_shared.vars.maxvar(),
                       vals.begin() + m_shared.vars.maxvar() + 1);
    vals[static_cast<size_t>(col)].clear();
    in.variableInserted(col);
    m_owners.variableInserted(col);
    if (m_likeName.empty() && m_load.like_col >= col) ++m_load.like_col;
  }
  m_snapshotCol = col;
  for (int row = 1; row <= m_counters.nout; ++row) g.setText(row, col, m_label);
}

void ReportLoader::read(const std::string& file, Grid& g) {
  EntryReader in(file, m_shared.vars, m_read);
  m_snapshotTime.clear();
  m_preamble.clear();
  m_startName.clear();
  m_observer.setFileTime(in.modified());
  ColumnWidths widths(m_shared.vars, m_measure);
  LoadProgress progress(m_observer, g);
  struct KeepIndex {  // on every way out, also after Stop or an error
    KindsIndex& to;
    const EntryReader& from;
    ~KeepIndex() {
      to = from.index();
      to.finish(from.lineNumber());
    }
  } keep{m_index, in};
  while (!m_load.stopflag && in.nextLine()) {
    progress.lineRead(++m_counters.nread, m_counters.nout);
    const ReportItem item = in.cut();
    if (item.kind == ReportItem::Kind::Heading) {
      takeHeading(item, in.sectionKind(), g);
      in.setLookups(m_active);
    }
    if (!m_active || item.kind == ReportItem::Kind::None) {
      m_observer.yieldEvents();
      continue;
    }
    if (item.beginsSnapshot && !beginSnapshot(in, g, widths)) {
      m_sinkStopped = true;
      break;
    }
    if (!m_timed) noteSnapshotTime(in, widths);
    if (item.name == "Snapshot timestamp" && m_snapshotTime.empty()) m_snapshotTime = item.text;
    if (item.kind == ReportItem::Kind::Preamble) m_preamble.emplace_back(item.name, item.text);
    if (item.kind == ReportItem::Kind::Value) {
      if (item.beginsEntry) {
        if (m_startName.empty()) m_startName = in.startName();
        finishEntry(g);
        m_owners.entryBegins(item);
        m_load.clearVals(m_shared.vars.maxvar());
        ++m_counters.nentry;
      }
      const int idx = item.var >= 0 ? item.var : m_shared.vars.appendName(item.name);
      in.stored(idx);
      m_load.vals[static_cast<size_t>(idx)] = item.text;
      m_hasdata = true;
      if (m_sizeColumns) widths.widen(idx, item.text);
    }
    m_observer.yieldEvents();
  }
}

void ReportLoader::finishEntry(Grid& g) {
  if (!m_hasdata) return;
  m_hasdata = false;  // also when filtered out: a heading and the next entry both end it
  if (m_snapshotCol >= 0) m_load.vals[static_cast<size_t>(m_snapshotCol)] = m_label;
  m_owners.fill(m_load.vals);
  if (!passesFilters()) return;
  ++m_counters.nout;
  outputentry(m_counters.nentry, m_shared.vars.maxvar(), g, m_counters.nout, m_load);
  m_owners.mark(g, m_counters.nout);
}

/// The entry's value of the variable `name`; a Snapshot column still to come has its label.
std::string_view ReportLoader::valueOf(std::string_view name) const {
  if (name == kSnapshotColumn && m_snapshotCol < 0 && !m_sink) return m_label;
  const int col = m_shared.vars.lookup(name);
  return col < 0 ? std::string_view() : std::string_view(m_load.vals[static_cast<size_t>(col)]);
}

bool ReportLoader::passesFilters() const {
  if (!m_load.like_val.empty()) {
    const int col = m_load.like_col;
    if (!m_likeName.empty()) {
      if (valueOf(m_likeName) != m_load.like_val) return false;
    } else if (col < 0 || col >= kMaxVars || m_load.vals[static_cast<size_t>(col)] != m_load.like_val) {
      return false;
    }
  }
  return m_filter.empty() || m_filter.keeps([this](std::string_view name) { return valueOf(name); });
}

void ReportLoader::finishGrid(Grid& g) {
  try {
    outputheaders(m_shared.vars.maxvar(), g, m_shared.vars);
  } catch (const std::exception& e) {
    m_observer.showError(e.what());
  }
  try {
    g.setRedraw(true);
    g.setRows(m_counters.nout + 1);
    if (g.rows() > 1) g.setFixedRows(1);
    g.setFixedCols(m_shared.lockcol ? 1 : 0);
  } catch (const std::exception& e) {
    m_observer.showError(e.what());
  }
}

void ReportLoader::finish(Grid& g) {
  finishGrid(g);
  m_observer.setWaitCursor(false);
  m_observer.setStopEnabled(false);
  m_observer.setStatus(progressText(m_counters.nread, m_counters.nout, true));
  m_load.like_val.clear();
}

}  // namespace tarvolin::core
