#include "core/read/snapshot_load.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "core/read/entry_reader.h"
#include "core/read/known_indexes.h"
#include "core/read/load_observer.h"
#include "core/read/report_loader.h"

namespace tarvolin::core {

namespace {

/// Keeps the status line and the first error.
class KeepingObserver : public NullLoadObserver {
 public:
  explicit KeepingObserver(SnapshotPass& out) : m_out(out) {}
  void setStatus(const std::string& text) override { m_out.status = text; }
  void showError(const std::string& message) override {
    if (m_out.error.empty()) m_out.error = message;
  }

 private:
  SnapshotPass& m_out;
};

/// Says in `out` that the file lacks the kind (or why it could not be read).
void missingKind(const std::string& path, const SnapshotPass& pass, LoadedSnapshot& out) {
  out.noSuchKind = pass.error.empty();
  out.fileKinds = pass.index.kinds();
  if (!pass.error.empty())
    out.error = pass.error;
  else if (pass.index.kinds().empty())
    out.error = path + " holds no report";
  else
    out.error = path + " holds no such kind of report; its kinds are:\n" + listKinds(pass.index.kinds());
}

/// One load of the chosen kind of `path` into `out`: snapshot by snapshot through `take`
/// when there is one (`out` then holds each in turn), else all its snapshots as one grid.
/// Of a file whose index is remembered only the kind's records are read, snapshots `first`
/// to `last` of it.
SnapshotPass load(const std::string& path, const KindChoice& kind, const std::string& configFolder, bool sizeColumns,
                  LoadedSnapshot& out, const std::function<bool(LoadedSnapshot&)>* take, int first = 0,
                  int last = INT_MAX) {
  SnapshotPass pass;
  SharedState shared;
  LoadState state;
  KeepingObserver observer(pass);
  FixedTextMeasure measure;
  // Snapshot by snapshot, the load's own report keeps the variables met so far, which each
  // snapshot's report copies; else the load fills `out`'s report.
  Report model;
  ReportLoader loader(shared, take != nullptr ? model : out.report(), state, observer, measure, configFolder);
  loader.setKind(kind);
  loader.setSizeColumns(sizeColumns);
  loader.setKnownIndex(path, rememberedIndex(path), first, last);
  if (take != nullptr) {
    loader.setSnapshotSink([&](Grid&) {
      out.report().copyModelOf(model);
      out.status = pass.status;
      out.error = loader.counters().failed ? pass.error : std::string();
      const bool more = (*take)(out);
      out.grid = GridStore();  // were it moved out
      return more;
    });
  }
  loader.load(path, out.grid);
  if (take == nullptr) {
    out.status = pass.status;
    out.error = pass.error;
  }
  pass.parts = loader.readParts();
  pass.index = pass.parts ? loader.index().kindsOnly() : loader.index();
  pass.kind = loader.loadedKind();
  return pass;
}

/// Loads snapshot `index` (from 0; past the last, the last) of the chosen kind into `out`;
/// returns how many snapshots were read, 0 (with `out` saying so) when the file has none such.
int loadIndexed(const std::string& path, int index, const std::string& configFolder, LoadedSnapshot& out,
                bool sizeColumns, const KindChoice& kind) {
  int n = 0;
  int only = INT_MAX;  // of a remembered file, the one snapshot wanted
  if (const auto known = rememberedIndex(path); known && known->find(kind) >= 0)
    only = std::min(index, known->kinds()[static_cast<size_t>(known->find(kind))].snapshots - 1);
  LoadedSnapshot current;
  const std::function<bool(LoadedSnapshot&)> take = [&](LoadedSnapshot& s) {
    out = takeSnapshot(s);
    return ++n <= index;
  };
  const SnapshotPass pass = load(path, kind, configFolder, sizeColumns, current, &take, only, only);
  if (n == 0) missingKind(path, pass, out);
  return n > 0 && pass.parts ? pass.index.kinds()[static_cast<size_t>(pass.kind)].snapshots : n;
}

}  // namespace

LoadedSnapshot takeSnapshot(LoadedSnapshot& s) {
  return {std::move(s.grid), s.status, s.error, s.noSuchKind, s.fileKinds};
}

SnapshotPass forEachSnapshot(const std::string& path, const KindChoice& kind, const std::string& configFolder,
                             const std::function<bool(LoadedSnapshot&)>& take, bool sizeColumns, int first, int last) {
  LoadedSnapshot current;
  return load(path, kind, configFolder, sizeColumns, current, &take, first, last);
}

void loadSnapshot(const std::string& path, int index, const std::string& configFolder, LoadedSnapshot& out,
                  bool sizeColumns, const KindChoice& kind) {
  if (index == ReportLoader::kWholeFile) {
    const SnapshotPass pass = load(path, kind, configFolder, sizeColumns, out, nullptr);
    if (pass.kind < 0 && out.error.empty()) missingKind(path, pass, out);
    return;
  }
  (void)loadIndexed(path, index, configFolder, out, sizeColumns, kind);
}

int loadLastSnapshot(const std::string& path, const std::string& configFolder, LoadedSnapshot& out, bool sizeColumns,
                     const KindChoice& kind) {
  return loadIndexed(path, ReportLoader::kLastSnapshot, configFolder, out, sizeColumns, kind);
}

void loadSnapshotPair(const std::string& path1, int index1, const std::string& path2, int index2,
                      const std::string& configFolder, LoadedSnapshot& out1, LoadedSnapshot& out2, bool sizeColumns,
                      const KindChoice& kind) {
  std::exception_ptr failure;  // of the first load, on its own thread
  const auto loadFirst = [&] {
    try {
      loadSnapshot(path1, index1, configFolder, out1, sizeColumns, kind);
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
  loadSnapshot(path2, index2, configFolder, out2, sizeColumns, kind);
  if (first) first->join();
  if (failure) std::rethrow_exception(failure);
}

void loadFirstAndLast(const std::string& path1, const std::string& path2, const std::string& configFolder,
                      LoadedSnapshot& first, LoadedSnapshot& last, bool sizeColumns, const KindChoice& kind) {
  if (path1 != path2) {
    loadSnapshotPair(path1, 0, path2, ReportLoader::kLastSnapshot, configFolder, first, last, sizeColumns, kind);
    return;
  }
  int n = 0;
  const SnapshotPass pass = forEachSnapshot(
      path1, kind, configFolder,
      [&](LoadedSnapshot& s) {
        last = takeSnapshot(s);
        if (n++ == 0) first = last;
        return true;
      },
      sizeColumns);
  if (n == 0) {
    missingKind(path1, pass, first);
    missingKind(path1, pass, last);
  }
}

KindsIndex indexKinds(const std::string& path) {
  VariableTable vars;
  EntryReader in(path, vars);
  while (in.nextLine()) in.cut();
  return in.index();
}

std::vector<std::string> listSnapshots(const std::string& path, const KindChoice& kind) {
  std::shared_ptr<const KindsIndex> known = rememberedIndex(path);
  if (!known) {
    known = std::make_shared<const KindsIndex>(indexKinds(path));
    rememberIndex(path, known);
  }
  const KindsIndex& index = *known;
  const int chosen = index.find(kind);
  std::vector<std::string> times;
  for (const KindSection& s : index.sections()) {
    if (s.kind != chosen) continue;
    if (static_cast<size_t>(s.snapshot) >= times.size()) times.resize(static_cast<size_t>(s.snapshot) + 1);
    if (times[static_cast<size_t>(s.snapshot)].empty()) times[static_cast<size_t>(s.snapshot)] = s.time;
  }
  return times;
}

}  // namespace tarvolin::core
