#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/snapshot_load.h"

namespace tarvolin::core {

/// Delivers each snapshot of `path` in file order, one at a time, each loaded as a file
/// holding only that snapshot would load (its kind's configuration from `configFolder`,
/// its time from its preamble). A file whose heading never repeats is one snapshot.
/// `kind` picks one kind of a file holding several (a heading or its number from 1).
/// The snapshot handed to `take` is reused for the next one: move from it to keep it.
/// Throws ReadError when the file can't be read; a load error is kept in the snapshot.
/// Memory: one snapshot (and its text, spooled to a temporary file).
void forEachSnapshot(const std::string& path, const std::optional<std::string>& kind, const std::string& configFolder,
                     const std::function<void(LoadedSnapshot&)>& take);

}  // namespace tarvolin::core
