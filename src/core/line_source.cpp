#include "core/line_source.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <utility>

namespace tarvolin::core {

LineSource::LineSource(const std::string& path, uint64_t readAheadFrom) : m_reader(path) {
  if (m_reader.fileSize() < readAheadFrom) return;
  m_ring.resize(kRing);
  try {
    m_thread = std::thread([this] { readAhead(); });
  } catch (const std::system_error&) {
    m_ring.clear();  // no thread to be had: the caller's thread reads
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

std::span<const ReportLine> LineSource::next() {
  if (!m_thread.joinable()) return {m_read.data(), m_reader.nextLines(m_read)};
  std::unique_lock lock(m_mutex);
  if (m_holding) {
    m_holding = false;
    m_head = (m_head + 1) % kRing;
    --m_ready;
    m_changed.notify_all();
  }
  m_changed.wait(lock, [this] { return m_ready > 0 || m_finished; });
  if (m_ready == 0) {
    if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
    return {};
  }
  m_holding = true;
  const Batch& b = m_ring[m_head];
  return {b.lines.data(), b.count};
}

void LineSource::readAhead() {
  size_t tail = 0;
  for (;;) {
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] { return m_ready < kRing || m_stop; });
      if (m_stop) return;
    }
    // m_ring[tail] is not in the caller's hands until it is counted in m_ready.
    Batch& b = m_ring[tail];
    bool more = false;
    std::exception_ptr error;
    try {
      more = fillBatch(b);
    } catch (...) {
      error = std::current_exception();
    }
    const bool full = b.count > 0;
    {
      const std::lock_guard lock(m_mutex);
      if (full) ++m_ready;
      if (!more) {
        m_finished = true;
        m_error = error;
      }
    }
    m_changed.notify_all();
    if (!more) return;
    if (full) tail = (tail + 1) % kRing;
  }
}

bool LineSource::fillBatch(Batch& b) {
  // A batch that took a very long line gives its memory back.
  if (b.bytes.capacity() > 8 * kBatchBytes) b.bytes = GrowBuffer<char>();
  b.bytes.clear();
  b.count = 0;
  if (b.lines.size() < kBatchLines) {
    b.lines.resize(kBatchLines);
    b.offsets.resize(kBatchLines);
  }
  bool more = true;
  try {
    do {
      const size_t n =
          m_reader.nextLines(std::span<ReportLine>(m_read.data(), std::min(m_read.size(), kBatchLines - b.count)));
      if (n == 0) {
        more = false;
        break;
      }
      addLines(b, n);
    } while (b.bytes.size() < kBatchBytes && b.count < kBatchLines);
  } catch (...) {
    makeViews(b);  // the lines read before the error still go out, in their batch
    throw;
  }
  makeViews(b);
  return more;
}

void LineSource::addLines(Batch& b, size_t n) {
  // The lines lie one after another in the bytes the reader cut them from: those bytes
  // are copied at once, and a line made elsewhere on its own.
  const std::string_view from = m_reader.handedOut();
  const size_t base = b.bytes.size();
  b.bytes.append(from.data(), from.size());
  const auto first = reinterpret_cast<uintptr_t>(from.data());
  for (size_t i = 0; i < n; ++i) {
    const std::string_view text = m_read[i].text;
    const auto at = reinterpret_cast<uintptr_t>(text.data());
    Span& o = b.offsets[b.count];
    o.size = text.size();
    if (!from.empty() && at >= first && at + text.size() <= first + from.size()) {
      o.at = base + (at - first);
    } else {
      o.at = b.bytes.size();
      b.bytes.append(text.data(), text.size());
    }
    b.lines[b.count].ascii = m_read[i].ascii;
    ++b.count;  // only now: the line is complete
  }
}

void LineSource::makeViews(Batch& b) {
  const char* base = b.bytes.data();
  for (size_t i = 0; i < b.count; ++i) {
    const Span& o = b.offsets[i];
    b.lines[i].text = o.size == 0 ? std::string_view() : std::string_view(base + o.at, o.size);
  }
}

}  // namespace tarvolin::core
