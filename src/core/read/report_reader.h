#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::core {

/// A report or configuration file could not be opened or read; what() names the
/// file and the system's reason.
class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads up to `n` bytes of the open file `fd` into `dst`, as ::read does: the number of
/// bytes read, 0 at the end, -1 with errno set on a failure.
using ReadFunction = std::function<std::ptrdiff_t(int fd, char* dst, size_t n)>;

/// Streams a text file in large blocks and hands out its lines as UTF-8, without
/// their line ends. CR LF, a lone LF and a lone CR each end a line; a last line
/// without a line end is still a line. Memory: one block plus the longest line.
/// The file is opened read-only and closed by the destructor. A file whose name ends
/// in ".gz" is unpacked while it is read (gzip); the path "-" reads standard input.
class ReportReader {
 public:
  static constexpr size_t kDefaultBlockSize = size_t{1} << 18;

  /// Throws ReadError when the file can't be opened or isn't a regular file (a directory,
  /// a pipe, a device such as /dev/zero; standard input may be a pipe). The default block
  /// is small enough that a block is still in the processor's cache when its lines are used.
  /// The reads of a file that is not gzip go through `read` when it is given (::read else):
  /// a test's way to make a read fail anywhere in a file.
  explicit ReportReader(const std::string& path, size_t blockSize = kDefaultBlockSize, ReadFunction read = {});
  ~ReportReader();
  ReportReader(const ReportReader&) = delete;
  ReportReader& operator=(const ReportReader&) = delete;

  /// Next line; the view stays valid until the next call. False at the end of the file.
  /// Throws ReadError on a failing read, once the lines wholly read before it were given.
  bool nextLine(std::string_view& line);

  /// Last-modified time of the file when it was opened.
  [[nodiscard]] std::chrono::system_clock::time_point modified() const { return m_modified; }
  /// The file's name as given ("standard input" for "-").
  [[nodiscard]] const std::string& path() const { return m_path; }
  /// Size of the file in bytes when it was opened (packed, for a gzip file; 0 for a pipe).
  [[nodiscard]] uint64_t fileSize() const { return m_fileSize; }

 private:
  /// How the bytes of the file are turned into UTF-8 lines.
  enum class FileEncoding {
    Bytes,    // no BOM: each line kept when it is valid UTF-8, else read as Windows-1252
    Utf8Bom,  // UTF-8 behind a BOM (the BOM is dropped); invalid lines as above
    Utf16LE,  // UTF-16 little endian behind its BOM
    Utf16BE,  // UTF-16 big endian behind its BOM
  };
  /// Where a byte was last looked for: it is at `at` when at < to; when at == to, no
  /// such byte lies before `to`.
  struct Found {
    size_t at = 0;
    size_t to = 0;
  };
  size_t fill();
  size_t findNext(char c, Found& f) const;
  size_t readRaw(char* dst, size_t n);
  void decodeUtf16(const unsigned char* p, size_t n, bool last);
  std::string_view toUtf8(std::string_view raw);
  std::string_view takeLine(size_t len, size_t skip);

  void openFile(const std::string& path);
  void readByteOrderMark();
  void closeFile();

  std::string m_path;
  int m_fd = -1;
  ReadFunction m_read;
  void* m_gz = nullptr;  // the gzip stream reading m_fd, for a ".gz" file
  size_t m_blockSize;
  FileEncoding m_encoding = FileEncoding::Bytes;
  std::chrono::system_clock::time_point m_modified{};
  uint64_t m_fileSize = 0;
  std::vector<char> m_buf;  // decoded bytes, [m_pos, m_end) not yet handed out
  size_t m_pos = 0;
  size_t m_end = 0;
  Found m_lf;  // each line end is looked for on its own, and remembered: a file with
  Found m_cr;  // only one kind is not searched to the end for the other on every line
  bool m_rawEof = false;
  std::vector<unsigned char> m_raw;  // UTF-16 only: raw block
  int m_pendingByte = -1;            // UTF-16: odd byte carried to the next block
  char32_t m_pendingHigh = 0;        // UTF-16: high surrogate waiting for its pair
  std::string m_conv;                // a Windows-1252 line turned into UTF-8
};

}  // namespace tarvolin::core
