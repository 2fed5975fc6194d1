#pragma once

#include <memory>
#include <string>

#include "core/read/kinds_index.h"

namespace tarvolin::core {

/// The indexes of files read whole, kept for the program's later reads of one kind of
/// them (the viewer's tab switches, chart, comparison, lock waits, statements), which
/// then read that kind's records alone (ReportLoader::setKnownIndex). Off until turned on:
/// a program that reads each file once keeps none. At most kKeptIndexes files are kept,
/// the one remembered last replacing the oldest. Safe to use from any thread.
inline constexpr size_t kKeptIndexes = 8;

/// Whether rememberIndex keeps anything, and indexes read by listSnapshots are kept.
void setRememberIndexes(bool on);
/// Keeps `index`, built by a whole read of `path`, while the file stays as it was read.
void rememberIndex(const std::string& path, std::shared_ptr<const KindsIndex> index);
/// The index kept for `path` when the file has not changed since (size and change stamp), else null.
[[nodiscard]] std::shared_ptr<const KindsIndex> rememberedIndex(const std::string& path);

}  // namespace tarvolin::core
