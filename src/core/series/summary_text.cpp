#include "core/series/summary_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tarvolin::core {

namespace {

using Table = std::vector<std::vector<std::string>>;

/// Cells longer than this are cut, with "..." at the end.
constexpr size_t kCellWidth = 60;
/// Departures listed.
constexpr size_t kDeparturesShown = 8;

/// Characters of `s` as a terminal counts them (UTF-8 continuation bytes take none).
size_t displayWidth(const std::string& s) {
  return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string cut(const std::string& s) {
  if (displayWidth(s) <= kCellWidth) return s;
  size_t at = kCellWidth - 3;
  while (at > 0 && (s[at] & 0xC0) == 0x80) --at;
  return s.substr(0, at) + "...";
}

/// Whether `cell` reads as a number in a column of them ("-": none).
bool numeric(const std::string& cell) { return cell.empty() || cell == "-" || parseDecimal(cell).has_value(); }

/// `rows` (the first the header) as aligned columns: a column of numbers to the right, others to the left.
std::string aligned(Table rows) {
  std::vector<size_t> widths;
  std::vector<bool> right;
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) {
      std::string& cell = rows[r][c];
      cell = cut(cell);
      if (widths.size() <= c) widths.push_back(0);
      if (right.size() <= c) right.push_back(true);
      widths[c] = std::max(widths[c], displayWidth(cell));
      if (r > 0 && !numeric(cell)) right[c] = false;
    }
  std::string out;
  for (const std::vector<std::string>& row : rows) {
    std::string line = " ";
    for (size_t c = 0; c < row.size(); ++c) {
      const std::string pad(widths[c] - displayWidth(row[c]), ' ');
      line += "  " + (right[c] ? pad + row[c] : row[c] + pad);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

/// `v` as Expression::evaluate writes it: at most 6 decimals, no trailing zeros.
std::string exactText(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", v);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string numberText(double v) {
  char text[64];
  std::snprintf(text, sizeof text, std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15 ? "%.0f" : "%.2f", v);
  return text;
}

/// The lowest and highest of the figure's intervals.
std::pair<std::string, std::string> range(const FigureValues& f) {
  std::optional<double> low;
  std::optional<double> high;
  for (const std::optional<double>& t : f.values) {
    if (!t) continue;
    const double v = *t;
    low = low ? std::min(*low, v) : v;
    high = high ? std::max(*high, v) : v;
  }
  return {low ? numberText(*low) : "-", high ? numberText(*high) : "-"};
}

std::string figuresSection(const CaptureSummary& s) {
  Table rows{{"Figure", "Window", "Median", "Lowest", "Highest", "Rule", "Broken in"}};
  for (const FigureValues& f : s.figures) {
    if (!f.shown()) continue;
    const auto [low, high] = range(f);
    int broken = 0;
    for (size_t i = 0; i < f.values.size(); ++i) broken += f.breaks(static_cast<int>(i)) ? 1 : 0;
    rows.push_back({f.figure.name, summaryNumber(f.window), f.median ? numberText(*f.median) : "-", low, high,
                    f.figure.rule ? f.figure.rule->text : "",
                    f.figure.rule ? std::to_string(broken) + " of " + std::to_string(f.values.size()) : ""});
  }
  return "Figures\n" + aligned(rows);
}

std::string breaksSection(const CaptureSummary& s) {
  Table rows{{"From", "To", "Figure", "Value", "Rule"}};
  int more = 0;
  for (size_t i = 0; i < s.intervals.size(); ++i)
    for (const FigureValues& f : s.figures) {
      if (!f.shown() || !f.breaks(static_cast<int>(i))) continue;
      if (rows.size() > static_cast<size_t>(kSummaryBreaksShown)) {
        ++more;
        continue;
      }
      rows.push_back(
          {s.intervals[i].from, s.intervals[i].to, f.figure.name, numberText(*f.values[i]), f.figure.rule->text});
    }
  if (rows.size() == 1) return "Rules broken: none\n";
  std::string text = "Rules broken\n" + aligned(rows);
  if (more > 0) text += "   ... and " + std::to_string(more) + " more (--csv gives every interval)\n";
  return text;
}

std::string departuresSection(const CaptureSummary& s) {
  const std::vector<Departure> all = s.departures();
  if (all.empty()) return {};
  Table rows{{"Figure", "From", "To", "Value", "Median"}};
  for (size_t d = 0; d < all.size() && d < kDeparturesShown; ++d) {
    const FigureValues& f = s.figures[all[d].figure];
    const SummaryInterval& iv = s.intervals[static_cast<size_t>(all[d].interval)];
    rows.push_back({f.figure.name, iv.from, iv.to, numberText(all[d].value), numberText(*f.median)});
  }
  return "Farthest from the median\n" + aligned(rows);
}

std::string topSection(const TopList& top) {
  if (top.rows.empty()) return top.title + ": none changed\n";
  Table rows{top.columns};
  for (const TopRow& r : top.rows) {
    std::vector<std::string> cells = r.cells;
    for (size_t c = 1; c < cells.size(); ++c)
      if (!cells[c].empty() && parseDecimal(cells[c])) cells[c] = summaryNumber(cells[c]);
    rows.push_back(std::move(cells));
  }
  return top.title + "\n" + aligned(rows);
}

std::string leftOutSection(const CaptureSummary& s) {
  std::string text;
  for (const FigureValues& f : s.figures) {
    if (f.shown()) continue;
    std::string why = "no " + f.figure.kind;
    if (f.kindFound) {
      why = "no ";
      for (size_t v = 0; v < f.missing.size(); ++v) why += (v ? ", " : "") + f.missing[v];
    }
    text += "   " + f.figure.name + ": " + why + "\n";
  }
  for (const std::string& l : s.lacking) text += "   " + l + "\n";
  return text.empty() ? std::string() : "Left out, the capture lacks what they need\n" + text;
}

}  // namespace

std::string summaryNumber(const std::string& value) {
  if (value.empty()) return "-";
  return numberText(std::strtod(value.c_str(), nullptr));
}

std::string summaryText(const CaptureSummary& s) {
  std::string text = "Capture summary: " + std::to_string(s.snapshots) + " snapshots of " + s.kind + ", " +
                     std::to_string(s.intervals.size()) + " intervals";
  if (!s.intervals.empty()) text += ", from " + s.intervals.front().from + " to " + s.intervals.back().to;
  text += "\n";
  for (const std::string& n : s.notes) text += n + "\n";
  text += "\n" + figuresSection(s) + "\n" + breaksSection(s);
  if (const std::string d = departuresSection(s); !d.empty()) text += "\n" + d;
  for (const TopList& top : s.tops) text += "\n" + topSection(top);
  if (const std::string l = leftOutSection(s); !l.empty()) text += "\n" + l;
  return text;
}

void writeSummaryGrid(const CaptureSummary& s, GridStore& out) {
  std::vector<const FigureValues*> shown;
  for (const FigureValues& f : s.figures)
    if (f.shown()) shown.push_back(&f);
  const int cols = static_cast<int>(shown.size()) + 3;
  out.clear();
  out.setCols(cols);
  out.setRows(static_cast<int>(s.intervals.size()) + 1);
  out.setText(0, 0, "From");
  out.setText(0, 1, "To");
  for (size_t f = 0; f < shown.size(); ++f) out.setText(0, static_cast<int>(f) + 2, shown[f]->figure.name);
  out.setText(0, cols - 1, "Rules broken");
  for (size_t i = 0; i < s.intervals.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    out.setText(row, 0, s.intervals[i].from);
    out.setText(row, 1, s.intervals[i].to);
    std::string broken;
    for (size_t f = 0; f < shown.size(); ++f) {
      if (const std::optional<double>& v = shown[f]->values[i])
        out.setText(row, static_cast<int>(f) + 2, exactText(*v));
      if (shown[f]->breaks(static_cast<int>(i)))
        broken += (broken.empty() ? "" : "; ") + shown[f]->figure.name + " " + shown[f]->figure.rule->text;
    }
    out.setText(row, cols - 1, broken);
  }
}

}  // namespace tarvolin::core
