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

// What `events` makes the program print, in Berlin, with a minute's warning.
std::vector<std::string> Simulate(const ScheduleFiles& files, const char* from, const char* to,
                             const std::string& events, int warning = 60) {
  std::string error;
  auto plan = ParseSimulationArgs({"--data", "d", "--from", from, "--to", to, "--warning",
                                   std::to_string(warning), "--events", "e"},
                                  error);
  EXPECT_TRUE(plan) << error;
  if (!plan || !ParseSimulationEvents(events, *plan, error)) {
    ADD_FAILURE() << error;
    return {};
  }
  const fakes::CentralEuropeanZone berlin;
  std::vector<std::string> out;
  RunSimulation(*plan, files, &berlin, [&](const std::string& line) { out.push_back(line); });
  return out;
}

using Lines = std::vector<std::string>;

TEST(RunModel, SleepAndDaylightSavingNeverBringARunLate) {
  const ScheduleFiles daily = {
      {"Daily.sch", File("Reboot", "2027-03-01", "06:00:00", true, kRepeatDaily)}};
  // Asleep across the spring change and the 06:00 run: nothing at the resume.
  EXPECT_EQ(Lines{"2027-03-29 06:00:00\tDaily\tReboot"},
            Simulate(daily, "2027-03-27T12:00", "2027-03-29T12:00",
                "2027-03-27T23:00\tsleep\t2027-03-28T08:00\n"));
  // A countdown asleep through its moment is missed, not performed at the resume.
  EXPECT_EQ(Lines{"2027-03-03 06:00:00\tDaily\tReboot"},
            Simulate(daily, "2027-03-02T05:00", "2027-03-03T12:00",
                "2027-03-02T05:59:30\tsleep\t2027-03-02T08:00\n"));
  // /at on the spring-forward night is the local 03:30, not an hour later.
  EXPECT_EQ(Lines{"2027-03-28 03:30:00\tQuick Schedule 2027-03-28 01:00:00\tShut Down"},
            Simulate({}, "2027-03-28T00:30", "2027-03-28T05:00",
                "2027-03-28T01:00\tat\tShut Down\t03:30\n"));
}

TEST(RunModel, TheCountdownCountsRealSecondsWhateverTheClockIsSetTo) {
  const ScheduleFiles night = {{"Night.sch", File("Shut Down", "2027-03-01", "22:30:00")}};
  EXPECT_EQ(Lines{"2027-03-01 23:30:00\tNight\tShut Down"},
            Simulate(night, "2027-03-01T22:00", "2027-03-02T01:00",
                "2027-03-01T22:29:30\tset-clock\t2027-03-01T23:29:30\n"));
  EXPECT_EQ(Lines{"2027-03-01 21:30:00\tNight\tShut Down"},
            Simulate(night, "2027-03-01T22:00", "2027-03-02T01:00",
                "2027-03-01T22:29:30\tset-clock\t2027-03-01T21:29:30\n"));
}

TEST(RunModel, NothingWaitsPastAnActionAndAReloadDropsNothing) {
  const ScheduleFiles files = {
      {"Nap.sch", File("Stand by", "2027-03-01", "12:00:00")},
      {"Later.sch", File("Shut Down", "2027-03-01", "12:01:00")},
      {"Evening.sch", File("Log Off", "2027-03-01", "18:00:00")},
  };
  // Later's warning (from 11:59) waited behind Nap's; the Stand By went, so it is missed.
  // A delay made meanwhile is its own occurrence, warned of later. A reload at the
  // start of Evening's warning minute still takes it.
  EXPECT_EQ((Lines{"2027-03-01 12:00:00\tNap\tStand by",
                   "2027-03-01 12:29:30\tQuick Schedule 2027-03-01 11:59:30\tReboot",
                   "2027-03-01 18:00:00\tEvening\tLog Off"}),
            Simulate(files, "2027-03-01T11:00", "2027-03-02T00:00",
                "2027-03-01T11:59:30\tin\tReboot\t30\n"
                "2027-03-01T17:58:00\treload\n",
                120));
}

TEST(RunModel, CancelAndPreventEndAWarningAlreadyShown) {
  EXPECT_EQ(Lines{},
            Simulate({}, "2027-03-01T07:00", "2027-03-01T08:00",
                "2027-03-01T07:02:23\tin\tShut Down\t2\n"
                "2027-03-01T07:03:40\tcancel\n"
                "2027-03-01T07:10\tin\tReboot\t5\n"
                "2027-03-01T07:14:30\tprevent\ton\n"
                "2027-03-01T07:16\tprevent\toff\n"));
}

TEST(RunModel, IdleTimeIsAwakeTimeAndOneActionAMinuteHoldsForWaitsToo) {
  const ScheduleFiles morning = {
      {"Morning.sch", File("Shut Down", "2027-03-01", "07:30:00", true, kRepeatDaily)}};
  EXPECT_EQ((Lines{"2027-03-01 09:11:00\tQuick Schedule 2027-03-01 08:00:00\tLog Off",
                   "2027-03-02 07:30:00\tMorning\tShut Down"}),
            Simulate(morning, "2027-03-01T07:31", "2027-03-02T08:00",
                "2027-03-01T08:00\twhen-idle\tLog Off\t10\n"
                "2027-03-01T08:05\tsleep\t2027-03-01T09:00\n"
                "2027-03-01T09:30\tstart\trender.exe\n"
                "2027-03-01T09:31\twhen-ends\tHibernate\trender\n"
                "# ends in Morning's minute: its action would be the second of the minute\n"
                "2027-03-02T07:29:30\tend\trender.exe\n"));
}

TEST(RunModel, EventsAtTheFirstMomentFindTheWindowThere) {
  EXPECT_EQ(Lines{"2027-03-01 07:01:00\tQuick Schedule 2027-03-01 07:00:00\tReboot"},
            Simulate({}, "2027-03-01T07:00", "2027-03-01T08:00",
                     "2027-03-01T07:00\tgo\tReboot\tIn 1 Minute\n"
                     "2027-03-01T07:00\tprevent\ton\n"
                     "2027-03-01T07:00\tprevent\toff\n"
                     "2027-03-01T07:00\treload\n",
                     0));
}

TEST(RunModel, AnEventsLineThatCannotBeReadIsNamed) {
  std::string error;
  SimulationPlan plan;
  plan.from = FakeClock::At(2027, 3, 1, 0, 0);
  plan.to = FakeClock::At(2027, 3, 2, 0, 0);
  for (const char* bad : {"2027-03-01T10:00\tsnooze\n", "2027-03-01T10:00\tin\tExplode\t5\n",
                          "10:00\tinput\n", "2027-03-01T10:00\tpostpone\t7\n",
                          "2027-03-01T10:00\tgo\tReboot\tIn 7 Minutes\n",
                          "2027-03-01T10:00\tinput\n2027-03-01T09:00\tinput\n"}) {
    SimulationPlan p = plan;
    error.clear();
    EXPECT_FALSE(ParseSimulationEvents(std::string("# a comment\n\n") + bad, p, error)) << bad;
    EXPECT_TRUE(error.find("line 3") != std::string::npos || error.find("order") != std::string::npos)
        << error;
  }
  SimulationPlan p = plan;
  EXPECT_TRUE(ParseSimulationEvents("2027-03-01T10:00\tprevent\ton\r\n", p, error)) << error;
  error.clear();
  EXPECT_FALSE(ParseSimulationArgs({"--data", "d", "--from", "2027-03-01T00:00", "--to",
                                    "2027-03-02T00:00", "--events", "e", "--sleep",
                                    "2027-03-01T08:00/2027-03-01T08:30"},
                                   error));
  EXPECT_NE(std::string::npos, error.find("--events"));
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

// Every time of the command line and of an events file has one shape, two digits
// a field, and a year a run can reach the end of.
TEST(Simulation, TimesAreReadStrictly) {
  std::string error;
  const auto from = [&](const std::string& t) {
    error.clear();
    return ParseSimulationArgs({"--data", "d", "--from", t, "--to", "9999-12-31T23:59:59"}, error);
  };
  for (const char* bad :
       {"2027-03-01T1:000", "2027-03-01T+1:+0", "2027-03-01T10:00:+5", "2027-03-01T10:0 ",
        "-001-03-01T10:00", "0000-01-01T00:00", "1969-12-31T23:59", "2027-3-01T10:000",
        "2027-03-01T10:00:60", "2027-03-01T24:00", "2027-03-01t10:00", "2027-03-01T10:00:5",
        "+027-03-01T10:00"}) {
    EXPECT_FALSE(from(bad)) << bad;
    EXPECT_NE(std::string::npos, error.find("YYYY-MM-DDTHH:MM[:SS]")) << bad << ": " << error;
    SimulationPlan plan;
    plan.from = FakeClock::At(1970, 1, 1);
    plan.to = FakeClock::At(9999, 12, 31);
    EXPECT_FALSE(ParseSimulationEvents(std::string(bad) + "\tinput\n", plan, error)) << bad;
    EXPECT_FALSE(ParseSimulationArgs({"--data", "d", "--from", "2027-03-01T00:00", "--to",
                                      "2027-03-02T00:00", "--sleep",
                                      std::string("2027-03-01T00:00/") + bad},
                                     error))
        << bad;
  }
  ASSERT_TRUE(from("1970-01-01T00:00")) << error;
  EXPECT_EQ(FakeClock::At(1970, 1, 1), from("1970-01-01T00:00")->from);
  EXPECT_EQ(FakeClock::At(2027, 3, 1, 10, 0, 5), from("2027-03-01T10:00:05")->from);
  EXPECT_EQ(FakeClock::At(9999, 12, 31, 23, 59, 59), from("9999-12-31T23:59:59")->to);
}

// A large data folder starts as a load does: ten times the files take about ten
// times as long, where finding each file by a scan of all of them took a hundred.
TEST(Simulation, StartingWithTenTimesTheFilesTakesAboutTenTimesAsLong) {
  const auto took = [](int count) {
    ScheduleFiles files;
    for (int i = 0; i < count; ++i) {
      files["Schedule " + std::to_string(i) + ".sch"] =
          File("Shut Down", "2027-03-01", "22:30:00", i % 5 != 0, static_cast<int16_t>(i % 3));
    }
    SimulationPlan plan;
    plan.data_folder = "d";
    plan.from = FakeClock::At(2027, 3, 1, 10, 0);
    plan.to = plan.from + minutes{1};
    auto best = steady_clock::duration::max();
    for (int round = 0; round < 3; ++round) {
      const auto start = steady_clock::now();
      RunSimulation(plan, files, nullptr, [](const std::string&) {});
      best = std::min(best, steady_clock::now() - start);
    }
    return duration<double>(best).count();
  };
  const double small = took(1000), large = took(10000);
  EXPECT_LT(large, 30 * small) << small << " s for 1,000 files, " << large << " s for 10,000";
}

}  // namespace
}  // namespace norvale
