// Weeks of the whole program over a virtual clock: every occurrence performed
// exactly once in its minute, through sleeps, clock changes and daylight saving.
#include "apps/norvale/simulate.h"

#include <gtest/gtest.h>

#include <set>

#include "schedule/schedule_file.h"
#include "tests/fakes/fakes.h"

namespace norvale {
namespace {

using namespace std::chrono;
using fakes::FakeClock;

std::string File(const char* type, const char* date, const char* time, bool repeat = false,
                 int16_t mode = 0, const char* period = "") {
  ScheduleRecord r;
  r.ItemType = type;
  r.Enabled = true;
  r.StartDate = date;
  r.StartTime = time;
  r.Repeat = repeat;
  r.SAccurancy = mode;
  r.Period = period;
  return ScheduleText(r);
}

std::string Minute(LocalTime t) {
  return IsoMoment(t).substr(0, 16);
}

TEST(Simulation, SixtyDaysPerformEveryOccurrenceOnceInItsMinuteAndNothingElse) {
  const ScheduleFiles files = {
      {"Nightly.sch", File("Stand by", "2027-01-01", "02:30:00", true, kRepeatDaily)},
      {"Workdays.sch",
       File("Shut Down", "2027-01-01", "07:15:00", true, kRepeatWeekly, "mon,tue,fri")},
      {"Month end.sch", File("Reboot", "2027-01-01", "12:00:00", true, kRepeatMonthly, "31")},
      {"Once.sch", File("Hibernate", "2027-10-25", "20:00:00")},
  };
  const auto at = [](unsigned mo, unsigned d, int h, int mi, int s = 0) {
    return FakeClock::At(2027, mo, d, h, mi, s);
  };
  SimulationPlan plan;
  plan.data_folder = "examples";
  plan.from = at(3, 10, 8, 0);
  plan.to = at(11, 5, 0, 0);
  plan.events = {
      {SimulationEvent::kSleep, at(3, 15, 22, 0), at(3, 16, 9, 0), "", "", 0},        // across midnight
      {SimulationEvent::kSetClock, at(4, 20, 7, 20), at(4, 20, 7, 0), "", "", 0},     // back over a run
      {SimulationEvent::kSetClock, at(5, 1, 10, 0), at(10, 20, 10, 0), "", "", 0},    // forward, months
      {SimulationEvent::kSleep, at(10, 26, 6, 0), at(10, 26, 7, 15, 20), "", "", 0},  // wakes in a due minute
  };
  // Daylight saving begins on 28 March (02:00 becomes 03:00) and ends on
  // 31 October (03:00 becomes 02:00 again).
  const fakes::CentralEuropeanZone berlin;
  std::vector<std::string> performed;
  RunSimulation(plan, files, &berlin, [&](const std::string& line) { performed.push_back(line); });

  // What the wall clock shows while the program is awake, in the order it runs.
  const std::vector<std::pair<LocalTime, LocalTime>> awake = {
      {plan.from, at(3, 15, 22, 0)},      {at(3, 16, 9, 0), at(4, 20, 7, 20)},
      {at(4, 20, 7, 0), at(5, 1, 10, 0)}, {at(10, 20, 10, 0), at(10, 26, 6, 0)},
      {at(10, 26, 7, 15, 20), plan.to},
  };
  std::set<std::string> expected;
  const auto expect = [&](LocalTime due, const char* name, const char* action) {
    for (const auto& [begin, end] : awake) {
      if (due < end && due + minutes{1} > begin) {
        // The local time that the spring change skips is performed right after it.
        const LocalTime shown = due == at(3, 28, 2, 30) ? at(3, 28, 3, 0) : due;
        expected.insert(Minute(shown) + "\t" + name + "\t" + action);
        return;
      }
    }
  };
  for (local_days d = floor<days>(plan.from); d < floor<days>(plan.to); d += days{1}) {
    const year_month_day ymd{d};
    const unsigned wd = weekday{d}.iso_encoding();
    const LocalTime day{d};
    expect(day + hours{2} + minutes{30}, "Nightly", "Stand by");
    if (wd == 1 || wd == 2 || wd == 5)
      expect(day + hours{7} + minutes{15}, "Workdays", "Shut Down");
    if (ymd.day() == year_month_day_last{ymd.year() / ymd.month() / last}.day()) {
      expect(day + hours{12}, "Month end", "Reboot");
    }
  }
  expect(at(10, 25, 20, 0), "Once", "Hibernate");

  std::multiset<std::string> got;
  for (const std::string& line : performed) {
    ASSERT_EQ(std::string::npos, line.find('\n'));
    // "YYYY-MM-DD HH:MM:SS": the seconds show how late in its minute it came.
    const int second = std::stoi(line.substr(17, 2));
    // Woken inside its minute, or right after the spring change: later in that minute.
    const bool late_start =
        line.rfind("2027-10-26 07:15", 0) == 0 || line.rfind("2027-03-28 03:00", 0) == 0;
    EXPECT_LE(second, late_start ? 59 : 1) << line;
    got.insert(line.substr(0, 16) + line.substr(19));
  }
  EXPECT_EQ(std::multiset<std::string>(expected.begin(), expected.end()), got);
  // The run really crossed everything it was meant to.
  EXPECT_TRUE(expected.count("2027-03-28 03:00\tNightly\tStand by"));
  EXPECT_TRUE(expected.count("2027-10-31 02:30\tNightly\tStand by"));
  EXPECT_TRUE(expected.count("2027-04-30 12:00\tMonth end\tReboot"));
  EXPECT_TRUE(expected.count("2027-04-20 07:15\tWorkdays\tShut Down"));
  EXPECT_FALSE(expected.count("2027-03-16 07:15\tWorkdays\tShut Down"));
  EXPECT_GT(expected.size(), 90u);
}

TEST(Simulation, BadArgumentsAreRefusedWithAReason) {
  std::string error;
  const std::vector<std::vector<std::string>> bad = {
      {"--data", "d", "--from", "2027-03-01T00:00"},
      {"--data", "d", "--from", "2027-03-01 00:00", "--to", "2027-03-02T00:00"},
      {"--data", "d", "--from", "2027-02-30T00:00", "--to", "2027-03-02T00:00"},
      {"--data", "d", "--from", "2027-03-01T00:00", "--to", "2027-03-02T00:00", "--date-form",
       "fr"},
      {"--data", "d", "--from", "2027-03-01T00:00", "--to", "2027-03-02T00:00", "--sleep",
       "2027-03-01T10:00/2027-03-01T09:00"},
      {"--data", "d", "--from", "2027-03-01T00:00", "--to", "2027-03-02T00:00", "--set-clock",
       "2027-03-01T10:00/2027-03-01T09:00", "--sleep", "2027-03-01T08:00/2027-03-01T08:30"},
      {"--data", "d", "--from", "2027-03-02T00:00", "--to", "2027-03-01T00:00"},
      {"--data", "d", "--from", "2027-03-01T00:00", "--to", "2027-03-02T00:00", "--speed", "2"},
      {"--data", "d", "--from", "2027-03-01T00:00", "--to", "2027-03-02T00:00", "--warning", "-5"},
  };
  for (const auto& args : bad) {
    error.clear();
    EXPECT_FALSE(ParseSimulationArgs(args, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
  const auto plan = ParseSimulationArgs(
      {"--data", "d", "--from", "2027-03-01T00:00", "--to", "2027-03-02T00:00:30", "--set-clock",
       "2027-03-01T10:00/2027-03-01T09:00", "--sleep", "2027-03-01T09:30/2027-03-01T10:30", "--tz",
       "Europe/Berlin", "--date-form", "de", "--warning", "30"},
      error);
  ASSERT_TRUE(plan) << error;
  EXPECT_EQ(2u, plan->events.size());
  EXPECT_EQ(30, plan->warning);
  EXPECT_EQ(FakeClock::At(2027, 3, 2, 0, 0, 30), plan->to);
}

}  // namespace
}  // namespace norvale
