#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid/grid_store.h"

namespace tarvolin::core {

/// One application caught in a deadlock.
struct DeadlockParticipant {
  std::string number;     ///< "Participant no."
  std::string applId;     ///< "Appl Id"
  std::string applName;   ///< "Program Name" of its connection's header event, where the log has one
  std::string authId;     ///< "Authorization Id" of that event
  std::string waitsFor;   ///< "Participant no. holding the lock"
  std::string mode;       ///< the lock mode it requested
  std::string table;      ///< "SCHEMA.TABLE" of the lock waited on
  std::string statement;  ///< the text of its statement, where the log has one
  std::string mark;       ///< "rolled back", "record missing" (named by another record only) or ""
  int entryRow = 0;       ///< the report row (entry) its record is in, 0 for none
};

/// One "Deadlock ID" of an event monitor log.
struct Deadlock {
  std::string id;
  std::string detected;      ///< "Deadlock detection time"
  std::string applications;  ///< "Number of applications deadlocked", empty when its record is missing
  std::string rolledBack;    ///< the rolled-back participant's number
  std::vector<DeadlockParticipant> participants;  ///< by participant number
};

/// The heading of a formatted event monitor log, where deadlocks are recorded.
inline constexpr std::string_view kEventLog = "EVENT LOG HEADER";

/// The report is not of the kind a view needs; what() is the text for the user.
class WrongReportKind : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads the deadlock records of the event monitor log at `path` (through EntryReader: the
/// "Deadlock Event" record and the "Deadlocked Connection" records that follow it in the
/// same entry), grouped by "Deadlock ID" in the order first met. The IDs start again
/// with each activation of the database and with each log of a file of several. A participant another
/// record names but whose record is missing gets a row marked "record missing". Throws
/// ReadError when the file can't be read and WrongReportKind when it is no event log.
/// Cost: one pass over the file.
[[nodiscard]] std::vector<Deadlock> readDeadlocks(const std::string& path);

/// Column heads of writeDeadlockGrid, without its last (hidden) column.
[[nodiscard]] const std::vector<std::string>& deadlockHeads();

/// Writes the header row and one row per participant (the deadlock's columns repeated on
/// each) into `out`, cleared first; the hidden last column holds the participant's entry.
void writeDeadlockGrid(const std::vector<Deadlock>& deadlocks, GridStore& out);

}  // namespace tarvolin::core
