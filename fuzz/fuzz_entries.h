#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvolin::fuzz {

/// The three entry points shared by the libFuzzer targets and by the regression replay.
/// Each one takes arbitrary bytes, runs core code on them and returns 0. A broken
/// invariant (not a plain error of the input) calls std::abort so that the fuzzer and
/// the replay both report it.
///
/// The first call makes an empty temporary folder of its own (removed at exit), where
/// these functions write their files, so that only the configuration files they write
/// themselves are found. Not thread-safe.

/// Writes the bytes to a report file and loads it with ReportLoader::load into a
/// GridStore, then checks the grid against the load's counters.
int loadReport(const uint8_t* data, size_t size);

/// Reads the bytes as a configuration file with readConfiguration, and splits them with
/// splitConfigLine (the first byte chooses the separator), checking fields and table.
int readConfig(const uint8_t* data, size_t size);

/// Reads the bytes as a configuration file, writes the table back with writecfg and
/// reads it again: the table must come back the same, and a second write must give the
/// same bytes as the first.
int configRoundTrip(const uint8_t* data, size_t size);

/// Reads the bytes as a derived columns file: every bad line is named by its line, and
/// every column parsed evaluates (on values derived from the input) to empty or to a plain
/// number of at most 6 decimals.
int derivedColumns(const uint8_t* data, size_t size);

/// The shape of the bytes as a statement: shaping it again changes nothing, and it is never
/// longer than the statement.
int statementShapes(const uint8_t* data, size_t size);

/// Entry point by target name ("load_report", "read_config", "config_round_trip",
/// "derived_columns", "statement_shape"),
/// or nullptr for an unknown name.
using Entry = int (*)(const uint8_t*, size_t);
[[nodiscard]] Entry entryByName(std::string_view target);

}  // namespace tarvolin::fuzz
