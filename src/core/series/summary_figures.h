#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/derived/expression.h"

namespace tarvolin::core {

/// Name of the summary's figures file, shipped with the programs and looked for in the working folder.
inline constexpr const char* kSummaryFiguresFile = "summary_figures.txt";

/// The name a figure uses for the length of its interval in seconds: `[Interval (s)]`.
inline constexpr const char* kIntervalSecondsName = "Interval (s)";

/// The rule of thumb a figure is checked against: the value it must not reach, as `< 90`
/// (a value under 90 breaks it), `> 3`, `<= 0` or `>= 1`.
struct FigureRule {
  enum class Op { Less, LessEqual, Greater, GreaterEqual };
  Op op = Op::Greater;
  double limit = 0;
  std::string text;  ///< as written, blanks trimmed: "< 90"

  /// Whether `value` breaks the rule.
  [[nodiscard]] bool brokenBy(double value) const;
  /// Reads "OP NUMBER". Throws ExpressionError.
  static FigureRule parse(std::string_view text);
};

/// One figure of the summary: `KIND | NAME = EXPRESSION [| RULE]`. The expression is of the
/// derived columns' syntax; over an interval each [variable] is the variable's change summed
/// over the kind's entries (a variable that is no counter: its value at the later snapshot,
/// summed), and [Interval (s)] the interval's length.
struct SummaryFigure {
  std::string kind;  ///< the report's heading ("Database Snapshot"), matched in any case
  std::string name;
  Expression expression;
  std::optional<FigureRule> rule;
};

/// The figures of a summary, in the order of their files.
class SummaryFigures {
 public:
  /// Parses a figures file: blank lines and lines starting with `#` skipped. A bad line is
  /// skipped and adds "FILE:LINE: reason" to `errors`. A line replaces the figure of the same
  /// kind and name defined before (in place), else adds one.
  void read(std::string_view text, const std::string& file, std::vector<std::string>& errors);
  [[nodiscard]] const std::vector<SummaryFigure>& all() const { return m_figures; }
  /// The kinds the figures are of, each once, in order of first use.
  [[nodiscard]] std::vector<std::string> kinds() const;

 private:
  std::vector<SummaryFigure> m_figures;
};

/// Reads the shipped file (beside the program, else ../share/tarvolin/), then the file of
/// `workingFolder`, whose lines add figures or replace shipped ones. A missing working-folder
/// file is no error; a missing shipped file, an unreadable file or a bad line each adds one
/// text to `errors` and the rest is still read.
[[nodiscard]] SummaryFigures loadSummaryFigures(const std::filesystem::path& programDir,
                                                const std::filesystem::path& workingFolder,
                                                std::vector<std::string>& errors);

}  // namespace tarvolin::core
