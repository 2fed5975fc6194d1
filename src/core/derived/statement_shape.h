#pragma once

#include <string>
#include <string_view>

namespace tarvolin::core {

/// The shape of an SQL statement, the same for every run of it that differs only in its
/// literals: string literals ('O''Brien'), hex and graphic literals (X'1F', G'..', N'..'),
/// and numbers that are not part of a name (T00012 stays), a sign included where it is
/// one (= -5), each become "?"; runs of blanks, tabs and line ends become one blank, and the
/// text is trimmed. Quoted names ("Col 1") are kept as they are. An IN list keeps its length:
/// IN (1, 2, 3) becomes IN (?, ?, ?). An unclosed literal runs to the end. Cost: linear.
[[nodiscard]] std::string statementShape(std::string_view sql);

}  // namespace tarvolin::core
