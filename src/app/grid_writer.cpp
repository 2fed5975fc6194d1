#include "app/grid_writer.h"

#include <algorithm>
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

void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, CheckedOutput& out) {
  if (cols.empty()) return;
  const bool escapes = !csv && mayNeedEscapes(g.textBytes());
  for (int r = 0; r < g.rows(); ++r) {
    for (size_t i = 0; i < cols.size(); ++i) {
      const std::string_view text = g.textUnchecked(r, cols[i]);
      if (csv) {
        if (i > 0) out.put(',');
        putCsv(out, text);
      } else {
        if (escapes)
          putTsv(out, text);
        else
          out.put(text);
        out.put(i + 1 < cols.size() ? '\t' : '\n');
      }
    }
    if (csv) out.put("\r\n");
  }
}

}  // namespace tarvolin::app
