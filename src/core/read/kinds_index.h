#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::core {

/// One snapshot of a report file: the run of consecutive sections (a heading and the lines
/// up to the next heading) that make it, most often one.
struct KindSection {
  int kind = 0;           ///< index into KindsIndex::kinds()
  int64_t firstLine = 0;  ///< its first heading's line, from 1
  int64_t lastLine = 0;   ///< its last section's last line
  int snapshot = 0;       ///< the snapshot of its kind it is, from 0
  /// Its first "Snapshot timestamp" (preamble or first entry); without one, the latest time
  /// read before it in the file (a "Snapshot timestamp" of any kind or a `date` line), else
  /// the first `date` line inside it; or empty.
  std::string time;
  int64_t entries = 0;  ///< entries begun in it
  /// Where its first heading's line begins in the file, and its bytes up to its last
  /// line's end; -1 (and 0) where the bytes of the file are not its lines (gzip, UTF-16,
  /// standard input) or it was read in parts.
  int64_t offset = -1;
  int64_t length = 0;
};

/// One kind of report met in a file, in order of first appearance.
struct KindSummary {
  std::string heading;  ///< as printed, trimmed
  int snapshots = 0;
  int64_t rows = 0;  ///< entries over the whole file: the rows of its grid
};

/// Which kind of a file to read.
struct KindChoice {
  int number = 0;       ///< from 1, in order of first appearance; 0: by `heading`
  std::string heading;  ///< compared without regard to case; empty (with number 0): the first kind
  bool locks = false;   ///< with number 0 and no heading: the first lock kind of the file

  [[nodiscard]] bool isDefault() const { return number == 0 && heading.empty() && !locks; }
  /// Whether the kind `heading`, numbered `number` from 1, is the one chosen.
  [[nodiscard]] bool accepts(std::string_view heading, int number) const;
};

/// The snapshots and kinds of a file, built while the file is read once (by EntryReader).
/// A heading begins a section; the section names a kind at its first variable line (a
/// heading with none before the next heading, such as an echoed command or a message, is
/// no kind) and, as a rule, a new snapshot of it. A heading DB2 prints once per entry
/// (Application Snapshot, Bufferpool Snapshot, Database Snapshot for all databases) that
/// comes right after a section of its own kind, with no `date` line between, continues that
/// snapshot when its timestamp is the same or it has none; as that timestamp comes inside
/// the section, the section stays pending until it is seen or the section ends. One record
/// is kept per snapshot, however many sections make it.
class KindsIndex {
 public:
  /// A heading at `line`, which begins at byte `offset` of the file (-1: unknown);
  /// `perEntry` as above.
  void beginSection(std::string_view heading, bool perEntry, int64_t line, int64_t offset = -1);
  /// The first variable line of the section being read, if it has had none: its heading
  /// names a kind from here. Returns whether a new snapshot begins for certain (false also
  /// while pending).
  bool openSection();
  /// A "Snapshot timestamp" value in the open section. Returns whether it settles the
  /// pending section as a new snapshot.
  bool noteTime(std::string_view time);
  /// A `date` line's time ("YYYY-MM-DD HH:MM:SS"), anywhere in the file.
  void noteDate(std::string_view time);
  /// An entry begins in the open section.
  void noteEntry();
  /// The file ends (or its reading stops) at `line`, whose line end ends at byte `end`.
  void finish(int64_t line, int64_t end = -1);
  /// A reader of a file in parts (one snapshot each) begins the next part, which took
  /// `time` from before it in the file: the next section begins a new snapshot.
  void noteBreak(std::string_view time);
  /// The file read: its size and change stamp (ReportReader::changeStamp).
  void setFile(uint64_t size, int64_t stamp) {
    m_fileSize = size;
    m_fileStamp = stamp;
  }
  [[nodiscard]] uint64_t fileSize() const { return m_fileSize; }
  [[nodiscard]] int64_t fileStamp() const { return m_fileStamp; }
  /// Whether a file of that size and change stamp is the one read: unchanged since.
  [[nodiscard]] bool sameFile(uint64_t size, int64_t stamp) const { return size == m_fileSize && stamp == m_fileStamp; }
  /// A copy with the kinds alone and no records: what a reader of one kind's records tells of the file.
  [[nodiscard]] KindsIndex kindsOnly() const {
    KindsIndex k;
    k.m_kinds = m_kinds;
    return k;
  }
  /// Whether each record of kind `kind` has its place in the file (see KindSection::offset).
  [[nodiscard]] bool placed(int kind) const;
  /// From now on keeps the records of the last two snapshots of each kind only (the one
  /// being read and the one before it), for a reader that hands snapshots on one at a
  /// time: its memory then stays the same however many snapshots the file holds.
  void keepRecentOnly() { m_recentOnly = true; }

  /// One record per snapshot, in file order.
  [[nodiscard]] const std::vector<KindSection>& sections() const { return m_sections; }
  /// The kinds with at least one variable line, in order of first appearance.
  [[nodiscard]] const std::vector<KindSummary>& kinds() const { return m_kinds; }
  /// The kind chosen, an index into kinds(); -1 when the file has none such.
  [[nodiscard]] int find(const KindChoice& choice) const;
  /// The kind of the section being read, an index into kinds(); -1 before its first
  /// variable line (and before the first heading).
  [[nodiscard]] int openKind() const { return m_kind; }
  /// The record of the snapshot being read, or nullptr when the section being read names no kind yet.
  [[nodiscard]] const KindSection* current() const { return m_kind < 0 ? nullptr : &m_sections.back(); }
  /// The time of snapshot `snapshot` (from 0) of kind `kind`, or empty when there is none such.
  [[nodiscard]] const std::string& timeOf(int kind, int snapshot) const;
  /// The times of snapshots 0 to `snapshots` - 1 of kind `kind` (empty where there is no
  /// record), in one pass over the records.
  [[nodiscard]] std::vector<std::string> timesOf(int kind, int snapshots) const;

 private:
  void closeSection(int64_t lastLine, int64_t end);
  void split(std::string_view time);
  void push(KindSection s);

  std::vector<KindSection> m_sections;
  std::vector<KindSummary> m_kinds;
  std::string m_heading;         // of the section being read
  int64_t m_headingLine = 0;     // its line
  int64_t m_headingOffset = -1;  // and where it begins in the file
  uint64_t m_fileSize = 0;
  int64_t m_fileStamp = 0;
  bool m_perEntry = false;      // its kind prints a heading per entry
  int m_kind = -1;              // of the section being read once open, else -1
  int m_before = -1;            // of the section before it; -1: none, no kind, or a `date` line came since
  bool m_dated = false;         // a `date` line came since the heading
  bool m_pending = false;       // the open section may continue the last record
  int64_t m_splitEntries = 0;   // with m_pending: the record's entries before the section
  bool m_sectionTimed = false;  // the open section has had its "Snapshot timestamp"
  bool m_ownTime = false;       // the last record's time is a "Snapshot timestamp" of its own
  std::string m_latest;         // the latest time read
  bool m_recentOnly = false;
};

/// Whether two headings name one kind: equal but for the case of their letters.
[[nodiscard]] bool sameHeading(std::string_view a, std::string_view b);

/// A kind named on a command line: a number from 1 (digits only) or else a heading.
[[nodiscard]] KindChoice parseKindChoice(std::string_view text);

/// The kinds in a line each, "N. heading", for messages that list them.
[[nodiscard]] std::string listKinds(const std::vector<KindSummary>& kinds);

}  // namespace tarvolin::core
