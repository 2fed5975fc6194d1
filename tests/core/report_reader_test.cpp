#include "core/report_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/line_source.h"
#include "core/text_encoding.h"
#include "load_fixture.h"

namespace tarvolin::core::loadtest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Lines = std::vector<std::string>;

Lines readAll(const std::string& path, size_t blockSize = size_t{1} << 20, FileEncoding* encoding = nullptr) {
  ReportReader in(path, blockSize);
  Lines out;
  std::string_view line;
  while (in.nextLine(line)) out.emplace_back(line);
  EXPECT_TRUE(in.atEnd());
  if (encoding != nullptr) *encoding = in.encoding();
  return out;
}

/// The lines as nextLines hands them out, `batch` at a time. Checks each line's ASCII flag,
/// and that a line cut from the bytes nextLines names lies inside them.
Lines readBatches(const std::string& path, size_t blockSize, size_t batch) {
  ReportReader in(path, blockSize);
  std::vector<ReportLine> got(batch);
  Lines out;
  while (const size_t n = in.nextLines(got)) {
    EXPECT_LE(n, batch);
    const std::string_view from = in.handedOut();
    for (size_t i = 0; i < n; ++i) {
      out.emplace_back(got[i].text);
      EXPECT_EQ(got[i].ascii, isAscii(got[i].text)) << "line " << out.size();
      const auto at = reinterpret_cast<uintptr_t>(got[i].text.data());
      const auto begin = reinterpret_cast<uintptr_t>(from.data());
      if (at >= begin && at < begin + from.size()) {
        EXPECT_LE(at + got[i].text.size(), begin + from.size());
      }
    }
  }
  EXPECT_TRUE(in.atEnd());
  return out;
}

/// The lines as a LineSource hands them out (read ahead from `readAheadFrom` bytes).
Lines readSource(const std::string& path, uint64_t readAheadFrom) {
  LineSource in(path, readAheadFrom);
  EXPECT_EQ(in.readsAhead(), readAheadFrom == 0);
  Lines out;
  for (auto lines = in.next(); !lines.empty(); lines = in.next())
    for (const ReportLine& l : lines) {
      out.emplace_back(l.text);
      EXPECT_EQ(l.ascii, isAscii(l.text)) << "line " << out.size();
    }
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
  FileEncoding encoding;
};

// A case prints by name: gtest would otherwise dump its bytes, string buffers included.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class Reading : public ::testing::TestWithParam<ReadCase> {
 protected:
  TempDir dir;
};

// Every case is read with a large block and with tiny blocks, so that line ends, byte
// order marks, UTF-16 code units and surrogate pairs fall across block edges.
TEST_P(Reading, GivesTheLinesInUtf8WithoutTheirEnds) {
  const ReadCase& c = GetParam();
  const std::string path = dir.write("r.txt", c.bytes);
  FileEncoding enc{};
  EXPECT_EQ(readAll(path, size_t{1} << 20, &enc), c.lines);
  EXPECT_EQ(enc, c.encoding);
  for (size_t block = 16; block <= 23; ++block) {
    EXPECT_EQ(readAll(path, block), c.lines) << "block " << block;
    for (size_t batch : {1, 2, 512}) EXPECT_EQ(readBatches(path, block, batch), c.lines) << block << "/" << batch;
  }
  EXPECT_EQ(readSource(path, 0), c.lines);
  EXPECT_EQ(readSource(path, UINT64_MAX), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Reading,
    ::testing::Values(
        ReadCase{"Empty", "", {}, FileEncoding::Bytes}, ReadCase{"OneByte", "x", {"x"}, FileEncoding::Bytes},
        ReadCase{"Lf", "one\ntwo\n", {"one", "two"}, FileEncoding::Bytes},
        ReadCase{"CrLf", "one\r\ntwo\r\n", {"one", "two"}, FileEncoding::Bytes},
        ReadCase{"Cr", "one\rtwo\r", {"one", "two"}, FileEncoding::Bytes},
        ReadCase{"NoLastEnd", "one\r\ntwo", {"one", "two"}, FileEncoding::Bytes},
        ReadCase{
            "EmptyLinesKept", "a\n\nb\r\n\r\nc\r\rd\n\r", {"a", "", "b", "", "c", "", "d", ""}, FileEncoding::Bytes},
        ReadCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}, FileEncoding::Bytes},
        ReadCase{"CrLfAcrossBlocks",
                 std::string(15, 'x') + "\r\n" + std::string(15, 'y') + "\r\nz",
                 {std::string(15, 'x'), std::string(15, 'y'), "z"},
                 FileEncoding::Bytes},
        ReadCase{
            "LongLine", std::string(5000, 'L') + "\nshort", {std::string(5000, 'L'), "short"}, FileEncoding::Bytes},
        ReadCase{
            "Nul", std::string("a\0b\n\0\n", 6), {std::string("a\0b", 3), std::string(1, '\0')}, FileEncoding::Bytes},
        ReadCase{"Utf8Kept", "Caf\xC3\xA9 = \xE2\x82\xAC 5\n", {"Caf\xC3\xA9 = \xE2\x82\xAC 5"}, FileEncoding::Bytes},
        ReadCase{"Utf8Bom", "\xEF\xBB\xBFName = x\r\n", {"Name = x"}, FileEncoding::Utf8Bom},
        ReadCase{"HalfABom", "\xEF\xBBx\n", {"\xC3\xAF\xC2\xBBx"}, FileEncoding::Bytes},
        // Each line is decided on its own: a Windows-1252 line among UTF-8 ones.
        ReadCase{"Cp1252Line",
                 "Caf\xE9 \x80 \x93quoted\x94\nCaf\xC3\xA9\n",
                 {"Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D", "Caf\xC3\xA9"},
                 FileEncoding::Bytes},
        ReadCase{"Utf16LE",
                 utf16(u"Node name = N\u00e9\r\n\r\nX = \u20ac\r\n", true),
                 {"Node name = N\xC3\xA9", "", "X = \xE2\x82\xAC"},
                 FileEncoding::Utf16LE},
        ReadCase{"Utf16BE", utf16(u"A = 1\nB = 2", false), {"A = 1", "B = 2"}, FileEncoding::Utf16BE},
        ReadCase{"Utf16Surrogates", utf16(u"x\U0001F600y\r\n", true), {"x\xF0\x9F\x98\x80y"}, FileEncoding::Utf16LE},
        ReadCase{"Utf16LoneSurrogate",
                 utf16(u"a\xD800", true) + utf16(u"b", true, false),
                 {"a\xEF\xBF\xBD"
                  "b"},
                 FileEncoding::Utf16LE},
        ReadCase{"Utf16OddLength", utf16(u"ab", true) + "c", {"ab\xEF\xBF\xBD"}, FileEncoding::Utf16LE}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(ReportReader, TellsWhetherEachLineIsAscii) {
  TempDir dir;
  std::string text;
  std::vector<bool> ascii;
  for (int i = 0; i < 200; ++i) {
    const bool plain = i % 7 != 3;
    text += "Name " + std::to_string(i) + " = " +
            (plain   ? "value"
             : i % 2 ? "caf\xC3\xA9"
                     : "caf\xE9") +
            (i % 3 ? "\r\n" : "\n");
    ascii.push_back(plain);
  }
  const std::string path = dir.write("mix.txt", text);
  for (size_t block : {size_t{16}, size_t{37}, size_t{1} << 20}) {
    ReportReader in(path, block);
    std::string_view line;
    for (size_t i = 0; i < ascii.size(); ++i) {
      ASSERT_TRUE(in.nextLine(line));
      EXPECT_EQ(in.lastLineAscii(), ascii[i]) << "line " << i << " block " << block;
      EXPECT_EQ(line.substr(0, 5), "Name ");
      if (!ascii[i]) {
        EXPECT_EQ(line.substr(line.size() - 5), "caf\xC3\xA9");
      }
    }
    EXPECT_FALSE(in.nextLine(line));
  }
}

TEST(ReportReader, MissingFileAndDirectoryThrowNamingTheFile) {
  TempDir dir;
  const std::string missing = (dir.path() / "missing.txt").string();
  try {
    ReportReader in(missing);
    FAIL() << "no error";
  } catch (const ReadError& e) {
    EXPECT_THAT(e.what(), HasSubstr("missing.txt"));
    EXPECT_THAT(e.what(), HasSubstr("No such file"));
  }
  EXPECT_THROW(ReportReader in(dir.path().string()), ReadError);
  EXPECT_THROW(ReportReader in(""), ReadError);
}

TEST(ReportReader, ReadsAFileLongerThanManyBlocks) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "Line " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
  const Lines lines = readAll(dir.write("big.txt", text), 64);
  ASSERT_EQ(lines.size(), 3000u);
  EXPECT_EQ(lines[2999], "Line 2999");
}

}  // namespace
}  // namespace tarvolin::core::loadtest
