#pragma once

#include <optional>

#include "app/export_options.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"
#include "core/read/shared_state.h"

namespace tarvolin::app {

/// The derived columns of the shipped file and of the current folder's. Nothing, with every
/// error on standard error, when a file is missing or has a bad line.
[[nodiscard]] std::optional<core::DerivedDefinitions> readDerivedDefinitions(const char* argv0);

/// The definitions a mode needs: with options.derived those of readDerivedDefinitions
/// (nothing after an error); without it whatever can be read, errors unsaid: their names
/// tell the columns a kind's configuration keeps for derived columns, left out then.
[[nodiscard]] std::optional<core::DerivedDefinitions> derivedDefinitionsFor(const ExportOptions& options,
                                                                            const char* argv0);

/// Says on standard error which derived columns were left out for a variable of their name.
void tellClashes(const std::vector<std::string>& clashes);

/// --statements: one row per statement shape of a Dynamic SQL report. Exit status.
int exportStatements(const ExportOptions& options, const char* argv0);

}  // namespace tarvolin::app
