// Files as crashes, full disks, editors and other programs leave them: a cut
// History.log, writes that fail, temporary files left behind, odd arguments
// and odd schedule files.
#include "apps/norvale/listing.h"
#include "apps/norvale/simulate.h"
#include "platform/dry_run_power.h"
#include "platform/path.h"
#include "schedule/run_history.h"
#include "schedule/schedule_list.h"
#include "tests/fakes/full_disk.h"
#include "tests/unit/app_fixture.h"
#include "ui/main/frm_history.h"

namespace norvale {
namespace {

constexpr const char* kHistory = "C:\\N\\data\\History.log";

std::vector<std::string> Names(const std::vector<HistoryEntry>& entries) {
  std::vector<std::string> out;
  for (const HistoryEntry& e : entries) out.push_back(e.name + " " + e.outcome);
  return out;
}

class CutHistory : public ::testing::Test {
 protected:
  fakes::MemoryFileSystem fs{"C:\\N"};
  void SetUp() override { fs.CreateFolder("C:\\N\\data"); }
};

TEST_F(CutHistory, AnAppendEndsTheUnterminatedLastLineFirst) {
  // An editor saved it without the last CR LF; a bare CR counts as cut too.
  for (const std::string end : {"", "\r"}) {
    fs.Put(kHistory, "2026-12-04 10:00:00\tOld\tReboot\tperformed" + end);
    AppendHistory(fs, kHistory, {"2026-12-04 11:00:00", "New", "Log Off", "missed"});
    EXPECT_EQ(
        "2026-12-04 10:00:00\tOld\tReboot\tperformed\r\n"
        "2026-12-04 11:00:00\tNew\tLog Off\tmissed\r\n",
        *fs.Get(kHistory));
    EXPECT_EQ((std::vector<std::string>{"New missed", "Old performed"}),
              Names(ReadHistory(fs, kHistory, 10)));
  }
}

TEST_F(CutHistory, ReadingKeepsEveryWholeLineAndSkipsBrokenOnes) {
  fs.Put(kHistory,
         "2026-12-04 09:00:00\tFirst\tReboot\tperformed\r\n"
         // An older program glued the next entry onto an unterminated line.
         "2026-12-04 09:30:00\tGlued\tReboot\tperformed2026-12-04 09:40:00\tX\tReboot\tmissed\r\n"
         "2026-12-04 10:00:00\tShort\r\n"
         "half a line without a time\tA\tB\tC\r\n"
         "\r\n"
         "2026-12-04 11:00:00\tLF only\tLog Off\tcancelled\n"
         "2026-12-04 12:00:00\tLast\tStand by\tpostponed\r\n"
         // A crash cut the last line inside its outcome.
         "2026-12-04 13:00:00\tCut\tReboot\tperf");
  EXPECT_EQ(
      (std::vector<std::string>{"Last postponed", "LF only cancelled", "First performed"}),
      Names(ReadHistory(fs, kHistory, 10)));
  // Skipped lines do not count against the number asked for.
  EXPECT_EQ((std::vector<std::string>{"Last postponed", "LF only cancelled"}),
            Names(ReadHistory(fs, kHistory, 2)));
  // A whole last line without its CR LF is still shown.
  fs.Put(kHistory, "2026-12-04 13:00:00\tEdited\tReboot\tperformed");
  EXPECT_EQ(std::vector<std::string>{"Edited performed"}, Names(ReadHistory(fs, kHistory, 10)));
}

class FullDiskTest : public testing_app::AppTest {
 protected:
  fakes::FullDisk disk{fs};
  std::unique_ptr<AppContext> app_;  // before the window, which it outlives
  std::unique_ptr<frmMain> main;
  void Start() {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");
    settings.WriteSetting("Norvale", "Settings", "chkLog", "1");
    app_ = std::make_unique<AppContext>(kit, disk, codec, locale, reg, settings, power, shell,
                                        system, "Norvale", "Norvale Labs");
    main = std::make_unique<frmMain>(*app_);
    main->Show();
  }
  void AdvanceTo(int h, int m) {
    kit.Advance(fakes::FakeClock::At(2026, 12, 4, h, m) - clock.Now());
  }
  std::vector<std::string> Told() {
    std::vector<std::string> out;
    for (const std::string& b : kit.FakeTrayIcon().balloons) {
      if (b.find("Disk full") != std::string::npos) out.push_back(b);
    }
    return out;
  }
  std::string LastRunOnFile(const std::string& name) {
    return GetValue(GetTag(*fs.Get(data + name + ".sch"), "DATA"), "LastRunTime");
  }
};

TEST_F(FullDiskTest, RunsGoOnAndTheFailedWritesAreToldOnceThenWrittenToTheHistory) {
  PutSchedule("Night", "Reboot", "2026-12-04", "10:05:00");
  PutSchedule("Morning", "Log Off", "2026-12-04", "10:10:00");
  PutSchedule("Later", "Stand by", "2026-12-04", "10:20:00");
  PutSchedule("Again", "Reboot", "2026-12-04", "10:30:00");
  Start();
  disk.full = true;
  AdvanceTo(10, 6);
  EXPECT_EQ(1u, power.requests.size());
  EXPECT_EQ("", LastRunOnFile("Night"));
  EXPECT_FALSE(fs.Get(data + kHistoryFileName));
  EXPECT_EQ("2026-12-04 10:05:00", main->lstSchedules->Items()[0].SubItem(kColumnLastRun));
  ASSERT_EQ(1u, Told().size());
  EXPECT_NE(std::string::npos, Told()[0].find("Night")) << Told()[0];
  // Still full: the next run is performed and not told again.
  AdvanceTo(10, 11);
  EXPECT_EQ(2u, power.requests.size());
  EXPECT_EQ(1u, Told().size());
  EXPECT_EQ(4u, disk.refused);

  // Room again: the next history line comes after the lines that tell what was lost.
  disk.full = false;
  AdvanceTo(10, 21);
  EXPECT_EQ(3u, power.requests.size());
  EXPECT_EQ("2026-12-04 10:20:00", LastRunOnFile("Later"));
  std::vector<std::string> lines;
  for (const HistoryEntry& e : ReadHistory(fs, data + kHistoryFileName, 10)) {
    lines.push_back(e.when + " " + e.name + " " + e.action + " " + e.outcome + " " + e.detail);
  }
  EXPECT_EQ((std::vector<std::string>{
                "2026-12-04 10:20:00 Later Stand by performed ",
                "2026-12-04 10:10:00 Morning Log Off not stored Last Run Time: Error 61 - Disk full",
                "2026-12-04 10:10:00 Morning Log Off not stored History: Error 61 - Disk full",
                "2026-12-04 10:05:00 Night Reboot not stored Last Run Time: Error 61 - Disk full",
                "2026-12-04 10:05:00 Night Reboot not stored History: Error 61 - Disk full"}),
            lines);
  main->mnuHistory_Click();
  ASSERT_EQ(5u, main->History().lstHistory->Items().size());
  EXPECT_EQ("not stored: Last Run Time (Error 61 - Disk full)",
            main->History().lstHistory->Items()[1].SubItem(3));

  // A new failure after a success is told again.
  disk.full = true;
  AdvanceTo(10, 31);
  EXPECT_EQ(4u, power.requests.size());
  EXPECT_EQ(2u, Told().size());
}

class Leftovers : public testing_app::AppTest {};

TEST_F(Leftovers, StartUpRemovesTheTemporaryFilesOfEveryFileItReplacesAndNothingElse) {
  const std::string program = fs.ProgramFolder() + "\\";
  const std::string own = fs.LocalAppDataFolder() + "\\Norvale\\";
  const std::vector<std::string> gone = {data + "~Night.sch.a1B2c3",
                                         data + "~History.log.a1B2c3",
                                         data + "~history.LOG.1f4-2a0c1-0.tmp",
                                         program + "~DryRun.log.Zz9yX8",
                                         program + "~Localization.txt.1f4-2a0c1-0.tmp",
                                         own + "~Localization.txt.a1B2c3"};
  const std::vector<std::string> kept = {data + "History.log",        data + "~History.log.bak",
                                         data + "~DryRun.log.a1B2c3",  program + "~notes.txt",
                                         program + "~Other.log.a1B2c3", program + "~DryRun.log",
                                         own + "Localization.txt"};
  for (const auto& path : gone) fs.Put(path, "half");
  for (const auto& path : kept) fs.Put(path, "the user's");
  NotFirstRun();
  frmMain main(app);
  main.Show();
  for (const auto& path : gone) EXPECT_FALSE(fs.Get(path)) << path;
  for (const auto& path : kept) EXPECT_TRUE(fs.Get(path)) << path;
}

TEST(DryRunLog, AnUnreadableLogIsKeptAndToldNotStartedAfresh) {
  fakes::RecordingPowerControl system;
  fakes::MemoryFileSystem fs;
  fakes::FakeClock clock;
  std::vector<std::string> told;
  const std::string log = JoinPath(fs.ProgramFolder(), kDryRunLogName);
  fs.Put(log, "the earlier record\r\n");
  fs.FailReadsOf(log);
  DryRunPowerControl dry(system, fs, clock, log, [&](const std::string& m) { told.push_back(m); });
  dry.Perform({"Log Off", PowerRequest::kExitWindows, 4, true});
  EXPECT_TRUE(system.requests.empty());
  EXPECT_EQ("the earlier record\r\n", fs.Get(log));
  ASSERT_EQ(1u, told.size());
  EXPECT_NE(std::string::npos, told[0].find("could not be written (Permission denied)")) << told[0];
}

TEST(OddArguments, EachGetsAOneLineReasonAndNothingIsListed) {
  fakes::MemoryFileSystem fs{"/opt/norvale"};
  fs.CreateFolder("/srv/schedules");
  using Args = std::vector<std::string>;
  for (const Args& odd : {Args{"--data", ""}, Args{"--data"}, Args{"--language", ""},
                          Args{"--localization", ""}, Args{""}, Args{"-"}, Args{"--bogus"},
                          Args{"/srv/schedules"}, Args{"--data", "/srv/nowhere"},
                          Args{"--data", "/srv/schedules", "--language"}}) {
    ListingArgs args;
    const std::string why = ParseListingArgs(odd, fs, args);
    EXPECT_FALSE(why.empty()) << ::testing::PrintToString(odd);
    EXPECT_EQ(std::string::npos, why.find('\n')) << why;
  }
  ListingArgs args;
  EXPECT_EQ("", ParseListingArgs({"--data", "/srv/schedules", "--language", "Deutsch"}, fs, args));
  EXPECT_EQ(std::string("/srv/schedules") + kPathSeparator, args.folder);
  EXPECT_EQ("Deutsch", args.language);

  const Args times = {"--from", "2026-12-04T10:00", "--to", "2026-12-05T10:00"};
  for (const Args& odd : {Args{"--data", ""}, Args{"--tz", ""}, Args{"--events", ""}, Args{""}}) {
    Args all = odd;
    if (odd.size() == 2 && odd[0] != "--data") all.insert(all.end(), {"--data", "d"});
    all.insert(all.end(), times.begin(), times.end());
    std::string why;
    EXPECT_FALSE(ParseSimulationArgs(all, why)) << ::testing::PrintToString(all);
    EXPECT_NE(std::string::npos, why.find(odd[0].empty() ? "empty argument" : odd[0] + " needs a value"))
        << why;
  }
}

class OddFiles : public ::testing::Test {
 protected:
  fakes::MemoryFileSystem fs;
  Cp1252Codec codec;
  fakes::FakeClock clock{fakes::FakeClock::At(2026, 12, 4, 10, 0)};
  PatternLocale locale = PatternLocale::Iso();
  ScheduleStore store{fs, codec, DataFolder(fs.ProgramFolder())};

  static std::string Text(const std::string& last_run = "2026-12-01 22:30:00",
                          const std::string& type = "Reboot") {
    ScheduleRecord r;
    r.Name = "x";
    r.ItemType = type;
    r.Enabled = true;
    r.LastRunTime = last_run;
    r.StartDate = "2026-12-01";
    r.StartTime = "22:30:00";
    r.Repeat = true;
    return ScheduleText(r);
  }
  static std::string WithLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (size_t at = 0, crlf; (crlf = text.find("\r\n", at)) != std::string::npos; at = crlf + 2) {
      out += text.substr(at, crlf - at) + end;
    }
    return out;
  }
  ListItems Rows() {
    ListItems rows;
    loadData(rows, store, clock, locale);
    return rows;
  }
};

TEST_F(OddFiles, CrLfLfAndCrCrLfLineEndsReadAlike) {
  fs.Put(store.PathOf("Night"), Text());
  const ListItems crlf = Rows();
  ASSERT_EQ(1u, crlf.size());
  EXPECT_EQ((std::vector<std::string>{"Reboot", "2026-12-01 22:30:00", "2026-12-04 22:30:00", "Yes"}),
            crlf[0].SubItems);
  for (const std::string end : {"\n", "\r\r\n"}) {
    fs.Put(store.PathOf("Night"), WithLineEnds(Text(), end));
    const ListItems rows = Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(crlf[0].SubItems, rows[0].SubItems) << ::testing::PrintToString(end);
    // The Last Run Time is written in place; the file keeps its own line ends.
    WriteLastRunTime(store, "Night", "2026-12-04 22:30:00");
    EXPECT_EQ(WithLineEnds(Text("2026-12-04 22:30:00"), end), *fs.Get(store.PathOf("Night")));
  }
}

TEST_F(OddFiles, FilesNotEightBitTextAndNamesWindowsRefusesCannotBeRead) {
  std::string utf16 = "\xFF\xFE";
  for (char c : Text()) utf16 += std::string{c, '\0'};
  std::string nul = Text();
  nul.insert(nul.find("Enabled=1") + 9, 1, '\0');
  fs.Put(store.PathOf("Wide"), utf16);
  fs.Put(store.PathOf("Zero"), nul);
  const std::vector<std::string> refused = {"CON", "aux", "NUL", "COM1", "LPT1", "a:b", "trail.",
                                            "blank ", "what?"};
  for (const std::string& name : refused) fs.Put(store.PathOf(name), Text());
  fs.Put(store.PathOf("Fine"), Text());
  ListItems rows;
  const std::vector<std::string> skipped = loadData(rows, store, clock, locale);
  std::vector<std::string> listed;
  for (const ListItem& row : rows) listed.push_back(row.Text);
  ASSERT_EQ(refused.size() + 3, rows.size()) << ::testing::PrintToString(listed);
  std::vector<std::string> expected = {"Wide", "Zero"};
  expected.insert(expected.end(), refused.begin(), refused.end());
  EXPECT_EQ(expected, skipped);
  for (size_t i = 0; i + 1 < rows.size(); ++i) {
    EXPECT_EQ("Cannot be read", rows[i].SubItem(kColumnNextRun)) << rows[i].Text;
    EXPECT_EQ("", rows[i].SubItem(kColumnEnabled)) << rows[i].Text;
  }
  EXPECT_EQ("Yes", rows.back().SubItem(kColumnEnabled));
}

TEST_F(OddFiles, ShownValuesAreCutTo260Characters) {
  // 20 MB of "é": cut by characters, never inside one.
  fs.Put(store.PathOf("Huge"), Text(std::string(20u << 20, '\xE9'), std::string(1000, 'T')));
  const ListItems rows = Rows();
  ASSERT_EQ(1u, rows.size());
  std::string e260;
  for (int i = 0; i < 260; ++i) e260 += "\xC3\xA9";
  // Compared whole, printed only by size: a failure must not print 20 MB.
  EXPECT_TRUE(e260 == rows[0].SubItem(kColumnLastRun)) << rows[0].SubItem(kColumnLastRun).size();
  EXPECT_TRUE(std::string(260, 'T') == rows[0].SubItem(kColumnType))
      << rows[0].SubItem(kColumnType).size();
}

}  // namespace
}  // namespace norvale
