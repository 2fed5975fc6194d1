#include "app/program_folder.h"

namespace tarvolin::app {

std::filesystem::path programFolder(const char* argv0) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) program = std::filesystem::absolute(argv0);
  return program.parent_path();
}

}  // namespace tarvolin::app
