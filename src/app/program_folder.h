#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/values/counter_types.h"

namespace tarvolin::app {

/// The folder of the running program (for the files shipped beside it): where
/// /proc/self/exe points, else the folder of `argv0` made absolute.
[[nodiscard]] std::filesystem::path programFolder(const char* argv0);

/// The counter types shipped beside the program; nothing, with the reason on standard
/// error, when they can't be read.
[[nodiscard]] std::optional<core::CounterTypes> readCounterTypes(const char* argv0);

/// A list shipped beside the program and the current folder's, as `load(programFolder,
/// ".", errors)` reads it; nothing, each error said on standard error, when any file or line
/// of it is wrong.
template <class List, class Load>
[[nodiscard]] std::optional<List> readShippedList(const char* argv0, Load load) {
  std::vector<std::string> errors;
  List list = load(programFolder(argv0), ".", errors);
  for (const std::string& e : errors) std::fprintf(stderr, "tarvolin-export: %s\n", e.c_str());
  if (!errors.empty()) return std::nullopt;
  return list;
}

}  // namespace tarvolin::app
