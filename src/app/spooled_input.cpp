#include "app/spooled_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarvolin::app {

SpooledInput::SpooledInput() {
  if (::fcntl(STDIN_FILENO, F_GETFD) < 0) {  // closed: the spool file would take its descriptor
    m_error = std::strerror(errno);
    m_closed = true;
    return;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tarvolin-export-XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    m_error = std::strerror(errno);
    return;
  }
  m_path = name;
  std::FILE* out = ::fdopen(fd, "wb");
  if (out == nullptr) ::close(fd);
  bool whole = out != nullptr;
  char buf[1 << 16];
  for (size_t n; whole && (n = std::fread(buf, 1, sizeof buf, stdin)) > 0;) whole = std::fwrite(buf, 1, n, out) == n;
  whole = whole && !std::ferror(stdin);
  int err = errno;
  if (out != nullptr && std::fclose(out) != 0 && whole) {
    whole = false;
    err = errno;
  }
  if (!whole) {
    m_error = std::strerror(err);
    ::unlink(m_path.c_str());
    m_path.clear();
  }
}

SpooledInput::~SpooledInput() {
  if (!m_path.empty()) ::unlink(m_path.c_str());
}

bool spool(std::optional<SpooledInput>& spooled) {
  spooled.emplace();
  if (spooled->error().empty()) return true;
  std::fprintf(stderr, "tarvolin-export: Cannot %s standard input: %s\n", spooled->closed() ? "open" : "read",
               spooled->error().c_str());
  return false;
}

std::string spooledPath(const std::string& path, std::optional<SpooledInput>& spooled) {
  if (path != "-") return path;
  if (!spooled && !spool(spooled)) return {};
  return spooled->path();
}

}  // namespace tarvolin::app
