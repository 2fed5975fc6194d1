#include "core/entry_reader.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/date_line.h"
#include "core/text_encoding.h"

namespace tarvolin::core {

namespace {

constexpr std::string_view kTimeName = "Snapshot timestamp";

constexpr std::array<ReportKind, 12> kKinds = {{
    {"Database Lock Snapshot", "Application handle", "Lock Object Name", "Lock Name", '='},
    {"Application Lock Snapshot", "Application handle", "Lock Object Name", "Lock Name", '='},
    {"Database Snapshot", "Database name", "", "", '=', true},  // one per database, for all databases
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
  if (item.kind == ReportItem::Kind::Value && m_index.openKind() < 0 && m_heading >= 0) {
    item.opensSection = true;  // a value that noteValue did not see ("Dynamic SQL")
    item.beginsSnapshot = m_index.openSection();
  }
  return item;
}

const std::string& EntryReader::sectionHeading() const {
  static const std::string kNone;
  return m_heading < 0 ? kNone : m_headings[static_cast<size_t>(m_heading)].text;
}

void EntryReader::takeHeading(ReportItem& item) {
  const std::string_view line = m_line;
  const std::string_view trimmed = trimBlanks(line);
  if (trimmed.empty() || line.find("echo") != std::string_view::npos || line.starts_with("----------") ||
      takeDate(trimmed))
    return;
  m_headingRead = true;
  beginSection(trimmed, item);
}

bool EntryReader::takeDate(std::string_view trimmed) {
  const std::optional<std::string> time = dateLineTime(trimmed);
  if (time) m_index.noteDate(*time);
  return time.has_value();
}

bool EntryReader::isHeading(std::string_view trimmed) const {
  return findKind(trimmed) != nullptr ||
         std::any_of(m_headings.begin(), m_headings.end(), [&](const Heading& h) { return h.text == trimmed; });
}

void EntryReader::beginSection(std::string_view heading, ReportItem& item) {
  item.kind = ReportItem::Kind::Heading;
  item.text = heading;
  const ReportKind* kind = findKind(heading);
  m_index.beginSection(heading, kind != nullptr && kind->perEntry, m_lineNo);
  const auto met =
      std::find_if(m_headings.begin(), m_headings.end(), [&](const Heading& h) { return h.text == heading; });
  m_heading = static_cast<int>(met - m_headings.begin());
  if (met == m_headings.end()) m_headings.push_back(Heading{std::string(heading), {}});
  m_inEntry = m_entryAtLead = m_secondSeen = false;
  m_prev = kMaxVars;
  m_startvar = kind != nullptr ? kind->startvar : m_headings[static_cast<size_t>(m_heading)].start;
  m_startvar2 = kind != nullptr ? kind->startvar2 : "";
  m_leadvar = kind != nullptr ? kind->leadvar : "";
  m_sep = kind != nullptr ? kind->sep : '=';
}

void EntryReader::noteValue(ReportItem& item) {
  if (m_index.openKind() < 0) {
    item.opensSection = true;
    item.beginsSnapshot = m_index.openSection();
  }
  if (item.beginsEntry) m_index.noteEntry();
  if (item.name == kTimeName && m_index.noteTime(item.text)) item.beginsSnapshot = true;
}

void EntryReader::stored(int var) {
  m_next[static_cast<size_t>(m_prev)] = static_cast<int16_t>(var);
  m_prev = var;
  if (!m_prefix.empty()) m_layouts[static_cast<size_t>(var)] = Layout{std::string(m_prefix), m_role, m_heading};
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
  if (layout.heading != m_heading || layout.prefix.empty() || !m_line.starts_with(layout.prefix)) return false;
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
  if (m_sep == ':' && takeDate(trimBlanks(line))) return;  // a date holds the separator
  const size_t at = line.find(m_sep);
  if (at == std::string_view::npos) {
    const std::string_view trimmed = trimBlanks(line);
    if (!trimmed.empty() && isHeading(trimmed)) {
      beginSection(trimmed, item);
      return;
    }
    if (takeDate(trimmed)) return;
    if (trimmed.starts_with("Dynamic SQL")) {
      m_name = trimmed;  // reading the value replaces the line
      item.kind = ReportItem::Kind::Value;
      item.text = continuation();
      item.name = m_name;
      item.var = lookups() ? m_vars.lookup(item.name) : -1;
      return;
    }
    if (trimmed.empty() || m_sep != ':' || line.find("Event") == std::string_view::npos) return;
    item.name = "Event";
    item.text = trimmed;
  } else {
    item.name = trimBlanks(line.substr(0, at));
    item.text = trimBlanks(line.substr(at + 1));
  }
  if (m_startvar.empty()) m_startvar = m_headings[static_cast<size_t>(m_heading)].start = item.name;
  const Role role = roleOf(item.name);
  setBegins(item, role);
  if (!item.beginsEntry && !m_inEntry) {
    item.kind = ReportItem::Kind::Preamble;
    noteValue(item);
    return;
  }
  if (!lookups()) {
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
