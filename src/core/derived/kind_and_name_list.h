#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/derived/expression.h"
#include "core/read/kinds_index.h"
#include "core/read/shipped_files.h"

namespace tarvolin::core {

/// Reads a list file whose lines each define something of a report kind and a name (an Item
/// with `kind` and `name`), as `parse` makes it of a line; blank lines and lines starting with
/// `#` are skipped. A line `parse` refuses (ExpressionError) is skipped and adds
/// "FILE:LINE: reason" to `errors`, with `file` as given. A line of a kind (matched in any
/// case) and name defined before replaces that one in place; any other is added at the end.
template <class Item, class Parse>
void readByKindAndName(std::string_view text, const std::string& file, Parse parse, std::vector<Item>& items,
                       std::vector<std::string>& errors) {
  forEachListLine(text, [&](std::string_view line, int number) {
    try {
      Item item = parse(line);
      auto same = [&item](const Item& other) { return sameHeading(other.kind, item.kind) && other.name == item.name; };
      auto it = std::find_if(items.begin(), items.end(), same);
      if (it != items.end())
        *it = std::move(item);
      else
        items.push_back(std::move(item));
    } catch (const ExpressionError& e) {
      errors.push_back(file + ":" + std::to_string(number) + ": " + e.what());
    }
  });
}

}  // namespace tarvolin::core
