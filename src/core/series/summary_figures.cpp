#include "core/series/summary_figures.h"

#include <algorithm>
#include <charconv>

#include "core/derived/derived_columns.h"
#include "core/derived/kind_and_name_list.h"
#include "core/read/kinds_index.h"
#include "core/read/shipped_files.h"

namespace tarvolin::core {

namespace {

/// One line as a figure: a derived column's line, then "| RULE" when it has one; throws
/// ExpressionError saying what is wrong.
SummaryFigure parseFigure(std::string_view line) {
  const size_t eq = line.find('=', line.find('|'));
  const size_t ruleBar =
      eq == std::string_view::npos ? std::string_view::npos : line.find('|', eq);  // no bar in an expression
  DerivedColumn c = parseDerivedColumn(line.substr(0, ruleBar));
  SummaryFigure f{std::move(c.kind), std::move(c.name), std::move(c.expression), std::nullopt};
  if (ruleBar != std::string_view::npos) f.rule = FigureRule::parse(line.substr(ruleBar + 1));
  return f;
}

}  // namespace

bool FigureRule::brokenBy(double value) const {
  switch (op) {
    case Op::Less:
      return value < limit;
    case Op::LessEqual:
      return value <= limit;
    case Op::Greater:
      return value > limit;
    case Op::GreaterEqual:
      break;
  }
  return value >= limit;
}

FigureRule FigureRule::parse(std::string_view text) {
  const std::string_view t = trimListText(text);
  FigureRule r;
  size_t at = 1;
  if (t.starts_with("<=") || t.starts_with(">=")) {
    r.op = t[0] == '<' ? Op::LessEqual : Op::GreaterEqual;
    at = 2;
  } else if (t.starts_with('<') || t.starts_with('>')) {
    r.op = t[0] == '<' ? Op::Less : Op::Greater;
  } else {
    throw ExpressionError("expected a rule such as \"< 90\" after \"|\"");
  }
  const std::string_view number = trimListText(t.substr(at));
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), r.limit);
  if (ec != std::errc() || end != number.data() + number.size() || number.empty())
    throw ExpressionError("expected a number after \"" + std::string(t.substr(0, at)) + "\"");
  r.text = std::string(t.substr(0, at)) + " " + std::string(number);
  return r;
}

void SummaryFigures::read(std::string_view text, const std::string& file, std::vector<std::string>& errors) {
  readByKindAndName(text, file, parseFigure, m_figures, errors);
}

std::vector<std::string> SummaryFigures::kinds() const {
  std::vector<std::string> out;
  for (const SummaryFigure& f : m_figures)
    if (std::none_of(out.begin(), out.end(), [&f](const std::string& k) { return sameHeading(k, f.kind); }))
      out.push_back(f.kind);
  return out;
}

SummaryFigures loadSummaryFigures(const std::filesystem::path& programDir, const std::filesystem::path& workingFolder,
                                  std::vector<std::string>& errors) {
  SummaryFigures figures;
  readShippedAndOwn(
      programDir, workingFolder, kSummaryFiguresFile,
      [&](const std::string& text, const std::string& path) { figures.read(text, path, errors); }, errors);
  return figures;
}

}  // namespace tarvolin::core
