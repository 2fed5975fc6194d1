// The read-ahead thread must hand out exactly the lines that reading in one thread gives,
// across the edges of its batches, and must end when its reader is dropped early.

#include "core/line_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load_fixture.h"

namespace tarvolin::core::loadtest {
namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const std::string& path) {
  ReportReader in(path);
  Lines out;
  std::string_view line;
  while (in.nextLine(line)) out.emplace_back(line);
  return out;
}

/// Several megabytes that cross every batch edge: a line longer than a batch, runs of
/// empty lines longer than a batch holds, lines converted from Windows-1252, all three
/// line ends, and a last line without one.
std::string largeReport() {
  std::string text = "Node Directory\r\n";
  for (int i = 0; i < 60000; ++i) {
    text += "Node name                  = N" + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    if (i % 997 == 0) text += " Comment = caf\xE9 " + std::to_string(i) + "\r\n";  // not UTF-8
    if (i % 1201 == 0) text += " Comment = caf\xC3\xA9\r\n";
    if (i == 30000) text += std::string(10000, '\n');
    if (i == 40000) text += "Comment = " + std::string(400000, 'x') + "\r\n";
  }
  return text + "Node name = last";
}

TEST(LineSource, ReadingAheadGivesTheLinesOfOneThread) {
  TempDir dir;
  const std::string path = dir.write("big.txt", largeReport());
  const Lines want = linesOf(path);
  for (uint64_t from : {uint64_t{0}, UINT64_MAX}) {
    LineSource in(path, from);
    EXPECT_EQ(in.readsAhead(), from == 0);
    Lines got;
    size_t batches = 0;
    for (auto lines = in.next(); !lines.empty(); lines = in.next(), ++batches)
      for (const ReportLine& l : lines) got.emplace_back(l.text);
    EXPECT_TRUE(in.next().empty());  // and stays at the end
    EXPECT_EQ(got.size(), want.size());
    EXPECT_TRUE(got == want) << "read ahead from " << from;
    EXPECT_GT(batches, 10u);
  }
}

TEST(LineSource, FilesBelowTheThresholdAreReadInTheCallersThread) {
  TempDir dir;
  const std::string small = dir.write("small.txt", "Node Directory\nNode name = A\n");
  EXPECT_FALSE(LineSource(small).readsAhead());
  EXPECT_TRUE(LineSource(small, 0).readsAhead());
  EXPECT_TRUE(LineSource(dir.write("big.txt", largeReport())).readsAhead());
}

TEST(LineSource, DroppedBeforeTheEndStopsItsThread) {
  TempDir dir;
  const std::string path = dir.write("big.txt", largeReport());
  for (int taken = 0; taken < 3; ++taken) {
    LineSource in(path, 0);
    for (int i = 0; i < taken; ++i) EXPECT_FALSE(in.next().empty());
  }  // each destructor returns: the thread saw the stop while waiting for room
}

TEST(LineSource, AnOpeningErrorIsTheReadersOwn) {
  TempDir dir;
  EXPECT_THROW(LineSource((dir.path() / "missing.txt").string(), 0), ReadError);
  EXPECT_THROW(LineSource(dir.path().string(), 0), ReadError);
}

}  // namespace
}  // namespace tarvolin::core::loadtest
