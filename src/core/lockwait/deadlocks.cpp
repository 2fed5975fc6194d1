#include "core/lockwait/deadlocks.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/grid/result_grid.h"
#include "core/read/entry_reader.h"

namespace tarvolin::core {

namespace {

/// The first line of a database header block, which the log holds once per activation.
constexpr std::string_view kDatabaseName = "Database Name";

/// The values of one record, a "Deadlock ID" line to the next or to the entry's end.
struct Record {
  std::unordered_map<std::string, std::string> values;
  int entry = 0;
  int activation = 0;  ///< log headers and database header blocks before it
  [[nodiscard]] const std::string& operator[](const std::string& name) const {
    static const std::string none;
    const auto it = values.find(name);
    return it == values.end() ? none : it->second;
  }
};

std::string qualified(const std::string& schema, const std::string& table) {
  return schema.empty() || table.empty() ? table : schema + "." + table;
}

class Grouper {
 public:
  void take(const Record& r) {
    const std::string& id = r["Deadlock ID"];
    if (id.empty()) {
      noteConnection(r);
      return;
    }
    // IDs start again at 1 when the database is activated again.
    auto [it, added] = m_index.try_emplace(std::to_string(r.activation) + "\n" + id, m_out.size());
    if (added) {
      m_out.emplace_back().id = id;
      m_byNumber.emplace_back();
      m_named.emplace_back();
    }
    Deadlock& d = m_out[it->second];
    if (d.detected.empty()) d.detected = r["Deadlock detection time"];
    const std::string& count = r["Number of applications deadlocked"];
    if (!count.empty()) {
      d.applications = count;
      d.rolledBack = r["Rolled back Appl participant no"];
    }
    const std::string& number = r["Participant no."];
    if (number.empty()) return;
    DeadlockParticipant& p = m_byNumber[it->second][number];
    p.number = number;
    p.applId = r["Appl Id"];
    p.waitsFor = r["Participant no. holding the lock"];
    p.mode = r["Mode application requested on lock"];
    p.table = qualified(r["Schema of lock waited on"], r["Table of lock waited on"]);
    if (p.statement.empty()) p.statement = r["Text"];
    p.entryRow = r.entry;
    if (!p.waitsFor.empty()) m_named[it->second].try_emplace(p.waitsFor, r["Appl Id of connection holding the lock"]);
  }

  std::vector<Deadlock> finish() {
    for (size_t i = 0; i < m_out.size(); ++i) {
      auto& byNumber = m_byNumber[i];
      m_named[i].try_emplace(m_out[i].rolledBack, std::string());
      for (const auto& [number, applId] : m_named[i])
        if (!number.empty() && !byNumber.contains(number)) {
          DeadlockParticipant& p = byNumber[number];
          p.number = number;
          p.applId = applId;
          p.mark = "record missing";
        }
      for (auto& [number, p] : byNumber) {
        if (number == m_out[i].rolledBack && p.mark.empty()) p.mark = "rolled back";
        if (const auto it = m_connections.find(p.applId); it != m_connections.end())
          std::tie(p.applName, p.authId) = it->second;
        m_out[i].participants.push_back(std::move(p));
      }
    }
    return std::move(m_out);
  }

 private:
  /// A connection's header event: the name and authorisation ID of its Appl Id.
  void noteConnection(const Record& r) {
    const std::string& applId = r["Appl Id"];
    const std::string& name = r["Program Name"];
    const std::string& auth = r["Authorization Id"];
    if (!applId.empty() && (!name.empty() || !auth.empty())) m_connections.try_emplace(applId, name, auth);
  }

  /// Participant numbers in numeric order.
  struct ByNumber {
    bool operator()(const std::string& a, const std::string& b) const {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
  };
  std::vector<Deadlock> m_out;
  std::unordered_map<std::string, size_t> m_index;
  std::vector<std::map<std::string, DeadlockParticipant, ByNumber>> m_byNumber;
  std::vector<std::map<std::string, std::string>> m_named;  // numbers named as holders, with their Appl Id
  std::unordered_map<std::string, std::pair<std::string, std::string>> m_connections;  // Appl Id: name, auth ID
};

}  // namespace

std::vector<Deadlock> readDeadlocks(const std::string& path) {
  VariableTable none;
  EntryReader in(path, none);
  Grouper groups;
  Record record;
  bool heading = false;
  bool inLog = false;  // the section being read is of the event log kind
  std::string first;   // the file's first heading
  int entry = 0;
  while (in.nextLine()) {
    const ReportItem item = in.cut();
    if (item.kind == ReportItem::Kind::Heading) {
      if (first.empty()) first = item.text;
      inLog = item.text == kEventLog;
      heading = heading || inLog;
      if (inLog) {  // another log formatted into the same file: its deadlock IDs start again
        groups.take(record);
        record.values.clear();
        ++record.activation;
      }
    }
    if (item.kind != ReportItem::Kind::Value || !inLog) continue;
    if (item.name == kDatabaseName) {  // a later database header block: the database was activated again
      groups.take(record);
      record.values.clear();
      ++record.activation;
      continue;
    }
    if (item.beginsEntry || item.name == "Deadlock ID") {
      groups.take(record);
      record.values.clear();
      if (item.beginsEntry) ++entry;
    }
    record.entry = entry;
    record.values.try_emplace(std::string(item.name), item.text);
  }
  if (!heading)
    throw WrongReportKind(first.empty() ? std::string("the report is not an event monitor log (it has no heading)")
                                        : "the report is not an event monitor log (its heading is \"" + first + "\")");
  groups.take(record);
  return groups.finish();
}

const std::vector<std::string>& deadlockHeads() {
  // The victim's mark first, where the eye starts.
  static const std::vector<std::string> heads = {
      "Mark",        "Deadlock ID",    "Detection time",   "Applications",     "Rolled back",
      "Participant", "Application ID", "Application name", "Authorization ID", "Waits for",
      "Lock mode",   "Table",          "Statement"};
  return heads;
}

void writeDeadlockGrid(const std::vector<Deadlock>& deadlocks, GridStore& out) {
  size_t rows = 0;
  for (const Deadlock& d : deadlocks) rows += d.participants.size();
  startResultGrid(out, deadlockHeads(), static_cast<int>(rows));
  std::vector<std::string> texts;
  int row = 1;
  for (const Deadlock& d : deadlocks)
    for (const DeadlockParticipant& p : d.participants) {
      texts = {p.mark,     d.id,     d.detected, d.applications, d.rolledBack, p.number,   p.applId,
               p.applName, p.authId, p.waitsFor, p.mode,         p.table,      p.statement};
      setResultRow(out, row++, texts, p.entryRow);
    }
  fitResultColumns(out);
}

}  // namespace tarvolin::core
