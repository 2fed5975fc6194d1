#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/grow_buffer.h"
#include "core/report_reader.h"

namespace tarvolin::core {

/// Hands out a report's lines in batches, in file order. A large file is read on a thread of its own, a few batches
/// ahead, so that reading and splitting lines overlap with parsing them; a small one is read in the caller's thread.
/// Either way the lines, and the point where a read error ends them, are the ones ReportReader gives.
class LineSource {
 public:
  /// Files from this size on are read ahead.
  static constexpr uint64_t kReadAheadFrom = uint64_t{1} << 20;

  /// Opens `path` as ReportReader does; throws its ReadError.
  explicit LineSource(const std::string& path, uint64_t readAheadFrom = kReadAheadFrom);
  /// Stops the reading thread and waits for it (at most one block read).
  ~LineSource();
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  /// The next lines: valid until the next call. Empty at the end of the file. Throws the
  /// ReadError that ended the reading, after every line read before it was handed out.
  std::span<const ReportLine> next();

  /// True when the lines come from a reading thread.
  [[nodiscard]] bool readsAhead() const { return m_thread.joinable(); }
  [[nodiscard]] std::chrono::system_clock::time_point modified() const { return m_reader.modified(); }
  [[nodiscard]] const std::string& path() const { return m_reader.path(); }

 private:
  struct Span {
    size_t at;
    size_t size;
  };
  struct Batch {
    GrowBuffer<char> bytes;         // the texts of the lines (with what lay between them)
    std::vector<ReportLine> lines;  // views into `bytes` once the batch is full
    std::vector<Span> offsets;      // by line: where its text lies (the bytes move while they grow)
    size_t count = 0;               // lines in use
  };
  static constexpr size_t kRing = 4;
  static constexpr size_t kBatchBytes = size_t{1} << 17;
  static constexpr size_t kBatchLines = 4096;

  void readAhead();
  /// Fills `b` with the next lines; false when the file ended. Throws ReadError, with
  /// the lines read before it left in `b`.
  bool fillBatch(Batch& b);
  /// Adds the first n lines of m_read to `b`.
  void addLines(Batch& b, size_t n);
  static void makeViews(Batch& b);

  ReportReader m_reader;
  std::array<ReportLine, 512> m_read{};  // what the reader handed out last

  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Batch> m_ring;
  size_t m_head = 0;           // the batch the caller holds or takes next
  size_t m_ready = 0;          // batches filled and not yet given back, the held one included
  bool m_holding = false;      // the caller holds m_ring[m_head]
  bool m_finished = false;     // the reading thread has filled its last batch
  bool m_stop = false;         // the reading thread must end
  std::exception_ptr m_error;  // what ended the reading, thrown once the batches before it are used
};

}  // namespace tarvolin::core
