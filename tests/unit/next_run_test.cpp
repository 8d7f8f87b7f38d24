#include <gtest/gtest.h>

#include "engine/next_run.h"
#include "schedule/schedule_file.h"
#include "tests/fakes/fakes.h"

namespace norvale {
namespace {

using namespace std::chrono;
using fakes::FakeClock;

Date D(int y, unsigned m, unsigned d) {
  return Date{year{y}, month{m}, day{d}};
}

// A SCHEDULER block as SaveSchedule writes it.
std::string Block(const std::string& start_date, const std::string& start_time, bool repeat,
                  int mode = 0, const std::string& period = "") {
  ScheduleRecord r;
  r.StartDate = start_date;
  r.StartTime = start_time;
  r.Repeat = repeat;
  r.SAccurancy = static_cast<int16_t>(mode);
  r.Period = period;
  return GetTag(ScheduleText(r), "SCHEDULER");
}

struct Case {
  bool repeat;
  int mode;
  const char* period;
  Date expected;  // ok() false: no next run
};

class NextRunExamples : public ::testing::TestWithParam<PatternLocale> {};

// Start long past, start time 22:30:00, now Friday 2026-12-04 10:00.
TEST_P(NextRunExamples, MatchTheTable) {
  const Locale& locale = GetParam();
  const FakeClock clock(FakeClock::At(2026, 12, 4, 10, 0));
  const std::string past = locale.ShortDate(D(2026, 1, 15));
  const Case cases[] = {
      {true, kRepeatDaily, "", D(2026, 12, 4)},
      {true, kRepeatWeekly, "mon,fri", D(2026, 12, 4)},
      {true, kRepeatWeekly, "mon,wed", D(2026, 12, 7)},
      {true, kRepeatWeekly, "sat", D(2026, 12, 5)},
      {true, kRepeatMonthly, "1,25", D(2026, 12, 25)},
      {true, kRepeatMonthly, "2", D(2027, 1, 2)},
      {false, kRepeatDaily, "", Date{}},
  };
  for (const Case& c : cases) {
    const std::string expected = c.expected.ok() ? locale.ShortDate(c.expected) + " 22:30:00" : "";
    EXPECT_EQ(expected,
              GetNextRun(Block(past, "22:30:00", c.repeat, c.mode, c.period), clock, locale))
        << c.mode << " " << c.period;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Locales, NextRunExamples,
    ::testing::Values(PatternLocale::Iso(), PatternLocale::Us(), PatternLocale::German()),
    [](const auto& info) {
      return std::string(info.index == 0 ? "Iso" : info.index == 1 ? "Us" : "German");
    });

class NextRun : public ::testing::Test {
 protected:
  PatternLocale locale = PatternLocale::German();
  FakeClock clock{FakeClock::At(2026, 12, 4, 10, 0)};

  std::string Run(const std::string& block) { return GetNextRun(block, clock, locale); }
  std::string Past() { return locale.ShortDate(D(2025, 6, 1)); }
  std::string At(Date d, const char* time = "22:30:00") { return locale.ShortDate(d) + " " + time; }
};

TEST_F(NextRun, FutureStartRunsFirstOnItsStartDateAsStored) {
  // The stored texts come back unchanged, whatever the day list says.
  EXPECT_EQ("4.12.2026 10:01:00", Run(Block("4.12.2026", "10:01:00", true, kRepeatWeekly, "mon")));
  EXPECT_EQ("05.12.2026 01:00:00", Run(Block("05.12.2026", "01:00:00", false)));
  EXPECT_EQ("31.12.2030 22:30:00", Run(Block("31.12.2030", "22:30:00", true, kRepeatMonthly, "2")));
}

TEST_F(NextRun, StartInTheCurrentMinuteHasPassed) {
  clock.Set(FakeClock::At(2026, 12, 4, 22, 30, 0));
  EXPECT_EQ("", Run(Block("04.12.2026", "22:30:00", false)));
  EXPECT_EQ(At(D(2026, 12, 5)), Run(Block("04.12.2026", "22:30:00", true)));
  clock.Set(FakeClock::At(2026, 12, 4, 22, 29, 59));
  EXPECT_EQ("04.12.2026 22:30:00", Run(Block("04.12.2026", "22:30:00", false)));
  // Seconds of the start time do not count: 22:30:59 is not later at 22:30:10.
  clock.Set(FakeClock::At(2026, 12, 4, 22, 30, 10));
  EXPECT_EQ("", Run(Block("04.12.2026", "22:30:59", false)));
}

TEST_F(NextRun, DailyAtTheExactStartMinuteYieldsTomorrow) {
  clock.Set(FakeClock::At(2026, 12, 4, 22, 30, 0));
  EXPECT_EQ(At(D(2026, 12, 5)), Run(Block(Past(), "22:30:00", true, kRepeatDaily)));
  clock.Set(FakeClock::At(2026, 12, 31, 23, 0, 0));
  EXPECT_EQ(At(D(2027, 1, 1)), Run(Block(Past(), "22:30:00", true, kRepeatDaily)));
  clock.Set(FakeClock::At(2028, 2, 28, 23, 0, 0));
  EXPECT_EQ(At(D(2028, 2, 29)), Run(Block(Past(), "22:30:00", true, kRepeatDaily)));
}

TEST_F(NextRun, WeeklyWithOnlyTodayPassedYieldsNextWeek) {
  clock.Set(FakeClock::At(2026, 12, 4, 23, 0));  // Friday
  EXPECT_EQ(At(D(2026, 12, 11)), Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "fri")));
  EXPECT_EQ(At(D(2026, 12, 7)), Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "mon,fri")));
  EXPECT_EQ(At(D(2026, 12, 6)), Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "sun")));
}

TEST_F(NextRun, WeeklyCrossesTheYearEnd) {
  clock.Set(FakeClock::At(2026, 12, 31, 23, 0));  // Thursday
  EXPECT_EQ(At(D(2027, 1, 4)), Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "mon,tue")));
  EXPECT_EQ(At(D(2027, 1, 1)), Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "fri")));
}

TEST_F(NextRun, WeeklyDayKeysAreCaseSensitiveAndOddEntriesAreIgnored) {
  EXPECT_EQ(At(D(2026, 12, 5)), Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "Mon,sat")));
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "MON")));
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "9,0,x")));
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "155555555555555555555,2.5")));
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", true, kRepeatWeekly, "")));
}

TEST_F(NextRun, MonthlyPicksTheNextChosenDayOrTheFollowingMonth) {
  clock.Set(FakeClock::At(2027, 1, 30, 23, 0));
  EXPECT_EQ(At(D(2027, 2, 1)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "1")));
  clock.Set(FakeClock::At(2027, 1, 31, 23, 0));
  EXPECT_EQ(At(D(2027, 2, 28)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "31")));
  clock.Set(FakeClock::At(2028, 1, 31, 23, 0));
  EXPECT_EQ(At(D(2028, 2, 29)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "30")));
  clock.Set(FakeClock::At(2026, 12, 31, 23, 0));
  EXPECT_EQ(At(D(2027, 1, 15)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "15,31")));
  clock.Set(FakeClock::At(2026, 12, 31, 10, 0));
  EXPECT_EQ(At(D(2026, 12, 31)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "15,31")));
}

TEST_F(NextRun, MonthlyDayBeyondThisMonthsEndFallsOnItsLastDay) {
  clock.Set(FakeClock::At(2027, 4, 10, 10, 0));
  EXPECT_EQ(At(D(2027, 4, 30)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "31")));
  clock.Set(FakeClock::At(2027, 4, 30, 10, 0));
  EXPECT_EQ(At(D(2027, 4, 30)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "31")));
  clock.Set(FakeClock::At(2027, 4, 30, 23, 0));
  EXPECT_EQ(At(D(2027, 5, 31)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "31")));
  clock.Set(FakeClock::At(2028, 2, 10, 10, 0));
  EXPECT_EQ(At(D(2028, 2, 29)), Run(Block(Past(), "22:30:00", true, kRepeatMonthly, "30,31")));
}

TEST_F(NextRun, NoRepeatAfterTheStartNeverRunsAgain) {
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", false)));
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", false, kRepeatWeekly, "fri")));
}

TEST_F(NextRun, UnknownRepeatModesAndUnreadableFlagsGiveNoRun) {
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", true, 3)));
  EXPECT_EQ("", Run(Block(Past(), "22:30:00", true, -1)));
  const std::string block = Block(Past(), "22:30:00", true);
  std::string no_mode = block;
  no_mode.replace(no_mode.find("SAccurancy=0"), 12, "SAccurancy=");
  EXPECT_EQ("", Run(no_mode));
  std::string bad_repeat = block;
  bad_repeat.replace(bad_repeat.find("Repeat=-1"), 9, "Repeat=ja");
  EXPECT_EQ("", Run(bad_repeat));
}

TEST_F(NextRun, ScheduleWithoutAStartHasNoNextRun) {
  EXPECT_EQ("", Run(Block("", "", true)));
  EXPECT_EQ("", Run(Block("04.12.2026", "", true)));
  EXPECT_EQ("", Run(""));
}

TEST_F(NextRun, UnreadableStartIsShownAsStored) {
  EXPECT_EQ("12/25/2026 22:30:00", Run(Block("12/25/2026", "22:30:00", true)));
  EXPECT_EQ("04.12.2026 25:00", Run(Block("04.12.2026", "25:00", true)));
  EXPECT_EQ("gestern 22:30:00", Run(Block("gestern", "22:30:00", false)));
}

TEST_F(NextRun, TheResultFollowsTheDesktopsDateForm) {
  const PatternLocale us = PatternLocale::Us();
  const std::string block =
      Block(us.ShortDate(D(2025, 6, 1)), "22:30:00", true, kRepeatWeekly, "mon");
  EXPECT_EQ("12/7/2026 22:30:00", GetNextRun(block, clock, us));
}

TEST(ParseTimeOfDay, ReadsTwentyFourAndTwelveHourTimes) {
  EXPECT_EQ(hours{22} + minutes{30}, ParseTimeOfDay("22:30:00"));
  EXPECT_EQ(hours{9} + minutes{5}, ParseTimeOfDay("9:05"));
  EXPECT_EQ(hours{22} + minutes{30} + seconds{1}, ParseTimeOfDay("10:30:01 PM"));
  EXPECT_EQ(minutes{30}, ParseTimeOfDay("12:30:00 am"));
  EXPECT_EQ(hours{12}, ParseTimeOfDay("12:00 PM"));
  for (const char* bad : {"", "22", "24:00", "12:60", "1:2:3:4", "13:00 PM", "0:10 AM", ":30",
                          "22:", "22:30:", "ab:cd", "123:00", "88888888888:00", "1:88888888888"}) {
    EXPECT_EQ(std::nullopt, ParseTimeOfDay(bad)) << bad;
  }
}

}  // namespace
}  // namespace norvale
