#pragma once

#include <filesystem>
#include <functional>
#include <string>
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

/// `s` without leading and trailing blanks, tabs and CRs.
[[nodiscard]] std::string_view trimListText(std::string_view s);

/// Calls `take` with each line of a shipped list (counter types, derived columns) that holds
/// something, trimmed as trimListText; empty lines and lines starting with '#' are skipped.
/// `number` counts every line from 1, for messages. A UTF-8 byte order mark at the start is
/// no part of the first line.
void forEachListLine(std::string_view text, const std::function<void(std::string_view line, int number)>& take);

/// The whole file at `path` into `text`; false when it can't be opened.
bool readWholeFile(const std::filesystem::path& path, std::string& text);

}  // namespace tarvolin::core
