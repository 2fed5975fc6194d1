#include "core/read/report_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include <zlib.h>

#include "core/read/text_encoding.h"

namespace tarvolin::core {

namespace {

std::string systemReason(int err) { return std::strerror(err); }

int64_t changeStampOf(const struct stat& st) {
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec +
         static_cast<int64_t>(st.st_size) * 7919 + static_cast<int64_t>(st.st_ino) * 104729;
}

}  // namespace

FileStamp fileStampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return FileStamp{static_cast<uint64_t>(st.st_size), changeStampOf(st)};
}

ReportReader::ReportReader(const std::string& path, size_t blockSize, ReadFunction read, std::vector<ByteRange> ranges)
    : m_path(path == "-" ? "standard input" : path),
      m_read(std::move(read)),
      m_blockSize(blockSize < 16 ? 16 : blockSize),
      m_standardInput(path == "-") {
  if (path.empty()) throw ReadError("Bad file name or number: no file was named");
  if (path.find('\0') != std::string::npos) throw ReadError("Bad file name or number: " + path);
  openFile(path);
  try {
    if (path.ends_with(".gz")) {
      m_gz = gzdopen(m_fd, "rb");
      if (m_gz == nullptr) throw ReadError("Cannot open " + path + ": " + systemReason(ENOMEM));
      m_fd = -1;  // the stream closes it
      gzbuffer(static_cast<gzFile>(m_gz), static_cast<unsigned>(m_blockSize));
    }
    m_buf.resize(m_blockSize * 2);
    readByteOrderMark();
    if (m_encoding == FileEncoding::Utf8Bom) m_base = 3;
    if (!ranges.empty()) {
      if (!knowsOffsets()) throw ReadError("Cannot read " + m_path + " in parts: its bytes are not its lines'");
      m_ranges = std::move(ranges);
      uint64_t at = 0;
      for (const ByteRange& r : m_ranges) {
        m_starts.push_back(at);
        at += r.length;
      }
      m_end = 0;  // the bytes the byte order mark was looked for in are not in a range
      m_base = 0;
    }
  } catch (...) {
    closeFile();
    throw;
  }
}

/// Looks at the first bytes for a byte order mark; bytes that are none stay to be read.
void ReportReader::readByteOrderMark() {
  unsigned char head[3];
  size_t got = readRaw(reinterpret_cast<char*>(head), 2);
  if (got == 2 && head[0] == 0xFF && head[1] == 0xFE) {
    m_encoding = FileEncoding::Utf16LE;
  } else if (got == 2 && head[0] == 0xFE && head[1] == 0xFF) {
    m_encoding = FileEncoding::Utf16BE;
  } else if (got == 2 && head[0] == 0xEF && head[1] == 0xBB) {
    const size_t third = readRaw(reinterpret_cast<char*>(head + 2), 1);
    got += third;
    if (third == 1 && head[2] == 0xBF) {
      m_encoding = FileEncoding::Utf8Bom;
      got = 0;
    }
  }
  if (m_encoding == FileEncoding::Utf16LE || m_encoding == FileEncoding::Utf16BE) {
    m_raw.resize(m_blockSize);
  } else {
    std::memcpy(m_buf.data(), head, got);
    m_end = got;
  }
}

void ReportReader::closeFile() {
  if (m_gz != nullptr) gzclose(static_cast<gzFile>(m_gz));
  if (m_fd >= 0) ::close(m_fd);
  m_gz = nullptr;
  m_fd = -1;
}

/// Opens m_fd on `path` (standard input for "-") and takes the file's size and time.
void ReportReader::openFile(const std::string& path) {
  const bool standardInput = path == "-";
  // Non-blocking only while opening: a pipe without a writer must not hang the open.
  m_fd = standardInput ? ::fcntl(0, F_DUPFD_CLOEXEC, 0) : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (m_fd < 0) throw ReadError("Cannot open " + m_path + ": " + systemReason(errno));
  struct stat st {};
  const char* refused = nullptr;
  if (::fstat(m_fd, &st) != 0)
    refused = std::strerror(errno);
  else if (S_ISDIR(st.st_mode))
    refused = std::strerror(EISDIR);
  else if (standardInput)
    refused = nullptr;  // a pipe, a terminal or a file: whatever the caller gave
  else if (S_ISFIFO(st.st_mode))
    refused = "not a regular file but a pipe";
  else if (!S_ISREG(st.st_mode))  // a device such as /dev/zero may never end
    refused = "not a regular file";
  if (refused != nullptr) {
    ::close(m_fd);
    throw ReadError("Cannot open " + m_path + ": " + refused);
  }
  if (!standardInput) ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
  m_modified = std::chrono::system_clock::time_point(std::chrono::seconds(st.st_mtim.tv_sec));
  m_changeStamp = changeStampOf(st);
  m_fileSize = S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

ReportReader::~ReportReader() { closeFile(); }

size_t ReportReader::readRaw(char* dst, size_t n) {
  size_t total = 0;
  while (total < n) {
    if (m_gz != nullptr) {
      const auto gz = static_cast<gzFile>(m_gz);
      const unsigned chunk = static_cast<unsigned>(std::min<size_t>(n - total, size_t{1} << 30));
      const int r = gzread(gz, dst + total, chunk);
      int code = Z_OK;
      const std::string_view what = gzerror(gz, &code);
      // A stream cut short reads to its end and is then marked with Z_BUF_ERROR: the
      // bytes before go out first, and the next read reports it.
      if (r < 0 || (r == 0 && code == Z_BUF_ERROR)) {
        if (total > 0) break;
        throw ReadError("Cannot read " + m_path + ": " +
                        (code == Z_ERRNO ? systemReason(errno)
                                         : std::string(what.substr(what.find(": ") + 2)) + " (not a whole gzip file)"));
      }
      if (r == 0) {
        m_rawEof = true;
        break;
      }
      total += static_cast<size_t>(r);
      continue;
    }
    size_t r = 0;
    try {
      r = m_ranges.empty() ? readFile(dst + total, n - total) : readRanges(dst + total, n - total);
    } catch (const ReadError&) {
      if (total > 0) break;  // the bytes before go out first; the next read fails again
      throw;
    }
    if (r == 0) {
      m_rawEof = true;
      break;
    }
    total += r;
  }
  return total;
}

/// Reads once from the file, as ::read (or the read function) does: 0 at its end.
size_t ReportReader::readFile(char* dst, size_t n) {
  for (;;) {
    const std::ptrdiff_t r = m_read ? m_read(m_fd, dst, n) : ::read(m_fd, dst, n);
    if (r >= 0) return static_cast<size_t>(r);
    if (errno == EINTR) continue;
    throw ReadError("Cannot read " + m_path + ": " + systemReason(errno));
  }
}

/// Reads once from the ranges: from the one being read, seeking to the next at its end.
size_t ReportReader::readRanges(char* dst, size_t n) {
  while (m_range < m_ranges.size()) {
    const ByteRange& r = m_ranges[m_range];
    if (m_rangeRead == r.length) {
      ++m_range;
      m_rangeRead = 0;
      continue;
    }
    if (m_rangeRead == 0 && ::lseek(m_fd, static_cast<off_t>(r.offset), SEEK_SET) < 0)
      throw ReadError("Cannot read " + m_path + ": " + systemReason(errno));
    const size_t got = readFile(dst, static_cast<size_t>(std::min<uint64_t>(n, r.length - m_rangeRead)));
    if (got == 0) throw ReadError("Cannot read " + m_path + ": it is shorter than when it was read before");
    m_rangeRead += got;
    return got;
  }
  return 0;
}

void ReportReader::decodeUtf16(const unsigned char* p, size_t n, bool last) {
  const bool le = m_encoding == FileEncoding::Utf16LE;
  std::string out;
  out.reserve(n * 3 / 2 + 8);
  size_t i = 0;
  auto unit = [&](unsigned a, unsigned b) -> char32_t { return le ? (a | (b << 8)) : ((a << 8) | b); };
  auto emit = [&](char32_t u) {
    if (m_pendingHigh != 0) {
      if (u >= 0xDC00 && u <= 0xDFFF) {
        appendUtf8(0x10000 + ((m_pendingHigh - 0xD800) << 10) + (u - 0xDC00), out);
        m_pendingHigh = 0;
        return;
      }
      appendUtf8(0xFFFD, out);
      m_pendingHigh = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF)
      m_pendingHigh = u;
    else
      appendUtf8(u, out);  // a lone low surrogate becomes U+FFFD
  };
  if (m_pendingByte >= 0 && n > 0) {
    emit(unit(static_cast<unsigned>(m_pendingByte), p[0]));
    m_pendingByte = -1;
    i = 1;
  }
  for (; i + 1 < n; i += 2) emit(unit(p[i], p[i + 1]));
  if (i < n) m_pendingByte = p[i];
  if (last) {
    if (m_pendingHigh != 0) appendUtf8(0xFFFD, out);
    if (m_pendingByte >= 0) appendUtf8(0xFFFD, out);  // a code unit without its second byte
    m_pendingHigh = 0;
    m_pendingByte = -1;
  }
  if (m_buf.size() - m_end < out.size()) m_buf.resize(m_end + out.size());
  std::memcpy(m_buf.data() + m_end, out.data(), out.size());
  m_end += out.size();
}

size_t ReportReader::fill() {
  if (m_rawEof) return 0;
  // Keep the unread tail at the front; grow the buffer when a line fills it.
  if (m_pos > 0) {
    std::memmove(m_buf.data(), m_buf.data() + m_pos, m_end - m_pos);
    m_base += m_pos;
    m_end -= m_pos;
    m_lf = m_cr = Found{};
    m_pos = 0;
  }
  if (m_buf.size() - m_end < m_blockSize) m_buf.resize(std::max(m_buf.size() * 2, m_end + m_blockSize));
  const size_t before = m_end;
  if (m_encoding == FileEncoding::Utf16LE || m_encoding == FileEncoding::Utf16BE) {
    size_t got = readRaw(reinterpret_cast<char*>(m_raw.data()), m_raw.size());
    decodeUtf16(m_raw.data(), got, m_rawEof);
  } else {
    m_end += readRaw(m_buf.data() + m_end, m_blockSize);
  }
  return m_end - before;
}

size_t ReportReader::findNext(char c, Found& f) const {
  if (f.at >= m_pos && f.at < f.to) return f.at;
  // Nothing was found before f.to: go on from there, unless the search began elsewhere.
  const size_t from = f.at == f.to && f.to >= m_pos ? f.to : m_pos;
  const void* hit = std::memchr(m_buf.data() + from, c, m_end - from);
  if (hit == nullptr) {
    f.at = f.to = m_end;
  } else {
    f.at = static_cast<size_t>(static_cast<const char*>(hit) - m_buf.data());
    f.to = f.at + 1;
  }
  return f.at;
}

std::string_view ReportReader::takeLine(size_t len, size_t skip) {
  const char* start = m_buf.data() + m_pos;
  m_lineStart = m_base + m_pos;
  m_pos += len + skip;
  m_lineEnd = m_base + m_pos;
  if (!m_starts.empty()) {
    const auto at = std::lower_bound(m_starts.begin(), m_starts.end(), m_lineStart);
    m_rangeBegun = at != m_starts.end() && *at == m_lineStart ? static_cast<int>(at - m_starts.begin()) : -1;
  }
  return toUtf8({start, len});
}

std::string_view ReportReader::toUtf8(std::string_view raw) {
  if (isAscii(raw) || isValidUtf8(raw)) return raw;
  m_conv.clear();
  appendCp1252AsUtf8(raw, m_conv);
  return m_conv;
}

bool ReportReader::nextLine(std::string_view& line) {
  for (;;) {
    const size_t at = std::min(findNext('\n', m_lf), findNext('\r', m_cr));
    if (at < m_end) {
      size_t skip = 1;
      if (m_buf[at] == '\r') {
        if (at + 1 == m_end && !m_rawEof) {  // its LF may be in the next block
          fill();
          continue;
        }
        if (at + 1 < m_end && m_buf[at + 1] == '\n') skip = 2;
      }
      line = takeLine(at - m_pos, skip);
      return true;
    }
    if (!m_rawEof) {
      fill();
      continue;
    }
    if (m_end == m_pos) return false;
    line = takeLine(m_end - m_pos, 0);
    return true;
  }
}

}  // namespace tarvolin::core
