#pragma once

#include <filesystem>

namespace tarvolin::app {

/// The folder of the running program (for the files shipped beside it): where
/// /proc/self/exe points, else the folder of `argv0` made absolute.
[[nodiscard]] std::filesystem::path programFolder(const char* argv0);

}  // namespace tarvolin::app
