#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvolin::core {

/// True when `s` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
[[nodiscard]] bool isValidUtf8(std::string_view s) noexcept;

/// True when every byte is below 0x80.
[[nodiscard]] inline bool isAscii(std::string_view s) noexcept {
  unsigned char bits = 0;
  for (const char c : s) bits |= static_cast<unsigned char>(c);  // no early exit: the loop vectorises
  return bits < 0x80;
}

/// Appends `s`, read as Windows-1252, to `out` as UTF-8. The five bytes that
/// code page leaves undefined map to the C1 controls of the same value.
void appendCp1252AsUtf8(std::string_view s, std::string& out);

/// Appends one code point as UTF-8; invalid ones (surrogates, > U+10FFFF) become U+FFFD.
void appendUtf8(char32_t cp, std::string& out);

/// Number of code points in well-formed UTF-8 (continuation bytes are not counted).
[[nodiscard]] size_t utf8Length(std::string_view s) noexcept;

/// `s` without leading and trailing U+0020 (tabs stay).
[[nodiscard]] constexpr std::string_view trimBlanks(std::string_view s) noexcept {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

/// `s` with every U+0020 removed.
[[nodiscard]] std::string removeBlanks(std::string_view s);

}  // namespace tarvolin::core
