#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::app {

/// A write to the output failed; error() holds the system's error number (EPIPE when the
/// reader of a pipe has gone) and what() reads "Cannot write the output: <the system's reason>".
class OutputError : public std::runtime_error {
 public:
  explicit OutputError(int err);
  [[nodiscard]] int error() const { return m_error; }

 private:
  int m_error;
};

/// Bytes on their way to a file descriptor, gathered in a buffer and written out 256 KiB at
/// a time, every write checked (short writes continued, EINTR retried). The first failing
/// write throws OutputError; after it nothing more is written. Not thread-safe. The
/// descriptor is not owned until close().
class CheckedOutput {
 public:
  explicit CheckedOutput(int fd);
  /// Writes what is left, ignoring a failure: call close() to learn of one.
  ~CheckedOutput();
  CheckedOutput(const CheckedOutput&) = delete;
  CheckedOutput& operator=(const CheckedOutput&) = delete;

  void put(std::string_view bytes) {
    if (kSize - m_used < bytes.size()) {
      spill(bytes);
      return;
    }
    bytes.copy(m_bytes.data() + m_used, bytes.size());
    m_used += bytes.size();
  }
  void put(char c) {
    if (m_used == kSize) flush();
    m_bytes[m_used++] = c;
  }
  /// Writes the buffered bytes. Throws OutputError.
  void flush();
  /// Writes the buffered bytes and closes the descriptor, whose close may report a late
  /// failure (a full disk over the network). Throws OutputError; a second call does nothing.
  void close();

 private:
  static constexpr size_t kSize = size_t{1} << 18;
  void spill(std::string_view bytes);
  void writeAll(std::string_view bytes);

  int m_fd;
  bool m_failed = false;
  bool m_wrote = false;  // a write was tried
  std::vector<char> m_bytes;
  size_t m_used = 0;
};

/// Standard output. Every mode writes through it, so that each write is checked, and the
/// program closes it at the end: a failure ends the run with its reason.
CheckedOutput& standardOutput();

}  // namespace tarvolin::app
