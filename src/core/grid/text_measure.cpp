#include "core/grid/text_measure.h"

#include "core/read/text_encoding.h"

namespace tarvolin::core {

double FixedTextMeasure::textWidthTwips(std::string_view text) {
  return m_perChar * static_cast<double>(utf8Length(text));
}

}  // namespace tarvolin::core
