#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/grid/grid_recorder.h"
#include "core/read/load_observer.h"
#include "core/read/report_loader.h"

class QThread;

namespace tarvolin::ui {

/// Runs a window's loads on a thread of its own, so that the window keeps answering
/// while a report is read. The thread lasts as long as the worker (its font caches too). The loader writes into a
/// core::GridRecorder; its batches of rows, the load's progress and outcome reach the host's callbacks on the window's
/// thread, in order, through queued calls. Only the host changes the grid on show.
///
/// While a load runs, the loader, the load state (but its stop request), the report the
/// loader fills (but its cells, which reach the host's grid in the batches) and the
/// configuration files are the load's: the host leaves them alone until finished.
class LoadWorker : public QObject {
  Q_OBJECT

 public:
  /// Least time between two batches of rows; the first goes at once.
  static constexpr std::chrono::milliseconds kBatchInterval{50};

  /// What the worker tells the window, on the window's thread.
  struct Host {
    /// Rows and layout read since the last batch, with the progress text at that point.
    std::function<void(const core::GridBatch& batch, const QString& status)> rows;
    std::function<void(const QString& kind)> kind;            ///< the kind of report being read
    std::function<void(const QDateTime& modified)> fileTime;  ///< the file's last-modified time
    /// The load has ended: the final status text and the errors that ended it, if any.
    std::function<void(const QString& status, const QStringList& errors)> finished;
  };

  LoadWorker(core::LoadState& load, Host host);
  /// Abandons a running load and ends the thread.
  ~LoadWorker() override;

  /// The observer to give the loader that start() runs.
  [[nodiscard]] core::LoadObserver& observer() { return m_observer; }

  /// Starts `loader` on `file` in the worker's thread. Must not be called while running().
  void start(core::ReportLoader& loader, std::string file);
  /// From start() until the host has been told it finished (or the load was abandoned).
  [[nodiscard]] bool running() const { return m_running; }
  /// Asks the running load to stop: it keeps what it has read and finishes as usual.
  void stop();
  /// Stops the running load and waits for its thread; what it has not handed over yet,
  /// its end included, is dropped. For a window that closes.
  void abandon();

 private:
  /// Forwards the loader's calls from the worker's thread; errors are kept for the end.
  class Observer final : public core::LoadObserver {
   public:
    explicit Observer(LoadWorker& worker) : m_worker(worker) {}
    void setStatus(const std::string& text) override { status = text; }
    void setFileTime(std::chrono::system_clock::time_point modified) override;
    void setKind(const std::string& kind) override;
    void showError(const std::string& message) override { errors << QString::fromStdString(message); }

    std::string status;
    QStringList errors;
    unsigned generation = 0;  ///< of the load being run

   private:
    LoadWorker& m_worker;
  };

  void run(core::ReportLoader& loader, const std::string& file, unsigned generation);
  /// Runs `call` on the window's thread, unless the load it came from was abandoned.
  void post(unsigned generation, std::function<void()> call);
  /// Waits until the thread has returned from the last load it ran.
  void waitUntilIdle();

  core::LoadState& m_load;
  Host m_host;
  Observer m_observer{*this};
  std::unique_ptr<QThread> m_thread;
  std::unique_ptr<QObject> m_context;  ///< lives in m_thread: what a load is run by
  std::mutex m_mutex;
  std::condition_variable m_idle;
  bool m_busy = false;        ///< m_thread runs a load; under m_mutex
  unsigned m_generation = 0;  ///< of the load running or last run; window's thread only
  bool m_running = false;
};

}  // namespace tarvolin::ui
