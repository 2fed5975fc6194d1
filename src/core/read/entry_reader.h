#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/read/kinds_index.h"
#include "core/read/line_source.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// The variable whose value is a snapshot's own time.
inline constexpr std::string_view kSnapshotTimeName = "Snapshot timestamp";

/// A kind of report the loader knows by its heading.
struct ReportKind {
  std::string_view heading;
  std::string_view startvar;   ///< name that begins an entry
  std::string_view startvar2;  ///< second name that begins one, or empty
  /// Name that begins an entry in which startvar2 follows (the lock block DB2 prints
  /// since version 8 opens with "Lock Name" before "Lock Object Name"), or empty.
  std::string_view leadvar;
  char sep;  ///< separator between name and value
  /// DB2 prints the heading again before each entry of one snapshot (see KindsIndex).
  bool perEntry = false;
};

/// The kind whose heading equals `heading` exactly, or nullptr.
[[nodiscard]] const ReportKind* findKind(std::string_view heading);

/// What one line of a report holds.
struct ReportItem {
  enum class Kind {
    None,      ///< nothing to keep (blank, before the heading, no separator)
    Heading,   ///< a heading, which begins a section: `text` is the line, trimmed (see opensSection)
    Value,     ///< a variable's value: `name` and `text`, both trimmed (a statement's lines joined by LF)
    Preamble,  ///< a value before a section's first entry: `name` and `text`
  };
  Kind kind = Kind::None;
  std::string_view name;
  std::string_view text;
  int var = -1;              ///< Value: the name's index in the table, or -1 when it isn't there
  bool beginsEntry = false;  ///< Value: the name is a start name of the kind
  /// Value or Preamble: the section's first variable line. Its heading names a kind from
  /// here (EntryReader::sectionKind); a heading without one is no kind.
  bool opensSection = false;
  /// The line that opens a section, or the "Snapshot timestamp" that settles a pending
  /// one: a new snapshot of the section's kind begins here (see KindsIndex).
  bool beginsSnapshot = false;
  /// Value: the entry begun is listed under the one begun by beginsOwner before it (a
  /// lock under its application): it began at the second start name or the lead name.
  bool beginsMember = false;
  /// Value: the entry begun at the start name of a kind whose entries have members.
  bool beginsOwner = false;
};

/// Cuts a report into sections (a heading and what follows it, one kind each) and the
/// names and values of their entries, line by line. The first heading follows the
/// preamble rule; after it, a line without the section's separator whose trimmed text is
/// the heading of a known kind, or a heading already met in the file, begins a section
/// (before any other rule: a heading is never a value). Each section is cut by its own
/// kind's start names and separator; a kind not in the table takes its start name once,
/// from the first name read in its first section. The reader builds the file's
/// KindsIndex as it goes. A `date` line (see dateLineTime), anywhere, is no heading
/// and no value: it gives its time to the index.
///
/// Entries begin at the kind's start names (for a kind it doesn't know, at the
/// first name read); its lead name begins one as well, and then the second start name
/// that follows it stays in that entry, so a lock block makes one entry whichever of
/// the two names comes first. Values before a section's first entry are Preamble items,
/// except those of "Dynamic SQL" names, whose value is the next line (after one empty line, the one
/// after that). Names are separated from values by '=' (':' for event logs, where a
/// line without one but with "Event" is the value of "Event").
///
/// A statement keeps the line breaks its application wrote: the value of "Statement text"
/// and of a "Dynamic SQL" name goes on over the lines that follow, up to the next blank
/// line or heading (which is then the next line read) or the end of the file, joined
/// by LF, whatever they hold. Those lines keep their leading blanks and lose trailing ones.
///
/// Names are looked up in the table. Entries repeat their lines: when a line begins
/// with the same bytes, up to and including the separator, as the line of the column
/// that came next last time, it names that column's variable, and neither the separator
/// nor the name is searched for again.
class EntryReader {
 public:
  /// Opens `path` as LineSource does, with its `read`; throws its ReadError. The table,
  /// which must outlive the reader, may only grow while the reader is used.
  /// With `parts` (records of a KindsIndex of the same file, unchanged, with their
  /// places) only their bytes are read, one after the other, under the same rules: each
  /// part's heading begins a section and a new snapshot, which takes the part's time
  /// unless it has its own. Throws ReadError when the file's bytes are not its lines.
  EntryReader(const std::string& path, const VariableTable& vars, ReadFunction read = {},
              const std::vector<KindSection>& parts = {});

  /// Reads the next line; false at the end of the file. Throws ReadError on a failing read.
  bool nextLine();

  /// What the line read last holds; its views stay valid until the next nextLine(). Reads
  /// the value of a "Dynamic SQL" name, throwing ReadError on a failing read or when the
  /// file ends before it.
  ReportItem cut();

  /// The sections and kinds read so far; complete once nextLine() returned false.
  [[nodiscard]] const KindsIndex& index() const { return m_index; }
  /// See KindsIndex::keepRecentOnly.
  void keepRecentSnapshots() { m_index.keepRecentOnly(); }
  /// The kind of the section being read, an index into index().kinds(); -1 before its first
  /// variable line (and before the first heading).
  [[nodiscard]] int sectionKind() const { return m_index.openKind(); }
  /// The heading of the section being read; empty before the first.
  [[nodiscard]] const std::string& sectionHeading() const;
  /// Whether names are looked up in the table (on by default). A reader of one kind turns
  /// it off for the other kinds' sections, whose values it drops: their `var` is then -1.
  /// Names are looked up in a section that names no kind yet whatever this says.
  void setLookups(bool on) { m_lookups = on; }
  /// Lines read so far.
  [[nodiscard]] int64_t lineNumber() const { return m_lineNo; }
  /// Where the line after the last one read begins in the file, or -1 (ReportReader::nextLineOffset).
  [[nodiscard]] int64_t nextOffset() const { return m_nextOffset; }
  /// The file's size and change stamp when it was opened (ReportReader::changeStamp).
  [[nodiscard]] uint64_t fileSize() const { return m_in.fileSize(); }
  [[nodiscard]] int64_t changeStamp() const { return m_in.changeStamp(); }

  /// Tells where the value of the last cut() went: `var` is the variable its line names
  /// (its index once appended), `column` the one that holds the value, which differs
  /// when the name came before in the entry ("NAME #2").
  void stored(int var, int column);
  /// A variable was inserted into the table at `at` (VariableTable::insertName): what the
  /// reader keeps by variable follows the ones that moved.
  void variableInserted(int at);

  /// The name that begins an entry: the kind's, or for a kind the reader doesn't know the
  /// first name read; empty until then.
  [[nodiscard]] const std::string& startName() const { return m_startvar; }

  [[nodiscard]] std::chrono::system_clock::time_point modified() const { return m_in.modified(); }

 private:
  /// What a name does to the entry being read.
  enum class Role : uint8_t { None, Start, Second, Lead };
  [[nodiscard]] Role roleOf(std::string_view name) const;
  /// Whether a name of that role begins an entry now; notes what the entry has seen.
  bool begins(Role role);
  /// Sets beginsEntry and the level of the entry begun from the name's role.
  void setBegins(ReportItem& item, Role role);

  void takeHeading(ReportItem& item);
  /// Whether the line, trimmed, is a `date` line; its time then goes to the index.
  bool takeDate(std::string_view trimmed);
  [[nodiscard]] bool lookups() const { return m_lookups || m_index.openKind() < 0; }
  void beginSection(std::string_view heading, ReportItem& item);
  [[nodiscard]] bool isHeading(std::string_view trimmed) const;
  void noteValue(ReportItem& item);
  void takeValue(ReportItem& item);
  std::string_view continuation();
  void takeStatement(ReportItem& item);
  void appendStatementLines();
  [[nodiscard]] bool endsStatement(std::string_view line, std::string_view trimmed) const;
  bool readLine(std::string_view& line);

  LineSource m_in;
  std::string_view m_line;
  bool m_headingRead = false;
  bool m_inEntry = false;
  char m_sep = '=';
  std::string m_startvar;
  std::string m_startvar2;
  std::string m_leadvar;
  bool m_entryAtLead = false;  // the entry being read began at the lead name
  bool m_secondSeen = false;   // and has had its second start name since
  std::string m_name;          // a "Dynamic SQL" or statement name, kept while its value is read
  std::string m_text;          // a statement's lines, joined
  std::string m_prefixKept;    // the layout of a statement's first line, kept while its lines are read
  bool m_held = false;         // m_line, read by a statement, is the next line to give
  bool m_ended = false;        // the file has ended
  KindsIndex m_index;
  struct Heading {
    std::string text;
    std::string start;  // its start name once known
  };
  std::vector<Heading> m_headings;  // met in the file, in order, kinds or not
  int m_heading = -1;               // of the section being read, an index into m_headings
  int64_t m_lineNo = 0;
  int64_t m_lineOffset = -1;  // of the line read last
  int64_t m_nextOffset = -1;  // past its line end
  std::vector<std::string> m_partTimes;
  bool m_lookups = true;

  bool matchLayout(ReportItem& item);
  const VariableTable& m_vars;
  struct Layout {
    std::string prefix;  // the column's last line up to and including the separator; empty: none
    int16_t named = -1;  // the variable that line names
    Role role = Role::None;
    int heading = -1;  // of the section it was read in
  };
  std::array<Layout, kMaxVars> m_layouts;
  std::array<int16_t, kMaxVars + 1> m_next;  // by column (kMaxVars: none yet): the one stored after it, or -1
  int m_prev = kMaxVars;                     // the column stored last
  std::string_view m_prefix;                 // of the line cut last, when its layout is to be kept
  Role m_role = Role::None;                  // and its name's role
};

}  // namespace tarvolin::core
