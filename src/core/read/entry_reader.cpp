#include "core/read/entry_reader.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/read/date_line.h"
#include "core/read/text_encoding.h"

namespace tarvolin::core {

namespace {

/// The name whose value is a statement of as many lines as its application wrote.
constexpr std::string_view kStatementName = "Statement text";

std::string_view trimTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

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

namespace {

std::vector<ByteRange> rangesOf(const std::vector<KindSection>& parts) {
  std::vector<ByteRange> ranges;
  ranges.reserve(parts.size());
  for (const KindSection& s : parts) {
    if (s.offset < 0) throw ReadError("The places of the snapshots to read are not known");
    ranges.push_back(ByteRange{static_cast<uint64_t>(s.offset), static_cast<uint64_t>(s.length)});
  }
  return ranges;
}

}  // namespace

EntryReader::EntryReader(const std::string& path, const VariableTable& vars, ReadFunction read,
                         const std::vector<KindSection>& parts)
    : m_in(path, LineSource::kReadAheadFrom, std::move(read), rangesOf(parts)), m_vars(vars) {
  m_next.fill(-1);
  for (const KindSection& s : parts) m_partTimes.push_back(s.time);
  if (parts.empty()) m_index.setFile(m_in.fileSize(), m_in.changeStamp());
}

bool EntryReader::nextLine() {
  if (std::exchange(m_held, false) || readLine(m_line)) return true;
  m_index.finish(m_lineNo, m_nextOffset);
  return false;
}

bool EntryReader::readLine(std::string_view& line) {
  m_ended = m_ended || !m_in.nextLine(line);
  if (m_ended) return false;
  ++m_lineNo;
  m_lineOffset = m_in.lineOffset();
  m_nextOffset = m_in.nextLineOffset();
  if (const int part = m_in.rangeBegun(); part >= 0) m_index.noteBreak(m_partTimes[static_cast<size_t>(part)]);
  return true;
}

ReportItem EntryReader::cut() {
  ReportItem item;
  m_prefix = {};
  if (!m_headingRead) {
    takeHeading(item);
    return item;
  }
  takeValue(item);
  if (item.name == kStatementName && m_sep == '=') takeStatement(item);
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
  m_index.beginSection(heading, kind != nullptr && kind->perEntry, m_lineNo, m_lineOffset);
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
  if (item.name == kSnapshotTimeName && m_index.noteTime(item.text)) item.beginsSnapshot = true;
}

void EntryReader::stored(int var, int column) {
  m_next[static_cast<size_t>(m_prev)] = static_cast<int16_t>(column);
  m_prev = column;
  if (!m_prefix.empty())
    m_layouts[static_cast<size_t>(column)] =
        Layout{std::string(m_prefix), static_cast<int16_t>(var), m_role, m_heading};
}

void EntryReader::variableInserted(int at) {
  const auto from = static_cast<size_t>(at);
  std::move_backward(m_layouts.begin() + at, m_layouts.end() - 1, m_layouts.end());
  m_layouts[from] = Layout{};
  for (Layout& layout : m_layouts)
    if (layout.named >= at) ++layout.named;
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
  if (layout.heading != m_heading || layout.prefix.empty() || !m_line.starts_with(layout.prefix)) return false;
  item.var = layout.named;
  item.name = m_vars[layout.named].name;
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
  if (!readLine(next) || (next.empty() && !readLine(next)))
    throw ReadError("Input past end of file: " + m_in.path() + " ends after \"" + m_name + "\"");
  m_text = trimBlanks(next);
  if (!m_text.empty()) appendStatementLines();
  return m_text;
}

/// Reads the lines that go on the statement of `item`, whose views into the first line
/// are moved to the reader's own strings before the next line is read.
void EntryReader::takeStatement(ReportItem& item) {
  m_name = item.name;
  item.name = m_name;
  m_prefixKept = m_prefix;
  m_prefix = m_prefixKept;
  m_text = item.text;
  appendStatementLines();
  item.text = m_text;
}

/// A statement's lines end at a blank line, and also where a writer left none out: at a
/// heading, a date line or the line that begins the next entry.
bool EntryReader::endsStatement(std::string_view line, std::string_view trimmed) const {
  if (trimmed.empty() || isHeading(trimmed) || dateLineTime(trimmed)) return true;
  const size_t at = line.find(m_sep);
  return at != std::string_view::npos && trimBlanks(line.substr(0, at)) == m_startvar;
}

void EntryReader::appendStatementLines() {
  std::string_view next;
  while (readLine(next)) {
    const std::string_view trimmed = trimBlanks(next);
    if (endsStatement(next, trimmed)) {  // the line that ends it is read next, as it stands
      m_line = next;
      m_held = true;
      return;
    }
    if (!m_text.empty()) m_text += '\n';
    m_text += trimTrailingBlanks(next);
  }
}

}  // namespace tarvolin::core
