#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvolin::core {

/// `s` without leading and trailing U+0020, like trimBlanks, for the hot loop: report
/// names are padded with blanks up to their separator's column, so trailing blanks are
/// skipped a word at a time.
inline std::string_view trimPadded(std::string_view s) {
  constexpr uint64_t kBlanks = 0x2020202020202020ULL;
  const char* b = s.data();
  const char* e = b + s.size();
  while (b < e && *b == ' ') ++b;
  while (e - b >= 8) {
    uint64_t w;
    std::memcpy(&w, e - 8, 8);
    if (w == kBlanks) {
      e -= 8;
      continue;
    }
    if constexpr (std::endian::native == std::endian::little)
      return {b, static_cast<size_t>(e - b) - std::countl_zero(w ^ kBlanks) / 8};
    break;
  }
  while (e > b && e[-1] == ' ') --e;
  return {b, static_cast<size_t>(e - b)};
}

/// s.find(c), inline: the separator sits within the first few dozen bytes of a line,
/// where a call to memchr costs more than the search.
inline size_t findByte(std::string_view s, char c) {
  const char* p = s.data();
  const size_t n = s.size();
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi8(c);
  for (; n - i >= 16; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(v, needle));
    if (hits != 0) return i + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(hits)));
  }
#endif
  for (; i < n; ++i)
    if (p[i] == c) return i;
  return std::string_view::npos;
}

}  // namespace tarvolin::core
