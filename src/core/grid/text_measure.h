#pragma once

#include <string_view>

namespace tarvolin::core {

/// Width of a text in the main window's font, in twips.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  /// Width of the UTF-8 text `text` in twips (fractions allowed).
  virtual double textWidthTwips(std::string_view text) = 0;
};

/// A fixed advance per character: for loads whose widths are only compared with 0.
class FixedTextMeasure : public TextMeasure {
 public:
  explicit FixedTextMeasure(double twipsPerChar = 105.0) : m_perChar(twipsPerChar) {}
  double textWidthTwips(std::string_view text) override;

 private:
  double m_perChar;
};

}  // namespace tarvolin::core
