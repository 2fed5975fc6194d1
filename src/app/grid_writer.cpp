#include "app/grid_writer.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace tarvolin::app {

namespace {

/// One CSV field after RFC 4180: quoted when it holds a comma, a quote or a line end.
void putCsv(CheckedOutput& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.put(text);
    return;
  }
  out.put('"');
  for (char c : text) {
    if (c == '"') out.put('"');
    out.put(c);
  }
  out.put('"');
}

/// One TSV field: a TAB, CR or LF inside it is written as \t, \r or \n, so that each
/// row stays one line of the same number of fields. Backslashes stay as they are.
void putTsv(CheckedOutput& out, std::string_view text) {
  for (size_t at; (at = text.find_first_of("\t\r\n")) != std::string_view::npos; text.remove_prefix(at + 1)) {
    out.put(text.substr(0, at));
    out.put(text[at] == '\t' ? "\\t" : text[at] == '\r' ? "\\r" : "\\n");
  }
  out.put(text);
}

/// Whether any byte is TAB, CR, LF or another below CR: one pass the compiler vectorises,
/// so that the cells of a grid without them are written without looking at each.
bool mayNeedEscapes(std::string_view bytes) {
  unsigned char lowest = 0xFF;
  for (const char c : bytes) lowest = std::min(lowest, static_cast<unsigned char>(c));
  return lowest <= '\r';
}

}  // namespace

namespace {

/// Rows of `rows` cells of `columns` texts, `text(r, i)` the text of row r, column i.
template <typename Text>
void writeRows(int rows, size_t columns, const Text& text, bool escapes, bool csv, CheckedOutput& out) {
  if (columns == 0) return;
  for (int r = 0; r < rows; ++r) {
    for (size_t i = 0; i < columns; ++i) {
      const std::string_view cell = text(r, i);
      if (csv) {
        if (i > 0) out.put(',');
        putCsv(out, cell);
      } else {
        if (escapes)
          putTsv(out, cell);
        else
          out.put(cell);
        out.put(i + 1 < columns ? '\t' : '\n');
      }
    }
    if (csv) out.put("\r\n");
  }
}

}  // namespace

std::vector<int> firstColumns(int count) {
  std::vector<int> cols(static_cast<size_t>(std::max(count, 0)));
  std::iota(cols.begin(), cols.end(), 0);
  return cols;
}

void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, CheckedOutput& out) {
  const bool escapes = !csv && mayNeedEscapes(g.textBytes());
  writeRows(
      g.rows(), cols.size(), [&](int r, size_t i) { return g.textUnchecked(r, cols[i]); }, escapes, csv, out);
}

void writeGrid(const core::GridStore& g, const std::vector<int>& cols, const core::GridStore& extra,
               const std::vector<int>& extraCols, bool csv, CheckedOutput& out) {
  const bool escapes = !csv && (mayNeedEscapes(g.textBytes()) || mayNeedEscapes(extra.textBytes()));
  const size_t own = cols.size();
  writeRows(
      g.rows(), own + extraCols.size(),
      [&](int r, size_t i) {
        return i < own ? g.textUnchecked(r, cols[i]) : extra.textUnchecked(r, extraCols[i - own]);
      },
      escapes, csv, out);
}

void exportGrid(const core::GridStore& g, int columns, bool allColumns, bool csv, const std::vector<int>& leaveOut,
                const core::GridStore* derived, const std::vector<int>& derivedLeaveOut) {
  std::vector<int> cols;
  for (int c = 0; c < columns && c < g.cols(); ++c)
    if ((allColumns || g.colWidth(c) > 0) && !std::binary_search(leaveOut.begin(), leaveOut.end(), c))
      cols.push_back(c);
  std::vector<int> more;
  for (int c = 0; derived != nullptr && !cols.empty() && c < derived->cols(); ++c)
    if (!std::binary_search(derivedLeaveOut.begin(), derivedLeaveOut.end(), c)) more.push_back(c);
  if (!more.empty())
    writeGrid(g, cols, *derived, more, csv, standardOutput());
  else
    writeGrid(g, cols, csv, standardOutput());
  standardOutput().flush();
}

}  // namespace tarvolin::app
