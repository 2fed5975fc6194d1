#include "core/column_widths.h"

#include <gtest/gtest.h>

#include "load_fixture.h"

namespace tarvolin::core::test {
namespace {

/// A proportional font: narrow, average and wide ASCII advances in twips (fractions
/// included, as a screen font at 96 dpi gives them); other characters are wider.
class ProportionalMeasure : public TextMeasure {
 public:
  explicit ProportionalMeasure(bool announceBound) : m_announceBound(announceBound) {}
  double textWidthTwips(std::string_view text) override {
    ++calls;
    double total = 0;
    for (const char ch : text) {
      const auto b = static_cast<unsigned char>(ch);
      const bool narrow = b == 'i' || b == 'l' || b == '.' || b == ':';
      total += b >= 0x80              ? ((b & 0xC0) != 0x80 ? 247.5 : 0.0)
               : b == 'W' || b == 'M' ? 213.75
               : narrow               ? 48.75
               : b >= 'A' && b <= 'Z' ? 150.0 + (b % 5) * 3.75
                                      : 105.0 + (b % 7) * 11.25;
    }
    return total;
  }
  [[nodiscard]] double maxAsciiAdvanceTwips() const override { return m_announceBound ? 213.75 : 0.0; }
  int calls = 0;

 private:
  bool m_announceBound;
};

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

std::vector<int> widthsOfLoad(const std::string& path, ProportionalMeasure& measure) {
  SharedState shared;
  LoadState load;
  GridStore grid;
  NullLoadObserver quiet;
  ReportLoader(shared, load, quiet, measure, "/nonexistent").do_refresh(path, grid);
  std::vector<int> widths;
  for (int i = 0; i <= shared.vars.maxvar(); ++i) widths.push_back(shared.vars[i].width);
  return widths;
}

TEST(ColumnWidths, SkippingByTheAsciiBoundGivesTheWidthsOfMeasuringEverything) {
  TempDir dir;
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(TARVOLIN_SAMPLES_DIR))
    reports.push_back(entry.path().string());
  // Values on the bound: the widest character repeated, lengths around 60, other scripts,
  // short values after long ones.
  std::string text = "Node Directory\n";
  for (int n = 1; n < 64; ++n) {
    text += "Node name = " + std::string(static_cast<size_t>(n), 'W') + "\nMixed = " + repeat("Wi", n / 2) + "\n";
    text += "Other = " + repeat("\xC3\xA9", n % 13) + std::string(static_cast<size_t>(n % 5), 'l') + "\n";
  }
  reports.push_back(dir.write("bound.txt", text));
  int callsAll = 0;
  int callsBounded = 0;
  for (const std::string& path : reports) {
    ProportionalMeasure all(false);
    ProportionalMeasure bounded(true);
    EXPECT_EQ(widthsOfLoad(path, bounded), widthsOfLoad(path, all)) << path;
    callsAll += all.calls;
    callsBounded += bounded.calls;
  }
  EXPECT_LT(callsBounded, callsAll);
}

}  // namespace
}  // namespace tarvolin::core::test
