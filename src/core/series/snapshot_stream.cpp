#include "core/series/snapshot_stream.h"

#include "core/kinds_index.h"
#include "core/report_reader.h"

namespace tarvolin::core {

void forEachSnapshot(const std::string& path, const std::optional<std::string>& kind, const std::string& configFolder,
                     const std::function<void(LoadedSnapshot&)>& take) {
  const KindChoice choice = kind ? parseKindChoice(*kind) : KindChoice{};
  bool any = false;
  const SnapshotPass pass = forEachSnapshot(
      path, choice, configFolder,
      [&](LoadedSnapshot& s) {
        LoadedSnapshot own = takeSnapshot(s);  // `take` may move from it, its variables too
        any = true;
        take(own);
        return true;
      },
      false);  // a series never shows the snapshots' grids: no column is sized
  if (any) return;
  if (!pass.error.empty()) throw ReadError(pass.error);
  if (pass.kind < 0 && !pass.index.kinds().empty())
    throw NoSuchKindError(path + " holds no such kind of report; its kinds are:\n" + listKinds(pass.index.kinds()));
}

}  // namespace tarvolin::core
