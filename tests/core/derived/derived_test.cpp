// Derived columns: formulas, the definitions files, statement shapes and their grouping.
#include <gtest/gtest.h>

#include <map>

#include "core/derived/comparison_derived.h"
#include "core/derived/derived_columns.h"
#include "core/derived/statement_groups.h"
#include "core/derived/statement_shape.h"
#include "core/grid/result_grid.h"
#include "core/load_fixture.h"
#include "core/read/snapshot_load.h"

namespace tarvolin::core {
namespace {

using test::TempDir;

std::string eval(const std::string& formula, const std::map<std::string, std::string>& values = {}) {
  const Expression e = Expression::parse(formula);
  return e.evaluate([&](size_t i) {
    const auto it = values.find(e.variables()[i]);
    return it == values.end() ? std::string_view{} : std::string_view(it->second);
  });
}

TEST(Expression, PrecedenceRoundingAndEmptyResults) {
  struct Case {
    const char* formula;
    const char* value;
  };
  const std::map<std::string, std::string> vars = {{"Total execution time (sec.microsec)", "19.880412"},
                                                   {"Number of executions", "18"},
                                                   {"zero", "0"},
                                                   {"Not Collected", "Not Collected"},
                                                   {"empty", ""},
                                                   {"big", "18446744073709551615"},
                                                   {"negative", "-3"}};
  for (const Case& c : std::vector<Case>{
           {"1 + 2 * 3", "7"},
           {"(1 + 2) * 3", "9"},
           {"10 - 4 - 3", "3"},
           {"12 / 2 / 3", "2"},
           {"2 * (3 + 4) / (1 + 1)", "7"},
           {"-[negative] * -(2)", "-6"},
           {"1 / 4", "0.25"},
           {"604 / 2", "302"},
           {"2 / 3", "0.666667"},
           {"1 / 3", "0.333333"},
           {"-2 / 3", "-0.666667"},
           {"0.0000005", "0.000001"},  // a half rounds away from zero
           {"-0.0000005", "-0.000001"},
           {"0.00000049", "0"},
           {"1 / 8000000", "0"},         // 0.000000125
           {"5 / 8000000", "0.000001"},  // 0.000000625
           {"[Total execution time (sec.microsec)] / [Number of executions]", "1.104467"},
           {"[ Number of executions ]*1.5", "27"},
           {"[big] * 100 / [big]", "100"},
           {"[big] * [big] * 10 / [big] / [big]", "10"},  // past 128 bits and back
           {"-(-9223372036854775808 * 18446744073709551616) / 18446744073709551616", "9223372036854775808"},
           {"1 / [zero]", ""},
           {"1 / (2 - 2)", ""},
           {"[Not Collected] + 1", ""},
           {"[empty] * 0", ""},
           {"[missing] + 1", ""},
       })
    EXPECT_EQ(eval(c.formula, vars), c.value) << c.formula;
}

TEST(Expression, BadFormulasSayWhatIsWrong) {
  struct Case {
    const char* formula;
    const char* error;
  };
  for (const Case& c : std::vector<Case>{{"", "formula ends early"},
                                         {"1 +", "formula ends early"},
                                         {"(1 + 2", "missing \")\""},
                                         {"[Rows read", "missing \"]\""},
                                         {"[ ] + 1", "empty variable name"},
                                         {"1 2", "unexpected \"2\""},
                                         {"1.2.3", "bad number \"1.2.3\""},
                                         {"2 ^ 3", "unexpected \"^\""},
                                         {"Rows / 2", "expected a number"}}) {
    try {
      (void)Expression::parse(c.formula);
      ADD_FAILURE() << c.formula << " parsed";
    } catch (const ExpressionError& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.formula << ": " << e.what();
    }
  }
  EXPECT_THROW((void)Expression::parse(std::string(100000, '(') + "1"), ExpressionError);
}

TEST(DerivedDefinitions, WorkingFolderReplacesAndAddsBadLinesAreNamedAndSkipped) {
  TempDir program, work;
  program.write(kDerivedColumnsFile, "# shipped\nK | A = 1 + 1\nk | B = 2\n\nL | A = 3\n");  // a kind in any case
  // Saved by an editor that begins the file with a UTF-8 mark, with CR LF line ends.
  work.write(kDerivedColumnsFile,
             "\xEF\xBB\xBFK | B = [x] * 2\r\nK | C = (1\nno bar here\nK | D = 4\n| E = 5\nK | = 5\n");
  std::vector<std::string> errors;
  const DerivedDefinitions defs = loadDerivedDefinitions(program.path(), work.path(), errors);
  ASSERT_EQ(defs.forKind("K").size(), 3u);
  EXPECT_EQ(defs.forKind("K")[0]->name, "A");
  EXPECT_EQ(defs.forKind("K")[1]->name, "B");
  EXPECT_EQ(defs.forKind("K")[1]->expression.variables(), std::vector<std::string>{"x"});  // the working folder's
  EXPECT_EQ(defs.forKind("K")[2]->name, "D");
  EXPECT_EQ(defs.forKind("l").size(), 1u);
  const std::string file = (work.path() / kDerivedColumnsFile).string();
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0], file + ":2: missing \")\" at column 11");
  EXPECT_EQ(errors[1], file + ":3: expected KIND | NAME = EXPRESSION");
  EXPECT_EQ(errors[2], file + ":5: no kind before \"|\"");
  EXPECT_EQ(errors[3], file + ":6: no name before \"=\"");

  errors.clear();
  (void)loadDerivedDefinitions(work.path() / "nowhere", work.path() / "nowhere", errors);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("no derived_columns.txt found"), std::string::npos);
}

TEST(DerivedDefinitions, ShippedFileParses) {
  std::vector<std::string> errors;
  const DerivedDefinitions defs = loadDerivedDefinitions(TARVOLIN_DATA_DIR, "/nonexistent", errors);
  EXPECT_TRUE(errors.empty()) << errors.front();
  for (const char* kind : {"Dynamic SQL Snapshot Result", "Database Snapshot", "Bufferpool Snapshot",
                           "Tablespace Snapshot", "Application Snapshot"})
    EXPECT_FALSE(defs.forKind(kind).empty()) << kind;
}

TEST(StatementShape, LiteralsBecomeMarkersNamesStay) {
  struct Case {
    const char* sql;
    const char* shape;
  };
  for (const Case& c : std::vector<Case>{
           {"SELECT * FROM T WHERE NAME = 'O''Brien' AND X = 1", "SELECT * FROM T WHERE NAME = ? AND X = ?"},
           {"SELECT 'it''s', '' FROM T", "SELECT ?, ? FROM T"},
           {"SELECT C1 FROM T00012 WHERE K = 12", "SELECT C1 FROM T00012 WHERE K = ?"},
           {"UPDATE \"My Table 2\" SET \"Col 1\" = 3.5E-2", "UPDATE \"My Table 2\" SET \"Col 1\" = ?"},
           {"SELECT A FROM T WHERE A = -5 AND B > - 2", "SELECT A FROM T WHERE A = ? AND B > - ?"},
           {"SELECT A-1, A - 1, (-1), 2-1 FROM T", "SELECT A - ?, A - ?, (?), ? - ? FROM T"},
           {"SELECT * FROM T WHERE B BETWEEN -1 AND +.5", "SELECT * FROM T WHERE B BETWEEN ? AND ?"},
           // However typed: spacing, the case of names and keywords, the length of a list of values.
           {"select * from t where id in (1, 2, 3)", "SELECT * FROM T WHERE ID IN (?+)"},
           {"SELECT * FROM T WHERE ID IN (1,'a',-3, ?)", "SELECT * FROM T WHERE ID IN (?+)"},
           {"SELECT * FROM T WHERE ID IN (?)AND K NOT IN (SELECT K FROM U)",
            "SELECT * FROM T WHERE ID IN (?+) AND K NOT IN (SELECT K FROM U)"},
           {"SELECT a.x,COUNT ( * ) FROM s.t a WHERE a.k>=?AND(B=? OR C||'x'<>D)",
            "SELECT A.X, COUNT(*) FROM S.T A WHERE A.K >= ? AND (B = ? OR C || ? <> D)"},
           {"insert into T(A, B) values (1, 'x')", "INSERT INTO T (A, B) VALUES (?+)"},
           {"INSERT INTO S.T (A,B) VALUES (1,2),(3,4) , (?, ?)", "INSERT INTO S.T (A, B) VALUES (?+)"},
           {"INSERT INTO T VALUES (?, CURRENT TIMESTAMP)", "INSERT INTO T VALUES (?, CURRENT TIMESTAMP)"},
           {"SELECT * FROM T WHERE H = X'1F2e' OR H = x'00' OR G = GX'0041' OR N = N'x'",
            "SELECT * FROM T WHERE H = ? OR H = ? OR G = ? OR N = ?"},
           {"SELECT MAX_X FROM T WHERE X = 0x1F", "SELECT MAX_X FROM T WHERE X = ?"},
           {"  SELECT\t A,\r\n\n   B  FROM T  ", "SELECT A, B FROM T"},
           {"SELECT :hv1, ? FROM T", "SELECT :hv1, ? FROM T"},
           {"UPDATE \"t\" SET c=:HV WHERE k = ?;", "UPDATE \"t\" SET C = :HV WHERE K = ?;"},
           {"SELECT 'unclosed", "SELECT ?"},
           // A quote in a comment starts no literal; the comment stays as written.
           {"/* user's  report */ SELECT * FROM T WHERE ID = 5", "/* user's report */ SELECT * FROM T WHERE ID = ?"},
           {"SELECT 1 FROM T -- don't cache\nWHERE K = 'a'", "SELECT ? FROM T -- don't cache WHERE K = ?"},
           {"", ""},
       })
    EXPECT_EQ(statementShape(c.sql), c.shape) << c.sql;
}

class Shapes : public ::testing::Test {
 protected:
  void load(const std::string& body) {
    loadSnapshot(dir.write("sql.txt", "  Dynamic SQL Snapshot Result\n\n Database name = DB\n\n" + body), 0,
                 dir.folder(), report, false);
    ASSERT_EQ(report.error, "");
  }
  static std::string statement(const std::string& execs, const std::string& time, const std::string& text) {
    return " Number of executions = " + execs + "\n Total execution time (sec.microsec)= " + time +
           "\n Statement text = " + text + "\n\n";
  }
  TempDir dir;
  LoadedSnapshot report;
};

TEST_F(Shapes, SummedPerShapeLargestTimeFirstEmptyLastDerivedOnTheSums) {
  load(statement("2", "1.5", "SELECT * FROM T WHERE K = 1") + statement("3", "Not Collected", "SELECT 1") +
       statement("1", "0.000001", "SELECT * FROM T WHERE K = 'x'") +
       statement("4", "9.25", "DELETE FROM T\n WHERE K = 5") +
       statement("5", "0.5", "SELECT * FROM T\n  WHERE K = 22"));
  std::vector<std::string> errors;
  const CounterTypes types =
      CounterTypes::parse("counter Number of executions\ncounter Total execution time (sec.microsec)\n", errors);
  const StatementShapes shapes = groupByShape(report.grid, report.report().vars, types);
  DerivedDefinitions defs;
  defs.read("Dynamic SQL Snapshot Result | Avg = [Total execution time (sec.microsec)] / [Number of executions]\n", "d",
            errors);
  GridStore out;
  writeShapeGrid(shapes, defs.forKind(kDynamicSqlKind), out);
  std::vector<std::string> rows;
  for (int r = 0; r < out.rows(); ++r) {
    std::string line;
    for (int c = 0; c + 1 < out.cols(); ++c) line += std::string(out.text(r, c)) + "|";
    rows.push_back(line + std::to_string(resultEntryRow(out, r)));
  }
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "Statement shape|Statements|Number of executions|Total execution time (sec.microsec)|Avg|0",
                      "DELETE FROM T WHERE K = ?|1|4|9.25|2.3125|4",
                      "SELECT * FROM T WHERE K = ?|3|8|2.000001|0.25|1",
                      "SELECT ?|1|3|||2",
                  }));
  EXPECT_EQ(shapes.groups[1].rows, (std::vector<int>{1, 3, 5}));
}

TEST_F(Shapes, ComparisonGivesEachColumnOnTheLaterValuesAndOnTheChanges) {
  const auto snapshot = [&](const std::string& name, const std::string& time, const std::string& body) {
    auto s = std::make_unique<LoadedSnapshot>();
    loadSnapshot(dir.write(name, "  Dynamic SQL Snapshot Result\n\n Snapshot timestamp = " + time + "\n\n" + body), 0,
                 dir.folder(), *s, false);
    return s;
  };
  const auto earlier =
      snapshot("a.txt", "2026-11-27 10:00:00.000000",
               statement("100", "50", "SELECT 1") + statement("10", "1", "SELECT 2") + statement("5", "5", "SELECT 3"));
  const auto later = snapshot("b.txt", "2026-11-27 10:01:00.000000",
                              statement("160", "56", "SELECT 1") + statement("10", "1.5", "SELECT 2") +
                                  statement("4", "6", "SELECT 3") + statement("2", "1", "SELECT 4"));
  std::vector<std::string> errors;
  const CounterTypes types =
      CounterTypes::parse("counter Number of executions\ncounter Total execution time (sec.microsec)\n", errors);
  Comparison c = compareSnapshots(*earlier, *later, types, std::nullopt);
  GridStore grid;
  writeComparisonGrid(c, *earlier, *later, grid);
  DerivedDefinitions defs;
  defs.read("Dynamic SQL Snapshot Result | Avg = [Total execution time (sec.microsec)] / [Number of executions]\n", "d",
            errors);
  const ComparisonDerived more(defs.forKind(kDynamicSqlKind), c);
  ASSERT_EQ(more.cols(), 2);
  GridStore out;
  out.setCols(2);
  out.setRows(grid.rows());
  more.writeHeader(out, 0, 0);
  more.fill(grid, 1, grid.rows(), out, 0);
  std::vector<std::string> rows;
  rows.reserve(static_cast<size_t>(out.rows()));
  for (int r = 0; r < out.rows(); ++r)
    rows.push_back(std::string(grid.text(r, 0)) + "|" + std::string(out.text(r, 0)) + "|" +
                   std::string(out.text(r, 1)));
  EXPECT_EQ(rows, (std::vector<std::string>{"Change|Avg|Avg (in interval)",
                                            "|0.35|0.1",       // 6 s over 60 more executions
                                            "|0.15|",          // no execution in the interval
                                            "reset|1.5|",      // a counter went down: no change
                                            "new|0.5|0.5"}));  // counted from zero
}

}  // namespace
}  // namespace tarvolin::core
