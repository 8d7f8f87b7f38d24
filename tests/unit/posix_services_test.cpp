// The real POSIX services on a real file system.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/posix_services.h"
#include "platform/posix/posix_time_zone.h"
#include "tests/fakes/fakes.h"

namespace norvale {
namespace {

namespace fsys = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  fsys::path dir;
  PosixFileSystem fs;

  void SetUp() override {
    std::string tmpl = (fsys::temp_directory_path() / "norvale-test-XXXXXX").string();
    ASSERT_NE(nullptr, mkdtemp(tmpl.data()));
    dir = tmpl;
  }
  void TearDown() override { fsys::remove_all(dir); }

  std::string P(const std::string& name) const { return (dir / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> out;
    for (const auto& e : fsys::directory_iterator(dir)) out.push_back(e.path().filename().string());
    return out;
  }
};

TEST_F(PosixFileSystemTest, FileExistsIgnoresCaseOnACaseSensitiveFileSystem) {
  Write("night.sch", "x");
  EXPECT_TRUE(fs.FileExists(P("Night.sch")));
  EXPECT_TRUE(fs.FileExists(P("NIGHT.SCH")));
  EXPECT_TRUE(fs.FileExists(P("night.sch")));
  EXPECT_FALSE(fs.FileExists(P("Nigh.sch")));
  EXPECT_FALSE(fs.FileExists(P("missing/night.sch")));
  Write(".hidden.sch", "x");
  EXPECT_TRUE(fs.FileExists(P(".HIDDEN.sch")));
}

TEST_F(PosixFileSystemTest, ReadAndReplaceReachTheFileWhateverTheCaseOfItsName) {
  Write("night.sch", "old");
  EXPECT_EQ("old", fs.ReadAll(P("Night.sch")));
  fs.ReplaceWhole(P("NIGHT.sch"), "new");
  EXPECT_EQ(std::vector<std::string>{"night.sch"}, Entries());
  EXPECT_EQ("new", fs.ReadAll(P("night.sch")));
  fs.RemoveFile(P("Night.SCH"));
  EXPECT_TRUE(Entries().empty());
}

TEST_F(PosixFileSystemTest, ReplaceKeepsNothingOfTheOldFileAndLeavesNoTemporaryFile) {
  Write("a.sch", std::string(10000, 'o'));
  fs.ReplaceWhole(P("a.sch"), "short\r\n");
  EXPECT_EQ("short\r\n", fs.ReadAll(P("a.sch")));
  EXPECT_EQ(std::vector<std::string>{"a.sch"}, Entries());
}

TEST_F(PosixFileSystemTest, FailedReplaceKeepsTheOldFileWhole) {
  const std::string old(100, 'o');
  Write("a.sch", old);
  // A file-size limit makes the write fail part-way, as a full disk does.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  int number = 0;
  try {
    fs.ReplaceWhole(P("a.sch"), std::string(100000, 'n'));
  } catch (const FileError& e) {
    number = e.number();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(61, number);  // "Disk full"
  EXPECT_EQ(old, fs.ReadAll(P("a.sch")));
  EXPECT_EQ(std::vector<std::string>{"a.sch"}, Entries());
}

TEST_F(PosixFileSystemTest, ErrorsCarryTheirNumbers) {
  try {
    fs.ReplaceWhole(P("missing/a.sch"), "x");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(76, e.number());
    EXPECT_EQ("Path not found", e.description());
  }
  try {
    fs.ReadAll(P("absent.sch"));
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(53, e.number());
  }
}

TEST_F(PosixFileSystemTest, ListsOnlyOrdinaryMatchingFiles) {
  Write("a.sch", "");
  Write("B.SCH", "");
  Write("c.schedule", "");
  Write("d.txt", "");
  fsys::create_directory(dir / "folder.sch");
  std::vector<std::string> names = fs.ListFiles(dir.string(), "*.sch");
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"B.SCH", "a.sch"}), names);
  EXPECT_TRUE(fs.ListFiles(P("missing"), "*.sch").empty());
}

TEST_F(PosixFileSystemTest, FoldersAreCreatedOnceAndReported) {
  EXPECT_FALSE(fs.FolderExists(P("data")));
  fs.CreateFolder(P("data"));
  fs.CreateFolder(P("data") + "/");
  EXPECT_TRUE(fs.FolderExists(P("data")));
  Write("file", "");
  EXPECT_FALSE(fs.FolderExists(P("file")));
  EXPECT_THROW(fs.CreateFolder(P("file")), FileError);
}

TEST(PosixClock, AgreesWithTheSystemClock) {
  const PosixClock clock;
  const time_t before = time(nullptr);
  const LocalTime now = clock.Now();
  tm local{};
  localtime_r(&before, &local);
  const auto expected_day = Date{std::chrono::year{local.tm_year + 1900},
                                 std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                 std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  const auto seconds_of_day = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const auto got = std::chrono::duration_cast<std::chrono::seconds>(clock.TimeOfDay()).count();
  // Allow for the second ticking over (and midnight) between the two reads.
  if (got >= seconds_of_day && got - seconds_of_day < 5) {
    EXPECT_EQ(expected_day, Date{std::chrono::floor<std::chrono::days>(now)});
  } else {
    EXPECT_LT(got, 5) << "clock off by more than a few seconds";
  }
}

TEST(PosixProgramFolder, IsTheFolderOfTheRunningProgram) {
  PosixFileSystem fs;
  const std::string folder = fs.ProgramFolder();
  EXPECT_TRUE(fsys::is_directory(folder));
  EXPECT_TRUE(fsys::exists(fsys::path(folder) / "norvale_tests"));
}

TEST(PosixTimeZone, ReadsTheSystemsZoneDataAndRefusesUnknownNames) {
  EXPECT_FALSE(PosixTimeZone::Open("Nowhere/Atlantis"));
  EXPECT_FALSE(PosixTimeZone::Open("../../etc/passwd"));
  const auto berlin = PosixTimeZone::Open("Europe/Berlin");
  ASSERT_TRUE(berlin) << "tzdata is missing";
  const fakes::CentralEuropeanZone rule;
  const char* before_tz = std::getenv("TZ");
  // Every hour of a year, both changes included, as the EU's rule has it.
  for (auto t = UtcTime{std::chrono::sys_days{std::chrono::year{2027} / 1 / 1}};
       t < UtcTime{std::chrono::sys_days{std::chrono::year{2028} / 1 / 1}};
       t += std::chrono::minutes{30}) {
    ASSERT_EQ(rule.OffsetAt(t), berlin->OffsetAt(t));
  }
  EXPECT_EQ(before_tz == nullptr, std::getenv("TZ") == nullptr);  // put back as it was
}

}  // namespace
}  // namespace norvale
