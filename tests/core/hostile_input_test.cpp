// Hostile reports and configuration files: every one ends in a clear message or a plain
// empty or partial report, with the load finished in order, never in a crash.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/config_file.h"
#include "core/grid_store.h"
#include "core/load_observer.h"
#include "core/report_parser.h"
#include "core/shared_state.h"
#include "core/text_measure.h"

namespace tarvolin::core {
namespace {

namespace fs = std::filesystem;

using namespace std::string_literals;

bool runningAsRoot() { return ::geteuid() == 0; }

/// An empty temporary folder made the working folder for the test's life: configuration
/// files are read and written there.
class ScratchDir {
 public:
  ScratchDir() : m_previous(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "tarvolin-hostile-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    fs::current_path(m_path);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::current_path(m_previous, ec);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& e : fs::recursive_directory_iterator(m_path, ec))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    fs::remove_all(m_path, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  [[nodiscard]] const fs::path& path() const { return m_path; }

 private:
  fs::path m_previous;
  fs::path m_path;
};

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string randomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);  // the engine's output is fixed by the standard
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

std::string utf16le(std::string_view ascii) {
  std::string s;
  for (char c : ascii) {
    s += c;
    s += '\0';
  }
  return s;
}

/// Records what a load shows; `onYield(line)` runs at every yield, with the yield's ordinal.
class RecordingObserver final : public LoadObserver {
 public:
  void setStatus(const std::string& text) override { status = text; }
  void setFileTime(std::chrono::system_clock::time_point) override { ++fileTimes; }
  void setKind(const std::string& k) override { kind = k; }
  void setStopEnabled(bool enabled) override { stop = enabled; }
  void setWaitCursor(bool on) override { wait = on; }
  void yieldEvents() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  void showError(const std::string& message) override { errors.push_back(message); }

  std::function<void(int)> onYield;
  std::string status;
  std::string kind;
  std::vector<std::string> errors;
  int fileTimes = 0;
  int yields = 0;
  bool stop = false;
  bool wait = false;
};

/// One load and everything it touched.
struct Load {
  SharedState shared;
  LoadState state;
  RecordingObserver observer;
  FixedTextMeasure measure;
  GridStore grid;
  LoadCounters counters;

  void run(const std::string& path) {
    ReportLoader loader(shared, state, observer, measure);
    loader.do_refresh(path, grid);
    counters = loader.counters();
  }
};

/// What every load must leave behind, whatever it was given.
void expectFinishedInOrder(const Load& l) {
  const LoadCounters& c = l.counters;
  EXPECT_EQ(l.observer.status, progressText(c.nread, c.nout, true));
  EXPECT_EQ(l.grid.rows(), c.nout + 1);
  EXPECT_FALSE(l.observer.wait);
  EXPECT_FALSE(l.observer.stop);
  EXPECT_EQ(l.observer.errors.size(), c.failed ? 1u : 0u);
  for (const std::string& e : l.observer.errors) EXPECT_FALSE(e.empty());
  const VariableTable& vars = l.shared.vars;
  ASSERT_LE(vars.maxvar(), kMaxVars - 1);
  ASSERT_GE(l.grid.cols(), vars.count());
  for (int i = 0; i <= vars.maxvar(); ++i) EXPECT_EQ(l.grid.text(0, i), vars[i].name);
}

enum class Outcome { Clean, Error, Either };

struct ReportCase {
  const char* name;
  /// Builds the report inside the scratch folder and returns the path to load.
  std::function<std::string(const fs::path& dir)> make;
  Outcome outcome;
  const char* message;  ///< part of the error message, or nullptr
  int nout;             ///< rows written, or -1 when only the invariants count
  /// Further checks; `dir` is the scratch folder.
  std::function<void(const Load&, const fs::path& dir)> check = {};
  /// Runs at every yield of the load, with the yield's ordinal and the report's path.
  std::function<void(int, const std::string&)> onYield = {};
};

/// A report.txt made of the bytes `bytes()` gives; large ones are built only when the case runs.
std::function<std::string(const fs::path&)> file(std::function<std::string()> bytes) {
  return [bytes = std::move(bytes)](const fs::path& dir) {
    writeBytes(dir / "report.txt", bytes());
    return (dir / "report.txt").string();
  };
}

std::function<std::string(const fs::path&)> file(std::string bytes) {
  return file([bytes = std::move(bytes)] { return bytes; });
}

constexpr size_t kFiftyMiB = size_t{50} << 20;

// Entries k = 1..1000, each with 100 names of its own after its start name: 100,000
// distinct names. Entry 6's first own name is the 502nd variable.
std::string hundredThousandNames() {
  std::string s = "Table Snapshot\n";
  for (int k = 1; k <= 1000; ++k) {
    s += "Table Schema = " + std::to_string(k) + "\n";
    for (int j = 0; j < 100; ++j) s += " name " + std::to_string(k) + "." + std::to_string(j) + " = v\n";
  }
  return s;
}

constexpr int kBigEntries = 40000;  // about 1.6 MB: more than the reader's first block

std::string bigReport() {
  std::string s = "Table Snapshot\n";
  for (int k = 0; k < kBigEntries; ++k) s += "Table Schema = s" + std::to_string(k) + "\nTable name = t\n";
  return s;
}

std::vector<ReportCase> reportCases() {
  const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0\0\0\x01\0\x08\x06\0\0\0"s;
  return {
      {"EmptyFile", file(""), Outcome::Clean, nullptr, 0,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.counters.nread, 0);
         EXPECT_EQ(l.shared.vars.maxvar(), -1);
         EXPECT_EQ(l.observer.status, "Finished. Records read: 0 Records outputted 0");
       }},
      {"OnlyBlankEchoAndHyphenLines", file("\n   \n@echo off\n----------------\r\n echo x\n\n"), Outcome::Clean,
       nullptr, 0,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.counters.nread, 6);
         EXPECT_TRUE(l.shared.snaptype.empty());
         EXPECT_TRUE(l.observer.kind.empty());  // the kind shown before stays
         EXPECT_EQ(l.shared.vars.maxvar(), -1);
       }},
      {"RandomBytes", file(randomBytes(256 * 1024, 8)), Outcome::Either, nullptr, -1, {}},
      {"ImageFile", file(png + randomBytes(64 * 1024, 9)), Outcome::Either, nullptr, -1, {}},
      {"RandomBytesAfterAHeading", file("Table Snapshot\nTable Schema = a\n" + randomBytes(64 * 1024, 10)),
       Outcome::Either, nullptr, -1, [](const Load& l, const fs::path&) { EXPECT_GE(l.counters.nout, 1); }},
      {"NulBytesInsideLines", file("Table Snapshot\nTable Schema = a\0b\nTable\0name = x\0\n"s), Outcome::Clean,
       nullptr, 1,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.grid.text(1, 0), "a\0b"s);
         EXPECT_EQ(l.shared.vars[1].name, "Table\0name"s);
         EXPECT_EQ(l.grid.text(1, 1), "x\0"s);
       }},
      {"SingleLineOf50MiB", file([] { return std::string(kFiftyMiB, 'x'); }), Outcome::Clean, nullptr, 0,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.counters.nread, 1);
         EXPECT_EQ(l.shared.snaptype.size(), kFiftyMiB);  // it is the heading; its .cfg can't exist
       }},
      {"ValueOf50MiB",
       file([] { return "Table Snapshot\nTable Schema = " + std::string(kFiftyMiB, 'v') + "\nTable Schema = b"; }),
       Outcome::Clean, nullptr, 2,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.grid.text(1, 0).size(), kFiftyMiB);
         EXPECT_EQ(l.grid.text(2, 0), "b");
         EXPECT_EQ(l.grid.colWidth(0), kLongValueWidth);
       }},
      {"HundredThousandNames", file(hundredThousandNames), Outcome::Error, "Too many variables", 5,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.shared.vars.maxvar(), kMaxVars - 1);
         EXPECT_EQ(l.shared.vars[500].name, "name 5.99");
         EXPECT_EQ(l.counters.nread, 1 + 5 * 101 + 2);  // up to the 502nd name
         EXPECT_EQ(l.grid.text(5, 0), "5");
         EXPECT_EQ(l.grid.text(5, 500), "v");
         EXPECT_NE(l.observer.errors.at(0).find("name 6.0"), std::string::npos);
       }},
      {"InvalidUtf8AndMixedLineEnds",
       file("Table Snapshot\rTable Schema = caf\xe9\nTable name = \xff\xfe\x80\r\n\r\nTable Schema = ok\r"),
       Outcome::Clean, nullptr, 2,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.counters.nread, 5);
         EXPECT_EQ(l.grid.text(1, 0), "caf\u00e9");
         EXPECT_EQ(l.grid.text(1, 1), "\u00ff\u00fe\u20ac");  // read as Windows-1252
         EXPECT_EQ(l.grid.text(2, 0), "ok");
       }},
      {"Utf16WithoutItsLastByte", file("\xff\xfe" + utf16le("Table Snapshot\r\nTable Schema = ab") + "c"),
       Outcome::Clean, nullptr, 1, [](const Load& l, const fs::path&) { EXPECT_EQ(l.grid.text(1, 0), "ab\uFFFD"); }},
      {"Utf16BomOnly", file("\xfe\xff"), Outcome::Clean, nullptr, 0, {}},
      {"DirectoryAsReport",
       [](const fs::path& dir) {
         fs::create_directory(dir / "reports");
         return (dir / "reports").string();
       },
       Outcome::Error, "Is a directory", 0,
       [](const Load& l, const fs::path&) {
         EXPECT_EQ(l.observer.fileTimes, 0);  // the file time shown before stays
         EXPECT_EQ(l.counters.nread, 0);
         EXPECT_EQ(l.observer.status, "Finished. Records read: 0 Records outputted 0");
       }},
      {"PipeAsReport",  // opening a pipe without a writer must not wait for one
       [](const fs::path& dir) {
         if (::mkfifo((dir / "report.txt").c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
         return (dir / "report.txt").string();
       },
       Outcome::Error,
       "not a regular file",
       0,
       {}},
      {"DeviceAsReport",  // /dev/zero would grow one endless line
       [](const fs::path&) { return std::string("/dev/zero"); },
       Outcome::Error,
       "not a regular file",
       0,
       {}},
      {"PathThatDoesNotExist", [](const fs::path& dir) { return (dir / "gone" / "report.txt").string(); },
       Outcome::Error, "No such file or directory", 0,
       [](const Load& l, const fs::path&) { EXPECT_EQ(l.observer.fileTimes, 0); }},
      {"EmptyPath", [](const fs::path&) { return std::string(); }, Outcome::Error, "Bad file name", 0, {}},
      {"UnreadableFile",
       [](const fs::path& dir) {
         writeBytes(dir / "report.txt", "Table Snapshot\nTable Schema = a\n");
         fs::permissions(dir / "report.txt", fs::perms::none);
         return (dir / "report.txt").string();
       },
       Outcome::Error,
       "Permission denied",
       0,
       {}},
      {"SymbolicLinkLoop",  // unreadable for every user, root included
       [](const fs::path& dir) {
         fs::create_symlink("report.txt", dir / "report.txt");
         return (dir / "report.txt").string();
       },
       Outcome::Error,
       "Too many levels of symbolic links",
       0,
       {}},
      {"TruncatedWhileLoading", file(bigReport), Outcome::Clean, nullptr, -1,
       [](const Load& l, const fs::path&) {
         // What the reader had buffered is loaded; the rest of the file is gone.
         EXPECT_GT(l.counters.nout, 100);
         EXPECT_LT(l.counters.nout, kBigEntries);
       },
       [](int line, const std::string& path) {
         if (line == 50) {
           ASSERT_EQ(::truncate(path.c_str(), 0), 0);
         }
       }},
      {"DeletedWhileLoading", file(bigReport), Outcome::Clean, nullptr, kBigEntries,
       [](const Load& l, const fs::path& dir) {
         EXPECT_FALSE(fs::exists(dir / "report.txt"));
         EXPECT_EQ(l.grid.text(kBigEntries, 0), "s" + std::to_string(kBigEntries - 1));
       },
       [](int line, const std::string& path) {
         if (line == 50) {
           ASSERT_EQ(::unlink(path.c_str()), 0);
         }
       }},
      {"ReplacedWhileLoading",
       file(bigReport),
       Outcome::Clean,
       nullptr,
       kBigEntries,
       {},
       [](int line, const std::string& path) {
         if (line != 50) return;
         writeBytes(path + ".new", "garbage");
         fs::rename(path + ".new", path);  // the open file keeps the old contents
       }},
  };
}

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

class HostileReport : public testing::TestWithParam<ReportCase> {};

TEST_P(HostileReport, FinishesWithAMessageOrAPlainReport) {
  const ReportCase& c = GetParam();
  if (std::string_view(c.name) == "UnreadableFile" && runningAsRoot())
    GTEST_SKIP() << "root reads a file without read permission; SymbolicLinkLoop covers an unreadable path";
  ScratchDir dir;
  const std::string path = c.make(dir.path());
  auto load = std::make_unique<Load>();
  if (c.onYield) load->observer.onYield = [&](int line) { c.onYield(line, path); };
  load->run(path);

  expectFinishedInOrder(*load);
  if (c.outcome != Outcome::Either) {
    ASSERT_EQ(load->counters.failed, c.outcome == Outcome::Error)
        << (load->observer.errors.empty() ? "" : load->observer.errors.front());
  }
  if (c.message != nullptr) {
    ASSERT_EQ(load->observer.errors.size(), 1u);
    EXPECT_NE(load->observer.errors[0].find(c.message), std::string::npos) << load->observer.errors[0];
  }
  if (c.nout >= 0) {
    EXPECT_EQ(load->counters.nout, c.nout);
  }
  if (c.check) c.check(*load, dir.path());
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileReport, testing::ValuesIn(reportCases()),
                         [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

// --- configuration files -------------------------------------------------------------

constexpr char kTableReport[] = "Table Snapshot\nTable Schema = s\nTable name = t\n";

struct ConfigCase {
  const char* name;
  /// Puts TableSnapshot.cfg in place (the working folder is the scratch folder).
  std::function<void()> make;
  int maxvar;  ///< maxvar after readcfg
  /// Checks of the table readcfg left and of the load of kTableReport that follows.
  std::function<void(const VariableTable& configured, const Load&)> check = {};
  bool rootProof = true;  ///< false: root reads past the hostile part, skip as root
};

std::vector<ConfigCase> configCases() {
  return {
      {"Missing", [] {}, -1, {}},
      {"Empty", [] { writeBytes("TableSnapshot.cfg", ""); }, -1, {}},
      {"BlankLinesOnly", [] { writeBytes("TableSnapshot.cfg", "\r\n   \r\n\n"); }, -1, {}},
      {"Directory", [] { fs::create_directory("TableSnapshot.cfg"); }, -1, {}},
      {"SymbolicLinkLoop", [] { fs::create_symlink("TableSnapshot.cfg", "TableSnapshot.cfg"); }, -1, {}},
      {"Pipe", [] { ASSERT_EQ(::mkfifo("TableSnapshot.cfg", 0600), 0); }, -1, {}},
      {"Unreadable",
       [] {
         writeBytes("TableSnapshot.cfg", "N;;;;;Table name;\r\n");
         fs::permissions("TableSnapshot.cfg", fs::perms::none);
       },
       -1,
       {},
       false},
      {"ElevenFields", [] { writeBytes("TableSnapshot.cfg", "N;;;;;Table name;\r\n;;;;;;;;;;;x\r\nY;;;;;after;\r\n"); },
       0,
       [](const VariableTable& configured, const Load& l) {
         EXPECT_EQ(configured[0].name, "Table name");
         EXPECT_EQ(l.shared.vars[1].name, "Table Schema");
         EXPECT_EQ(l.grid.colWidth(0), 0);  // hidden by the line before the long one
         EXPECT_EQ(l.grid.text(1, 0), "t");
       }},
      {"TenFields", [] { writeBytes("TableSnapshot.cfg", "N;;;;;Table name;;;;;rest\r\n"); }, 0, {}},
      {"SixHundredLines",
       [] {
         std::string s = "Y;;;;;Table Schema;\r\nY;;;;;Table name;\r\n";
         for (int i = 2; i < 600; ++i) s += "Y;;;;;v" + std::to_string(i) + ";\r\n";
         writeBytes("TableSnapshot.cfg", s);
       },
       kMaxVars - 1,
       [](const VariableTable& configured, const Load& l) {
         EXPECT_EQ(configured[500].name, "v500");
         EXPECT_EQ(l.grid.cols(), kMaxVars);
         EXPECT_EQ(l.grid.colWidth(500), kMinColWidth);
       }},
      {"FullTableLeavesNoRoomForTheReport",
       [] {
         std::string s;
         for (int i = 0; i < 600; ++i) s += "Y;;;;;v" + std::to_string(i) + ";\r\n";
         writeBytes("TableSnapshot.cfg", s);
       },
       kMaxVars - 1,
       [](const VariableTable&, const Load& l) {
         ASSERT_EQ(l.observer.errors.size(), 1u);
         EXPECT_NE(l.observer.errors[0].find("Too many variables"), std::string::npos);
         EXPECT_EQ(l.counters.nout, 0);
         EXPECT_EQ(l.grid.text(0, 500), "v500");
       }},
      {"BinaryBytes", [] { writeBytes("TableSnapshot.cfg", randomBytes(16 * 1024, 11)); }, -2,
       [](const VariableTable& configured, const Load&) {
         for (int i = 0; i <= configured.maxvar(); ++i)
           EXPECT_EQ(configured[i].name.find_first_of(";\r\n"), std::string::npos);
       }},
  };
}

void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }

class HostileConfig : public testing::TestWithParam<ConfigCase> {};

TEST_P(HostileConfig, ReadsSilentlyAndTheLoadGoesOn) {
  const ConfigCase& c = GetParam();
  if (!c.rootProof && runningAsRoot()) GTEST_SKIP() << "root reads a file without read permission";
  ScratchDir dir;
  c.make();
  SharedState configured;
  configured.vars.appendName("left over");
  readcfg(configured, "TableSnapshot");
  if (c.maxvar >= -1) {
    EXPECT_EQ(configured.vars.maxvar(), c.maxvar);
  }
  EXPECT_LE(configured.vars.maxvar(), kMaxVars - 1);

  writeBytes(dir.path() / "report.txt", kTableReport);
  auto load = std::make_unique<Load>();
  load->run((dir.path() / "report.txt").string());
  expectFinishedInOrder(*load);
  if (load->shared.vars.lookup("Table Schema") >= 0) {
    EXPECT_FALSE(load->counters.failed);
    EXPECT_EQ(load->counters.nout, 1);
    EXPECT_EQ(load->grid.text(1, load->shared.vars.lookup("Table Schema")), "s");
  }
  if (c.check) c.check(configured.vars, *load);
  if (std::string_view(c.name) == "Missing") {  // reading never creates a file
    EXPECT_FALSE(fs::exists("TableSnapshot.cfg"));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileConfig, testing::ValuesIn(configCases()),
                         [](const testing::TestParamInfo<ConfigCase>& info) { return std::string(info.param.name); });

struct WriteCase {
  const char* name;
  std::function<void()> make;  ///< puts an obstacle where TableSnapshot.cfg goes
  const char* reason;          ///< the system's reason expected after the file name
  bool rootProof = true;
};

std::vector<WriteCase> writeCases() {
  return {
      {"Directory", [] { fs::create_directory("TableSnapshot.cfg"); }, "Is a directory"},
      {"DiskFull", [] { fs::create_symlink("/dev/full", "TableSnapshot.cfg"); }, "No space left on device"},
      {"ReadOnlyFile",
       [] {
         writeBytes("TableSnapshot.cfg", "N;;;;;kept;\r\n");
         fs::permissions("TableSnapshot.cfg", fs::perms::owner_read);
       },
       "Permission denied", false},
      {"FolderWithoutWritePermission", [] { fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec); },
       "Permission denied", false},
  };
}

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class HostileConfigWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(HostileConfigWrite, ReportsTheFileAndTheReason) {
  const WriteCase& c = GetParam();
  if (!c.rootProof && runningAsRoot()) GTEST_SKIP() << "root writes regardless of permissions";
  if (std::string_view(c.name) == "DiskFull" && !fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchDir dir;
  c.make();
  const std::string before = fs::is_regular_file("TableSnapshot.cfg") ? readBytes("TableSnapshot.cfg") : "";
  SharedState shared;
  shared.snaptype = "Table Snapshot";
  shared.vars.appendName("Table Schema");
  const std::optional<std::string> message = writecfg(shared);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(*message, "Unable to write to config file TableSnapshot.cfg\r\n"s + c.reason);
  if (fs::is_regular_file("TableSnapshot.cfg")) {
    EXPECT_EQ(readBytes("TableSnapshot.cfg"), before);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileConfigWrite, testing::ValuesIn(writeCases()),
                         [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

// --- the report is only read -----------------------------------------------------------

/// Access mode of the descriptor that has `path` open, from /proc, or -1 when none has.
int openModeOf(const fs::path& path) {
  const fs::path target = fs::canonical(path);
  for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (fs::read_symlink(fd.path(), ec) != target) continue;
    std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
    std::string key;
    std::string value;
    while (info >> key >> value)
      if (key == "flags:") return static_cast<int>(std::stol(value, nullptr, 8) & O_ACCMODE);
  }
  return -1;
}

TEST(HostileReportFile, ALoadOnlyReadsTheReport) {
  ScratchDir dir;
  const fs::path report = dir.path() / "report.txt";
  std::string bytes = "Database Lock Snapshot\r\n";
  for (int i = 0; i < 500; ++i) bytes += " Application handle = " + std::to_string(i) + "\r\n Lock Mode = X\r\n";
  writeBytes(report, bytes);
  struct timespec old[2] = {{1'000'000'000, 123'456'789}, {1'000'000'000, 123'456'789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, report.c_str(), old, 0), 0);
  struct stat before {};
  ASSERT_EQ(::stat(report.c_str(), &before), 0);

  auto load = std::make_unique<Load>();
  int mode = -2;
  load->observer.onYield = [&](int line) {
    if (line == 10) mode = openModeOf(report);
  };
  load->run(report.string());

  EXPECT_EQ(mode, O_RDONLY);
  EXPECT_EQ(load->counters.nout, 500);
  struct stat after {};
  ASSERT_EQ(::stat(report.c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(readBytes(report), bytes);
  EXPECT_EQ(openModeOf(report), -1);                                  // closed when the load ends
  EXPECT_FALSE(fs::exists(dir.path() / "DatabaseLockSnapshot.cfg"));  // a load writes no configuration
}

}  // namespace
}  // namespace tarvolin::core
