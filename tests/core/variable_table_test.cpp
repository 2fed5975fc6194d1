#include "core/variable_table.h"

#include <gtest/gtest.h>

#include <string>

#include "core/shared_state.h"

namespace tarvolin::core {
namespace {

/// The lookup as the table defines it: the first index with exactly that name.
int linearLookup(const VariableTable& t, std::string_view name) {
  for (int i = 0; i <= t.maxvar(); ++i)
    if (t[i].name == name) return i;
  return -1;
}

TEST(VariableTable, StartsEmptyAndFindsNothing) {
  VariableTable t;
  EXPECT_EQ(t.maxvar(), -1);
  EXPECT_EQ(t.lookup(""), -1);
  EXPECT_EQ(t.lookup("x"), -1);
}

TEST(VariableTable, AppendGivesTheParsersInitialValues) {
  VariableTable t;
  t.appendName("a");
  perfvar& leftover = t.edit(1);
  leftover = {"old", false, true, "2", "3", "4", 77, 900};
  EXPECT_EQ(t.appendName("b"), 1);
  const perfvar& v = t[1];
  EXPECT_EQ(v.name, "b");
  EXPECT_TRUE(v.show);
  EXPECT_FALSE(v.cmark);
  EXPECT_EQ(v.cfg2 + v.cfg3 + v.cfg4, "");
  EXPECT_EQ(v.seqno, 1);
  EXPECT_EQ(v.width, 0);
}

TEST(VariableTable, LookupIsTheFirstExactMatchWhateverWasEdited) {
  VariableTable t;
  for (const char* n : {"Lock Name", "lock name", "Lock  Name", "Lock Name ", "Mode"}) t.appendName(n);
  t.appendBlank().name = "Mode";  // a configuration may list a name twice
  t.edit(0).name = "Mode";        // the dialog renames by position
  t.appendName("Lock Name");
  for (const char* n : {"Lock Name", "lock name", "Lock  Name", "Lock Name ", "Mode", "mode", ""})
    EXPECT_EQ(t.lookup(n), linearLookup(t, n)) << n;
  EXPECT_EQ(t.lookup("Mode"), 0);
  t.reset();
  EXPECT_EQ(t.lookup("Mode"), -1);
  t.appendName("Mode");
  EXPECT_EQ(t.lookup("Mode"), 0);
}

TEST(VariableTable, HoldsFiveHundredAndOneRecords) {
  VariableTable t;
  for (int i = 0; i < kMaxVars; ++i) t.appendName("v" + std::to_string(i));
  EXPECT_EQ(t.maxvar(), 500);
  EXPECT_TRUE(t.full());
  EXPECT_THROW(t.appendName("one more"), TableFullError);
  EXPECT_THROW(t.appendBlank(), TableFullError);
  EXPECT_EQ(t.maxvar(), 500);
  EXPECT_EQ(t.lookup("v500"), 500);
  EXPECT_EQ(t.lookup("one more"), -1);
}

TEST(VariableTable, LookupWithAHintAnswersWhatLookupAnswers) {
  VariableTable t;
  for (const char* n : {"A", "B", "A", "C", "B"}) t.appendBlank().name = n;  // names listed twice
  for (const char* name : {"A", "B", "C", "D", ""})
    for (int hint = -2; hint <= 7; ++hint) EXPECT_EQ(t.lookupHint(name, hint), linearLookup(t, name)) << name << hint;
  t.edit(0).name = "C";  // renamed through edit: the next lookup must see it
  EXPECT_EQ(t.lookupHint("C", 3), 0);
  EXPECT_EQ(t.lookupHint("A", 2), 2);
  t.reset();
  EXPECT_EQ(t.lookupHint("A", 0), -1);
  t.appendName("B");
  t.appendName("B");
  EXPECT_EQ(t.lookupHint("B", 1), 0);
}

TEST(LoadStateTest, ClearValsEmptiesUpToMaxvar) {
  LoadState s;
  s.vals[0] = "a";
  s.vals[3] = "b";
  s.vals[500] = "c";
  s.clearVals(2);
  EXPECT_EQ(s.vals[0], "");
  EXPECT_EQ(s.vals[3], "b");
  s.clearVals(500);
  EXPECT_EQ(s.vals[500], "");
  s.clearVals(-1);
}

}  // namespace
}  // namespace tarvolin::core
