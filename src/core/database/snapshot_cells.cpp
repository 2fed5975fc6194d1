#include "core/database/snapshot_cells.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace tarvolin::core {

namespace {

void putCount(std::string& out, uint64_t n) {
  char bytes[8];
  std::memcpy(bytes, &n, sizeof bytes);
  out.append(bytes, sizeof bytes);
}

void putText(std::string& out, std::string_view text) {
  putCount(out, text.size());
  out += text;
}

/// Reads what putCount and putText wrote, in order.
class BytesReader {
 public:
  explicit BytesReader(std::string_view bytes) : m_bytes(bytes) {}
  uint64_t count() {
    need(8);
    uint64_t n = 0;
    std::memcpy(&n, m_bytes.data(), 8);
    m_bytes.remove_prefix(8);
    return n;
  }
  std::string_view text() {
    const uint64_t n = count();
    need(n);
    const std::string_view t = m_bytes.substr(0, n);
    m_bytes.remove_prefix(n);
    return t;
  }

 private:
  void need(uint64_t n) const {
    if (m_bytes.size() < n) throw std::runtime_error("a kept snapshot is cut short");
  }
  std::string_view m_bytes;
};

}  // namespace

std::string snapshotBytes(const LoadedSnapshot& s) {
  std::string out;
  putText(out, s.report().kindHeading);
  putText(out, s.time());
  putText(out, s.report().startName);
  putCount(out, s.report().preamble.size());
  for (const auto& [name, value] : s.report().preamble) {
    putText(out, name);
    putText(out, value);
  }
  const int cols = variableCount(s);
  const int entries = entryCount(s);
  putCount(out, static_cast<uint64_t>(cols));
  putCount(out, static_cast<uint64_t>(entries));
  for (int c = 0; c < cols; ++c) putText(out, variableName(s, c));
  for (int r = 0; r < entries; ++r)
    for (int c = 0; c < cols; ++c) putText(out, cellOf(s, r, c));
  return out;
}

LoadedSnapshot snapshotFromBytes(std::string_view bytes) {
  BytesReader in(bytes);
  LoadedSnapshot s;
  s.report().kindHeading = in.text();
  s.report().snapshotTimes = {std::string(in.text())};
  s.report().startName = in.text();
  for (uint64_t n = in.count(); n > 0; --n) {
    std::string name(in.text());
    s.report().preamble.emplace_back(std::move(name), in.text());
  }
  const auto cols = static_cast<int>(in.count());
  const auto entries = static_cast<int>(in.count());
  if (cols < 0 || cols > kMaxVars || entries < 0) throw std::runtime_error("a kept snapshot is not one");
  s.grid.setCols(cols);
  s.grid.setRows(entries + 1);
  for (int c = 0; c < cols; ++c) {
    const std::string_view name = in.text();
    s.report().vars.appendName(name);
    s.grid.setText(0, c, name);
  }
  for (int r = 1; r <= entries; ++r)
    for (int c = 0; c < cols; ++c) s.grid.setText(r, c, in.text());
  return s;
}

}  // namespace tarvolin::core
