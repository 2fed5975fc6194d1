#pragma once

#include <string>

namespace tarvolin::core {

/// The "Snapshot timestamp" of the report at `path` as it stands there: the one before its
/// first entry, else the first entry's own; empty when the report gives none before its
/// second entry, or cannot be read. Reads only that far: cost O(lines up to there).
[[nodiscard]] std::string reportTimestamp(const std::string& path);

}  // namespace tarvolin::core
