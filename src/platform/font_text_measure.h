#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <array>
#include <string>
#include <unordered_map>

#include "core/grid/text_measure.h"

namespace tarvolin::platform {

/// Measures texts in a window's font, in twips at the screen's logical DPI.
///
/// Printable ASCII texts are summed from a table: the advance of every character plus the
/// kerning of every adjacent pair. A pair's kerning is taken only when it was shown not to
/// depend on the characters around it (every printable character before and after the
/// pair was tried); a pair that fails that (a ligature, contextual forms) sends the text
/// to the font. So the sum is exactly what measuring the whole text gives, at the cost of
/// a table lookup per character. The 95 advances are measured on the first use, each
/// pair the first time it occurs (about 2 ms for a kerned pair, once). Other texts are
/// measured by the font; repeated ones once (a bounded cache).
class FontTextMeasure : public core::TextMeasure {
 public:
  /// `dpi` 0 takes the primary screen's logical DPI (96 without a screen).
  explicit FontTextMeasure(const QFont& font, double dpi = 0);
  double textWidthTwips(std::string_view text) override;
  /// Width in twips as the font lays out the whole text (no table, no cache).
  [[nodiscard]] double measuredWidthTwips(std::string_view text) const;

 private:
  void buildAsciiTable();
  /// Sum of the table's advances in pixels, or a negative value when the table can't answer.
  [[nodiscard]] double asciiWidthPixels(std::string_view text);
  /// Works out, once, how the font lays out the pair a b (its step in m_step); true when
  /// the pair can be summed.
  bool pairSummed(unsigned a, unsigned b);
  [[nodiscard]] double width(const QString& text) const { return m_metrics.horizontalAdvance(text); }

  QFontMetricsF m_metrics;
  double m_twipsPerPixel;
  bool m_tableReady = false;
  std::array<double, 128> m_advance{};  ///< pixels, printable ASCII only
  enum class Pair : unsigned char { Unknown, Summed, Joined };
  /// How the font lays out each pair a*128+b; row 0 is the first character of a text.
  std::array<Pair, size_t{128} * 128> m_pairs{};
  /// Pixels that b adds after a (its advance plus the pair's kerning), for summed pairs.
  std::array<double, size_t{128} * 128> m_step{};
  std::unordered_map<std::string, double> m_cache;
};

}  // namespace tarvolin::platform
