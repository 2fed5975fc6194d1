#include "core/database/capture_load.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>

#include "core/database/sql_values.h"
#include "core/read/report_loader.h"
#include "core/read/snapshot_load.h"

namespace tarvolin::core {

namespace {

/// Keeps the load's first error.
class ErrorObserver : public NullLoadObserver {
 public:
  void showError(const std::string& message) override {
    if (m_error.empty()) m_error = message;
  }
  [[nodiscard]] const std::string& error() const { return m_error; }

 private:
  std::string m_error;
};

/// The order of a file's dates: `given`, else as its snapshots' times show.
DateOrder orderOf(const KindsIndex& index, std::optional<DateOrder> given) {
  if (given) return *given;
  DateOrderEvidence evidence;
  for (const KindSection& s : index.sections()) evidence.add(s.time);
  return evidence.order();
}

void widen(std::optional<std::string>& first, std::optional<std::string>& last, const std::optional<std::string>& t) {
  if (!t) return;
  if (!first || *t < *first) first = t;
  if (!last || *t > *last) last = t;
}

}  // namespace

CaptureFile captureFileOf(const std::string& path, const std::string& name) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw ReadError(path + ": " + std::strerror(errno));
  std::tm t{};
  localtime_r(&st.st_mtim.tv_sec, &t);
  char text[48];
  const size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &t);
  std::snprintf(text + n, sizeof text - n, ".%06ld", st.st_mtim.tv_nsec / 1000);
  return {name, static_cast<uint64_t>(st.st_size), text};
}

CaptureLoader::CaptureLoader(CaptureStore& store, CaptureOptions options)
    : m_store(store), m_options(std::move(options)) {}

CaptureOutcome CaptureLoader::load(const std::string& path, const std::string& name) {
  const std::string recorded = name.empty() ? path : name;
  const auto fail = [&](CaptureError::Cause cause, const std::string& why) {
    m_store.rollback();
    return CaptureError(cause, recorded + ": " + why);
  };
  try {
    return loadFile(path, recorded);
  } catch (const CaptureError& e) {
    throw fail(e.cause(), e.what());
  } catch (const DatabaseError& e) {
    if (e.full()) throw fail(CaptureError::Cause::Full, "the disk is full (" + std::string(e.what()) + ")");
    throw fail(CaptureError::Cause::Database, e.what());
  } catch (const std::exception& e) {  // ReadError, std::bad_alloc, a kept snapshot gone wrong
    throw fail(CaptureError::Cause::Load, e.what());
  }
}

CaptureOutcome CaptureLoader::loadFile(const std::string& path, const std::string& name) {
  CaptureOutcome out;
  const CaptureFile file = captureFileOf(path, name);
  if (m_store.hasCapture(file)) {
    out.skipped = true;
    return out;
  }
  const auto index = std::make_shared<const KindsIndex>(indexKinds(path));
  const DateOrder order = orderOf(*index, m_options.dateOrder);
  m_done = 0;
  m_total = 0;
  m_first.reset();
  m_last.reset();
  for (const KindSummary& k : index->kinds()) {
    out.kinds.push_back(k.heading);
    m_total += k.snapshots;
  }
  m_store.begin();
  for (size_t kind = 0; kind < index->kinds().size(); ++kind)
    loadKind(path, name, index, static_cast<int>(kind), order, out);
  if (stopRequested()) throw CaptureError(CaptureError::Cause::Stopped, "stopped");
  m_store.addCapture(file, out.kinds, m_first, m_last);
  m_store.commit();
  return out;
}

void CaptureLoader::loadKind(const std::string& path, const std::string& name,
                             const std::shared_ptr<const KindsIndex>& index, int kind, DateOrder order,
                             CaptureOutcome& out) {
  const std::string& heading = index->kinds()[static_cast<size_t>(kind)].heading;
  LoadedSnapshot current;
  ErrorObserver observer;
  FixedTextMeasure measure;
  SharedState shared;
  Report model;  // the variables met so far, which each snapshot's report copies
  ReportLoader loader(shared, model, m_state, observer, measure, m_options.configFolder);
  loader.setKind(KindChoice{kind + 1, {}, false});
  loader.setSizeColumns(false);
  loader.setKnownIndex(path, index);
  int number = 0;
  std::exception_ptr failure;  // of the database, which the loader would take for its own
  loader.setSnapshotSink([&](Grid&) {
    if (stopRequested() || loader.counters().failed || failure) return false;
    try {
      current.report().copyModelOf(model);
      take(current, SnapshotPlace{heading, isoTime(current.time(), order), name, ++number, order}, out);
    } catch (...) {
      failure = std::current_exception();
      return false;
    }
    return true;
  });
  loader.load(path, current.grid);
  if (failure) std::rethrow_exception(failure);
  if (stopRequested()) throw CaptureError(CaptureError::Cause::Stopped, "stopped");
  if (!observer.error().empty()) throw CaptureError(CaptureError::Cause::Load, observer.error());
}

void CaptureLoader::take(LoadedSnapshot& current, const SnapshotPlace& place, CaptureOutcome& out) {
  widen(m_first, m_last, place.iso);
  if (m_store.hasSnapshot(place)) {
    ++out.present;
  } else {
    m_store.addSnapshot(current, place, m_options.types);
    ++out.added;
  }
  current.grid = GridStore();
  if (m_progress) m_progress(++m_done, m_total);
}

}  // namespace tarvolin::core
