#include "core/snapshot_load.h"

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "core/entry_reader.h"
#include "core/load_observer.h"
#include "core/report_loader.h"

namespace tarvolin::core {

namespace {

constexpr std::string_view kTimeName = "Snapshot timestamp";

/// Keeps the status line and the first error.
class KeepingObserver : public NullLoadObserver {
 public:
  explicit KeepingObserver(LoadedSnapshot& out) : m_out(out) {}
  void setStatus(const std::string& text) override { m_out.status = text; }
  void showError(const std::string& message) override {
    if (m_out.error.empty()) m_out.error = message;
  }

 private:
  LoadedSnapshot& m_out;
};

}  // namespace

void loadSnapshot(const std::string& path, int index, const std::string& configFolder, LoadedSnapshot& out,
                  bool sizeColumns) {
  LoadState load;
  KeepingObserver observer(out);
  FixedTextMeasure measure;
  ReportLoader loader(out.shared, load, observer, measure, configFolder);
  loader.setSnapshot(index);
  loader.setSizeColumns(sizeColumns);
  loader.do_refresh(path, out.grid);
  out.time = loader.snapshotTime();
  out.preamble = loader.preamble();
  out.startName = loader.startName();
  const int col = out.shared.vars.lookup(kTimeName);
  if (out.time.empty() && col >= 0 && out.grid.rows() > 1) out.time = out.grid.text(1, col);
}

void loadSnapshotPair(const std::string& path1, int index1, const std::string& path2, int index2,
                      const std::string& configFolder, LoadedSnapshot& out1, LoadedSnapshot& out2, bool sizeColumns) {
  std::exception_ptr failure;  // of the first load, on its own thread
  const auto loadFirst = [&] {
    try {
      loadSnapshot(path1, index1, configFolder, out1, sizeColumns);
    } catch (...) {
      failure = std::current_exception();
    }
  };
  std::optional<std::jthread> first;  // joined on every way out
  try {
    first.emplace(loadFirst);
  } catch (const std::system_error&) {
    loadFirst();  // no thread to be had: one after the other
  }
  loadSnapshot(path2, index2, configFolder, out2, sizeColumns);
  if (first) first->join();
  if (failure) std::rethrow_exception(failure);
}

std::vector<std::string> listSnapshots(const std::string& path) {
  VariableTable vars;
  EntryReader in(path, vars);
  in.splitSnapshots();
  std::vector<std::string> times;
  while (in.nextLine()) {
    const ReportItem item = in.cut();
    if (item.kind == ReportItem::Kind::Heading)
      times.emplace_back();
    else if (item.kind != ReportItem::Kind::None && item.name == kTimeName && times.back().empty())
      times.back() = item.text;  // of the preamble, or of an entry in a kind without one
  }
  return times;
}

}  // namespace tarvolin::core
