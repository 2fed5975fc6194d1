#include "app/sqlite_export.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "app/program_folder.h"
#include "app/spooled_input.h"
#include "core/database/capture_load.h"

namespace tarvolin::app {

namespace {

/// The loader a SIGINT or SIGTERM stops, while a load runs.
std::atomic<core::CaptureLoader*> g_stoppable = nullptr;

extern "C" void requestStop(int) {
  if (core::CaptureLoader* loader = g_stoppable.load()) loader->requestStop();
}

/// Sends SIGINT and SIGTERM to `loader` while this object lives; the handlers before it after.
class StopOnSignal {
 public:
  explicit StopOnSignal(core::CaptureLoader& loader) {
    g_stoppable = &loader;
    m_int = std::signal(SIGINT, requestStop);
    m_term = std::signal(SIGTERM, requestStop);
  }
  ~StopOnSignal() {
    std::signal(SIGINT, m_int);
    std::signal(SIGTERM, m_term);
    g_stoppable = nullptr;
  }
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

 private:
  void (*m_int)(int);
  void (*m_term)(int);
};

/// Loads the reports one after the other; the exit status.
int loadAll(core::CaptureStore& store, const ExportOptions& options, core::CounterTypes types) {
  core::CaptureLoader loader(store, {".", options.dateOrder, std::move(types)});
  const StopOnSignal stop(loader);
  std::optional<SpooledInput> spooled;
  int loaded = 0, skipped = 0, added = 0, present = 0;
  for (const std::string& report : options.reports) {
    const std::string path = spooledPath(report, spooled);
    if (path.empty()) return 1;
    try {
      const core::CaptureOutcome out = loader.load(path, report);
      if (out.skipped) {
        std::fprintf(stderr, "%s: loaded before, skipped\n", report.c_str());
        ++skipped;
        continue;
      }
      if (out.kinds.empty()) std::fprintf(stderr, "%s: holds no report\n", report.c_str());
      ++loaded;
      added += out.added;
      present += out.present;
    } catch (const core::CaptureError& e) {
      std::fprintf(stderr, "tarvolin-export: %s; that file was rolled back%s\n", e.what(),
                   loaded > 0 ? ", the files before it are stored" : "");
      return 1;
    }
  }
  std::fprintf(stderr, "Files loaded: %d, skipped: %d; snapshots added: %d, stored before: %d\n", loaded, skipped,
               added, present);
  return 0;
}

}  // namespace

int exportSqlite(const ExportOptions& options, const char* argv0) {
  std::optional<core::CounterTypes> types = readCounterTypes(argv0);
  if (!types) return 1;
  std::optional<core::CaptureStore> store;
  try {
    store.emplace(options.database);
  } catch (const core::ForeignDatabaseError& e) {
    std::fprintf(stderr, "tarvolin-export: %s is %s; refused, left as it was\n", options.database.c_str(), e.what());
    return 1;
  } catch (const core::DatabaseError& e) {
    std::fprintf(stderr, "tarvolin-export: Cannot open the database %s: %s\n", options.database.c_str(), e.what());
    return 1;
  }
  return loadAll(*store, options, std::move(*types));
}

}  // namespace tarvolin::app
