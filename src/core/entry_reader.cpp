#include "core/entry_reader.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/text_encoding.h"

namespace tarvolin::core {

namespace {

constexpr std::string_view kTimeName = "Snapshot timestamp";

constexpr std::array<ReportKind, 12> kKinds = {{
    {"Database Lock Snapshot", "Application handle", "Lock Object Name", "Lock Name", '='},
    {"Application Lock Snapshot", "Application handle", "Lock Object Name", "Lock Name", '='},
    {"Database Snapshot", "Database name", "", "", '='},
    {"Bufferpool Snapshot", "Bufferpool name", "", "", '=', true},
    {"Application Snapshot", "Application handle", "", "", '=', true},
    {"Database Manager Snapshot", "Node name", "", "", '='},
    {"Tablespace Snapshot", "Tablespace name", "", "", '='},
    {"Table Snapshot", "Table Schema", "", "", '='},
    {"System Database Directory", "Database alias", "", "", '='},
    {"Node Directory", "Node name", "", "", '='},
    {"Dynamic SQL Snapshot Result", "Number of executions", "", "", '='},
    {"EVENT LOG HEADER", "Event", "", "", ':'},
}};

}  // namespace

const ReportKind* findKind(std::string_view heading) {
  for (const ReportKind& k : kKinds)
    if (k.heading == heading) return &k;
  return nullptr;
}

EntryReader::EntryReader(const std::string& path, const VariableTable& vars, ReadFunction read)
    : m_in(path, LineSource::kReadAheadFrom, std::move(read)), m_vars(vars) {
  m_next.fill(-1);
}

bool EntryReader::nextLine() {
  if (m_in.nextLine(m_line)) {
    ++m_lineNo;
    return true;
  }
  m_index.finish(m_lineNo);
  return false;
}

ReportItem EntryReader::cut() {
  ReportItem item;
  m_prefix = {};
  if (m_headingRead)
    takeValue(item);
  else
    takeHeading(item);
  return item;
}

void EntryReader::takeHeading(ReportItem& item) {
  const std::string_view line = m_line;
  const std::string_view trimmed = trimBlanks(line);
  if (trimmed.empty() || line.find("echo") != std::string_view::npos || line.starts_with("----------")) return;
  m_headingRead = true;
  beginSection(trimmed, item);
}

bool EntryReader::isHeading(std::string_view trimmed) const {
  if (findKind(trimmed) != nullptr) return true;
  const std::vector<KindSummary>& kinds = m_index.kinds();
  return std::any_of(kinds.begin(), kinds.end(), [&](const KindSummary& k) { return k.heading == trimmed; });
}

void EntryReader::beginSection(std::string_view heading, ReportItem& item) {
  item.kind = ReportItem::Kind::Heading;
  item.text = heading;
  const ReportKind* kind = findKind(heading);
  item.beginsSnapshot = m_index.beginSection(heading, kind != nullptr && kind->perEntry, m_lineNo);
  m_kind = m_index.current()->kind;
  if (static_cast<size_t>(m_kind) >= m_kindStarts.size()) m_kindStarts.resize(static_cast<size_t>(m_kind) + 1);
  m_inEntry = m_entryAtLead = m_secondSeen = false;
  m_prev = kMaxVars;
  m_startvar = kind != nullptr ? kind->startvar : m_kindStarts[static_cast<size_t>(m_kind)];
  m_startvar2 = kind != nullptr ? kind->startvar2 : "";
  m_leadvar = kind != nullptr ? kind->leadvar : "";
  m_sep = kind != nullptr ? kind->sep : '=';
}

void EntryReader::noteValue(ReportItem& item) {
  if (item.beginsEntry) m_index.noteEntry();
  if (item.name == kTimeName) item.beginsSnapshot = m_index.noteTime(item.text);
}

void EntryReader::stored(int var) {
  m_next[static_cast<size_t>(m_prev)] = static_cast<int16_t>(var);
  m_prev = var;
  if (!m_prefix.empty()) m_layouts[static_cast<size_t>(var)] = Layout{std::string(m_prefix), m_role, m_kind};
}

void EntryReader::variableInserted(int at) {
  const auto from = static_cast<size_t>(at);
  std::move_backward(m_layouts.begin() + at, m_layouts.end() - 1, m_layouts.end());
  m_layouts[from] = Layout{};
  std::copy_backward(m_next.begin() + at, m_next.end() - 2, m_next.end() - 1);  // the last is "none yet"
  m_next[from] = -1;
  for (int16_t& next : m_next)
    if (next >= at) ++next;
  if (m_prev >= at && m_prev != kMaxVars) ++m_prev;
}

EntryReader::Role EntryReader::roleOf(std::string_view name) const {
  if (name == m_startvar) return Role::Start;
  if (!m_startvar2.empty() && name == m_startvar2) return Role::Second;
  if (!m_leadvar.empty() && name == m_leadvar) return Role::Lead;
  return Role::None;
}

bool EntryReader::begins(Role role) {
  if (role == Role::None) return false;
  if (role == Role::Second && m_entryAtLead && !m_secondSeen) {
    m_secondSeen = true;
    return false;
  }
  m_entryAtLead = role == Role::Lead;
  m_secondSeen = role == Role::Second;
  return true;
}

void EntryReader::setBegins(ReportItem& item, Role role) {
  item.beginsEntry = begins(role);
  if (!item.beginsEntry) return;
  item.beginsMember = role != Role::Start;
  item.beginsOwner = role == Role::Start && !(m_startvar2.empty() && m_leadvar.empty());
}

bool EntryReader::matchLayout(ReportItem& item) {
  const int guess = m_next[static_cast<size_t>(m_prev)];
  if (guess < 0) return false;
  const Layout& layout = m_layouts[static_cast<size_t>(guess)];
  if (layout.kind != m_kind || layout.prefix.empty() || !m_line.starts_with(layout.prefix)) return false;
  item.var = guess;
  item.name = m_vars[guess].name;
  item.text = trimBlanks(m_line.substr(layout.prefix.size()));
  setBegins(item, layout.role);
  return true;
}

void EntryReader::takeValue(ReportItem& item) {
  if (matchLayout(item)) {
    item.kind = !item.beginsEntry && !m_inEntry ? ReportItem::Kind::Preamble : ReportItem::Kind::Value;
    m_inEntry = m_inEntry || item.kind == ReportItem::Kind::Value;
    noteValue(item);
    return;
  }
  const std::string_view line = m_line;
  const size_t at = line.find(m_sep);
  if (at == std::string_view::npos) {
    const std::string_view trimmed = trimBlanks(line);
    if (!trimmed.empty() && isHeading(trimmed)) {
      beginSection(trimmed, item);
      return;
    }
    if (trimmed.starts_with("Dynamic SQL")) {
      m_name = trimmed;  // reading the value replaces the line
      item.kind = ReportItem::Kind::Value;
      item.text = continuation();
      item.name = m_name;
      item.var = m_lookups ? m_vars.lookup(item.name) : -1;
      return;
    }
    if (trimmed.empty() || m_sep != ':' || line.find("Event") == std::string_view::npos) return;
    item.name = "Event";
    item.text = trimmed;
  } else {
    item.name = trimBlanks(line.substr(0, at));
    item.text = trimBlanks(line.substr(at + 1));
  }
  if (m_startvar.empty()) m_startvar = m_kindStarts[static_cast<size_t>(m_kind)] = item.name;
  const Role role = roleOf(item.name);
  setBegins(item, role);
  if (!item.beginsEntry && !m_inEntry) {
    item.kind = ReportItem::Kind::Preamble;
    noteValue(item);
    return;
  }
  if (!m_lookups) {
    m_inEntry = true;
    item.kind = ReportItem::Kind::Value;
    noteValue(item);
    return;
  }
  item.var = m_vars.lookup(item.name);
  if (at != std::string_view::npos) {
    m_prefix = line.substr(0, at + 1);
    m_role = role;
  }
  m_inEntry = true;
  item.kind = ReportItem::Kind::Value;
  noteValue(item);
}

std::string_view EntryReader::continuation() {
  std::string_view next;
  const auto read = [&] { return m_in.nextLine(next) && ++m_lineNo > 0; };
  if (!read() || (next.empty() && !read()))
    throw ReadError("Input past end of file: " + m_in.path() + " ends after \"" + m_name + "\"");
  return trimBlanks(next);
}

}  // namespace tarvolin::core
