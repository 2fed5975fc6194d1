#include "core/series/snapshot_stream.h"

#include <unistd.h>
#include <atomic>
#include <cstdio>
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
class SectionFile {
 public:
  SectionFile() {
    static std::atomic<int> serial{0};
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    m_path =
        (dir / ("tarvolin-series-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".txt")).string();
  }
  ~SectionFile() {
    close();
    std::remove(m_path.c_str());
  }
  SectionFile(const SectionFile&) = delete;
  SectionFile& operator=(const SectionFile&) = delete;

  /// Starts the text of a new snapshot.
  void begin() {
    close();
    m_file = std::fopen(m_path.c_str(), "wb");
    if (m_file == nullptr) throw ReadError("Cannot write the temporary file " + m_path);
    m_lines = 0;
  }
  void add(std::string_view line) {
    m_buffer.append(line);
    m_buffer.push_back('\n');
    if (m_buffer.size() >= kFlushAt) flush();
    ++m_lines;
  }
  /// Ends the text; false when it holds no line.
  bool end() {
    flush();
    if (close() != 0) throw ReadError("Cannot write the temporary file " + m_path);
    return m_lines > 0;
  }
  [[nodiscard]] const std::string& path() const { return m_path; }

 private:
  static constexpr size_t kFlushAt = size_t{1} << 18;
  void flush() {
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
      throw ReadError("Cannot write the temporary file " + m_path);
    m_buffer.clear();
  }
  int close() {
    if (m_file == nullptr) return 0;
    const int rc = std::fclose(m_file);
    m_file = nullptr;
    return rc;
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
