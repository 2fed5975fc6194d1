#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::core {

/// One section of a report file: a heading and the lines up to the next heading.
struct KindSection {
  int kind = 0;           ///< index into KindsIndex::kinds()
  int64_t firstLine = 0;  ///< the heading's line, from 1
  int64_t lastLine = 0;   ///< the section's last line
  int snapshot = 0;       ///< the snapshot of its kind it belongs to, from 0
  std::string time;       ///< its first "Snapshot timestamp" (preamble or first entry), or empty
  int64_t entries = 0;    ///< entries begun in it
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

/// The sections, snapshots and kinds of a file, built while the file is read once (by
/// EntryReader). A heading begins a section and, as a rule, a new snapshot of its kind. A
/// heading DB2 prints once per entry (Application Snapshot, Bufferpool Snapshot) that comes
/// right after a section of its own kind continues that snapshot when its timestamp is the
/// same or it has none; as that timestamp comes inside the section, the section stays
/// pending until it is seen or the section ends.
class KindsIndex {
 public:
  /// A heading at `line`. Returns whether it begins a new snapshot for certain (false also
  /// while pending).
  bool beginSection(std::string_view heading, bool perEntry, int64_t line);
  /// A "Snapshot timestamp" value in the current section. Returns whether it settles the
  /// pending section as a new snapshot.
  bool noteTime(std::string_view time);
  /// An entry begins in the current section.
  void noteEntry() { ++m_entries; }
  /// The file ends (or its reading stops) at `line`.
  void finish(int64_t line);

  [[nodiscard]] const std::vector<KindSection>& sections() const { return m_sections; }
  [[nodiscard]] const std::vector<KindSummary>& kinds() const { return m_kinds; }
  /// The kind chosen, an index into kinds(); -1 when the file has none such.
  [[nodiscard]] int find(const KindChoice& choice) const;
  /// The section being read, or nullptr before the first heading.
  [[nodiscard]] const KindSection* current() const { return m_sections.empty() ? nullptr : &m_sections.back(); }

 private:
  void closeSection(int64_t lastLine);
  void settle(bool newSnapshot);

  std::vector<KindSection> m_sections;
  std::vector<KindSummary> m_kinds;
  std::vector<std::string> m_snapshotTimes;  // by kind: its current snapshot's time
  int64_t m_entries = 0;                     // of the current section
  bool m_pending = false;                    // the current section may continue its kind's snapshot
  bool m_open = false;                       // a section is being read
};

/// Whether two headings name one kind: equal but for the case of their letters.
[[nodiscard]] bool sameHeading(std::string_view a, std::string_view b);

/// A kind named on a command line: a number from 1 (digits only) or else a heading.
[[nodiscard]] KindChoice parseKindChoice(std::string_view text);

/// The kinds in a line each, "N. heading", for messages that list them.
[[nodiscard]] std::string listKinds(const std::vector<KindSummary>& kinds);

}  // namespace tarvolin::core
