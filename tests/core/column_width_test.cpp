#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/report_parser.h"
#include "core/text_encoding.h"
#include "load_fixture.h"

namespace tarvolin::core::loadtest {
namespace {

/// A proportional font as a table of ASCII advances in twips (fractions included, as a
/// screen font at 96 dpi gives them); other characters are wider and come from no table,
/// so the loader must measure them. Counts its calls.
class ProportionalMeasure : public TextMeasure {
 public:
  explicit ProportionalMeasure(bool announceBound) : m_announceBound(announceBound) {
    for (int c = 0; c < 128; ++c) {
      // Narrow punctuation, average lower case, wide capitals and 'W'/'M'.
      double w = 105.0 + (c % 7) * 11.25;
      if (c == 'i' || c == 'l' || c == '.' || c == ',' || c == '\'' || c == ':') w = 48.75;
      if (c >= 'A' && c <= 'Z') w = 150.0 + (c % 5) * 3.75;
      if (c == 'W' || c == 'M') w = 213.75;
      m_advance[static_cast<size_t>(c)] = w;
    }
  }
  double textWidthTwips(std::string_view text) override {
    ++calls;
    double total = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto b = static_cast<unsigned char>(text[i]);
      if (b < 0x80)
        total += m_advance[b];
      else if ((b & 0xC0) != 0x80)
        total += 247.5;  // a character from a fallback font
    }
    return total;
  }
  [[nodiscard]] double maxAsciiAdvanceTwips() const override { return m_announceBound ? 213.75 : 0.0; }

  int calls = 0;

 private:
  bool m_announceBound;
  std::array<double, 128> m_advance{};
};

/// Widths given per text; everything else is 0.
class TableMeasure : public TextMeasure {
 public:
  explicit TableMeasure(std::map<std::string, double> widths) : m_widths(std::move(widths)) {}
  double textWidthTwips(std::string_view text) override {
    ++calls;
    auto it = m_widths.find(std::string(text));
    return it == m_widths.end() ? 0.0 : it->second;
  }
  [[nodiscard]] double maxAsciiAdvanceTwips() const override { return 0.0; }
  int calls = 0;

 private:
  std::map<std::string, double> m_widths;
};

struct ValueWidthCase {
  std::string value;
  double measured;  // what the font says
  int expected;
  bool measuredAtAll;
};

// Named cases print as their value (and the struct's padding is never read).
void PrintTo(const ValueWidthCase& c, std::ostream* os) { *os << '"' << c.value << '"'; }

class ValueWidth : public ::testing::TestWithParam<ValueWidthCase> {};

TEST_P(ValueWidth, IsTheMeasureTimesOnePointTwoRoundedHalfToEven) {
  const ValueWidthCase& c = GetParam();
  TableMeasure m({{c.value, c.measured}});
  EXPECT_EQ(valueWidth(c.value, m), c.expected);
  EXPECT_EQ(m.calls, c.measuredAtAll ? 1 : 0);
}

std::string repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

INSTANTIATE_TEST_SUITE_P(Values, ValueWidth,
                         ::testing::Values(ValueWidthCase{"x", 1000.0, 1200, true},
                                           ValueWidthCase{"x", 668.75, 802, true},   // 802.5 goes down to the even 802
                                           ValueWidthCase{"x", 671.25, 806, true},   // 805.5 goes up to the even 806
                                           ValueWidthCase{"x", 833.75, 1000, true},  // 1000.5
                                           ValueWidthCase{"x", 833.8, 1001, true}, ValueWidthCase{"", 0.0, 0, false},
                                           ValueWidthCase{repeat("a", 59), 3000.0, 3600, true},
                                           ValueWidthCase{repeat("a", 60), 9999.0, 2000, false},
                                           ValueWidthCase{repeat("a", 400), 9999.0, 2000, false},
                                           // characters count, not bytes
                                           ValueWidthCase{repeat("\xC3\xA9", 59), 5000.0, 6000, true},
                                           ValueWidthCase{repeat("\xC3\xA9", 60), 5000.0, 2000, false}));

// ---- the width rule in a load ----------------------------------------------------------

struct ColumnCase {
  std::vector<std::string> values;  // of the variable "V", one entry each
  int tableWidth;                   // vars[V].width after the load
  int columnWidth;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const ColumnCase& c, std::ostream* os) { *os << c.tableWidth; }

class ColumnWidth : public LoadFixture, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnWidth, IsTheWidestValueWithAMinimumOf800) {
  // FixedTextMeasure: 100 twips a character, so n characters need 120 n.
  std::string text = "Node Directory\n";
  for (const std::string& v : GetParam().values) text += "Node name = x\nA rather long variable name = " + v + "\n";
  loadText(text);
  const int col = shared.vars.lookup("A rather long variable name");
  ASSERT_EQ(col, 1);
  EXPECT_EQ(shared.vars[col].width, GetParam().tableWidth);
  EXPECT_EQ(grid.colWidth(col), GetParam().columnWidth);
  EXPECT_EQ(grid.colWidth(0), 800);
}

INSTANTIATE_TEST_SUITE_P(Values, ColumnWidth,
                         ::testing::Values(ColumnCase{{""}, 0, 800}, ColumnCase{{"", ""}, 0, 800},
                                           ColumnCase{{"ab"}, 240, 800}, ColumnCase{{"abcdef", "abcdefg"}, 840, 840},
                                           ColumnCase{{"abcdefg", "abc"}, 840, 840},
                                           ColumnCase{{std::string(59, 'q')}, 7080, 7080},
                                           ColumnCase{{std::string(60, 'q')}, 2000, 2000},
                                           ColumnCase{{std::string(60, 'q'), std::string(17, 'q')}, 2040, 2040},
                                           ColumnCase{{std::string(16, 'q'), std::string(300, 'q')}, 2000, 2000}));

class Widths : public LoadFixture {};

TEST_F(Widths, HiddenColumnIsZeroWideAndKeepsItsValues) {
  writeConfig("NodeDirectory", "Y;;;;;Node name;\r\nN;;;;;Comment;\r\n");
  loadText("Node Directory\nNode name = A\nComment = a long comment here\n");
  EXPECT_EQ(grid.colWidth(1), 0);
  EXPECT_EQ(shared.vars[1].width, 2280);
  EXPECT_EQ(grid.text(1, 1), "a long comment here");
}

TEST_F(Widths, EveryLoadMeasuresAfresh) {
  loadText("Node Directory\nNode name = " + std::string(40, 'n') + "\n");
  EXPECT_EQ(grid.colWidth(0), 4800);
  loadText("Node Directory\nNode name = n\n");
  EXPECT_EQ(shared.vars[0].width, 120);
  EXPECT_EQ(grid.colWidth(0), 800);
}

TEST_F(Widths, AWidthBeyondTheFieldIsHeldAtItsLargest) {
  FixedTextMeasure huge(1000.0);
  ReportLoader loader(shared, load, obs, huge);
  loader.do_refresh(dir.write("wide.txt", "Node Directory\nNode name = " + std::string(59, 'w') + "\n"), grid);
  EXPECT_EQ(shared.vars[0].width, 32767);
}

// ---- the bound that spares measuring ---------------------------------------------------------

struct MeasuredLoad {
  std::vector<int> tableWidths;
  std::vector<int> columnWidths;
  int calls = 0;
};

MeasuredLoad loadMeasured(const std::string& path, bool announceBound) {
  SharedState shared;
  LoadState load;
  GridStore grid;
  NullLoadObserver quiet;
  ProportionalMeasure measure(announceBound);
  ReportLoader(shared, load, quiet, measure).do_refresh(path, grid);
  MeasuredLoad out;
  for (int i = 0; i <= shared.vars.maxvar(); ++i) {
    out.tableWidths.push_back(shared.vars[i].width);
    out.columnWidths.push_back(grid.colWidth(i));
  }
  out.calls = measure.calls;
  return out;
}

TEST_F(Widths, SkippingByTheAsciiBoundGivesTheWidthsOfMeasuringEverything) {
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(TARVOLIN_SAMPLES_DIR))
    if (entry.path().extension() == ".txt") reports.push_back(entry.path().string());
  ASSERT_GE(reports.size(), 8u);

  // Values that sit on the bound: the widest character repeated, lengths around 60,
  // other scripts, and short values after long ones.
  std::string text = "Node Directory\n";
  for (int n = 1; n < 64; ++n) {
    text += "Node name = " + std::string(static_cast<size_t>(n), 'W') + "\n";
    text += "Mixed = " + repeat("Wi", n / 2) + "\n";
    text += "Other = " + repeat("\xC3\xA9", n % 13) + std::string(static_cast<size_t>(n % 5), 'l') + "\n";
    text += "Digits = " + std::to_string(1000003 * n) + "\n";
  }
  reports.push_back(dir.write("bound.txt", text));

  int callsMeasuringAll = 0;
  int callsWithBound = 0;
  for (const std::string& path : reports) {
    SCOPED_TRACE(path);
    const MeasuredLoad all = loadMeasured(path, false);
    const MeasuredLoad bounded = loadMeasured(path, true);
    EXPECT_EQ(bounded.tableWidths, all.tableWidths);
    EXPECT_EQ(bounded.columnWidths, all.columnWidths);
    callsMeasuringAll += all.calls;
    callsWithBound += bounded.calls;
  }
  EXPECT_LT(callsWithBound, callsMeasuringAll);
}

}  // namespace
}  // namespace tarvolin::core::loadtest
