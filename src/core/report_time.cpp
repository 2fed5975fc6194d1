#include "core/report_time.h"

#include <exception>
#include <string_view>

#include "core/entry_reader.h"

namespace tarvolin::core {

std::string reportTimestamp(const std::string& path) {
  constexpr std::string_view kName = "Snapshot timestamp";
  try {
    VariableTable vars;
    EntryReader in(path, vars);
    in.splitSnapshots();
    int headings = 0;
    int entries = 0;
    while (in.nextLine()) {
      const ReportItem item = in.cut();
      if (item.kind == ReportItem::Kind::Heading && ++headings > 1) break;
      if (item.kind == ReportItem::Kind::Value && item.beginsEntry && ++entries > 1) break;
      if ((item.kind == ReportItem::Kind::Preamble || item.kind == ReportItem::Kind::Value) && item.name == kName)
        return std::string(item.text);
    }
  } catch (const std::exception&) {
    // Unreadable: the caller shows another time.
  }
  return {};
}

}  // namespace tarvolin::core
