#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/line_source.h"
#include "core/variable_table.h"

namespace tarvolin::core {

/// A kind of report the loader knows by its heading.
struct ReportKind {
  std::string_view heading;
  std::string_view startvar;   ///< name that begins an entry
  std::string_view startvar2;  ///< second name that begins one, or empty
  /// Name that begins an entry in which startvar2 follows (the lock block DB2 prints
  /// since version 8 opens with "Lock Name" before "Lock Object Name"), or empty.
  std::string_view leadvar;
  char sep;  ///< separator between name and value
};

/// The kind whose heading equals `heading` exactly, or nullptr.
[[nodiscard]] const ReportKind* findKind(std::string_view heading);

/// What one line of a report holds.
struct ReportItem {
  enum class Kind {
    None,      ///< nothing to keep (blank, before the heading or the first entry, no separator)
    Heading,   ///< the report's heading: `text` is the line, trimmed
    Value,     ///< a variable's value: `name` and `text`, both trimmed
    Preamble,  ///< with splitSnapshots() only: a value before a snapshot's first entry
  };
  Kind kind = Kind::None;
  std::string_view name;
  std::string_view text;
  int var = -1;              ///< Value: the name's index in the table, or -1 when it isn't there
  bool beginsEntry = false;  ///< Value: the name is a start name of the kind
  /// Value: the entry begun is listed under the one begun by beginsOwner before it (a
  /// lock under its application): it began at the second start name or the lead name.
  bool beginsMember = false;
  /// Value: the entry begun at the start name of a kind whose entries have members.
  bool beginsOwner = false;
};

/// Cuts a report into its heading and the names and values of its entries, line by
/// line. Entries begin at the kind's start names (for a kind it doesn't know, at the
/// first name read); its lead name begins one as well, and then the second start name
/// that follows it stays in that entry, so a lock block makes one entry whichever of
/// the two names comes first. Values before the first entry are dropped, except those of
/// "Dynamic SQL" names, whose value is the next line (after one empty line, the one
/// after that). Names are separated from values by '=' (':' for event logs, where a
/// line without one but with "Event" is the value of "Event").
///
/// Names are looked up in the table. Entries repeat their lines: when a line begins
/// with the same bytes, up to and including the separator, as the line of the variable
/// that came next last time, it names that variable, and neither the separator nor the
/// name is searched for again.
class EntryReader {
 public:
  /// Opens `path` as LineSource does; throws its ReadError. The table, which must
  /// outlive the reader, may only grow while the reader is used.
  EntryReader(const std::string& path, const VariableTable& vars);

  /// Reads the next line; false at the end of the file. Throws ReadError on a failing read.
  bool nextLine();

  /// What the line read last holds; its views stay valid until the next nextLine(). Reads
  /// the value of a "Dynamic SQL" name, throwing ReadError on a failing read or when the
  /// file ends before it.
  ReportItem cut();

  /// Reads a file that holds several snapshots (a report appended to the file again and
  /// again): a line equal to the heading read first is cut as a Heading again and ends the
  /// entry being read, and the values before each snapshot's first entry are cut as
  /// Preamble items. Without this call the reader cuts a file as one report.
  void splitSnapshots() { m_split = true; }

  /// Tells which variable the value of the last cut() went to (its index once appended).
  void stored(int var);

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
  void takeValue(ReportItem& item);
  std::string_view continuation();

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
  std::string m_name;          // a "Dynamic SQL" name, kept while its value is read
  bool m_split = false;        // see splitSnapshots()
  std::string m_heading;       // the heading read first, when splitting

  bool matchLayout(ReportItem& item);
  const VariableTable& m_vars;
  struct Layout {
    std::string prefix;  // the variable's last line up to and including the separator; empty: none
    Role role = Role::None;
  };
  std::array<Layout, kMaxVars> m_layouts;
  std::array<int16_t, kMaxVars + 1> m_next;  // by variable (kMaxVars: none yet): the one stored after it, or -1
  int m_prev = kMaxVars;                     // the variable stored last
  std::string_view m_prefix;                 // of the line cut last, when its layout is to be kept
  Role m_role = Role::None;                  // and its name's role
};

}  // namespace tarvolin::core
