#pragma once
// What the report generators share: their random numbers, table names and output file.

#include <cstdint>
#include <cstdio>

namespace bench {

/// A small deterministic generator, so that every run writes the same file.
class Rng {
 public:
  uint32_t next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }
  uint32_t below(uint32_t n) { return next() % n; }

 private:
  uint32_t m_state = 2463534242u;
};

/// Tables the generated reports name.
inline constexpr const char* kTables[] = {"INVOICE",    "INVOICE_LINE", "CUSTOMER", "PRICE_LIST", "STOCK",
                                          "ORDER_HEAD", "ORDER_LINE",   "SHIPMENT", "PAYMENT",    "AUDIT_TRAIL"};

/// Opens `path` for writing through a 1 MiB buffer (one generator writes one file); nullptr
/// after saying why on standard error.
inline std::FILE* openOutput(const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) {
    std::perror(path);
    return nullptr;
  }
  static char buffer[1 << 20];
  std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
  return f;
}

/// Closes `f`, written to `path`; false after saying why on standard error.
inline bool closeOutput(std::FILE* f, const char* path) {
  if (std::fclose(f) == 0) return true;
  std::perror(path);
  return false;
}

}  // namespace bench
