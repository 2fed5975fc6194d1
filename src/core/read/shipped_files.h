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

/// Reads a list shipped with the program and the user's own: `read` gets the text and path
/// of the first of shippedFilePlaces(programDir, "tarvolin", name) that can be read, then of
/// `name` in `workingFolder` when there is one, which adds lines or replaces them. `errors`
/// gets "no NAME found (looked for ...)" and "PATH: cannot be read".
void readShippedAndOwn(const std::filesystem::path& programDir, const std::filesystem::path& workingFolder,
                       std::string_view name,
                       const std::function<void(const std::string& text, const std::string& path)>& read,
                       std::vector<std::string>& errors);

}  // namespace tarvolin::core
