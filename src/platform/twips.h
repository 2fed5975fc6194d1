#pragma once

#include <QRect>
#include <QSize>
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

/// Logical dots per inch across (`x`) and down (`y`); one number stands for both.
struct Dpi {
  Dpi(double both) : x(both), y(both) {}  // implicit: a plain DPI serves both directions
  Dpi(double across, double down) : x(across), y(down) {}
  double x;
  double y;
};

/// Pixels of a size given in twips, rounded as twipsToPixels does.
[[nodiscard]] QSize twipsSize(int width, int height, Dpi dpi);

/// Sets the geometry of `w` (relative to its parent) to a rectangle given in twips: left and
/// width at `dpi.x`, top and height at `dpi.y`, each rounded on its own as twipsToPixels does.
void placeTwips(QWidget* w, int left, int top, int width, int height, Dpi dpi);

/// Logical DPI, across and down, of the screen `widget` is on (the primary screen's when
/// `widget` is null or not yet shown; 96 without a screen). Every window converts its
/// twips with this.
[[nodiscard]] Dpi screenDpi(const QWidget* widget = nullptr);

}  // namespace tarvolin::platform
