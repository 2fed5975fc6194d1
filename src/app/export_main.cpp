// tarvolin-export: loads a report the way the viewer does and writes its grid to
// standard output, as TAB-separated text or as CSV.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/export_options.h"
#include "core/grid_store.h"
#include "core/grow_buffer.h"
#include "core/report_parser.h"

namespace {

using namespace tarvolin;

/// Reports load errors on standard error.
class StderrObserver : public core::NullLoadObserver {
 public:
  void setStatus(const std::string& text) override { m_status = text; }
  void showError(const std::string& message) override {
    std::fprintf(stderr, "tarvolin-export: %s\n", message.c_str());
    m_failed = true;
  }
  [[nodiscard]] const std::string& status() const { return m_status; }
  [[nodiscard]] bool failed() const { return m_failed; }

 private:
  std::string m_status;
  bool m_failed = false;
};

/// Buffered standard output: rows are gathered in 256 KiB (small enough to stay in the
/// cache) and written with one call.
class Output {
 public:
  Output() : m_buf(new char[kSize]) {}
  ~Output() { flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void put(std::string_view text) {
    if (kSize - m_used < text.size()) {
      flush();
      if (text.size() > kSize) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return;
      }
    }
    std::memcpy(m_buf.get() + m_used, text.data(), text.size());
    m_used += text.size();
  }
  void put(char c) {
    if (m_used == kSize) flush();
    m_buf[m_used++] = c;
  }
  /// The unused part of the buffer, [cursor(), limit()): bytes written there count once
  /// commitTo() is called with the end of what was written.
  [[nodiscard]] char* cursor() { return m_buf.get() + m_used; }
  [[nodiscard]] char* limit() { return m_buf.get() + kSize; }
  void commitTo(const char* end) { m_used = static_cast<size_t>(end - m_buf.get()); }
  void flush() {
    if (m_used > 0) std::fwrite(m_buf.get(), 1, m_used, stdout);
    m_used = 0;
  }

 private:
  static constexpr size_t kSize = size_t{1} << 18;
  std::unique_ptr<char[]> m_buf;
  size_t m_used = 0;
};

/// One CSV field after RFC 4180: quoted when it holds a comma, a quote or a line end.
void putCsv(Output& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.put(text);
    return;
  }
  out.put('"');
  for (size_t from = 0;;) {
    const size_t quote = text.find('"', from);
    out.put(text.substr(from, quote == std::string_view::npos ? std::string_view::npos : quote + 1 - from));
    if (quote == std::string_view::npos) break;
    out.put('"');
    from = quote + 1;
  }
  out.put('"');
}

/// One row the plain way, for a row that doesn't fit in what is left of the buffer.
void writeTabRowSlowly(const core::GridStore& g, int r, const std::vector<int>& cols, Output& out) {
  for (size_t i = 0; i < cols.size(); ++i) {
    out.put(g.textUnchecked(r, cols[i]));
    out.put(i + 1 < cols.size() ? '\t' : '\n');
  }
}

/// TAB between cells, LF after each row. A row is copied straight into the buffer and
/// committed when it is complete; only a row that would overflow it goes the slow way.
void writeTab(const core::GridStore& g, const std::vector<int>& cols, Output& out) {
  for (int r = 0; r < g.rows(); ++r) {
    char* at = out.cursor();
    char* const end = out.limit();
    bool fits = true;
    for (int c : cols) {
      const std::string_view text = g.textUnchecked(r, c);
      if (static_cast<size_t>(end - at) <= text.size()) {
        fits = false;
        break;
      }
      core::copyBytes(at, text.data(), text.size());  // cells are short: no call per cell
      at += text.size();
      *at++ = '\t';
    }
    if (fits) {
      at[-1] = '\n';
      out.commitTo(at);
    } else {
      writeTabRowSlowly(g, r, cols, out);
    }
  }
}

/// RFC 4180: comma between fields, CR LF after each row.
void writeCsv(const core::GridStore& g, const std::vector<int>& cols, Output& out) {
  for (int r = 0; r < g.rows(); ++r) {
    for (size_t i = 0; i < cols.size(); ++i) {
      if (i > 0) out.put(',');
      putCsv(out, g.textUnchecked(r, cols[i]));
    }
    out.put('\r');
    out.put('\n');
  }
}

/// The grid in row order: shown columns only (width above 0) unless `allColumns`.
void writeGrid(const core::GridStore& g, int columns, bool allColumns, bool csv) {
  std::vector<int> cols;
  for (int c = 0; c < columns && c < g.cols(); ++c)
    if (allColumns || g.colWidth(c) > 0) cols.push_back(c);
  if (cols.empty()) return;
  Output out;
  if (csv)
    writeCsv(g, cols, out);
  else
    writeTab(g, cols, out);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = app::parseExportOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tarvolin-export: %s\n%s\n", error.c_str(), app::kExportUsage);
    return 2;
  }
  core::SharedState shared;
  core::LoadState load;
  core::GridStore grid;
  core::FixedTextMeasure measure;
  StderrObserver observer;

  if (options->filter) {
    // The filter picks its column by index, as the viewer's reload does: a first load
    // finds the variable's index in this report. If that load fails, the second one
    // reports why.
    core::NullLoadObserver quiet;
    core::ReportLoader first(shared, load, quiet, measure);
    first.do_refresh(options->report, grid);
    const int idx = shared.vars.lookup(options->filterName);
    if (idx < 0 && !first.counters().failed) {
      std::fprintf(stderr, "tarvolin-export: the report has no variable named \"%s\"\n", options->filterName.c_str());
      return 1;
    }
    if (idx >= 0) {
      load.like_col = static_cast<int16_t>(idx);
      load.like_val = options->filterValue;
    }
  }
  core::ReportLoader loader(shared, load, observer, measure);
  loader.do_refresh(options->report, grid);
  writeGrid(grid, shared.vars.count(), options->allColumns, options->csv);
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", observer.status().c_str());
  return observer.failed() ? 1 : 0;
}
