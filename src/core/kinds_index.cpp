#include "core/kinds_index.h"

#include <algorithm>
#include <cctype>

namespace tarvolin::core {

namespace {

bool isLockKind(std::string_view heading) { return heading.ends_with("Lock Snapshot"); }

}  // namespace

bool sameHeading(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool KindChoice::accepts(std::string_view kindHeading, int kindNumber) const {
  if (number > 0) return number == kindNumber;
  if (!heading.empty()) return sameHeading(heading, kindHeading);
  if (locks) return isLockKind(kindHeading);
  return kindNumber == 1;
}

bool KindsIndex::beginSection(std::string_view heading, bool perEntry, int64_t line) {
  if (m_open) closeSection(line - 1);
  m_open = true;
  const auto known =
      std::find_if(m_kinds.begin(), m_kinds.end(), [&](const KindSummary& k) { return k.heading == heading; });
  const int kind = static_cast<int>(known - m_kinds.begin());
  if (known == m_kinds.end()) {
    m_kinds.push_back(KindSummary{std::string(heading), 0, 0});
    m_snapshotTimes.emplace_back();
  }
  m_pending = perEntry && !m_sections.empty() && m_sections.back().kind == kind;
  KindSection s;
  s.kind = kind;
  s.firstLine = s.lastLine = line;
  m_sections.push_back(std::move(s));
  m_entries = 0;
  if (m_pending) {
    m_sections.back().snapshot = m_kinds[static_cast<size_t>(kind)].snapshots - 1;
    return false;
  }
  settle(true);
  return true;
}

void KindsIndex::settle(bool newSnapshot) {
  KindSection& s = m_sections.back();
  KindSummary& k = m_kinds[static_cast<size_t>(s.kind)];
  m_pending = false;
  if (newSnapshot) {
    s.snapshot = k.snapshots++;
    m_snapshotTimes[static_cast<size_t>(s.kind)] = s.time;
  } else if (m_snapshotTimes[static_cast<size_t>(s.kind)].empty()) {
    m_snapshotTimes[static_cast<size_t>(s.kind)] = s.time;
  }
}

bool KindsIndex::noteTime(std::string_view time) {
  if (m_sections.empty() || !m_sections.back().time.empty()) return false;
  KindSection& s = m_sections.back();
  s.time = time;
  if (!m_pending) {
    if (m_snapshotTimes[static_cast<size_t>(s.kind)].empty()) m_snapshotTimes[static_cast<size_t>(s.kind)] = s.time;
    return false;
  }
  const std::string& was = m_snapshotTimes[static_cast<size_t>(s.kind)];
  const bool fresh = !was.empty() && was != s.time;
  settle(fresh);
  return fresh;
}

void KindsIndex::closeSection(int64_t lastLine) {
  KindSection& s = m_sections.back();
  if (m_pending) settle(false);
  m_open = false;
  s.lastLine = std::max(lastLine, s.firstLine);
  s.entries = m_entries;
  m_kinds[static_cast<size_t>(s.kind)].rows += m_entries;
}

void KindsIndex::finish(int64_t line) {
  if (m_open) closeSection(line);
}

int KindsIndex::find(const KindChoice& choice) const {
  for (size_t i = 0; i < m_kinds.size(); ++i)
    if (choice.accepts(m_kinds[i].heading, static_cast<int>(i) + 1)) return static_cast<int>(i);
  return -1;
}

KindChoice parseKindChoice(std::string_view text) {
  KindChoice c;
  const bool digits = !text.empty() && text.size() < 9 &&
                      std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
  if (digits && std::stoi(std::string(text)) > 0)
    c.number = std::stoi(std::string(text));
  else
    c.heading = text;
  return c;
}

std::string listKinds(const std::vector<KindSummary>& kinds) {
  std::string out;
  for (size_t i = 0; i < kinds.size(); ++i) out += "  " + std::to_string(i + 1) + ". " + kinds[i].heading + "\n";
  return out;
}

}  // namespace tarvolin::core
