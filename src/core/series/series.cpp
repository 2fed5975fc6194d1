#include "core/series/series.h"

#include <algorithm>
#include <utility>

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
  if (m_names.empty()) {
    mapColumns(iv);
    GridStore header;
    header.setCols(static_cast<int>(m_names.size()) + 2);
    header.setRows(1);
    header.setText(0, 0, "From");
    header.setText(0, 1, "To");
    std::vector<int> cols{0, 1};
    for (size_t i = 0; i < m_names.size(); ++i) {
      header.setText(0, static_cast<int>(i) + 2, m_names[i]);
      cols.push_back(static_cast<int>(i) + 2);
    }
    out(header, cols);
  } else {
    mapColumns(iv);
  }
  Comparison& c = iv.comparison;
  for (size_t begin = 0; begin < c.entries.size(); begin += kSlice) {
    const size_t end = std::min(begin + kSlice, c.entries.size());
    const int rows = static_cast<int>(end - begin);
    m_part.clear();
    m_part.setCols(c.cols + 3);
    m_part.setRows(rows);
    writeComparison(c, iv.earlier, iv.later, begin, end, m_part, 0);
    for (int r = 0; r < rows; ++r) {
      m_part.setText(r, c.cols, iv.from);
      m_part.setText(r, c.cols + 1, iv.to);
    }
    out(m_part, m_cols);
  }
}

}  // namespace tarvolin::core
