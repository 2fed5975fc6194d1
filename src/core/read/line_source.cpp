#include "core/read/line_source.h"

#include <system_error>
#include <utility>

namespace tarvolin::core {

LineSource::LineSource(const std::string& path, uint64_t readAheadFrom, ReadFunction read,
                       std::vector<ByteRange> ranges)
    : m_reader(path, ReportReader::kDefaultBlockSize, std::move(read), std::move(ranges)) {
  if (m_reader.fileSize() < readAheadFrom || m_reader.readsRanges()) return;
  try {
    m_thread = std::thread([this] { readAhead(); });
  } catch (const std::system_error&) {
    // No thread to be had: the caller's thread reads.
  }
}

LineSource::~LineSource() {
  if (!m_thread.joinable()) return;
  {
    const std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

bool LineSource::nextLine(std::string_view& line) {
  if (!m_thread.joinable()) return m_reader.nextLine(line);
  if (m_next == m_batch.ends.size() && !takeBatch()) return false;
  const size_t from = m_next == 0 ? 0 : m_batch.ends[m_next - 1];
  line = std::string_view(m_batch.bytes).substr(from, m_batch.ends[m_next] - from);
  ++m_next;
  return true;
}

int64_t LineSource::lineOffset() const {
  if (!m_thread.joinable()) return m_reader.lineOffset();
  return m_next == 0 ? kNoOffset : m_batch.offsets[m_next - 1];
}

int64_t LineSource::nextLineOffset() const {
  if (!m_thread.joinable()) return m_reader.nextLineOffset();
  return m_next == 0 ? kNoOffset : m_batch.offsets[m_next];
}

bool LineSource::takeBatch() {
  std::unique_lock lock(m_mutex);
  m_spare.push_back(std::exchange(m_batch, Batch{}));
  m_next = 0;
  m_changed.notify_all();
  m_changed.wait(lock, [this] { return !m_full.empty() || m_finished; });
  if (m_full.empty()) {
    if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
    return false;
  }
  m_batch = std::move(m_full.front());
  m_full.pop_front();
  m_changed.notify_all();
  return true;
}

void LineSource::readAhead() {
  for (;;) {
    Batch b;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] { return m_full.size() < kQueued || m_stop; });
      if (m_stop) return;
      if (!m_spare.empty()) {
        b = std::move(m_spare.back());
        m_spare.pop_back();
      }
    }
    b.bytes.clear();
    b.ends.clear();
    b.offsets.clear();
    bool more = true;
    std::exception_ptr error;
    try {
      std::string_view line;
      while (b.bytes.size() < kBatchBytes && (more = m_reader.nextLine(line))) {
        b.bytes += line;
        b.ends.push_back(b.bytes.size());
        b.offsets.push_back(m_reader.lineOffset());
      }
    } catch (...) {
      error = std::current_exception();
      more = false;
    }
    b.offsets.push_back(m_reader.nextLineOffset());
    {
      const std::lock_guard lock(m_mutex);
      if (!b.ends.empty()) m_full.push_back(std::move(b));
      if (!more) {
        m_finished = true;
        m_error = error;
      }
    }
    m_changed.notify_all();
    if (!more) return;
  }
}

}  // namespace tarvolin::core
