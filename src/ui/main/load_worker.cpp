#include "ui/main/load_worker.h"

#include <QThread>
#include <utility>

namespace tarvolin::ui {

LoadWorker::LoadWorker(core::LoadState& load, Host host)
    : m_load(load),
      m_host(std::move(host)),
      m_thread(std::make_unique<QThread>()),
      m_context(std::make_unique<QObject>()) {
  m_context->moveToThread(m_thread.get());
  m_thread->start();
}

LoadWorker::~LoadWorker() {
  abandon();
  m_thread->quit();
  m_thread->wait();  // m_context goes after its thread
}

void LoadWorker::start(core::ReportLoader& loader, std::string file) {
  waitUntilIdle();  // the last load has handed over its end, and may still be returning
  m_running = true;
  m_load.stopRequested = false;
  const unsigned generation = ++m_generation;
  {
    const std::lock_guard lock(m_mutex);
    m_busy = true;
  }
  QMetaObject::invokeMethod(
      m_context.get(),
      [this, &loader, file = std::move(file), generation] {
        run(loader, file, generation);
        {
          const std::lock_guard lock(m_mutex);
          m_busy = false;
        }
        m_idle.notify_all();
      },
      Qt::QueuedConnection);
}

void LoadWorker::stop() {
  if (m_running) m_load.stopRequested = true;
}

void LoadWorker::abandon() {
  if (!m_running) return;
  m_load.stopRequested = true;
  waitUntilIdle();
  ++m_generation;  // what the load posted and was not run yet is dropped
  m_running = false;
}

void LoadWorker::waitUntilIdle() {
  std::unique_lock lock(m_mutex);
  m_idle.wait(lock, [this] { return !m_busy; });
}

void LoadWorker::post(unsigned generation, std::function<void()> call) {
  QMetaObject::invokeMethod(
      this,
      [this, generation, call = std::move(call)] {
        if (generation == m_generation && m_running) call();
      },
      Qt::QueuedConnection);
}

void LoadWorker::run(core::ReportLoader& loader, const std::string& file, unsigned generation) {
  // Worker thread: only the observer, the recorder and the loader are touched here.
  m_observer.status.clear();
  m_observer.errors.clear();
  m_observer.generation = generation;
  core::GridRecorder recorder(
      [this, generation](core::GridBatch&& batch) {
        auto rows = std::make_shared<const core::GridBatch>(std::move(batch));
        post(generation,
             [this, rows, status = QString::fromStdString(m_observer.status)] { m_host.rows(*rows, status); });
      },
      kBatchInterval);
  loader.load(file, recorder);
  recorder.flush();
  post(generation, [this, status = QString::fromStdString(m_observer.status), errors = m_observer.errors] {
    m_running = false;
    m_host.finished(status, errors);
  });
}

void LoadWorker::Observer::setFileTime(std::chrono::system_clock::time_point modified) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(modified.time_since_epoch()).count();
  m_worker.post(generation, [this, ms] { m_worker.m_host.fileTime(QDateTime::fromMSecsSinceEpoch(ms)); });
}

void LoadWorker::Observer::setKind(const std::string& kind) {
  m_worker.post(generation, [this, text = QString::fromStdString(kind)] { m_worker.m_host.kind(text); });
}

}  // namespace tarvolin::ui
