#include "app/program_folder.h"

#include <cstdio>
#include <exception>

namespace tarvolin::app {

std::filesystem::path programFolder(const char* argv0) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) program = std::filesystem::absolute(argv0);
  return program.parent_path();
}

std::optional<core::CounterTypes> readCounterTypes(const char* argv0) {
  try {
    return core::loadCounterTypes(programFolder(argv0));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvolin-export: %s\n", e.what());
    return std::nullopt;
  }
}

}  // namespace tarvolin::app
