#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/read/report_reader.h"

namespace tarvolin::core {

/// The lines of a report, in file order. A large file is read and cut into lines on a
/// thread of its own, a few batches ahead of the caller; a small one in the caller's
/// thread. Either way the lines, and the point where a read error ends them, are the
/// ones ReportReader gives.
class LineSource {
 public:
  /// Files from this size on are read ahead.
  static constexpr uint64_t kReadAheadFrom = uint64_t{1} << 20;

  /// Opens `path` as ReportReader does, with its `read` and `ranges`; throws its ReadError.
  /// Ranges are read in the caller's thread.
  explicit LineSource(const std::string& path, uint64_t readAheadFrom = kReadAheadFrom, ReadFunction read = {},
                      std::vector<ByteRange> ranges = {});
  /// Stops the reading thread and waits for it (at most one batch).
  ~LineSource();
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  /// Next line; the view stays valid until the next call. False at the end of the file.
  /// Throws the ReadError that ended the reading, once every line before it was given.
  bool nextLine(std::string_view& line);

  [[nodiscard]] std::chrono::system_clock::time_point modified() const { return m_reader.modified(); }
  [[nodiscard]] const std::string& path() const { return m_reader.path(); }
  [[nodiscard]] uint64_t fileSize() const { return m_reader.fileSize(); }
  [[nodiscard]] int64_t changeStamp() const { return m_reader.changeStamp(); }
  /// As ReportReader::lineOffset, nextLineOffset and rangeBegun, of the line given last.
  [[nodiscard]] int64_t lineOffset() const;
  [[nodiscard]] int64_t nextLineOffset() const;
  [[nodiscard]] int rangeBegun() const { return m_thread.joinable() ? -1 : m_reader.rangeBegun(); }

 private:
  struct Batch {
    std::string bytes;             // the lines one after another
    std::vector<size_t> ends;      // where each line ends in `bytes`
    std::vector<int64_t> offsets;  // where each line begins in the file, then where the last one ends
  };
  static constexpr size_t kBatchBytes = size_t{1} << 17;
  static constexpr size_t kQueued = 4;

  void readAhead();
  bool takeBatch();

  ReportReader m_reader;
  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Batch> m_full;    // batches read and not yet taken
  std::vector<Batch> m_spare;  // batches given back, for reuse
  bool m_finished = false;     // the reading thread has queued its last batch
  bool m_stop = false;         // the reading thread must end
  std::exception_ptr m_error;  // what ended the reading
  Batch m_batch;               // the batch being handed out
  size_t m_next = 0;           // its next line
};

}  // namespace tarvolin::core
