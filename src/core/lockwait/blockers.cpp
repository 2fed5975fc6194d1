#include "core/lockwait/blockers.h"

#include <algorithm>

#include "core/grid/result_grid.h"
#include "core/values/decimal.h"

namespace tarvolin::core {

namespace {

/// The text of variable `name` on row `row` of `g`, or empty.
std::string cell(const GridStore& g, const VariableTable& vars, int row, std::string_view name) {
  const int col = vars.lookup(name);
  return row > 0 && row < g.rows() && col >= 0 && col < g.cols() ? std::string(g.text(row, col)) : std::string();
}

}  // namespace

void BlockerHistory::add(const LockWaits& w, const GridStore& g, const VariableTable& vars, const std::string& label) {
  for (size_t i = 0; i < w.rows.size(); ++i) {
    const LockWaitRow& root = w.rows[i];
    if (root.level != 0 || root.mark == "holder unknown") continue;
    auto [at, added] = m_byHandle.try_emplace(root.handle, m_blockers.size());
    if (added) {
      m_blockers.emplace_back();
      m_blockers.back().handle = root.handle;
      m_blockers.back().firstSeen = label;
    }
    Blocker& b = m_blockers[at->second];
    if (b.name.empty()) b.name = root.name;
    if (b.id.empty()) b.id = cell(g, vars, root.entryRow, "Application ID");
    b.lastSeen = label;
    ++b.snapshots;
    b.mostWaiters = std::max(b.mostWaiters, root.totalWaiters);
    Decimal sum{};
    bool any = false;
    for (size_t k = i + 1; k < w.rows.size() && w.rows[k].level > 0; ++k)
      if (const auto ms = parseDecimal(w.rows[k].waitMs)) {
        if (const auto s = checkedSum(sum, *ms)) sum = *s;
        any = true;
      }
    b.waitMs = any ? formatDecimal(sum) : std::string();
  }
}

void BlockerHistory::addStatements(const GridStore& g, const VariableTable& vars) {
  for (int row = 1; row < g.rows(); ++row) {
    const auto at = m_byHandle.find(cell(g, vars, row, "Application handle"));
    if (at == m_byHandle.end()) continue;
    if (std::string text = cell(g, vars, row, "Dynamic SQL statement text:"); !text.empty())
      m_blockers[at->second].statement = std::move(text);
  }
}

void BlockerHistory::write(GridStore& out) const {
  startResultGrid(out,
                  {"Application handle", "Application name", "Application ID", "First blocked", "Last blocked",
                   "Snapshots", "Most waiters", "Waiters' wait time (ms)", "Statement"},
                  static_cast<int>(m_blockers.size()));
  for (size_t i = 0; i < m_blockers.size(); ++i) {
    const Blocker& b = m_blockers[i];
    setResultRow(out, static_cast<int>(i) + 1,
                 {b.handle, b.name, b.id, b.firstSeen, b.lastSeen, std::to_string(b.snapshots),
                  std::to_string(b.mostWaiters), b.waitMs, b.statement},
                 0);
  }
}

}  // namespace tarvolin::core
