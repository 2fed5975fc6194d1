#include "core/report_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/text_encoding.h"

namespace tarvolin::core {

namespace {

std::string systemReason(int err) { return std::strerror(err); }

/// Offset of the first CR or LF in [p, p + n), or n: one pass for both line ends, which
/// also ORs into `high` a non-zero value when a byte before that offset is above 0x7F.
size_t findLineEnd(const char* p, size_t n, unsigned& high) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; n - i >= 16; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto hits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
    const auto top = static_cast<unsigned>(_mm_movemask_epi8(v));  // one bit per byte above 0x7F
    if (hits != 0) {
      const unsigned at = static_cast<unsigned>(__builtin_ctz(hits));
      high |= top & ((1u << at) - 1);
      return i + at;
    }
    high |= top;
  }
#endif
  for (; i < n; ++i) {
    if (p[i] == '\n' || p[i] == '\r') return i;
    high |= static_cast<unsigned char>(p[i]) >> 7;
  }
  return n;
}

}  // namespace

ReportReader::ReportReader(const std::string& path, size_t blockSize)
    : m_path(path), m_blockSize(blockSize < 16 ? 16 : blockSize) {
  if (path.empty()) throw ReadError("Bad file name or number: no file was named");
  if (path.find('\0') != std::string::npos) throw ReadError("Bad file name or number: " + path);
  // Non-blocking only while opening: a pipe without a writer must not hang the open.
  m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (m_fd < 0) throw ReadError("Cannot open " + path + ": " + systemReason(errno));
  struct stat st {};
  if (::fstat(m_fd, &st) != 0) {
    int err = errno;
    ::close(m_fd);
    throw ReadError("Cannot open " + path + ": " + systemReason(err));
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(m_fd);
    throw ReadError("Cannot open " + path + ": " + systemReason(EISDIR));
  }
  if (S_ISFIFO(st.st_mode)) {
    ::close(m_fd);
    throw ReadError("Cannot open " + path + ": not a regular file but a pipe");
  }
  if (!S_ISREG(st.st_mode)) {  // a device such as /dev/zero may never end
    ::close(m_fd);
    throw ReadError("Cannot open " + path + ": not a regular file");
  }
  ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
  m_modified = std::chrono::system_clock::time_point(std::chrono::seconds(st.st_mtim.tv_sec));
  m_fileSize = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  m_buf.resize(m_blockSize * 2);

  // Look at the first bytes for a byte order mark.
  unsigned char head[3];
  size_t got = 0;
  try {
    got = readRaw(reinterpret_cast<char*>(head), 2);
    if (got == 2 && head[0] == 0xFF && head[1] == 0xFE) {
      m_encoding = FileEncoding::Utf16LE;
    } else if (got == 2 && head[0] == 0xFE && head[1] == 0xFF) {
      m_encoding = FileEncoding::Utf16BE;
    } else if (got == 2 && head[0] == 0xEF && head[1] == 0xBB) {
      size_t third = readRaw(reinterpret_cast<char*>(head + 2), 1);
      got += third;
      if (third == 1 && head[2] == 0xBF) {
        m_encoding = FileEncoding::Utf8Bom;
        got = 0;
      }
    }
  } catch (...) {
    ::close(m_fd);
    throw;
  }
  if (m_encoding == FileEncoding::Utf16LE || m_encoding == FileEncoding::Utf16BE) {
    m_raw.resize(m_blockSize);
  } else {
    std::memcpy(m_buf.data(), head, got);
    m_end = got;
  }
}

ReportReader::~ReportReader() {
  if (m_fd >= 0) ::close(m_fd);
}

size_t ReportReader::readRaw(char* dst, size_t n) {
  size_t total = 0;
  while (total < n) {
    ssize_t r = ::read(m_fd, dst + total, n - total);
    if (r < 0) {
      if (errno == EINTR) continue;
      throw ReadError("Cannot read " + m_path + ": " + systemReason(errno));
    }
    if (r == 0) {
      m_rawEof = true;
      break;
    }
    total += static_cast<size_t>(r);
  }
  return total;
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
    m_end -= m_pos;
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

std::string_view ReportReader::takeLine(size_t len, size_t skip) {
  const char* start = m_buf.data() + m_pos;
  m_pos += len + skip;
  // The line holds a byte above 0x7F (or came in more than one block): check it.
  return toUtf8({start, len});
}

std::string_view ReportReader::toUtf8(std::string_view raw) {
  m_lastAscii = isAscii(raw);
  if (m_lastAscii || isValidUtf8(raw)) return raw;
  m_conv.clear();
  appendCp1252AsUtf8(raw, m_conv);
  return m_conv;
}

bool ReportReader::nextLine(std::string_view& line) {
  size_t scanFrom = 0;  // bytes of the current tail already known to hold no line end
  unsigned high = 0;    // non-zero once a byte above 0x7F was seen before the line end
  for (;;) {
    const char* p = m_buf.data() + m_pos;
    const size_t n = m_end - m_pos;
    const size_t at = scanFrom + findLineEnd(p + scanFrom, n - scanFrom, high);
    if (at < n) {
      if (p[at] == '\n') {
        if (high == 0) {  // the common case, kept inline: an ASCII line
          m_pos += at + 1;
          m_lastAscii = true;
          line = {p, at};
          return true;
        }
        line = takeLine(at, 1);
        return true;
      }
      if (at + 1 < n || m_rawEof) {
        const size_t end = at + (at + 1 < n && p[at + 1] == '\n' ? 2 : 1);
        if (high == 0) {
          m_pos += end;
          m_lastAscii = true;
          line = {p, at};
          return true;
        }
        line = takeLine(at, end - at);
        return true;
      }
      // A CR at the end of what is buffered: its LF may be in the next block.
      scanFrom = at;
      fill();
      continue;
    }
    if (!m_rawEof) {
      scanFrom = n;
      if (fill() > 0 || !m_rawEof) continue;
    }
    if (m_end > m_pos) {
      line = takeLine(m_end - m_pos, 0);
      return true;
    }
    return false;
  }
}

size_t ReportReader::nextLines(std::span<ReportLine> out) {
  if (out.empty()) return 0;
  const char* const p = m_buf.data();
  const size_t end = m_end;
  size_t pos = m_pos;
  size_t n = 0;
  while (n < out.size()) {
    unsigned high = 0;
    const size_t at = pos + findLineEnd(p + pos, end - pos, high);
    if (at == end) break;  // no whole line left in the buffer
    size_t next = at + 1;
    if (p[at] == '\r') {
      if (next == end && !m_rawEof) break;  // its LF may be in the next block
      if (next < end && p[next] == '\n') ++next;
    }
    const std::string_view raw(p + pos, at - pos);
    pos = next;
    if (high == 0) {
      out[n++] = ReportLine{raw, true};
      continue;
    }
    const std::string_view text = toUtf8(raw);
    out[n++] = ReportLine{text, false};
    if (text.data() == m_conv.data()) break;  // m_conv holds one converted line: the batch ends with it
  }
  m_handed = {p + m_pos, pos - m_pos};
  m_pos = pos;
  if (n > 0) {
    m_lastAscii = out[n - 1].ascii;
    return n;
  }
  m_handed = {};
  std::string_view line;
  if (!nextLine(line)) return 0;
  out[0] = ReportLine{line, m_lastAscii};
  return 1;
}

bool ReportReader::atEnd() {
  while (m_pos == m_end) {
    if (m_rawEof) return true;
    fill();
  }
  return false;
}

}  // namespace tarvolin::core
