#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/report_reader.h"
#include "core/snapshot_load.h"

namespace tarvolin::core {

/// A file holds no report of the kind asked for; what() lists the kinds it holds.
class NoSuchKindError : public ReadError {
 public:
  using ReadError::ReadError;
};

/// Delivers each snapshot of one kind of `path` in file order, one at a time, each loaded as
/// a file holding only that snapshot would load (its kind's configuration from
/// `configFolder`), through the one-pass forEachSnapshot of the loader. `kind` picks one kind
/// of a file holding several (a heading or its number from 1); without it, the first kind.
/// The snapshot handed to `take` is reused for the next one: move from it to keep it.
/// Throws ReadError when the file can't be read, NoSuchKindError when it lacks the kind; a load error met after
/// the first snapshot is kept in the snapshots. Memory: one snapshot.
void forEachSnapshot(const std::string& path, const std::optional<std::string>& kind, const std::string& configFolder,
                     const std::function<void(LoadedSnapshot&)>& take);

}  // namespace tarvolin::core
