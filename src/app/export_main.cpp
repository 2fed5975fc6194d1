// tarvolin-export: loads a report the way the viewer does and writes its grid to
// standard output, as TAB-separated text or as CSV.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/export_options.h"
#include "core/grid_store.h"
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

class Output {
 public:
  explicit Output(bool csv) : m_csv(csv) { m_buf.reserve(kFlushAt + 65536); }
  ~Output() { flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void cell(std::string_view text, bool first) {
    if (!first) m_buf.push_back(m_csv ? ',' : '\t');
    if (m_csv && text.find_first_of(",\"\r\n") != std::string_view::npos) {
      m_buf.push_back('"');
      for (char c : text) {
        if (c == '"') m_buf.push_back('"');
        m_buf.push_back(c);
      }
      m_buf.push_back('"');
    } else {
      m_buf.append(text);
    }
  }
  void endRow() {
    if (m_csv) m_buf.push_back('\r');
    m_buf.push_back('\n');
    if (m_buf.size() >= kFlushAt) flush();
  }
  void flush() {
    if (!m_buf.empty()) std::fwrite(m_buf.data(), 1, m_buf.size(), stdout);
    m_buf.clear();
  }

 private:
  static constexpr size_t kFlushAt = size_t{1} << 20;
  bool m_csv;
  std::string m_buf;
};

void writeGrid(const core::GridStore& g, int columns, bool allColumns, bool csv) {
  std::vector<int> cols;
  for (int c = 0; c < columns && c < g.cols(); ++c)
    if (allColumns || g.colWidth(c) > 0) cols.push_back(c);
  if (cols.empty()) return;
  Output out(csv);
  for (int r = 0; r < g.rows(); ++r) {
    bool first = true;
    for (int c : cols) {
      out.cell(g.textUnchecked(r, c), first);
      first = false;
    }
    out.endRow();
  }
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
    // finds the variable's index in this report.
    core::NullLoadObserver quiet;
    core::ReportLoader(shared, load, quiet, measure).do_refresh(options->report, grid);
    const int idx = shared.vars.lookup(options->filterName);
    if (idx < 0) {
      std::fprintf(stderr, "tarvolin-export: the report has no variable named \"%s\"\n",
                   options->filterName.c_str());
      return 1;
    }
    load.like_col = static_cast<int16_t>(idx);
    load.like_val = options->filterValue;
  }
  core::ReportLoader loader(shared, load, observer, measure);
  loader.do_refresh(options->report, grid);
  writeGrid(grid, shared.vars.count(), options->allColumns, options->csv);
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", observer.status().c_str());
  return observer.failed() ? 1 : 0;
}
