#include "app/grid_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tarvolin::app {

namespace {

/// Bytes on their way to a file, written out 256 KiB at a time.
class FileBuffer {
 public:
  explicit FileBuffer(std::FILE* file) : m_file(file), m_bytes(kSize) {}
  ~FileBuffer() { flush(); }
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;

  void put(std::string_view text) {
    if (kSize - m_used < text.size()) {
      flush();
      if (text.size() > kSize) {
        std::fwrite(text.data(), 1, text.size(), m_file);
        return;
      }
    }
    std::memcpy(m_bytes.data() + m_used, text.data(), text.size());
    m_used += text.size();
  }
  void put(char c) {
    if (m_used == kSize) flush();
    m_bytes[m_used++] = c;
  }
  void flush() {
    std::fwrite(m_bytes.data(), 1, m_used, m_file);
    m_used = 0;
  }

 private:
  static constexpr size_t kSize = size_t{1} << 18;
  std::FILE* m_file;
  std::vector<char> m_bytes;
  size_t m_used = 0;
};

/// One CSV field after RFC 4180: quoted when it holds a comma, a quote or a line end.
void putCsv(FileBuffer& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.put(text);
    return;
  }
  out.put('"');
  for (char c : text) {
    if (c == '"') out.put('"');
    out.put(c);
  }
  out.put('"');
}

/// One TSV field: a TAB, CR or LF inside it is written as \t, \r or \n, so that each
/// row stays one line of the same number of fields. Backslashes stay as they are.
void putTsv(FileBuffer& out, std::string_view text) {
  for (size_t at; (at = text.find_first_of("\t\r\n")) != std::string_view::npos; text.remove_prefix(at + 1)) {
    out.put(text.substr(0, at));
    out.put(text[at] == '\t' ? "\\t" : text[at] == '\r' ? "\\r" : "\\n");
  }
  out.put(text);
}

/// Whether any byte is TAB, CR, LF or another below CR: one pass the compiler vectorises,
/// so that the cells of a grid without them are written without looking at each.
bool mayNeedEscapes(std::string_view bytes) {
  unsigned char lowest = 0xFF;
  for (const char c : bytes) lowest = std::min(lowest, static_cast<unsigned char>(c));
  return lowest <= '\r';
}

}  // namespace

void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, std::FILE* file) {
  if (cols.empty()) return;
  FileBuffer out(file);
  const bool escapes = !csv && mayNeedEscapes(g.textBytes());
  for (int r = 0; r < g.rows(); ++r) {
    for (size_t i = 0; i < cols.size(); ++i) {
      const std::string_view text = g.textUnchecked(r, cols[i]);
      if (csv) {
        if (i > 0) out.put(',');
        putCsv(out, text);
      } else {
        if (escapes)
          putTsv(out, text);
        else
          out.put(text);
        out.put(i + 1 < cols.size() ? '\t' : '\n');
      }
    }
    if (csv) out.put("\r\n");
  }
}

}  // namespace tarvolin::app
