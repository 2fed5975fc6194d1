#pragma once

// Shared helpers of the loader tests: a temporary working directory, an observer that
// records what a load tells its window, and a fixture that loads report text.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid_store.h"
#include "core/load_observer.h"
#include "core/report_parser.h"
#include "core/shared_state.h"
#include "core/text_measure.h"

namespace tarvolin::core::loadtest {

/// A fresh directory under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
  /// Writes `bytes` to the file `name` in the directory; returns its full path.
  std::string write(const std::string& name, std::string_view bytes) const;
  /// The whole file `name` of the directory, or "" if it can't be read.
  [[nodiscard]] std::string read(const std::string& name) const;

 private:
  std::filesystem::path m_path;
};

/// Makes `dir` the working directory for its lifetime.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::filesystem::path& dir);
  ~ScopedCwd();
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::filesystem::path m_previous;
};

/// Records every call of a load; can run a hook at each yield (e.g. to press Stop).
class RecordingObserver : public LoadObserver {
 public:
  void setStatus(const std::string& text) override { statuses.push_back(text); }
  void setFileTime(std::chrono::system_clock::time_point t) override {
    ++fileTimes;
    fileTime = t;
  }
  void setKind(const std::string& kind) override { kinds.push_back(kind); }
  void setStopEnabled(bool enabled) override { stopEnabled.push_back(enabled); }
  void setWaitCursor(bool wait) override { waitCursor.push_back(wait); }
  void yieldEvents() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  void showError(const std::string& message) override { errors.push_back(message); }

  std::vector<std::string> statuses;
  std::vector<std::string> kinds;
  std::vector<std::string> errors;
  std::vector<bool> stopEnabled;
  std::vector<bool> waitCursor;
  int fileTimes = 0;
  std::chrono::system_clock::time_point fileTime{};
  int yields = 0;
  std::function<void(int)> onYield;
};

/// Cells of row `r` over columns 0..cols-1 of `g`.
std::vector<std::string> gridRow(const GridStore& g, int r);

/// A load of report text in a temporary working directory (where configuration files go).
class LoadFixture : public ::testing::Test {
 protected:
  /// Writes `text` to a file of the temporary directory and loads it.
  void loadText(std::string_view text);
  void loadFile(const std::string& path);
  /// Writes a configuration file into the working directory.
  void writeConfig(const std::string& kindWithoutBlanks, std::string_view text) const;

  /// Header row and data rows of the grid, over columns 0..maxvar.
  [[nodiscard]] std::vector<std::vector<std::string>> table() const;
  /// Value of the variable `name` in grid row `r`; fails the test when the name is unknown.
  [[nodiscard]] std::string cell(int r, const std::string& name) const;
  [[nodiscard]] std::vector<std::string> names() const;
  [[nodiscard]] std::string lastStatus() const { return obs.statuses.empty() ? "" : obs.statuses.back(); }

  TempDir dir;
  ScopedCwd cwd{dir.path()};
  SharedState shared;
  LoadState load;
  GridStore grid;
  RecordingObserver obs;
  FixedTextMeasure measure{100.0};
  LoadCounters counters;
};

}  // namespace tarvolin::core::loadtest
