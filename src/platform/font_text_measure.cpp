#include "platform/font_text_measure.h"

#include "platform/twips.h"

#include <algorithm>
#include <initializer_list>

namespace tarvolin::platform {

namespace {

constexpr size_t kCacheLimit = 65536;
constexpr int kFirstPrintable = 32;
constexpr int kLastPrintable = 126;

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

FontTextMeasure::FontTextMeasure(const QFont& font, double dpi)
    : m_metrics(font), m_twipsPerPixel(1440.0 / (dpi > 0 ? dpi : screenDpi().x)) {}

void FontTextMeasure::buildAsciiTable() {
  m_tableReady = true;
  for (int c = kFirstPrintable; c <= kLastPrintable; ++c) {
    const auto at = static_cast<size_t>(c);
    m_advance[at] = m_metrics.horizontalAdvance(QString(QChar(static_cast<char16_t>(c))));
    // Row 0 stands for "no character before": the first character adds its advance.
    m_pairs[at] = Pair::Summed;
    m_step[at] = m_advance[at];
  }
}

bool FontTextMeasure::pairSummed(unsigned a, unsigned b) {
  const size_t at = a * 128 + b;
  if (m_pairs[at] == Pair::Unknown) {
    // Advances are whole 64ths of a pixel, so every sum and difference here is exact.
    auto text = [](std::initializer_list<unsigned> chars) {
      QString s;
      for (unsigned c : chars) s += QChar(static_cast<char16_t>(c));
      return s;
    };
    const double kern = width(text({a, b})) - m_advance[a] - m_advance[b];
    bool summed = true;
    if (kern != 0) {
      // The pair's kerning must not change with a character before or after it.
      for (unsigned x = kFirstPrintable; summed && x <= kLastPrintable; ++x)
        summed = width(text({x, a, b})) - width(text({x, a})) == kern + m_advance[b] &&
                 width(text({a, b, x})) - width(text({b, x})) == kern + m_advance[a];
    }
    m_step[at] = kern + m_advance[b];
    m_pairs[at] = summed ? Pair::Summed : Pair::Joined;
  }
  return m_pairs[at] == Pair::Summed;
}

double FontTextMeasure::asciiWidthPixels(std::string_view text) {
  double sum = 0;
  unsigned prev = 0;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < kFirstPrintable || c > kLastPrintable) return -1;
    const size_t at = prev * 128 + c;
    if (m_pairs[at] != Pair::Summed && !pairSummed(prev, c)) return -1;
    sum += m_step[at];  // whole 64ths of a pixel: the sum is exact in any order
    prev = c;
  }
  return sum;
}

double FontTextMeasure::measuredWidthTwips(std::string_view text) const {
  return m_metrics.horizontalAdvance(fromUtf8(text)) * m_twipsPerPixel;
}

double FontTextMeasure::textWidthTwips(std::string_view text) {
  if (!m_tableReady) buildAsciiTable();
  if (const double px = asciiWidthPixels(text); px >= 0) return px * m_twipsPerPixel;
  std::string key(text);
  if (auto it = m_cache.find(key); it != m_cache.end()) return it->second;
  const double w = measuredWidthTwips(text);
  if (m_cache.size() >= kCacheLimit) m_cache.clear();
  m_cache.emplace(std::move(key), w);
  return w;
}

}  // namespace tarvolin::platform
