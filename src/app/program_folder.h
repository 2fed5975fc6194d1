#pragma once

#include <filesystem>
#include <optional>

#include "core/values/counter_types.h"

namespace tarvolin::app {

/// The folder of the running program (for the files shipped beside it): where
/// /proc/self/exe points, else the folder of `argv0` made absolute.
[[nodiscard]] std::filesystem::path programFolder(const char* argv0);

/// The counter types shipped beside the program; nothing, with the reason on standard
/// error, when they can't be read.
[[nodiscard]] std::optional<core::CounterTypes> readCounterTypes(const char* argv0);

}  // namespace tarvolin::app
