#include "core/read/kinds_index.h"

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

void KindsIndex::beginSection(std::string_view heading, bool perEntry, int64_t line, int64_t offset) {
  closeSection(line - 1, offset);
  m_before = m_dated ? -1 : m_kind;
  m_kind = -1;
  m_dated = false;
  m_heading = heading;
  m_headingLine = line;
  m_headingOffset = offset;
  m_perEntry = perEntry;
}

bool KindsIndex::openSection() {
  if (m_kind >= 0 || m_headingLine == 0) return false;
  const auto known =
      std::find_if(m_kinds.begin(), m_kinds.end(), [&](const KindSummary& k) { return k.heading == m_heading; });
  m_kind = static_cast<int>(known - m_kinds.begin());
  if (known == m_kinds.end()) m_kinds.push_back(KindSummary{m_heading, 0, 0});
  m_sectionTimed = false;
  m_pending = m_perEntry && m_before == m_kind && !m_dated;
  if (m_pending) {
    m_splitEntries = m_sections.back().entries;
    return false;
  }
  KindSection s;
  s.kind = m_kind;
  s.firstLine = s.lastLine = m_headingLine;
  s.offset = m_headingOffset;
  s.snapshot = m_kinds[static_cast<size_t>(m_kind)].snapshots++;
  s.time = m_latest;
  push(std::move(s));
  m_ownTime = false;
  return true;
}

void KindsIndex::split(std::string_view time) {
  KindSection s;
  KindSection& run = m_sections.back();
  s.kind = m_kind;
  s.firstLine = s.lastLine = m_headingLine;
  s.offset = m_headingOffset;
  s.snapshot = m_kinds[static_cast<size_t>(m_kind)].snapshots++;
  s.time = time;
  s.entries = run.entries - m_splitEntries;
  run.entries = m_splitEntries;
  run.lastLine = m_headingLine - 1;
  run.length = run.offset < 0 || m_headingOffset < 0 ? 0 : m_headingOffset - run.offset;
  push(std::move(s));
}

void KindsIndex::push(KindSection s) {
  if (m_recentOnly) {
    const auto ofKind = [&](const KindSection& r) { return r.kind == s.kind; };
    if (std::count_if(m_sections.begin(), m_sections.end(), ofKind) >= 2)
      m_sections.erase(std::find_if(m_sections.begin(), m_sections.end(), ofKind));
  }
  m_sections.push_back(std::move(s));
}

bool KindsIndex::noteTime(std::string_view time) {
  if (m_kind < 0) return false;
  m_latest = time;
  if (m_sectionTimed) return false;
  m_sectionTimed = true;
  KindSection& run = m_sections.back();
  const bool fresh = m_pending && m_ownTime && run.time != time;
  m_pending = false;
  if (fresh) {
    split(time);
    return true;
  }
  if (!m_ownTime) run.time = time;
  m_ownTime = true;
  return false;
}

void KindsIndex::noteDate(std::string_view time) {
  m_latest = time;
  m_dated = true;
  if (m_kind >= 0 && m_sections.back().time.empty()) m_sections.back().time = time;
}

void KindsIndex::noteEntry() {
  if (m_kind < 0) return;
  ++m_sections.back().entries;
  ++m_kinds[static_cast<size_t>(m_kind)].rows;
}

void KindsIndex::closeSection(int64_t lastLine, int64_t end) {
  if (m_kind < 0) return;
  KindSection& run = m_sections.back();
  run.lastLine = std::max(lastLine, m_headingLine);
  if (run.offset < 0 || end < run.offset) run.offset = -1;
  run.length = run.offset < 0 ? 0 : end - run.offset;
  m_pending = false;
}

void KindsIndex::finish(int64_t line, int64_t end) {
  closeSection(line, end);
  m_kind = -1;
}

void KindsIndex::noteBreak(std::string_view time) {
  m_latest = time;
  m_dated = true;
}

bool KindsIndex::placed(int kind) const {
  return kind >= 0 && std::all_of(m_sections.begin(), m_sections.end(),
                                  [&](const KindSection& s) { return s.kind != kind || s.offset >= 0; });
}

const std::string& KindsIndex::timeOf(int kind, int snapshot) const {
  static const std::string kNone;
  if (snapshot == 0) {  // the kind's first record lies near the front: never a scan of the whole file
    for (const KindSection& s : m_sections)
      if (s.kind == kind) return s.snapshot == 0 ? s.time : kNone;
    return kNone;
  }
  for (auto s = m_sections.rbegin(); s != m_sections.rend(); ++s)
    if (s->kind == kind && s->snapshot <= snapshot) return s->snapshot == snapshot ? s->time : kNone;
  return kNone;
}

std::vector<std::string> KindsIndex::timesOf(int kind, int snapshots) const {
  std::vector<std::string> times(static_cast<size_t>(std::max(snapshots, 0)));
  for (const KindSection& s : m_sections)
    if (s.kind == kind && s.snapshot >= 0 && s.snapshot < snapshots) times[static_cast<size_t>(s.snapshot)] = s.time;
  return times;
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
