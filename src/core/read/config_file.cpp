#include "core/read/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/read/report_reader.h"
#include "core/read/text_encoding.h"

namespace tarvolin::core {

bool splitConfigLine(std::string_view line, std::string_view sep, SplitFields& fields) {
  fields.nflds = 0;
  if (sep.empty()) return true;
  size_t start = 0;
  for (;;) {
    const size_t at = line.find(sep, start);
    if (at == std::string_view::npos) return true;
    if (fields.nflds == 10) return false;
    ++fields.nflds;
    fields.flds[static_cast<size_t>(fields.nflds)].assign(line.substr(start, at - start));
    start = at + sep.size();
  }
}

std::string configFileName(std::string_view kind) {
  std::string name = removeBlanks(kind);
  for (char& c : name)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return name + ".cfg";
}

namespace {

std::string configPath(const std::string& folder, std::string_view kind) { return folder + "/" + configFileName(kind); }

/// The mode of the file at `path`, or the one a plain create gives a new file.
mode_t fileMode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void readConfiguration(VariableTable& vars, const std::string& folder, std::string_view kind) {
  vars.reset();
  try {
    ReportReader in(configPath(folder, kind));
    SplitFields f;
    std::string_view line;
    while (in.nextLine(line)) {
      if (trimBlanks(line).empty()) continue;
      if (!splitConfigLine(line, ";", f)) return;  // more than ten fields: stop here
      if (vars.full()) return;
      for (int i = f.nflds + 1; i <= 10; ++i) f.flds[static_cast<size_t>(i)].clear();
      Variable& v = vars.appendBlank();
      const std::string& flag = f.flds[1];
      if (flag == "N") v.show = false;
      if (flag == "C") v.cmark = true;
      v.cfg2 = f.flds[2];
      v.cfg3 = f.flds[3];
      v.cfg4 = f.flds[4];
      v.name = f.flds[6];
    }
  } catch (const std::exception&) {
    // A configuration that can't be read is no configuration; the report alone decides.
  }
}

std::optional<std::string> writecfg(const VariableTable& vars, const std::string& folder, std::string_view kind) {
  auto failure = [kind](int err) {
    return std::optional<std::string>("Unable to write to config file " + configFileName(kind) + "\r\n" +
                                      std::strerror(err));
  };
  std::string path = configPath(folder, kind);
  if (char* real = ::realpath(path.c_str(), nullptr)) {  // a link is followed, not replaced
    path = real;
    std::free(real);
  }
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return failure(errno);
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return failure(errno);
  ::fchmod(fd, fileMode(path));
  const auto discard = [&](int err) {  // the old file stays as it was
    ::unlink(temp.c_str());
    return failure(err);
  };
  const auto fail = [&](int err) {
    ::close(fd);
    return discard(err);
  };
  std::string line;
  for (int i = 0; i <= vars.lastIndex(); ++i) {
    const Variable& v = vars[i];
    line.clear();
    line += v.cmark ? "C" : (v.show ? "Y" : "N");
    line += ';';
    line += v.cfg2;
    line += ';';
    line += v.cfg3;
    line += ';';
    line += v.cfg4;
    line += ";;";
    line += v.name;
    line += ";\r\n";
    size_t done = 0;
    while (done < line.size()) {
      const ssize_t w = ::write(fd, line.data() + done, line.size() - done);
      if (w < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      done += static_cast<size_t>(w);
    }
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) return discard(errno);
  return std::nullopt;
}

}  // namespace tarvolin::core
