#pragma once
// The output file of a report generator: written through a large buffer, every failure said.

#include <cstdio>

namespace bench {

/// Opens `path` for writing through a 1 MiB buffer (one generator writes one file); nullptr
/// after saying why on standard error.
inline std::FILE* openOutput(const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) {
    std::perror(path);
    return nullptr;
  }
  static char buffer[1 << 20];
  std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
  return f;
}

/// Closes `f`, written to `path`; false after saying why on standard error.
inline bool closeOutput(std::FILE* f, const char* path) {
  if (std::fclose(f) == 0) return true;
  std::perror(path);
  return false;
}

}  // namespace bench
