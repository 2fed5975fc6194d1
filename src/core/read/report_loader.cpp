#include "core/read/report_loader.h"

#include <algorithm>
#include <exception>

#include "core/grid/column_widths.h"
#include "core/grid/grid_output.h"
#include "core/read/config_file.h"
#include "core/read/entry_reader.h"
#include "core/read/load_progress.h"
#include "core/read/text_encoding.h"

namespace tarvolin::core {

ReportLoader::ReportLoader(SharedState& shared, Report& report, LoadState& load, LoadObserver& observer,
                           TextMeasure& measure, std::string configFolder)
    : m_shared(shared),
      m_report(report),
      m_load(load),
      m_observer(observer),
      m_measure(measure),
      m_configFolder(std::move(configFolder)) {}

void ReportLoader::load(const std::string& file, Grid& g) {
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
  m_snapshotTime = m_index.timeOf(m_kind, m_sink ? m_snapshots - 1 : 0);
  describe();
  if (m_readParts) {  // the parts' own index says less than the file's
    m_partsOf = m_known;
    m_kind = m_known->find(m_choice);
  }
  m_report.kind = m_kind;
  m_loadedIndex = std::make_shared<const KindsIndex>(std::move(m_index));
  m_index = {};
  m_report.index = m_partsOf ? m_partsOf : m_loadedIndex;
  if (m_sink && m_snapshots > 0) m_sink(g);
  m_loading = false;
}

void ReportLoader::describe() {
  m_report.kind = m_kind;
  m_report.snapshotTimes.clear();
  if (m_sink) {
    m_report.snapshotTimes.push_back(m_snapshotTime);
  } else {
    const int snapshots = m_kind < 0 ? 0 : std::max(m_snapshots, 1);
    m_report.snapshotTimes = m_index.timesOf(m_kind, snapshots);
  }
  m_report.startName = m_startName;
  m_report.preamble = m_preamble;
}

void ReportLoader::setKnownIndex(std::string file, std::shared_ptr<const KindsIndex> index, int first, int last) {
  m_knownFile = std::move(file);
  m_known = std::move(index);
  m_knownFirst = first;
  m_knownLast = last;
}

std::vector<KindSection> ReportLoader::partsOf(const std::string& file) const {
  std::vector<KindSection> parts;
  if (!m_known || file != m_knownFile || file == "-") return parts;
  const int kind = m_known->find(m_choice);
  if (!m_known->placed(kind)) return parts;
  for (const KindSection& s : m_known->sections())
    if (s.kind == kind && s.snapshot >= m_knownFirst && s.snapshot <= m_knownLast) parts.push_back(s);
  return parts;
}

void ReportLoader::open(std::optional<EntryReader>& in, const std::string& file,
                        const std::vector<KindSection>& parts) {
  m_readParts = false;
  m_readChoice = m_choice;
  if (!parts.empty()) {
    try {
      in.emplace(file, m_report.vars, m_read, parts);
    } catch (const ReadError&) {
      in.reset();  // the file changed since: read whole, or say why it can't be
    }
    if (in && m_known->sameFile(in->fileSize(), in->changeStamp())) {
      m_readParts = true;
      m_readChoice = KindChoice{0, m_known->kinds()[static_cast<size_t>(parts.front().kind)].heading};
      return;
    }
  }
  in.emplace(file, m_report.vars, m_read);
}

void ReportLoader::prepare(Grid& g) {
  // Until the grid is reset an error must still reach finish(); nothing here throws on
  // a grid that holds at least one row and column.
  prepareGrid(g);
  m_readParts = false;
  m_partsOf = nullptr;
  m_hasdata = false;
  m_kind = -1;
  m_active = false;
  m_snapshots = 0;
  m_sinkStopped = false;
  m_snapshotCol = -1;
  m_label.clear();
  m_index = {};
  m_loadedIndex = nullptr;
  const int likeCol = m_load.filterColumn;
  const bool likeNamed = !m_load.filterValue.empty() && likeCol >= 0 && likeCol <= m_report.vars.lastIndex();
  m_filterColumnName = likeNamed ? m_report.vars[likeCol].name : std::string();
  m_load.clearVals(m_report.vars.lastIndex());
  m_report.vars.reset();
  m_report.kindHeading.clear();
  m_report.kind = -1;
  m_report.snapshotTimes.clear();
  m_report.index = nullptr;
  m_report.startName.clear();
  m_report.preamble.clear();
  m_owners.reset();
  m_filled.reset();
  m_again.fill(-1);
}

void ReportLoader::prepareGrid(Grid& g) {
  g.clear();
  g.setCols(2);
  g.setRows(2);
  g.setSnapshot(0);
  g.setRedraw(false);
  g.setRowHeight(0, kHeaderRowHeight);
  g.setRowHeight(1, kDefaultRowHeight);
}

bool ReportLoader::takeKind(const std::string& heading, int kind) {
  const bool chosen = m_kind < 0 && m_readChoice.accepts(heading, kind + 1);
  if (chosen) {
    m_kind = kind;
    m_report.kindHeading = heading;
    m_observer.setKind(m_report.kindHeading);
    readConfiguration(m_report.vars, m_configFolder, removeBlanks(m_report.kindHeading));
  }
  m_active = kind == m_kind;
  return chosen;
}

/// Hands the snapshot read so far to the sink and empties the grid for the next one; the
/// entry being read, if any, goes to the next one.
bool ReportLoader::deliver(Grid& g) {
  finishGrid(g);
  m_observer.setStatus(progressText(m_counters.nread, m_counters.nout, true));
  describe();
  if (!m_sink(g)) return false;
  prepareGrid(g);
  m_counters.nout = m_counters.nentry = 0;
  m_snapshotTime.clear();
  m_preamble.clear();
  return true;
}

/// A snapshot of the chosen kind begins. A later one goes to the sink, or gives the kind its
/// Snapshot column when the second begins. False when the sink ends the reading.
bool ReportLoader::beginSnapshot(EntryReader& in, Grid& g, ColumnWidths& widths, ReportItem& item) {
  if (m_snapshots++ > 0) {
    if (m_sink) m_snapshotTime = in.index().timeOf(m_kind, m_snapshots - 2);
    if (m_sink && !deliver(g)) return false;
    if (!m_sink && m_snapshots == 2) {
      // the first may have taken its time from a date line inside it, after its label was set
      if (const std::string& first = in.index().timeOf(m_kind, 0); !first.empty()) m_label = first;
      if (addSnapshotColumn(in, g) && item.var >= m_snapshotCol) {  // the line's variable moved on
        ++item.var;
        item.name = m_report.vars[item.var].name;
      }
      if (m_snapshotCol >= 0 && m_sizeColumns) widths.widen(m_snapshotCol, m_label);  // none in a full table
    }
  }
  if (!m_sink) g.setSnapshot(m_snapshots - 1);  // a sink's grid holds one
  m_label = "#" + std::to_string(m_snapshots);  // until its section has a time
  if (m_snapshotCol >= 0 && m_sizeColumns) widths.widen(m_snapshotCol, m_label);
  return true;
}

/// The snapshot's time, once its record has one, becomes its label: at its beginning the
/// time it takes from before it, at its own "Snapshot timestamp" that one.
void ReportLoader::noteSnapshotTime(const EntryReader& in, ColumnWidths& widths) {
  const KindSection* section = in.index().current();
  if (section == nullptr || section->time.empty() || section->time == m_label) return;
  m_label = section->time;
  if (m_snapshotCol >= 0 && m_sizeColumns) widths.widen(m_snapshotCol, m_label);
}

/// The Snapshot column: the configuration's, else a new first one; the rows written so far
/// are of the first snapshot. Returns whether it was inserted.
bool ReportLoader::addSnapshotColumn(EntryReader& in, Grid& g) {
  int col = m_report.vars.lookup(kSnapshotColumn);
  const bool insert = col < 0;
  if (insert) {
    if (m_report.vars.full()) return false;  // the report's own variables come first
    col = 0;
    m_report.vars.insertName(col, kSnapshotColumn);
    g.insertColumn(col);
    auto& vals = m_load.vals;  // of the entry being read
    std::move_backward(vals.begin() + col, vals.begin() + m_report.vars.lastIndex(),
                       vals.begin() + m_report.vars.lastIndex() + 1);
    vals[static_cast<size_t>(col)].clear();
    in.variableInserted(col);
    m_owners.variableInserted(col);
    repeatsInserted(col);
    if (m_filterColumnName.empty() && m_load.filterColumn >= col) ++m_load.filterColumn;
  }
  m_snapshotCol = col;
  for (int row = 1; row <= m_counters.nout; ++row) g.setText(row, col, m_label);
  return insert;
}

void ReportLoader::read(const std::string& file, Grid& g) {
  std::optional<EntryReader> reader;
  open(reader, file, partsOf(file));
  EntryReader& in = *reader;
  if (m_sink) in.keepRecentSnapshots();  // snapshot by snapshot: memory flat
  m_snapshotTime.clear();
  m_preamble.clear();
  m_startName.clear();
  m_observer.setFileTime(in.modified());
  ColumnWidths widths(m_report.vars, m_measure);
  LoadProgress progress(m_observer, g);
  struct KeepIndex {  // on every way out, also after Stop or an error
    KindsIndex& to;
    const EntryReader& from;
    ~KeepIndex() {
      to = from.index();
      to.finish(from.lineNumber(), from.nextOffset());
    }
  } keep{m_index, in};
  while (!m_load.stopRequested && in.nextLine()) {
    progress.lineRead(++m_counters.nread, m_counters.nout);
    ReportItem item = in.cut();
    if (item.kind == ReportItem::Kind::Heading) {
      if (m_active) finishEntry(g);  // a heading ends the entry being read
      m_active = false;              // until its section names a kind
    }
    if (item.opensSection) {
      // the configuration read for the kind chosen here may hold the line's variable
      if (takeKind(in.sectionHeading(), in.sectionKind())) item.var = m_report.vars.lookup(item.name);
      in.setLookups(m_active);
    }
    if (!m_active || item.kind == ReportItem::Kind::None) continue;
    if (item.beginsSnapshot && !beginSnapshot(in, g, widths, item)) {
      m_sinkStopped = true;
      break;
    }
    if (item.beginsSnapshot || item.name == kSnapshotTimeName) noteSnapshotTime(in, widths);
    if (item.kind == ReportItem::Kind::Preamble) m_preamble.emplace_back(item.name, item.text);
    if (item.kind == ReportItem::Kind::Value) {
      if (item.beginsEntry) {
        if (m_startName.empty()) m_startName = in.startName();
        finishEntry(g);
        m_owners.entryBegins(item);
        m_load.clearVals(m_report.vars.lastIndex());
        m_filled.reset();
        ++m_counters.nentry;
      }
      const int var = item.var >= 0 ? item.var : m_report.vars.appendName(item.name);
      const int idx = columnOf(var);
      in.stored(var, idx);
      m_load.vals[static_cast<size_t>(idx)] = item.text;
      m_hasdata = true;
      if (m_sizeColumns) widths.widen(idx, item.text);
    }
  }
}

/// The column of a value of `var` in the entry being read: `var` the first time, the
/// variable "NAME #2" the second (appended when the table lacks it), "NAME #3" the third, ...
int ReportLoader::columnOf(int var) {
  int column = var;
  for (int time = 2; m_filled.test(static_cast<size_t>(column)); ++time) {
    int16_t& again = m_again[static_cast<size_t>(column)];
    if (again < 0) {
      const std::string name = m_report.vars[var].name + " #" + std::to_string(time);
      const int found = m_report.vars.lookup(name);
      again = static_cast<int16_t>(found >= 0 ? found : m_report.vars.appendName(name));
    }
    column = again;
  }
  m_filled.set(static_cast<size_t>(column));
  return column;
}

/// A variable was inserted at `at`: the columns of repeated names follow the ones that moved.
void ReportLoader::repeatsInserted(int at) {
  for (int i = kMaxVars - 1; i > at; --i) {
    m_filled[static_cast<size_t>(i)] = m_filled[static_cast<size_t>(i - 1)];
    m_again[static_cast<size_t>(i)] = m_again[static_cast<size_t>(i - 1)];
  }
  m_filled[static_cast<size_t>(at)] = false;
  m_again[static_cast<size_t>(at)] = -1;
  for (int16_t& again : m_again)
    if (again >= at) ++again;
}

void ReportLoader::finishEntry(Grid& g) {
  if (!m_hasdata) return;
  m_hasdata = false;  // also when filtered out: a heading and the next entry both end it
  if (m_snapshotCol >= 0) m_load.vals[static_cast<size_t>(m_snapshotCol)] = m_label;
  m_owners.fill(m_load.vals);
  if (!passesFilters()) return;
  ++m_counters.nout;
  writeEntryRow(m_report.vars.lastIndex(), g, m_counters.nout, m_load);
  m_owners.mark(g, m_counters.nout);
}

/// The entry's value of the variable `name`; a Snapshot column still to come has its label.
std::string_view ReportLoader::valueOf(std::string_view name) const {
  if (name == kSnapshotColumn && m_snapshotCol < 0 && !m_sink) return m_label;
  const int col = m_report.vars.lookup(name);
  return col < 0 ? std::string_view() : std::string_view(m_load.vals[static_cast<size_t>(col)]);
}

bool ReportLoader::passesFilters() const {
  if (!m_load.filterValue.empty()) {
    const int col = m_load.filterColumn;
    if (!m_filterColumnName.empty()) {
      if (valueOf(m_filterColumnName) != m_load.filterValue) return false;
    } else if (col < 0 || col >= kMaxVars || m_load.vals[static_cast<size_t>(col)] != m_load.filterValue) {
      return false;
    }
  }
  return m_filter.empty() || m_filter.keeps([this](std::string_view name) { return valueOf(name); });
}

void ReportLoader::finishGrid(Grid& g) {
  try {
    writeHeaderRow(m_report.vars.lastIndex(), g, m_report.vars);
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
  m_observer.setStatus(progressText(m_counters.nread, m_counters.nout, true));
  m_load.filterValue.clear();
}

}  // namespace tarvolin::core
