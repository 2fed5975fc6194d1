#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace tarvolin::core {

/// Where a file shipped with the program is looked for, in this order: beside the
/// program (a build folder), then in the installed tree, PROGRAM_DIR/../share/SUBDIR/NAME.
[[nodiscard]] inline std::vector<std::filesystem::path> shippedFilePlaces(const std::filesystem::path& programDir,
                                                                          std::string_view shareSubdir,
                                                                          std::string_view name) {
  return {programDir / name, (programDir / ".." / "share" / shareSubdir / name).lexically_normal()};
}

}  // namespace tarvolin::core
