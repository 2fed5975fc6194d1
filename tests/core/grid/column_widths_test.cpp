#include "core/grid/column_widths.h"

#include <gtest/gtest.h>

#include "core/load_fixture.h"

namespace tarvolin::core::test {
namespace {

std::string repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(ValueWidth, IsTheMeasureTimesOnePointTwoRoundedHalfToEvenUpTo59Characters) {
  struct Case {
    std::string value;
    double perChar;  // twips the measure gives each character
    int expected;
  };
  for (const Case& c : std::vector<Case>{{"x", 1000.0, 1200},
                                         {"x", 668.75, 802},  // 802.5 goes down to the even 802
                                         {"x", 671.25, 806},  // 805.5 goes up to the even 806
                                         {"x", 833.8, 1001},
                                         {"", 100.0, 0},
                                         {repeat("a", 59), 50.0, 3540},
                                         {repeat("a", 60), 50.0, kLongValueWidth},
                                         {repeat("\xC3\xA9", 59), 50.0, 3540},  // characters count, not bytes
                                         {repeat("\xC3\xA9", 60), 50.0, kLongValueWidth}}) {
    FixedTextMeasure m(c.perChar);
    EXPECT_EQ(valueWidth(c.value, m), c.expected) << c.value;
  }
}

TEST(ColumnWidths, KeepTheWidestValueUpTo32767) {
  VariableTable vars;
  vars.appendName("a");
  vars.appendName("b");
  FixedTextMeasure measure(100.0);
  ColumnWidths widths(vars, measure);
  for (const char* v : {"abcdef", "abcdefg", "abc", ""}) widths.widen(0, v);
  EXPECT_EQ(vars[0].width, 840);
  widths.widen(1, std::string(60, 'q'));
  widths.widen(1, std::string(16, 'q'));
  EXPECT_EQ(vars[1].width, 2000);
  widths.widen(1, std::string(17, 'q'));
  EXPECT_EQ(vars[1].width, 2040);
  FixedTextMeasure huge(1000.0);
  ColumnWidths(vars, huge).widen(0, std::string(59, 'w'));
  EXPECT_EQ(vars[0].width, 32767);
}

}  // namespace
}  // namespace tarvolin::core::test
