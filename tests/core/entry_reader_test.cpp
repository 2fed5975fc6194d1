#include "core/entry_reader.h"

#include <gtest/gtest.h>

#include "load_fixture.h"

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

}  // namespace
}  // namespace tarvolin::core::test
