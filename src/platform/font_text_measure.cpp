#include "platform/font_text_measure.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace tarvolin::platform {

namespace {

double screenDpi() {
  if (QGuiApplication::instance() != nullptr)
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->logicalDotsPerInchX();
  return 96.0;
}

constexpr size_t kCacheLimit = 65536;

}  // namespace

FontTextMeasure::FontTextMeasure(const QFont& font, double dpi)
    : m_metrics(font), m_twipsPerPixel(1440.0 / (dpi > 0 ? dpi : screenDpi())) {
  double widest = 0;
  for (int c = 0; c < 128; ++c)
    widest = std::max(widest, m_metrics.horizontalAdvance(QChar(static_cast<char16_t>(c))));
  // A little room for rounding inside the font engine; the bound only decides what
  // need not be measured, so a larger bound is always safe.
  m_maxAscii = (widest + 0.5) * m_twipsPerPixel;
}

double FontTextMeasure::textWidthTwips(std::string_view text) {
  std::string key(text);
  if (auto it = m_cache.find(key); it != m_cache.end()) return it->second;
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const double w = m_metrics.horizontalAdvance(s) * m_twipsPerPixel;
  if (m_cache.size() >= kCacheLimit) m_cache.clear();
  m_cache.emplace(std::move(key), w);
  return w;
}

}  // namespace tarvolin::platform
