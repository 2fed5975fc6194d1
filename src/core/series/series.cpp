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
  const bool first = m_names.empty();
  m_map.assign(static_cast<size_t>(c.cols), -1);
  for (int col = 0; col < c.cols; ++col) {
    std::string name(m_part.text(0, col));
    int& to = m_map[static_cast<size_t>(col)];
    if (first) {
      to = col + 2;
      m_index.emplace(name, to);
      m_names.push_back(std::move(name));
    } else if (const auto it = m_index.find(name); it != m_index.end()) {
      to = it->second;
    } else if (std::find(m_dropped.begin(), m_dropped.end(), name) == m_dropped.end()) {
      m_dropped.push_back(std::move(name));
    }
  }
  if (!first) return;
  m_out.clear();
  m_out.setCols(static_cast<int>(m_names.size()) + 2);
  m_out.setRows(1);
  m_out.setText(0, 0, "From");
  m_out.setText(0, 1, "To");
  for (size_t i = 0; i < m_names.size(); ++i) m_out.setText(0, static_cast<int>(i) + 2, m_names[i]);
}

void SeriesTable::write(SeriesInterval& iv, const std::function<void(const GridStore&)>& out) {
  const bool first = m_names.empty();
  mapColumns(iv);
  if (first) out(m_out);
  Comparison& c = iv.comparison;
  for (size_t begin = 0; begin < c.entries.size(); begin += kSlice) {
    const size_t end = std::min(begin + kSlice, c.entries.size());
    const int rows = static_cast<int>(end - begin);
    m_part.clear();
    m_part.setCols(c.cols);
    m_part.setRows(rows);
    writeComparison(c, iv.earlier, iv.later, begin, end, m_part, 0);
    m_out.clear();
    m_out.setCols(static_cast<int>(m_names.size()) + 2);
    m_out.setRows(rows);
    for (int r = 0; r < rows; ++r) {
      m_out.setText(r, 0, iv.from);
      m_out.setText(r, 1, iv.to);
      for (int col = 0; col < c.cols; ++col)
        if (const int to = m_map[static_cast<size_t>(col)]; to >= 0) m_out.setText(r, to, m_part.textUnchecked(r, col));
    }
    out(m_out);
  }
}

}  // namespace tarvolin::core
