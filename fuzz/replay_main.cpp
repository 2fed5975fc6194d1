// Feeds saved inputs to the fuzz entry points, for the normal test run.
//
// Usage: fuzz_replay ARG...   where each ARG is either ROOT, a folder whose subfolders are
// named after the targets (load_report, read_config, config_round_trip, derived_columns,
// statement_shape), or TARGET=FOLDER.
// Every regular file is fed once, in name order; README and hidden files are skipped. A broken
// invariant aborts, which fails the test. Exit status 2 on a bad argument.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_entries.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTargets[] = {"load_report", "read_config", "config_round_trip", "derived_columns",
                                    "statement_shape"};

int replayFolder(const std::string& target, const fs::path& folder) {
  const tarvolin::fuzz::Entry entry = tarvolin::fuzz::entryByName(target);
  if (entry == nullptr) {
    std::fprintf(stderr, "unknown target %s\n", target.c_str());
    return -1;
  }
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return 0;
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    if (const std::string name = e.path().filename().string();
        e.is_regular_file() && name.rfind("README", 0) != 0 && name.rfind('.', 0) != 0)
      files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& p : files) {
    std::ifstream in(p, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("%s: %s (%zu bytes)\n", target.c_str(), p.string().c_str(), bytes.size());
    std::fflush(stdout);
    entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  return static_cast<int>(files.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, fs::path>> folders;  // target (empty: a root) and folder
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t eq = arg.find('=');
    if (eq == std::string::npos)
      folders.emplace_back("", fs::absolute(arg));
    else
      folders.emplace_back(arg.substr(0, eq), fs::absolute(arg.substr(eq + 1)));
  }
  int total = 0;
  for (const auto& [target, folder] : folders) {
    if (target.empty()) {
      for (const char* t : kTargets) total += replayFolder(t, folder / t);
      continue;
    }
    const int n = replayFolder(target, folder);
    if (n < 0) return 2;
    total += n;
  }
  std::printf("replayed %d inputs\n", total);
  return 0;
}
