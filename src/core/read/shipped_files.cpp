#include "core/read/shipped_files.h"

#include <fstream>
#include <sstream>

namespace tarvolin::core {

std::string_view trimListText(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r");
  return b == std::string_view::npos ? std::string_view{} : s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

void forEachListLine(std::string_view text, const std::function<void(std::string_view line, int number)>& take) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a UTF-8 mark, as some editors write it
  int number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = trimListText(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (!line.empty() && line[0] != '#') take(line, number);
  }
}

bool readWholeFile(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

void readShippedAndOwn(const std::filesystem::path& programDir, const std::filesystem::path& workingFolder,
                       std::string_view name,
                       const std::function<void(const std::string& text, const std::string& path)>& read,
                       std::vector<std::string>& errors) {
  std::string text;
  std::string tried;
  bool shipped = false;
  for (const std::filesystem::path& place : shippedFilePlaces(programDir, "tarvolin", name)) {
    if (readWholeFile(place, text)) {
      read(text, place.string());
      shipped = true;
      break;
    }
    tried += (tried.empty() ? "" : ", ") + place.string();
  }
  if (!shipped) errors.push_back("no " + std::string(name) + " found (looked for " + tried + ")");
  const std::filesystem::path own = workingFolder / name;
  std::error_code ec;
  if (std::filesystem::exists(own, ec)) {
    if (readWholeFile(own, text))
      read(text, own.string());
    else
      errors.push_back(own.string() + ": cannot be read");
  }
}

}  // namespace tarvolin::core
