#include "app/grid_writer.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>

#include "core/grow_buffer.h"

namespace tarvolin::app {

namespace {

/// Bytes gathered for output: a sink with a file writes them out 256 KiB at a time
/// (small enough to stay in the cache); one without keeps them all.
class Sink {
 public:
  explicit Sink(std::FILE* file) : m_file(file) { m_buf.resizeUninitialized(kChunk); }
  ~Sink() { flush(); }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  /// Room for at least n more bytes at cursor().
  void reserve(size_t n) {
    if (m_buf.size() - m_used >= n) return;
    if (m_file != nullptr) {
      flush();
      if (m_buf.size() >= n) return;
    }
    m_buf.resizeUninitialized(std::max(m_buf.size() * 2, m_used + n));
  }
  void put(std::string_view text) {
    reserve(text.size());
    std::memcpy(m_buf.data() + m_used, text.data(), text.size());
    m_used += text.size();
  }
  void put(char c) {
    reserve(1);
    m_buf[m_used++] = c;
  }
  /// The free part, [cursor(), limit()): bytes written there count once commitTo() is
  /// called with the end of what was written.
  [[nodiscard]] char* cursor() { return m_buf.data() + m_used; }
  [[nodiscard]] char* limit() { return m_buf.data() + m_buf.size(); }
  void commitTo(const char* end) { m_used = static_cast<size_t>(end - m_buf.data()); }

  void flush() {
    if (m_file != nullptr && m_used > 0) std::fwrite(m_buf.data(), 1, m_used, m_file);
    if (m_file != nullptr) m_used = 0;
  }
  [[nodiscard]] std::string_view text() const { return {m_buf.data(), m_used}; }
  void clear() { m_used = 0; }

 private:
  static constexpr size_t kChunk = size_t{1} << 18;
  std::FILE* m_file;
  core::GrowBuffer<char> m_buf;
  size_t m_used = 0;
};

/// One CSV field after RFC 4180: quoted when it holds a comma, a quote or a line end.
void putCsv(Sink& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.put(text);
    return;
  }
  out.put('"');
  for (size_t from = 0;;) {
    const size_t quote = text.find('"', from);
    out.put(text.substr(from, quote == std::string_view::npos ? std::string_view::npos : quote + 1 - from));
    if (quote == std::string_view::npos) break;
    out.put('"');
    from = quote + 1;
  }
  out.put('"');
}

void writeCsv(const core::GridStore& g, const std::vector<int>& cols, int from, int to, Sink& out) {
  for (int r = from; r < to; ++r) {
    for (size_t i = 0; i < cols.size(); ++i) {
      if (i > 0) out.put(',');
      putCsv(out, g.textUnchecked(r, cols[i]));
    }
    out.put('\r');
    out.put('\n');
  }
}

/// One row the plain way, for a row that doesn't fit in what is left of the buffer.
void writeTabRowSlowly(const core::GridStore& g, int r, const std::vector<int>& cols, Sink& out) {
  for (size_t i = 0; i < cols.size(); ++i) {
    out.put(g.textUnchecked(r, cols[i]));
    out.put(i + 1 < cols.size() ? '\t' : '\n');
  }
}

/// A row is copied straight into the free part of the sink and committed when it is
/// complete; only a row that would overflow it goes the slow way. A text of up to 16 bytes
/// is copied as one block of 16 where both sides have the room (the bytes after it are
/// overwritten next).
void writeTab(const core::GridStore& g, const std::vector<int>& cols, int from, int to, Sink& out) {
  constexpr size_t kRowRoom = 4096;
  constexpr size_t kBlock = 16;
  const std::string_view arena = g.arena();
  const auto arenaEnd = reinterpret_cast<uintptr_t>(arena.data()) + arena.size();
  for (int r = from; r < to; ++r) {
    out.reserve(kRowRoom);
    char* at = out.cursor();
    char* const end = out.limit();
    bool fits = true;
    for (int c : cols) {
      const std::string_view text = g.textUnchecked(r, c);
      const size_t n = text.size();
      if (n <= kBlock && static_cast<size_t>(end - at) > kBlock &&
          reinterpret_cast<uintptr_t>(text.data()) + kBlock <= arenaEnd) {
        std::memcpy(at, text.data(), kBlock);
      } else if (static_cast<size_t>(end - at) > n) {
        core::copyBytes(at, text.data(), n);  // cells are short: no call per cell
      } else {
        fits = false;
        break;
      }
      at += n;
      *at++ = '\t';
    }
    if (fits) {
      at[-1] = '\n';
      out.commitTo(at);
    } else {
      writeTabRowSlowly(g, r, cols, out);
    }
  }
}

/// Rows [from, to) in the format asked for.
void formatRows(const core::GridStore& g, const std::vector<int>& cols, bool csv, int from, int to, Sink& out) {
  if (csv)
    writeCsv(g, cols, from, to, out);
  else
    writeTab(g, cols, from, to, out);
}

/// Rows are cut into slices. A helper thread formats the odd slices, each into one of
/// two buffers in turn, while this thread formats and writes the even ones and writes
/// each odd one after the slice before it.
class TwoWriters {
 public:
  TwoWriters(const core::GridStore& g, const std::vector<int>& cols, bool csv) : m_g(g), m_cols(cols), m_csv(csv) {}

  void run(Sink& out) {
    const int slices = (m_g.rows() + kSliceRows - 1) / kSliceRows;
    std::thread helper([this, slices] {
      for (int s = 1; s < slices; s += 2) {
        Slot& slot = m_slots[static_cast<size_t>(s / 2 % 2)];
        {
          std::unique_lock lock(m_mutex);
          m_changed.wait(lock, [&] { return !slot.full; });
        }
        slot.text.clear();
        format(s, slot.text);
        {
          const std::lock_guard lock(m_mutex);
          slot.full = true;
        }
        m_changed.notify_all();
      }
    });
    for (int s = 0; s < slices; ++s) {
      if (s % 2 == 0) {
        format(s, out);
        continue;
      }
      Slot& slot = m_slots[static_cast<size_t>(s / 2 % 2)];
      {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return slot.full; });
      }
      out.put(slot.text.text());
      {
        const std::lock_guard lock(m_mutex);
        slot.full = false;
      }
      m_changed.notify_all();
    }
    helper.join();
  }

  static constexpr int kSliceRows = 2048;

 private:
  struct Slot {
    Sink text{nullptr};
    bool full = false;
  };

  void format(int slice, Sink& out) const {
    const int from = slice * kSliceRows;
    formatRows(m_g, m_cols, m_csv, from, std::min(from + kSliceRows, m_g.rows()), out);
  }

  const core::GridStore& m_g;
  const std::vector<int>& m_cols;
  bool m_csv;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::array<Slot, 2> m_slots;
};

}  // namespace

void writeGrid(const core::GridStore& g, const std::vector<int>& cols, bool csv, std::FILE* file) {
  if (cols.empty()) return;
  Sink out(file);
  if (g.rows() < 2 * TwoWriters::kSliceRows) {
    formatRows(g, cols, csv, 0, g.rows(), out);
    return;
  }
  TwoWriters(g, cols, csv).run(out);
}

}  // namespace tarvolin::app
