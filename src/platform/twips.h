#pragma once

#include <cmath>

class QWidget;

namespace tarvolin::platform {

/// Twips in one inch.
inline constexpr double kTwipsPerInch = 1440.0;

/// Pixels for `twips` at `dpi` dots per inch, rounded to the nearest pixel.
[[nodiscard]] inline int twipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

/// Twips for `pixels` at `dpi`, rounded to the nearest twip.
[[nodiscard]] inline int pixelsToTwips(int pixels, double dpi) {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}

/// Horizontal logical DPI of the screen `widget` is on (the primary screen's when
/// `widget` is null or not yet shown; 96 without a screen).
[[nodiscard]] double screenDpi(const QWidget* widget = nullptr);

}  // namespace tarvolin::platform
