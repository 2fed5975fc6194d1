#include "core/series/snapshot_stream.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "core/line_source.h"
#include "core/report_loader.h"
#include "core/text_encoding.h"

namespace tarvolin::core {

namespace {

/// A temporary file that holds the text of one snapshot at a time; removed with this object.
/// Made by mkstemp: only this process writes to it.
class SectionFile {
 public:
  SectionFile() {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    m_path = (dir / "tarvolin-series-XXXXXX").string();
    const int fd = ::mkstemp(m_path.data());
    if (fd < 0) throw ReadError("Cannot make a temporary file in " + dir.string() + ": " + std::strerror(errno));
    m_file = ::fdopen(fd, "wb");
    if (m_file == nullptr) {
      ::close(fd);
      std::remove(m_path.c_str());
      throw ReadError("Cannot write the temporary file " + m_path);
    }
  }
  ~SectionFile() {
    std::fclose(m_file);
    std::remove(m_path.c_str());
  }
  SectionFile(const SectionFile&) = delete;
  SectionFile& operator=(const SectionFile&) = delete;

  /// Starts the text of a new snapshot.
  void begin() {
    m_buffer.clear();
    m_lines = 0;
    if (std::fflush(m_file) != 0 || ::ftruncate(::fileno(m_file), 0) != 0 || std::fseek(m_file, 0, SEEK_SET) != 0)
      fail();
  }
  void add(std::string_view line) {
    m_buffer.append(line);
    m_buffer.push_back('\n');
    if (m_buffer.size() >= kFlushAt) flush();
    ++m_lines;
  }
  /// Ends the text, all of it written to the file; false when it holds no line.
  bool end() {
    flush();
    if (std::fflush(m_file) != 0) fail();
    return m_lines > 0;
  }
  [[nodiscard]] const std::string& path() const { return m_path; }

 private:
  static constexpr size_t kFlushAt = size_t{1} << 18;
  [[noreturn]] void fail() const { throw ReadError("Cannot write the temporary file " + m_path); }
  void flush() {
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) fail();
    m_buffer.clear();
  }

  std::string m_path;
  std::FILE* m_file = nullptr;
  std::string m_buffer;  // lines not yet written
  int m_lines = 0;
};

/// Whether the line is a report's heading, as EntryReader takes the first one.
bool headingLine(std::string_view line, std::string_view trimmed) {
  return !trimmed.empty() && line.find("echo") == std::string_view::npos && !line.starts_with("----------");
}

}  // namespace

// Stand-in until the kinds index reads a file in one pass: the file is cut where its
// first heading repeats, and each part loaded on its own. `kind` is not looked at yet.
void forEachSnapshot(const std::string& path, const std::optional<std::string>& /*kind*/,
                     const std::string& configFolder, const std::function<void(LoadedSnapshot&)>& take) {
  LineSource in(path);
  SectionFile section;
  LoadedSnapshot snapshot;
  const auto deliver = [&] {
    if (!section.end()) return;
    snapshot = LoadedSnapshot{};
    loadSnapshot(section.path(), 0, configFolder, snapshot, false);
    take(snapshot);
  };
  std::string heading;
  section.begin();
  for (std::string_view line; in.nextLine(line);) {
    const std::string_view trimmed = trimBlanks(line);
    if (heading.empty()) {
      if (headingLine(line, trimmed)) heading = trimmed;
    } else if (trimmed == heading) {
      deliver();
      section.begin();
    }
    section.add(line);
  }
  deliver();
}

}  // namespace tarvolin::core
