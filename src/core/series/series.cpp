#include "core/series/series.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "core/derived/comparison_derived.h"
#include "core/series/snapshot_stream.h"

namespace tarvolin::core {

std::string snapshotLabel(const LoadedSnapshot& s, int number) {
  return s.time.empty() ? "#" + std::to_string(number) : s.time;
}

int forEachSeriesSnapshot(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take) {
  int number = 0;
  for (const std::string& path : source.paths)
    forEachSnapshot(path, source.kind, source.configFolder, [&](LoadedSnapshot& s) {
      if (!s.error.empty()) throw SeriesError(s.error);
      take(s, ++number);
    });
  return number;
}

int forEachInterval(const SeriesSource& source, const CounterTypes& types, std::optional<int64_t> givenMicros,
                    const std::function<void(SeriesInterval&)>& take) {
  LoadedSnapshot previous;  // the one before, kept whole: its rows are the earlier side
  std::string previousLabel;
  return forEachSeriesSnapshot(source, [&](LoadedSnapshot& s, int number) {
    std::string label = snapshotLabel(s, number);
    if (number > 1) {
      Comparison c = compareSnapshots(previous, s, types, givenMicros);
      SeriesInterval iv{previous, s, c, previousLabel, label, number - 1};
      take(iv);
    }
    previous = std::move(s);
    previousLabel = std::move(label);
  });
}

void SeriesTable::mapColumns(const SeriesInterval& iv) {
  const Comparison& c = iv.comparison;
  m_part.clear();
  m_part.setCols(c.cols);
  m_part.setRows(1);
  writeComparisonHeader(c, iv.later, m_part, 0);
  const int empty = c.cols + 2;
  if (m_names.empty()) {
    for (int col = 0; col < c.cols; ++col) {
      m_names.emplace_back(m_part.text(0, col));
      m_index.emplace(m_names.back(), col);
    }
  }
  m_cols.assign(m_names.size() + 2, empty);
  m_cols[0] = c.cols;
  m_cols[1] = c.cols + 1;
  for (size_t i = 0; i < 2 * m_derived.size(); ++i) m_cols.push_back(empty + 1 + static_cast<int>(i));
  std::vector<bool> taken(m_names.size(), false);
  for (int col = 0; col < c.cols; ++col) {
    std::string name(m_part.text(0, col));
    if (const auto it = m_index.find(name); it != m_index.end() && !taken[static_cast<size_t>(it->second)]) {
      taken[static_cast<size_t>(it->second)] = true;
      m_cols[static_cast<size_t>(it->second) + 2] = col;
    } else if (std::find(m_dropped.begin(), m_dropped.end(), name) == m_dropped.end()) {
      m_dropped.push_back(std::move(name));
    }
  }
}

void SeriesTable::write(SeriesInterval& iv, const Output& out) {
  Comparison& c = iv.comparison;
  const bool first = m_names.empty();
  if (first && m_definitions != nullptr) {
    m_kindColumns = m_definitions->forKind(iv.later.shared.snaptype);
    if (m_addDerived) {
      DerivedFit fit = fitDerivedColumns(m_kindColumns, iv.later.shared.vars, iv.later.grid);
      m_derived = std::move(fit.columns);
      m_clashes = std::move(fit.clashes);
    }
  }
  leaveOutPlaceholders(c, iv.earlier, iv.later, m_kindColumns);
  const ComparisonDerived derived(m_derived, c);  // bound to this interval's columns
  mapColumns(iv);
  if (first) {
    const int names = static_cast<int>(m_names.size());
    GridStore header;
    header.setCols(names + 2 + derived.cols());
    header.setRows(1);
    header.setText(0, 0, "From");
    header.setText(0, 1, "To");
    for (int i = 0; i < names; ++i) header.setText(0, i + 2, m_names[static_cast<size_t>(i)]);
    derived.writeHeader(header, 0, names + 2);
    std::vector<int> cols(static_cast<size_t>(header.cols()));
    std::iota(cols.begin(), cols.end(), 0);
    out(header, cols);
  }
  for (size_t begin = 0; begin < c.entries.size(); begin += kSlice) {
    const size_t end = std::min(begin + kSlice, c.entries.size());
    const int rows = static_cast<int>(end - begin);
    m_part.clear();
    m_part.setCols(c.cols + 3 + derived.cols());
    m_part.setRows(rows);
    writeComparison(c, iv.earlier, iv.later, begin, end, m_part, 0);
    for (int r = 0; r < rows; ++r) {
      m_part.setText(r, c.cols, iv.from);
      m_part.setText(r, c.cols + 1, iv.to);
    }
    derived.fill(m_part, 0, rows, m_part, c.cols + 3);
    out(m_part, m_cols);
  }
}

}  // namespace tarvolin::core
