#include <gtest/gtest.h>

#include "schedule/schedule_file.h"
#include "tests/fakes/fakes.h"

namespace norvale {
namespace {

using fakes::MemoryFileSystem;
using fakes::ScriptedMessageBoxes;

ScheduleRecord MondayFriday() {
  ScheduleRecord r;
  r.Name = "Night";
  r.ItemType = "Shut Down";
  r.Enabled = true;
  r.StartDate = "2026-12-04";
  r.StartTime = "22:30:00";
  r.Repeat = true;
  r.SAccurancy = kRepeatWeekly;
  r.Period = "mon,fri";
  return r;
}

constexpr std::string_view kMondayFridayFile =
    "<DATA>\r\n"
    "LastRunTime=\r\n"
    "ItemType=Shut Down\r\n"
    "Enabled=1\r\n"
    "</DATA>\r\n"
    "\r\n"
    "<SCHEDULER>\r\n"
    "StartDate=2026-12-04\r\n"
    "StartTime=22:30:00\r\n"
    "Repeat=-1\r\n"
    "SAccurancy=1\r\n"
    "Period=mon,fri\r\n"
    "RunOnStart=0\r\n"
    "RunOnEnd=0\r\n"
    "</SCHEDULER>\r\n"
    "\r\n";

class ScheduleFileTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs;
  Cp1252Codec codec;
  ScriptedMessageBoxes boxes;
  ScheduleStore store{fs, codec, DataFolder(fs.ProgramFolder())};

  void SetUp() override { fs.CreateFolder(store.data_folder); }
};

TEST_F(ScheduleFileTest, MondayFridayExampleIsWrittenByteForByte) {
  ASSERT_TRUE(SaveSchedule(MondayFriday(), store, boxes));
  EXPECT_EQ(kMondayFridayFile, fs.Get(store.PathOf("Night")));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ScheduleFileTest, BooleansAreStoredAsOneForEnabledAndMinusOneOtherwise) {
  ScheduleRecord r = MondayFriday();
  r.RunOnStart = true;
  const std::string text = ScheduleText(r);
  EXPECT_NE(std::string::npos, text.find("\r\nEnabled=1\r\n"));
  EXPECT_NE(std::string::npos, text.find("\r\nRepeat=-1\r\n"));
  EXPECT_NE(std::string::npos, text.find("\r\nRunOnStart=-1\r\n"));
  r.Enabled = false;
  r.Repeat = false;
  const std::string off = ScheduleText(r);
  EXPECT_NE(std::string::npos, off.find("\r\nEnabled=0\r\n"));
  EXPECT_NE(std::string::npos, off.find("\r\nRepeat=0\r\n"));
}

TEST_F(ScheduleFileTest, SavingOverAnExistingFileKeepsNothingOfIt) {
  fs.Put(store.PathOf("night"), std::string("<DATA>\r\nLastRunTime=yesterday\r\n") +
                                    std::string(5000, 'x') + "\r\n</DATA>\r\n");
  ASSERT_TRUE(SaveSchedule(MondayFriday(), store, boxes));
  EXPECT_EQ(kMondayFridayFile, fs.Get(store.PathOf("Night")));
  EXPECT_EQ(1u, fs.ListFiles(store.data_folder, "*.sch").size());
}

TEST_F(ScheduleFileTest, FailedWriteShowsTheErrorAndKeepsTheOldFileWhole) {
  const std::string old = "<DATA>\r\nItemType=Reboot\r\n</DATA>\r\n";
  fs.Put(store.PathOf("Night"), old);
  fs.FailNextWrite(FileErrorKind::DiskFull);
  EXPECT_FALSE(SaveSchedule(MondayFriday(), store, boxes));
  EXPECT_EQ(old, fs.Get(store.PathOf("Night")));
  ASSERT_EQ(1u, boxes.shown().size());
  EXPECT_EQ("Error 61 - Disk full", boxes.shown()[0].text);
  EXPECT_EQ(MsgBoxButtons::OK, boxes.shown()[0].buttons);
}

TEST_F(ScheduleFileTest, MissingDataFolderEndsInTheWriteError) {
  MemoryFileSystem bare;
  const ScheduleStore elsewhere{bare, codec, DataFolder("C:\\Nowhere")};
  EXPECT_FALSE(SaveSchedule(MondayFriday(), elsewhere, boxes));
  ASSERT_EQ(1u, boxes.shown().size());
  EXPECT_EQ("Error 76 - Path not found", boxes.shown()[0].text);
}

TEST_F(ScheduleFileTest, NamesThatWouldLeaveTheDataFolderAreRefusedBeforeAnyWrite) {
  for (const char* name : {"..\\x", "a\\b", "a/b", "CON", "nul.txt", "x.", "x ", "a:b", ""}) {
    ScheduleRecord r = MondayFriday();
    r.Name = name;
    EXPECT_FALSE(SaveSchedule(r, store, boxes)) << name;
  }
  EXPECT_EQ(0u, fs.WriteCount());
  ASSERT_FALSE(boxes.shown().empty());
  EXPECT_EQ("Error 52 - Bad file name or number", boxes.shown().back().text);
}

TEST_F(ScheduleFileTest, NonAsciiTextIsStoredInTheAnsiCodePage) {
  ScheduleRecord r = MondayFriday();
  r.StartDate = "4. Dez. 2026";
  r.ItemType = "H\xC3\xBC";  // "Hü"
  ASSERT_TRUE(SaveSchedule(r, store, boxes));
  const std::string bytes = *fs.Get(store.PathOf("Night"));
  EXPECT_NE(std::string::npos, bytes.find("ItemType=H\xFC\r\n"));
  EXPECT_EQ(r.ItemType, GetValue(store.ReadText("Night"), "ItemType"));
}

TEST(GetTag, ReturnsTheBlockBetweenTheMarks) {
  EXPECT_EQ("\r\nLastRunTime=\r\nItemType=Shut Down\r\nEnabled=1\r\n",
            GetTag(kMondayFridayFile, "DATA"));
  const std::string block = GetTag(kMondayFridayFile, "scheduler");  // tag upper-cased
  EXPECT_EQ(0u, block.find("\r\nStartDate="));
  EXPECT_EQ(block.size() - 12, block.find("RunOnEnd=0\r\n"));
}

TEST(GetTag, MarksAreCaseSensitiveInTheText) {
  EXPECT_EQ("", GetTag("<scheduler>\r\nA=1\r\n</scheduler>", "SCHEDULER"));
}

TEST(GetTag, MissingClosingMarkGivesAnEmptyBlock) {
  const std::string text = "<SCHEDULER>\r\nStartTime=22:30:00\r\n";
  EXPECT_EQ("", GetTag(text, "SCHEDULER"));
  EXPECT_EQ("", GetValue(GetTag(text, "SCHEDULER"), "StartTime"));
}

TEST(GetTag, TakesTheLastClosingMark) {
  EXPECT_EQ("a</X>b", GetTag("<X>a</X>b</X>c", "X"));
}

TEST(GetTag, ClosingBeforeOpeningGivesNothing) {
  EXPECT_EQ("", GetTag("</X>...<X>", "X"));
  EXPECT_EQ("", GetTag("", "X"));
}

TEST(GetTag, MissingOpeningMarkCountsFromTheMarkLength) {
  // Without "<X>" the block starts at position 3 (the mark's length), 1-based.
  EXPECT_EQ("cdef", GetTag("abcdef</X>", "X"));
}

TEST(GetValue, FindsTheFirstOccurrenceAnywhereUpToTheLineEnd) {
  EXPECT_EQ("Shut Down", GetValue(kMondayFridayFile, "ItemType"));
  EXPECT_EQ("", GetValue(kMondayFridayFile, "LastRunTime"));
  EXPECT_EQ("9", GetValue("A=1\r\nXA=9\r\n", "XA"));
  EXPECT_EQ("9", GetValue("XA=9\r\nA=1\r\n", "A"));  // a plain substring search
  EXPECT_EQ("first", GetValue("K=first\r\nK=second\r\n", "K"));
  // LF and CR CR LF end a line as CR LF does.
  EXPECT_EQ("22:30:00", GetValue("StartTime=22:30:00\n", "StartTime"));
  EXPECT_EQ("22:30:00", GetValue("StartTime=22:30:00\r\r\n", "StartTime"));
}

TEST(GetValue, EmptyOrMissingOrUnterminatedGivesEmpty) {
  EXPECT_EQ("", GetValue("", "StartTime"));
  EXPECT_EQ("", GetValue("Other=1\r\n", "StartTime"));
  EXPECT_EQ("", GetValue("StartDate=x\r\nStartTime=22:30:00", "StartTime"));
  EXPECT_EQ("", GetValue("StartTime=22:30:00\r", "StartTime"));  // CR alone is no line end
  EXPECT_EQ("", GetValue("starttime=22:30:00\r\n", "StartTime"));
}

TEST(StoredNumbers, BooleansAndIntegersReadAsTheirNumbers) {
  EXPECT_TRUE(ReadBoolean("-1"));
  EXPECT_TRUE(ReadBoolean("1"));
  EXPECT_TRUE(ReadBoolean(" 2 "));
  EXPECT_FALSE(ReadBoolean("0"));
  EXPECT_FALSE(ReadBoolean(""));
  EXPECT_FALSE(ReadBoolean("yes"));
  EXPECT_EQ(int16_t{1}, ReadInt16("1"));
  EXPECT_EQ(int16_t{-2}, ReadInt16("-2"));
  EXPECT_EQ(int16_t{2}, ReadInt16("2.5"));  // halves round to even
  EXPECT_EQ(int16_t{4}, ReadInt16("3.5"));
  EXPECT_EQ(std::nullopt, ReadInt16("40000"));
  EXPECT_EQ(std::nullopt, ReadInt16("1x"));
  EXPECT_EQ(std::nullopt, ReadInt16("-"));
}

TEST(FileExists, MatchesTheNameIgnoringCase) {
  MemoryFileSystem fs;
  fs.Put("C:\\N\\data\\night.sch", "x");
  EXPECT_TRUE(FileExists(fs, "C:\\N\\data\\Night.sch"));
  EXPECT_TRUE(FileExists(fs, "c:\\n\\DATA\\NIGHT.SCH"));
  EXPECT_FALSE(FileExists(fs, "C:\\N\\data\\Nigh.sch"));
  EXPECT_FALSE(FileExists(fs, "C:\\M\\data\\night.sch"));
}

}  // namespace
}  // namespace norvale
