#pragma once

#include <string>
#include <string_view>

namespace tarvolin::core {

/// The shape of an SQL statement, the same for every run of it that differs only in its
/// literals: string literals ('O''Brien'), hex and graphic literals (X'1F', G'..', N'..'),
/// and numbers that are not part of a name (T00012 stays), a sign included where it is
/// one (= -5), each become "?". The shape does not depend on how the statement was typed:
/// unquoted names and keywords are written in capitals (a host variable, :hv, as written),
/// and the spacing is the shape's own: one blank between words, values and operators (A = ?,
/// A <> ?), none inside a qualified name (S.T), after "(" or before ")", "," and ";", one
/// after ","; a "(" stands apart after a keyword (IN (, VALUES (, FROM () and close after
/// any other name (COUNT(*)) but the table of an INSERT (INTO T (A, B)). Quoted names ("Col 1") and comments are kept
/// as they are (a comment's blanks run together). A list of values only after IN is one shape whatever its length, IN
/// (?+); so are the rows of values only after VALUES, one row or many: VALUES (?+) (the columns are those of the
/// INSERT's list or its table). An unclosed literal runs to the end. Cost: linear.
[[nodiscard]] std::string statementShape(std::string_view sql);

}  // namespace tarvolin::core
