#include "core/values/counter_types.h"

#include <algorithm>
#include <stdexcept>

#include "core/read/shipped_files.h"

namespace tarvolin::core {

namespace {

/// Whether `name` matches `pattern`, where '*' is any run of characters.
bool matches(std::string_view pattern, std::string_view name) {
  const size_t star = pattern.find('*');
  if (star == std::string_view::npos) return pattern == name;
  if (!name.starts_with(pattern.substr(0, star))) return false;
  const std::string_view rest = pattern.substr(star + 1);
  for (size_t at = star; at <= name.size(); ++at)
    if (matches(rest, name.substr(at))) return true;
  return false;
}

}  // namespace

CounterTypes CounterTypes::parse(std::string_view text, std::vector<std::string>& errors) {
  CounterTypes types;
  forEachListLine(text, [&](std::string_view line, int number) {
    const size_t blank = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, blank);
    const std::string_view label = blank == std::string_view::npos ? "" : trimListText(line.substr(blank));
    const ValueType type = word == "counter" ? ValueType::Counter
                           : word == "gauge" ? ValueType::Gauge
                           : word == "text"  ? ValueType::Text
                                             : ValueType::Unlisted;
    if (type == ValueType::Unlisted || label.empty()) {
      errors.push_back("line " + std::to_string(number) + ": expected counter, gauge or text and a label, got \"" +
                       std::string(line) + "\"");
      return;
    }
    (label.find('*') == std::string_view::npos ? types.m_exact : types.m_patterns)
        .push_back({std::string(label), type});
  });
  return types;
}

ValueType CounterTypes::typeOf(std::string_view name) const {
  for (const Line& l : m_exact)
    if (l.label == name) return l.type;
  for (const Line& l : m_patterns)
    if (matches(l.label, name)) return l.type;
  // "NAME #2", a name again in an entry, is what NAME is.
  const size_t mark = name.rfind(" #");
  if (mark == std::string_view::npos || mark + 2 == name.size()) return ValueType::Unlisted;
  const std::string_view number = name.substr(mark + 2);
  if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return ValueType::Unlisted;
  return typeOf(name.substr(0, mark));
}

std::vector<std::filesystem::path> counterTypesPlaces(const std::filesystem::path& programDir) {
  return shippedFilePlaces(programDir, "tarvolin", kCounterTypesFile);
}

CounterTypes loadCounterTypes(const std::filesystem::path& programDir) {
  std::string tried;
  for (const std::filesystem::path& place : counterTypesPlaces(programDir)) {
    std::string text;
    if (!readWholeFile(place, text)) {
      tried += (tried.empty() ? "" : ", ") + place.string();
      continue;
    }
    std::vector<std::string> errors;
    CounterTypes types = CounterTypes::parse(text, errors);
    if (!errors.empty()) {
      std::string all;
      for (const std::string& e : errors) all += (all.empty() ? "" : "; ") + e;
      throw std::runtime_error(place.string() + ": " + all);
    }
    return types;
  }
  throw std::runtime_error("no list of counters found (looked for " + tried + ")");
}

}  // namespace tarvolin::core
