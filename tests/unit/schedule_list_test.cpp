#include <gtest/gtest.h>

#include "schedule/schedule_list.h"
#include "tests/fakes/fakes.h"

namespace norvale {
namespace {

using fakes::FakeClock;
using fakes::MemoryFileSystem;

std::string File(const std::string& type, const std::string& enabled, const std::string& start_date,
                 const std::string& repeat = "0", const std::string& mode = "0",
                 const std::string& period = "", const std::string& last_run = "") {
  return "<DATA>\r\nLastRunTime=" + last_run + "\r\nItemType=" + type + "\r\nEnabled=" + enabled +
         "\r\n</DATA>\r\n\r\n<SCHEDULER>\r\nStartDate=" + start_date +
         "\r\nStartTime=22:30:00\r\nRepeat=" + repeat + "\r\nSAccurancy=" + mode +
         "\r\nPeriod=" + period + "\r\nRunOnStart=0\r\nRunOnEnd=-1\r\n</SCHEDULER>\r\n\r\n";
}

class ScheduleListTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs;
  Cp1252Codec codec;
  FakeClock clock{FakeClock::At(2026, 12, 4, 10, 0)};
  PatternLocale locale = PatternLocale::Iso();
  ScheduleStore store{fs, codec, DataFolder(fs.ProgramFolder())};
  ListItems rows;

  void Put(const std::string& file, const std::string& content) {
    fs.Put(store.data_folder + file, content);
  }
};

TEST_F(ScheduleListTest, RowsFollowTheListingWithNamesFromTheFileNames) {
  Put("Night.sch", File("Shut Down", "1", "2026-01-01", "-1", "1", "mon,fri", "never"));
  Put("a.b.sch", File("Reboot", "-1", "2026-12-24"));
  Put("notes.txt", "not a schedule");
  Put("Once.SCH", File("Log Off", "0", "2025-01-01"));
  ASSERT_TRUE(loadData(rows, store, clock, locale).empty());
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("Night", rows[0].Text);
  EXPECT_EQ((std::vector<std::string>{"Shut Down", "never", "2026-12-04 22:30:00", "Yes"}),
            rows[0].SubItems);
  EXPECT_EQ("a.b", rows[1].Text);
  // Not enabled ("-1" is not "1"): never performed, so no next run either.
  EXPECT_EQ((std::vector<std::string>{"Reboot", "", "", "No"}), rows[1].SubItems);
  EXPECT_EQ("Once", rows[2].Text);
  EXPECT_EQ("", rows[2].SubItem(kColumnNextRun));
}

TEST_F(ScheduleListTest, AnUnreadableFileIsListedAsSuchAndTheRestStillLoads) {
  Put("First.sch", File("Reboot", "1", "2026-12-24"));
  Put("Broken.sch", File("Reboot", "1", "2026-12-24"));
  Put("Last.sch", File("Hibernate", "1", "2026-12-25"));
  fs.FailReadsOf(store.data_folder + "Broken.sch");
  EXPECT_EQ(std::vector<std::string>{"Broken"}, loadData(rows, store, clock, locale));
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("First", rows[0].Text);
  EXPECT_EQ("Broken", rows[1].Text);
  EXPECT_EQ((std::vector<std::string>{"", "", "Cannot be read", ""}), rows[1].SubItems);
  EXPECT_EQ("Last", rows[2].Text);
  EXPECT_EQ("Hibernate", rows[2].SubItem(kColumnType));
}

TEST_F(ScheduleListTest, AReloadReadsOnlyTheFilesThatChanged) {
  for (const char* name : {"A.sch", "B.sch", "C.sch"}) Put(name, File("Reboot", "1", "2026-12-24"));
  ScheduleCache cache;
  loadData(rows, store, clock, locale, {}, "Cannot be read", &cache);
  const size_t first = fs.ReadCount();
  EXPECT_EQ(3u, first);
  loadData(rows, store, clock, locale, {}, "Cannot be read", &cache);
  EXPECT_EQ(first, fs.ReadCount());
  Put("B.sch", File("Log Off", "1", "2026-12-24"));  // same size, written again
  fs.RemoveFile(store.data_folder + "C.sch");
  loadData(rows, store, clock, locale, {}, "Cannot be read", &cache);
  EXPECT_EQ(first + 1, fs.ReadCount());
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ("Log Off", rows[1].SubItem(kColumnType));
  // A file back under a deleted name is read, not taken from what was.
  Put("C.sch", File("Hibernate", "1", "2026-12-24"));
  loadData(rows, store, clock, locale, {}, "Cannot be read", &cache);
  EXPECT_EQ("Hibernate", rows[2].SubItem(kColumnType));
}

TEST_F(ScheduleListTest, ReloadReplacesEveryRowAndRecomputesEmptiedNextRuns) {
  Put("Night.sch", File("Shut Down", "1", "2026-01-01", "-1"));
  loadData(rows, store, clock, locale);
  rows[0].SetSubItem(kColumnNextRun, "");  // as the watcher does when it queues the row
  rows.push_back({"Quick Schedule 1", {"Reboot", "", "2026-12-04 10:05:00", "Yes"}});
  loadData(rows, store, clock, locale);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("2026-12-04 22:30:00", rows[0].SubItem(kColumnNextRun));
}

TEST_F(ScheduleListTest, MissingOrEmptyDataFolderGivesAnEmptyList) {
  rows.push_back({"stale", {}});
  EXPECT_TRUE(loadData(rows, store, clock, locale).empty());
  EXPECT_TRUE(rows.empty());
}

TEST_F(ScheduleListTest, ClickingAScheduleRowFillsTheCurrentSchedule) {
  Put("Night.sch", File("Shut Down", "1", "2026-01-01", "-1", "2", "1,15", "x"));
  loadData(rows, store, clock, locale);
  ScheduleRecord current;
  const RowCommands commands = lstSchedules_ItemClick(rows[0], store, current);
  EXPECT_TRUE(commands.edit);
  EXPECT_TRUE(commands.remove);
  EXPECT_EQ("Night", current.Name);
  EXPECT_EQ("Shut Down", current.ItemType);
  EXPECT_EQ("x", current.LastRunTime);
  EXPECT_TRUE(current.Enabled);
  EXPECT_EQ("2026-01-01", current.StartDate);
  EXPECT_EQ("22:30:00", current.StartTime);
  EXPECT_TRUE(current.Repeat);
  EXPECT_EQ(kRepeatMonthly, current.SAccurancy);
  EXPECT_EQ("1,15", current.Period);
  EXPECT_FALSE(current.RunOnStart);
  EXPECT_TRUE(current.RunOnEnd);
}

TEST_F(ScheduleListTest, ClickingAQuickRowLeavesOnlyDeleteAndKeepsTheSchedulerFields) {
  ScheduleRecord current;
  current.StartDate = "2026-01-01";
  current.Period = "mon";
  const ListItem quick{"Quick Schedule 12/4/2026", {"Reboot", "", "2026-12-04 10:05:00", "Yes"}};
  const RowCommands commands = lstSchedules_ItemClick(quick, store, current);
  EXPECT_FALSE(commands.edit);
  EXPECT_TRUE(commands.remove);
  EXPECT_EQ("Quick Schedule 12/4/2026", current.Name);
  EXPECT_EQ("Reboot", current.ItemType);
  EXPECT_TRUE(current.Enabled);
  EXPECT_EQ("2026-01-01", current.StartDate);
  EXPECT_EQ("mon", current.Period);
}

TEST_F(ScheduleListTest, ClickFindsTheFileWhateverTheCaseOfItsName) {
  Put("night.sch", File("Reboot", "1", "2026-01-01"));
  ScheduleRecord current;
  EXPECT_TRUE(lstSchedules_ItemClick({"NIGHT", {"Reboot", "", "", "Yes"}}, store, current).edit);
  EXPECT_EQ("2026-01-01", current.StartDate);
}

TEST(FindSchedule, ReturnsTheFirstExactMatchOneBasedOrZero) {
  const ListItems rows{{"Night", {}}, {"night", {}}, {"Night", {}}};
  EXPECT_EQ(1u, FindSchedule(rows, "Night"));
  EXPECT_EQ(2u, FindSchedule(rows, "night"));
  EXPECT_EQ(0u, FindSchedule(rows, "NIGHT"));
  EXPECT_EQ(0u, FindSchedule({}, "Night"));
}

}  // namespace
}  // namespace norvale
