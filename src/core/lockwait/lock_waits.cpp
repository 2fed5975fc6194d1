#include "core/lockwait/lock_waits.h"

#include <algorithm>
#include <unordered_map>

#include "core/grid/result_grid.h"
#include "core/lockwait/lock_wait_tree.h"
#include "core/read/report_loader.h"

namespace tarvolin::core {

namespace {

constexpr std::string_view kNotInReport = "not in report";
constexpr std::string_view kHolderUnknown = "holder unknown";
constexpr std::string_view kDeadlock = "deadlock";

/// The columns of the application lines this tree reads (-1: not in the report).
struct AppColumns {
  explicit AppColumns(const VariableTable& vars) {
    auto at = [&](std::string_view name, std::string_view other = {}) {
      const int c = vars.lookup(name);
      return c >= 0 || other.empty() ? c : vars.lookup(other);
    };
    handle = at("Application handle");
    applId = at("Application ID");
    name = at("Application name");
    status = at("Application status");
    agentHolding = at("ID of agent holding lock");
    applIdHolding = at("Application ID holding lock");
    mode = at("Lock mode requested");
    object = at("Lock object type waited on", "Lock object type");
    schema = at("Schema of table holding lock");
    table = at("Name of table holding lock");
    waitMs = at("Total wait time (ms)");
  }
  int handle, applId, name, status, agentHolding, applIdHolding, mode, object, schema, table, waitMs;
};

bool collected(std::string_view v) { return !v.empty() && v != "Not Collected"; }

/// The tree's nodes: the report's applications first, then the holders it doesn't hold.
class Builder {
 public:
  Builder(const GridStore& g, const VariableTable& vars) : m_g(g), m_c(vars) {}

  LockWaits build() {
    LockWaits out;
    if (m_c.handle < 0) return out;
    readApplications(out.waiting);
    breakCycles();
    linkWaiters();
    emit(out.rows);
    return out;
  }

 private:
  [[nodiscard]] std::string_view cell(int node, int col) const {
    return col < 0 || node >= n() ? std::string_view() : m_g.text(m_row[static_cast<size_t>(node)], col);
  }
  [[nodiscard]] int n() const { return static_cast<int>(m_row.size()); }

  /// The holder a waiter's lines name: its handle, else its application ID's handle or the ID.
  [[nodiscard]] std::string_view holderText(int node, int* holder) const {
    const std::string_view agent = cell(node, m_c.agentHolding);
    const std::string_view applId = cell(node, m_c.applIdHolding);
    *holder = -1;
    if (collected(agent)) {
      if (const auto it = m_byHandle.find(agent); it != m_byHandle.end()) *holder = it->second;
      return agent;
    }
    if (!collected(applId)) return {};
    const auto it = m_byApplId.find(applId);
    if (it == m_byApplId.end()) return applId;
    *holder = it->second;
    return cell(it->second, m_c.handle);
  }

  int outsideNode(std::string_view key) {
    const auto [it, added] = m_outsideByKey.try_emplace(std::string(key), n() + static_cast<int>(m_outside.size()));
    if (added) m_outside.emplace_back(key);
    return it->second;
  }

  void readApplications(int& waiting) {
    for (int r = 1; r < m_g.rows(); ++r) {
      const std::string_view h = m_g.text(r, m_c.handle);
      if (h.empty() || m_g.filledUnchecked(r, m_c.handle)) continue;  // a lock row's owner
      m_byHandle.try_emplace(h, n());
      if (m_c.applId >= 0 && !m_g.text(r, m_c.applId).empty()) m_byApplId.try_emplace(m_g.text(r, m_c.applId), n());
      m_row.push_back(r);
    }
    m_parent.assign(m_row.size(), -1);
    for (int i = 0; i < n(); ++i) {
      if (cell(i, m_c.status) != "Lock-wait") continue;
      ++waiting;
      int holder = -1;
      const std::string_view text = holderText(i, &holder);
      if (holder < 0) holder = outsideNode(text.empty() ? std::string_view() : text);
      m_parent[static_cast<size_t>(i)] = holder;
    }
    m_parent.resize(m_row.size() + m_outside.size(), -1);
  }

  /// Colours the nodes along each holder chain; a chain that meets itself is a cycle, cut
  /// above its member first in the report so that it hangs below that member once.
  void breakCycles() {
    const size_t total = m_parent.size();
    std::vector<char> state(total, 0);  // 0 unseen, 1 on the chain walked now, 2 done
    m_inCycle.assign(total, 0);
    std::vector<int> chain;
    for (size_t s = 0; s < total; ++s) {
      chain.clear();
      int v = static_cast<int>(s);
      while (v >= 0 && state[static_cast<size_t>(v)] == 0) {
        state[static_cast<size_t>(v)] = 1;
        chain.push_back(v);
        v = m_parent[static_cast<size_t>(v)];
      }
      if (v >= 0 && state[static_cast<size_t>(v)] == 1) {
        int first = v;
        for (size_t k = chain.size(); k-- > 0;) {
          m_inCycle[static_cast<size_t>(chain[k])] = 1;
          first = std::min(first, chain[k]);
          if (chain[k] == v) break;
        }
        m_parent[static_cast<size_t>(first)] = -1;
      }
      for (const int c : chain) state[static_cast<size_t>(c)] = 2;
    }
  }

  /// Each holder's waiters in one array (in report order), the roots, and the total waiters.
  void linkWaiters() {
    const size_t total = m_parent.size();
    m_first.assign(total + 1, 0);
    for (const int p : m_parent)
      if (p >= 0) ++m_first[static_cast<size_t>(p) + 1];
    for (size_t i = 0; i < total; ++i) m_first[i + 1] += m_first[i];
    m_waiters.resize(static_cast<size_t>(m_first[total]));
    std::vector<int> fill(m_first.begin(), m_first.end() - 1);
    for (size_t v = 0; v < total; ++v)
      if (const int p = m_parent[v]; p >= 0)
        m_waiters[static_cast<size_t>(fill[static_cast<size_t>(p)]++)] = static_cast<int>(v);
    for (size_t v = 0; v < total; ++v)
      if (m_parent[v] < 0 && (m_first[v + 1] > m_first[v] || m_inCycle[v] != 0)) m_roots.push_back(static_cast<int>(v));
    // Breadth first from the roots, then totals from the deepest up.
    std::vector<int> order(m_roots);
    for (size_t i = 0; i < order.size(); ++i)
      for (int k = m_first[static_cast<size_t>(order[i])]; k < m_first[static_cast<size_t>(order[i]) + 1]; ++k)
        order.push_back(m_waiters[static_cast<size_t>(k)]);
    m_total.assign(total, 0);
    for (size_t i = order.size(); i-- > 0;)
      if (const int p = m_parent[static_cast<size_t>(order[i])]; p >= 0)
        m_total[static_cast<size_t>(p)] += m_total[static_cast<size_t>(order[i])] + 1;
    const auto larger = [this](int a, int b) {
      return m_total[static_cast<size_t>(a)] > m_total[static_cast<size_t>(b)];
    };
    std::stable_sort(m_roots.begin(), m_roots.end(), larger);
    for (size_t v = 0; v < total; ++v)
      std::stable_sort(m_waiters.begin() + m_first[v], m_waiters.begin() + m_first[v + 1], larger);
  }

  void emit(std::vector<LockWaitRow>& rows) {
    rows.reserve(m_parent.size());
    std::vector<std::pair<int, int>> stack;  // node, level
    for (size_t i = m_roots.size(); i-- > 0;) stack.emplace_back(m_roots[i], 0);
    while (!stack.empty()) {
      const auto [v, level] = stack.back();
      stack.pop_back();
      rows.push_back(rowOf(v, level));
      for (int k = m_first[static_cast<size_t>(v) + 1]; k-- > m_first[static_cast<size_t>(v)];)
        stack.emplace_back(m_waiters[static_cast<size_t>(k)], level + 1);
    }
  }

  [[nodiscard]] LockWaitRow rowOf(int v, int level) const {
    LockWaitRow r;
    r.level = level;
    r.directWaiters = m_first[static_cast<size_t>(v) + 1] - m_first[static_cast<size_t>(v)];
    r.totalWaiters = m_total[static_cast<size_t>(v)];
    if (v >= n()) {
      const std::string& key = m_outside[static_cast<size_t>(v - n())];
      r.handle = key;
      r.mark = key.empty() ? kHolderUnknown : kNotInReport;
      if (key == "0") r.name = "(in-doubt transaction)";
      return r;
    }
    r.entryRow = m_row[static_cast<size_t>(v)];
    r.handle = cell(v, m_c.handle);
    r.name = cell(v, m_c.name);
    r.status = cell(v, m_c.status);
    if (r.status == "Lock-wait") {
      int holder = -1;
      r.waitingFor = holderText(v, &holder);
      r.mode = cell(v, m_c.mode);
      r.object = cell(v, m_c.object);
      const std::string_view schema = cell(v, m_c.schema);
      r.table = cell(v, m_c.table);
      if (!schema.empty() && !r.table.empty()) r.table = std::string(schema) + "." + r.table;
    }
    r.waitMs = cell(v, m_c.waitMs);
    if (m_inCycle[static_cast<size_t>(v)] != 0) r.mark = kDeadlock;
    return r;
  }

  const GridStore& m_g;
  AppColumns m_c;
  std::vector<int> m_row;  // by application: its grid row
  std::unordered_map<std::string_view, int> m_byHandle;
  std::unordered_map<std::string_view, int> m_byApplId;
  std::vector<std::string> m_outside;  // holders outside the report ("" for unknown ones)
  std::unordered_map<std::string, int> m_outsideByKey;
  std::vector<int> m_parent;  // by node: the node it waits for, -1 for none
  std::vector<char> m_inCycle;
  std::vector<int> m_first;    // by node: where its waiters begin in m_waiters
  std::vector<int> m_waiters;  // holder by holder
  std::vector<int> m_roots;
  std::vector<int> m_total;
};

}  // namespace

LockWaits findLockWaits(const GridStore& g, const VariableTable& vars) { return Builder(g, vars).build(); }

const std::vector<std::string>& lockWaitHeads() {
  static const std::vector<std::string> heads = {"Level",
                                                 "Application handle",
                                                 "Application name",
                                                 "Application status",
                                                 "Waiting for",
                                                 "Lock mode requested",
                                                 "Lock object type",
                                                 "Table",
                                                 "Total wait time (ms)",
                                                 "Waiters (direct)",
                                                 "Waiters (total)",
                                                 "Mark"};
  return heads;
}

void writeLockWaitGrid(const LockWaits& w, GridStore& out) {
  startResultGrid(out, lockWaitHeads(), static_cast<int>(w.rows.size()));
  int row = 1;
  for (const LockWaitRow& r : w.rows) setResultRow(out, row++, lockWaitTexts(r), r.entryRow);
  fitResultColumns(out);
}

void loadLockSnapshot(const std::string& path, const std::string& configFolder, LoadedSnapshot& out,
                      const KindChoice& kind, bool sizeColumns) {
  KindChoice choice = kind;
  if (choice.isDefault()) choice.locks = true;
  loadSnapshot(path, ReportLoader::kLastSnapshot, configFolder, out, sizeColumns, choice);
}

}  // namespace tarvolin::core
