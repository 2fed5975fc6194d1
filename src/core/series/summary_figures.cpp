#include "core/series/summary_figures.h"

#include <algorithm>
#include <charconv>

#include "core/read/kinds_index.h"
#include "core/read/shipped_files.h"

namespace tarvolin::core {

namespace {

/// One line as a figure; throws ExpressionError saying what is wrong.
SummaryFigure parseFigure(std::string_view line) {
  const size_t bar = line.find('|');
  if (bar == std::string_view::npos) throw ExpressionError("expected KIND | NAME = EXPRESSION");
  const size_t eq = line.find('=', bar);
  if (eq == std::string_view::npos) throw ExpressionError("expected \"=\" after the name");
  const size_t ruleBar = line.find('|', eq);  // an expression holds no bar
  SummaryFigure f{std::string(trimListText(line.substr(0, bar))),
                  std::string(trimListText(line.substr(bar + 1, eq - bar - 1))),
                  {},
                  std::nullopt};
  if (f.kind.empty()) throw ExpressionError("no kind before \"|\"");
  if (f.name.empty()) throw ExpressionError("no name before \"=\"");
  const size_t end = ruleBar == std::string_view::npos ? line.size() : ruleBar;
  try {
    f.expression = Expression::parse(line.substr(eq + 1, end - eq - 1));
  } catch (const ExpressionError& e) {
    throw ExpressionError(e.reason(), e.column() + eq + 1);  // a column of the line
  }
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
  forEachListLine(text, [&](std::string_view line, int number) {
    try {
      SummaryFigure f = parseFigure(line);
      auto same = [&f](const SummaryFigure& g) { return sameHeading(g.kind, f.kind) && g.name == f.name; };
      auto it = std::find_if(m_figures.begin(), m_figures.end(), same);
      if (it != m_figures.end())
        *it = std::move(f);
      else
        m_figures.push_back(std::move(f));
    } catch (const ExpressionError& e) {
      errors.push_back(file + ":" + std::to_string(number) + ": " + e.what());
    }
  });
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
