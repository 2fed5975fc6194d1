#include "core/read/entry_reader.h"

#include "core/read/date_line.h"

#include <gtest/gtest.h>

#include "core/load_fixture.h"

namespace tarvolin::core::test {
namespace {

TEST(EntryReader, ARememberedLayoutNamesTheVariableAFreshCutFinds) {
  TempDir dir;
  // Entries repeat their lines, but padding changes, values hold the separator, and the
  // line that came next last time may now be another.
  const std::string path = dir.write("r.txt",
                                     "Node Directory\nComment = before\nNode name = A\n Comment = x = y\n"
                                     "Node name = B\n Comment  = z\nNode name = C\n Protocol = = \n Comment = \n"
                                     " Comment = w\nNode name =D\nDynamic SQL text:\nselect\n\n Comment =v\n");
  VariableTable vars;
  EntryReader in(path, vars);
  std::vector<std::string> items;
  while (in.nextLine()) {
    const ReportItem item = in.cut();
    if (item.kind != ReportItem::Kind::Value) continue;
    const int var = item.var >= 0 ? item.var : vars.appendName(item.name);
    in.stored(var, var);
    items.push_back(std::to_string(var) + (item.beginsEntry ? "+" : " ") + std::string(item.name) + "=" +
                    std::string(item.text));
  }
  EXPECT_EQ(items, (std::vector<std::string>{"0+Node name=A", "1 Comment=x = y", "0+Node name=B", "1 Comment=z",
                                             "0+Node name=C", "2 Protocol==", "1 Comment=", "1 Comment=w",
                                             "0+Node name=D", "3 Dynamic SQL text:=select", "1 Comment=v"}));
}

// `date` in the C locale and ISO 8601 times, alone on their line; nothing else.
TEST(EntryReader, DateLinesGiveTheirTime) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Mon Dec  7 16:05:00 UTC 2026", "2026-12-07 16:05:00"},
      {"Tue Dec 8 06:05:09 2026", "2026-12-08 06:05:09"},
      {"Mon Dec  7 04:05:00 PM UTC 2026", "2026-12-07 16:05:00"},  // en_US
      {"Mon Dec  7 12:05:00 AM EST 2026", "2026-12-07 00:05:00"},
      {"Mon  7 Dec 16:05:00 GMT 2026", "2026-12-07 16:05:00"},  // en_GB
      {"Mon Dec  7 13:05:00 PM UTC 2026", ""},
      {"2026-12-07T16:05:00,1234567+01:00", "2026-12-07 16:05:00.123456"},
      {"2026-12-07 16:05:00Z", "2026-12-07 16:05:00"},
      {"Mon Dec  7 16:05:00 UTC 2026 x", ""},
      {"Mon Dez  7 16:05:00 UTC 2026", ""},
      {"2026-13-07 16:05:00", ""},
      {"2026-12-07 16:05", ""},
      {"12/07/2026 16:05:00.000000", ""},
  };
  for (const auto& [line, time] : cases) EXPECT_EQ(dateLineTime(line).value_or(""), time) << line;
}

}  // namespace
}  // namespace tarvolin::core::test
