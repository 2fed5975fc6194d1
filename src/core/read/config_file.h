#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/read/variable_table.h"

namespace tarvolin::core {

/// Field slots of the configuration line splitter: flds[1..10] and their count.
struct SplitFields {
  std::array<std::string, 11> flds;  ///< slot 0 unused
  int16_t nflds = 0;
};

/// Splits `line` at every occurrence of `sep` into fields.flds[1..] and fields.nflds.
/// Text after the last separator is not a field. Returns false, with nflds = 10 and
/// the first ten fields stored, when the line holds more than ten fields.
bool splitConfigLine(std::string_view line, std::string_view sep, SplitFields& fields);

/// Name of a kind's configuration file: the kind without its blanks, plus ".cfg". A "/",
/// "\\" or control character of the kind becomes "_", so that the name stays a file of
/// the folder it is looked for in, whatever a report's heading holds.
[[nodiscard]] std::string configFileName(std::string_view kind);

/// Loads vars from the configuration file of `kind` in `folder` (see configFileName),
/// replacing what the table held. A missing or unreadable file leaves the table empty;
/// a line of more than ten fields ends the reading there; reading stops when 501 records
/// are in use. Never throws on bad input and never creates a file. Fields missing from
/// a short line are read as empty.
void readConfiguration(VariableTable& vars, const std::string& folder, std::string_view kind);

/// Writes records 0..lastIndex to the configuration file of `kind` in `folder`, as
/// "F;cfg2;cfg3;cfg4;;name;" CR LF per record. Returns nothing on success, or the text
/// for the user: "Unable to write to config file " + file name + CR LF + the system's
/// reason. The records go to a new file in the same folder that then takes the old
/// one's place (a link's target, when the file is a link), so a failure (or a crash)
/// leaves the old file as it was; a file the user may not write is refused as before,
/// and so is any file of a folder the user may not write to.
[[nodiscard]] std::optional<std::string> writecfg(const VariableTable& vars, const std::string& folder,
                                                  std::string_view kind);

}  // namespace tarvolin::core
