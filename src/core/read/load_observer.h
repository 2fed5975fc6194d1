#pragma once

#include <chrono>
#include <string>

namespace tarvolin::core {

/// What a load tells whoever runs it: its progress and its outcome. Every call comes from
/// the thread that runs the load; the wait cursor, Stop and redraws are the window's.
class LoadObserver {
 public:
  virtual ~LoadObserver() = default;
  /// Status line text ("Records read: ...", "Finished. Records read: ...").
  virtual void setStatus(const std::string& text) = 0;
  /// Last-modified time of the report being loaded.
  virtual void setFileTime(std::chrono::system_clock::time_point modified) = 0;
  /// Kind of report: its heading, trimmed.
  virtual void setKind(const std::string& kind) = 0;
  /// An error ended the reading; the load then finishes with what it has.
  virtual void showError(const std::string& message) = 0;
};

/// Does nothing; for loads without a window.
class NullLoadObserver : public LoadObserver {
 public:
  void setStatus(const std::string&) override {}
  void setFileTime(std::chrono::system_clock::time_point) override {}
  void setKind(const std::string&) override {}
  void showError(const std::string&) override {}
};

}  // namespace tarvolin::core
