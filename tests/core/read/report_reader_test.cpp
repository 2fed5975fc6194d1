#include "core/read/report_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/load_fixture.h"
#include "core/read/line_source.h"

namespace tarvolin::core::test {
namespace {

using Lines = std::vector<std::string>;

Lines readAll(const std::string& path, size_t blockSize) {
  ReportReader in(path, blockSize);
  Lines out;
  std::string_view line;
  while (in.nextLine(line)) out.emplace_back(line);
  EXPECT_FALSE(in.nextLine(line));  // and stays at the end
  return out;
}

/// The lines as a LineSource gives them, read ahead on a thread of its own.
Lines readSource(const std::string& path) {
  LineSource in(path, 0);
  Lines out;
  std::string_view line;
  while (in.nextLine(line)) out.emplace_back(line);
  EXPECT_FALSE(in.nextLine(line));
  return out;
}

std::string utf16(std::u16string_view text, bool littleEndian, bool bom = true) {
  std::string out;
  auto put = [&](char16_t u) {
    const char lo = static_cast<char>(u & 0xFF);
    const char hi = static_cast<char>(u >> 8);
    out.push_back(littleEndian ? lo : hi);
    out.push_back(littleEndian ? hi : lo);
  };
  if (bom) put(0xFEFF);
  for (char16_t u : text) put(u);
  return out;
}

struct ReadCase {
  std::string name;
  std::string bytes;
  Lines lines;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class Reading : public ::testing::TestWithParam<ReadCase> {};

// Tiny blocks put line ends, byte order marks and UTF-16 units across block edges.
TEST_P(Reading, GivesTheLinesInUtf8WithoutTheirEnds) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.write("r.txt", c.bytes);
  EXPECT_EQ(readAll(path, size_t{1} << 20), c.lines);
  for (size_t block = 16; block <= 23; ++block) EXPECT_EQ(readAll(path, block), c.lines) << "block " << block;
  EXPECT_EQ(readSource(path), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Reading,
    ::testing::Values(ReadCase{"Empty", "", {}}, ReadCase{"OneByte", "x", {"x"}},
                      ReadCase{"Lf", "one\ntwo\n", {"one", "two"}}, ReadCase{"CrLf", "one\r\ntwo\r\n", {"one", "two"}},
                      ReadCase{"Cr", "one\rtwo\r", {"one", "two"}}, ReadCase{"NoLastEnd", "one\r\ntwo", {"one", "two"}},
                      ReadCase{"EmptyLinesKept", "a\n\nb\r\n\r\nc\r\rd\n\r", {"a", "", "b", "", "c", "", "d", ""}},
                      ReadCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}},
                      ReadCase{"LoneCrAmongCrLf",
                               "first line\r\nsecond\rthird\r\nfourth line\n",
                               {"first line", "second", "third", "fourth line"}},
                      ReadCase{"CrLfAcrossBlocks",
                               std::string(15, 'x') + "\r\n" + std::string(15, 'y') + "\r\nz",
                               {std::string(15, 'x'), std::string(15, 'y'), "z"}},
                      ReadCase{"LongLine", std::string(5000, 'L') + "\nshort", {std::string(5000, 'L'), "short"}},
                      ReadCase{"Nul", std::string("a\0b\n\0\n", 6), {std::string("a\0b", 3), std::string(1, '\0')}},
                      ReadCase{"Utf8Kept",
                               "Caf\xC3\xA9 = \xE2\x82\xAC 5\nplain line\n",
                               {"Caf\xC3\xA9 = \xE2\x82\xAC 5", "plain line"}},
                      ReadCase{"Utf8Bom", "\xEF\xBB\xBFName = x\r\n", {"Name = x"}},
                      ReadCase{"HalfABom", "\xEF\xBBx\n", {"\xC3\xAF\xC2\xBBx"}},
                      // Each line is decided on its own: a Windows-1252 line among UTF-8 ones.
                      ReadCase{"Cp1252Line",
                               "Caf\xE9 \x80 \x93quoted\x94\r\nCaf\xC3\xA9\n",
                               {"Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D", "Caf\xC3\xA9"}},
                      ReadCase{"Utf16LE",
                               utf16(u"Node name = N\u00e9\r\n\r\nX = \u20ac\r\n", true),
                               {"Node name = N\xC3\xA9", "", "X = \xE2\x82\xAC"}},
                      ReadCase{"Utf16BE", utf16(u"A = 1\nB = 2", false), {"A = 1", "B = 2"}},
                      ReadCase{"Utf16Surrogates", utf16(u"x\U0001F600y\r\n", true), {"x\xF0\x9F\x98\x80y"}},
                      ReadCase{"Utf16LoneSurrogate",
                               utf16(u"a\xD800", true) + utf16(u"b", true, false),
                               {"a\xEF\xBF\xBD"
                                "b"}},
                      ReadCase{"Utf16OddLength", utf16(u"ab", true) + "c", {"ab\xEF\xBF\xBD"}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(LineSource, ReadingAheadGivesTheLinesOfOneThreadAndStopsWhenDropped) {
  // Many batches of lines of every kind: line ends mixed, UTF-8 and Windows-1252 lines, a
  // run of empty lines and a line longer than a batch.
  std::string text;
  for (int i = 0; i < 60000; ++i) {
    text += "Node name = N" + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    if (i % 997 == 0) text += " Comment = caf\xE9\r\n Comment = caf\xC3\xA9\r\n";
    if (i == 30000) text += std::string(10000, '\n') + std::string(400000, 'x') + "\r\n";
  }
  TempDir dir;
  const std::string path = dir.write("big.txt", text);
  const Lines want = readAll(path, 4096);
  EXPECT_TRUE(readSource(path) == want);
  for (int taken = 0; taken < 3; ++taken) {
    LineSource in(path, 0);
    std::string_view line;
    for (int i = 0; i < taken * 20000; ++i) ASSERT_TRUE(in.nextLine(line));
  }  // each destructor returns: the thread saw the stop while waiting for room
}

}  // namespace
}  // namespace tarvolin::core::test
