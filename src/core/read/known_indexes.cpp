#include "core/read/known_indexes.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>

#include "core/read/report_reader.h"

namespace tarvolin::core {

namespace {

struct Kept {
  std::mutex mutex;
  bool on = false;
  std::deque<std::pair<std::string, std::shared_ptr<const KindsIndex>>> indexes;  // the newest last
};

Kept& kept() {
  static Kept k;
  return k;
}

}  // namespace

void setRememberIndexes(bool on) {
  Kept& k = kept();
  const std::lock_guard lock(k.mutex);
  k.on = on;
  if (!on) k.indexes.clear();
}

void rememberIndex(const std::string& path, std::shared_ptr<const KindsIndex> index) {
  Kept& k = kept();
  const std::lock_guard lock(k.mutex);
  if (!k.on || !index || path == "-") return;
  std::erase_if(k.indexes, [&](const auto& e) { return e.first == path; });
  if (k.indexes.size() >= kKeptIndexes) k.indexes.pop_front();
  k.indexes.emplace_back(path, std::move(index));
}

std::shared_ptr<const KindsIndex> rememberedIndex(const std::string& path) {
  std::shared_ptr<const KindsIndex> index;
  {
    Kept& k = kept();
    const std::lock_guard lock(k.mutex);
    const auto at = std::find_if(k.indexes.begin(), k.indexes.end(), [&](const auto& e) { return e.first == path; });
    if (at == k.indexes.end()) return nullptr;
    index = at->second;
  }
  const FileStamp now = fileStampOf(path);
  return index->sameFile(now.size, now.stamp) ? index : nullptr;
}

}  // namespace tarvolin::core
