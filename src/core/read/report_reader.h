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

/// Bytes of a file: `length` bytes from `offset`.
struct ByteRange {
  uint64_t offset = 0;
  uint64_t length = 0;
};

/// A file's size and change stamp (ReportReader::changeStamp); both 0 when it can't be looked at.
struct FileStamp {
  uint64_t size = 0;
  int64_t stamp = 0;
};
[[nodiscard]] FileStamp fileStampOf(const std::string& path);

/// Where a line's bytes are unknown (a gzip file, standard input, a UTF-16 file).
inline constexpr int64_t kNoOffset = -1;

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
  /// With `ranges` (offsets of line starts, in file order, of a file that is neither gzip
  /// nor UTF-16) only those bytes are read, one range after the other, as if they were
  /// the file; a range is sought to, so the file must be a regular one.
  explicit ReportReader(const std::string& path, size_t blockSize = kDefaultBlockSize, ReadFunction read = {},
                        std::vector<ByteRange> ranges = {});
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
  /// The file's size and time of change to the nanosecond, to tell whether it changed since.
  [[nodiscard]] int64_t changeStamp() const { return m_changeStamp; }

  /// Byte offset in the file of the line given last, or kNoOffset where the bytes of a
  /// line are not those of the file (gzip, UTF-16, standard input, ranges).
  [[nodiscard]] int64_t lineOffset() const { return knowsOffsets() ? static_cast<int64_t>(m_lineStart) : kNoOffset; }
  /// Byte offset of the line after it (past its line end), or kNoOffset as above.
  [[nodiscard]] int64_t nextLineOffset() const { return knowsOffsets() ? static_cast<int64_t>(m_lineEnd) : kNoOffset; }
  /// Whether only ranges of the file are read.
  [[nodiscard]] bool readsRanges() const { return !m_ranges.empty(); }
  /// With ranges: the range that the line given last begins, or -1 when it begins none.
  [[nodiscard]] int rangeBegun() const { return m_rangeBegun; }

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

  [[nodiscard]] bool knowsOffsets() const {
    return m_gz == nullptr && !m_standardInput && m_ranges.empty() &&
           (m_encoding == FileEncoding::Bytes || m_encoding == FileEncoding::Utf8Bom);
  }
  size_t readFile(char* dst, size_t n);
  size_t readRanges(char* dst, size_t n);

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
  bool m_standardInput = false;
  int64_t m_changeStamp = 0;
  uint64_t m_base = 0;       // offset of m_buf[0]: in the file, or with ranges in the ranges read one after the other
  uint64_t m_lineStart = 0;  // of the line given last
  uint64_t m_lineEnd = 0;    // past its line end
  std::vector<ByteRange> m_ranges;
  size_t m_range = 0;              // the range being read
  uint64_t m_rangeRead = 0;        // of its bytes
  std::vector<uint64_t> m_starts;  // with ranges: where each begins in the ranges one after the other
  int m_rangeBegun = -1;
};

}  // namespace tarvolin::core
