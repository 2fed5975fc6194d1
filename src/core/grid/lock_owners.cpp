#include "core/grid/lock_owners.h"

namespace tarvolin::core {

void LockOwners::reset() {
  m_level = Level::None;
  m_cols.fill(-1);  // the table starts again too
  for (std::string& v : m_values) v.clear();
  m_filled = {};
}

void LockOwners::entryBegins(const ReportItem& item) {
  m_level = item.beginsMember ? Level::Member : item.beginsOwner ? Level::Owner : Level::None;
}

void LockOwners::fill(std::array<std::string, kMaxVars>& vals) {
  m_filled = {};
  if (m_level == Level::Owner) {
    for (size_t i = 0; i < kNames.size(); ++i) {
      if (m_cols[i] < 0) m_cols[i] = m_vars.lookup(kNames[i]);
      m_values[i] = m_cols[i] >= 0 ? vals[static_cast<size_t>(m_cols[i])] : std::string();
    }
  } else if (m_level == Level::Member) {
    for (size_t i = 0; i < kNames.size(); ++i) {
      if (m_values[i].empty()) continue;  // also when the column is unknown
      std::string& v = vals[static_cast<size_t>(m_cols[i])];
      if (!v.empty()) continue;
      v = m_values[i];
      m_filled[i] = true;
    }
  }
}

void LockOwners::variableInserted(int at) {
  for (int& col : m_cols)
    if (col >= at) ++col;
}

void LockOwners::mark(Grid& g, int row) const {
  for (size_t i = 0; i < kNames.size(); ++i)
    if (m_filled[i]) g.markFilled(row, m_cols[i]);
}

}  // namespace tarvolin::core
