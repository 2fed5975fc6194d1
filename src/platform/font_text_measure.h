#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <string>
#include <unordered_map>

#include "core/text_measure.h"

namespace tarvolin::platform {

/// Measures texts in a window's font, in twips at the screen's logical DPI.
/// Repeated texts are measured once (a bounded cache).
class FontTextMeasure : public core::TextMeasure {
 public:
  /// `dpi` 0 takes the primary screen's logical DPI (96 without a screen).
  explicit FontTextMeasure(const QFont& font, double dpi = 0);
  double textWidthTwips(std::string_view text) override;
  [[nodiscard]] double maxAsciiAdvanceTwips() const override { return m_maxAscii; }
  /// Twips per pixel at the DPI in use.
  [[nodiscard]] double twipsPerPixel() const { return m_twipsPerPixel; }

 private:
  QFontMetricsF m_metrics;
  double m_twipsPerPixel;
  double m_maxAscii = 0;
  std::unordered_map<std::string, double> m_cache;
};

}  // namespace tarvolin::platform
