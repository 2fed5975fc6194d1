#include "app/checked_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarvolin::app {

OutputError::OutputError(int err)
    : std::runtime_error(std::string("Cannot write the output: ") + std::strerror(err)), m_error(err) {}

CheckedOutput::CheckedOutput(int fd) : m_fd(fd), m_bytes(kSize) {}

CheckedOutput::~CheckedOutput() {
  try {
    flush();
  } catch (const OutputError&) {
    // Only close() reports.
  }
}

void CheckedOutput::flush() {
  const size_t used = m_used;
  m_used = 0;
  writeAll({m_bytes.data(), used});
}

void CheckedOutput::close() {
  if (m_fd < 0) return;
  flush();
  const int fd = m_fd;
  m_fd = -1;
  // After EINTR the descriptor is closed all the same; a descriptor that was never open
  // (a program started with its output closed) fails only when something was to be written.
  if (::close(fd) != 0 && errno != EINTR && (errno != EBADF || m_wrote)) {
    m_failed = true;
    throw OutputError(errno);
  }
}

void CheckedOutput::spill(std::string_view bytes) {
  flush();
  if (bytes.size() > kSize) {
    writeAll(bytes);
    return;
  }
  bytes.copy(m_bytes.data(), bytes.size());
  m_used = bytes.size();
}

void CheckedOutput::writeAll(std::string_view bytes) {
  while (!bytes.empty() && !m_failed && m_fd >= 0) {
    m_wrote = true;
    const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_failed = true;
      throw OutputError(n < 0 ? errno : EIO);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

CheckedOutput& standardOutput() {
  static CheckedOutput out(STDOUT_FILENO);
  return out;
}

}  // namespace tarvolin::app
