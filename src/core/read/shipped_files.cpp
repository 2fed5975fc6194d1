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

}  // namespace tarvolin::core
