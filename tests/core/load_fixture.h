#pragma once

// What the loader tests share: a temporary folder, a recording observer, and `Loaded`.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid/grid_store.h"
#include "core/grid/text_measure.h"
#include "core/read/load_observer.h"
#include "core/read/report_loader.h"
#include "core/read/shared_state.h"

namespace tarvolin::core::test {

using Rows = std::vector<std::vector<std::string>>;

/// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
  [[nodiscard]] std::string folder() const { return m_path.string(); }
  /// Writes `bytes` to the file `name` of the folder; returns its full path.
  std::string write(const std::string& name, std::string_view bytes) const;
  /// The whole file `name` of the folder, or "" when it can't be read.
  [[nodiscard]] std::string read(const std::string& name) const;

 private:
  std::filesystem::path m_path;
};

/// Records what a load shows; `onStatus` runs at every status (to press Stop, ...).
class RecordingObserver : public LoadObserver {
 public:
  void setStatus(const std::string& text) override {
    statuses.push_back(text);
    if (onStatus) onStatus(text);
  }
  void setFileTime(std::chrono::system_clock::time_point) override { ++fileTimes; }
  void setKind(const std::string& kind) override { kinds.push_back(kind); }
  void showError(const std::string& message) override { errors.push_back(message); }

  std::vector<std::string> statuses, kinds, errors;
  int fileTimes = 0;
  std::function<void(const std::string&)> onStatus;
};

/// A grid of `rows` (row 0 the header row; every row as wide as the first).
[[nodiscard]] GridStore makeGrid(const Rows& rows);

/// Loads reports the way the viewer does, with the configuration files of `dir`.
class Loaded : public ::testing::Test {
 protected:
  void loadText(std::string_view text) { loadFile(dir.write("report.txt", text)); }
  /// Loads, then checks the invariants of a finished load.
  void loadFile(const std::string& path);

  /// Header row and data rows of the grid, over columns 0..lastIndex.
  [[nodiscard]] Rows table() const;
  [[nodiscard]] std::string lastStatus() const { return obs.statuses.empty() ? "" : obs.statuses.back(); }

  TempDir dir;
  SharedState shared;
  LoadState load;
  GridStore grid;
  Report& report = grid.report();
  RecordingObserver obs;
  FixedTextMeasure measure{100.0};
  LoadCounters counters;
  ReadFunction read;  ///< how loads read the file; ::read when empty
};

}  // namespace tarvolin::core::test
