#pragma once

#include <optional>
#include <string>

namespace tarvolin::app {

/// Standard input copied whole to a temporary file (in $TMPDIR, else /tmp), for a report
/// that is read more than once; removed with this object. When it can't be copied whole,
/// error() says why and no file is left.
class SpooledInput {
 public:
  SpooledInput();
  ~SpooledInput();
  SpooledInput(const SpooledInput&) = delete;
  SpooledInput& operator=(const SpooledInput&) = delete;
  [[nodiscard]] const std::string& path() const { return m_path; }
  /// Why standard input could not be copied, or empty.
  [[nodiscard]] const std::string& error() const { return m_error; }
  /// Whether standard input was not open at all.
  [[nodiscard]] bool closed() const { return m_closed; }

 private:
  std::string m_path;
  std::string m_error;
  bool m_closed = false;
};

/// Spools standard input into `spooled`; false, with the reason on standard error, when it fails.
bool spool(std::optional<SpooledInput>& spooled);

/// `path`, or for "-" the file standard input was spooled into (once, in `spooled`); empty,
/// with the reason on standard error, when standard input could not be spooled.
[[nodiscard]] std::string spooledPath(const std::string& path, std::optional<SpooledInput>& spooled);

}  // namespace tarvolin::app
