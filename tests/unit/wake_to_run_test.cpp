// Waking a sleeping computer for a schedule: the one wake timer, the hold after
// the wake, and what the editor stores and says.
#include <gtest/gtest.h>

#include "apps/norvale/simulate.h"
#include "schedule/schedule_file.h"
#include "tests/unit/app_fixture.h"

namespace norvale {
namespace {

using namespace std::chrono;
using fakes::FakeClock;
using Lines = std::vector<std::string>;

ScheduleRecord Weekly(const char* action, const char* time, const char* days, bool wake) {
  ScheduleRecord r;
  r.ItemType = action;
  r.Enabled = true;
  r.StartDate = "2027-03-01";
  r.StartTime = time;
  r.Repeat = true;
  r.SAccurancy = kRepeatWeekly;
  r.Period = days;
  r.WakeToRun = wake;
  return r;
}

// Every night asleep from 23:00 to 08:00, from Friday 26 March 2027 to Tuesday
// 6 April, in Berlin with a minute's warning; summer time begins on the 28th at 02:00.
Lines Nights(const ScheduleFiles& files, std::vector<std::string>* notes = nullptr) {
  std::string events;
  for (int day = 26; day <= 36; ++day) {
    const auto date = [](int d) {
      char text[32];
      std::snprintf(text, sizeof text, "2027-%02d-%02d", d > 31 ? 4 : 3, d > 31 ? d - 31 : d);
      return std::string(text);
    };
    events += date(day) + "T23:00\tsleep\t" + date(day + 1) + "T08:00\n";
  }
  std::string error;
  auto plan = ParseSimulationArgs({"--data", "d", "--from", "2027-03-26T20:00", "--to",
                                   "2027-04-06T12:00", "--warning", "60", "--events", "e"},
                                  error);
  EXPECT_TRUE(plan) << error;
  if (!plan || !ParseSimulationEvents(events, *plan, error)) {
    ADD_FAILURE() << error;
    return {};
  }
  const fakes::CentralEuropeanZone berlin;
  Lines out;
  RunSimulation(
      *plan, files, &berlin, [&](const std::string& line) { out.push_back(line); },
      [&](const std::string& note) {
        if (notes) notes->push_back(note);
      });
  return out;
}

TEST(WakeToRun, AWeeklyRebootAtThreeRunsOnASleepingComputerOnlyWhenItAsksToWake) {
  // The first Sunday's 02:58:45 does not exist: the wake comes at 01:58:45, in
  // winter time, and the warning counts down across the change to 03:00.
  std::vector<std::string> notes;
  EXPECT_EQ((Lines{"2027-03-28 03:00:00\tUpdates\tReboot", "2027-04-04 03:00:00\tUpdates\tReboot"}),
            Nights({{"Updates.sch", ScheduleText(Weekly("Reboot", "03:00:00", "sun", true))}},
                   &notes));
  const auto woken = std::count_if(notes.begin(), notes.end(), [](const std::string& n) {
    return n.find("woken by the wake timer") != std::string::npos;
  });
  EXPECT_EQ(2, woken);
  // Without the wake, nothing happens: the computer sleeps through both.
  EXPECT_EQ(Lines{},
            Nights({{"Updates.sch", ScheduleText(Weekly("Reboot", "03:00:00", "sun", false))}}));
  // Woken for one row, the computer sleeps again once it is done: a later row
  // of the same night that does not ask is missed, not run.
  EXPECT_EQ((Lines{"2027-03-28 03:00:00\tUpdates\tReboot", "2027-04-04 03:00:00\tUpdates\tReboot"}),
            Nights({{"Updates.sch", ScheduleText(Weekly("Reboot", "03:00:00", "sun", true))},
                    {"Later.sch", ScheduleText(Weekly("Shut Down", "04:00:00", "sun", false))}}));
}

TEST(WakeToRun, OnlyAFileThatAsksHasTheLineAndItIsReadBack) {
  ScheduleRecord plain = Weekly("Reboot", "03:00:00", "sun", false);
  EXPECT_EQ(std::string::npos, ScheduleText(plain).find("WakeToRun"));
  plain.WakeToRun = true;
  const std::string text = ScheduleText(plain);
  EXPECT_NE(std::string::npos, text.find("RunOnEnd=0\r\nWakeToRun=1\r\n</SCHEDULER>"));
}

class WakeWindow : public testing_app::AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void Start() {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "txtWarn", "60");
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
  void PutWake(const std::string& name, const std::string& time, bool wake = true) {
    ScheduleRecord r = Weekly("Shut Down", time.c_str(), "fri,sat", wake);
    r.Name = name;
    r.StartDate = "2026-12-01";
    fs.Put(data + name + ".sch", ScheduleText(r));
  }
  // Friday 4 December 2026 in the fixture's zone, on the UTC clock.
  UtcTime Utc(int day, int hour, int minute, int second = 0) {
    return clock.ToUtc(FakeClock::At(2026, 12, day, hour, minute, second));
  }
};

TEST_F(WakeWindow, TheTimerFollowsTheEarliestRowThatAsksAndWhatTheUserChanges) {
  PutWake("Late", "23:00:00");
  PutWake("Early", "22:00:00");
  PutWake("Plain", "21:00:00", false);
  Start();
  // The warning's minute less a little, so the computer is up before it.
  ASSERT_TRUE(power.wake_at);
  EXPECT_EQ(Utc(4, 21, 58, 45), *power.wake_at);
  // Prevent: nothing runs, so nothing wakes the computer; unticked, it does again.
  main->chkPrevent->UserClick();
  EXPECT_FALSE(power.wake_at);
  main->chkPrevent->UserClick();
  EXPECT_EQ(Utc(4, 21, 58, 45), power.wake_at.value_or(UtcTime{}));
  // The earlier file loses its wake: a reload arms for the later one.
  PutWake("Early", "22:00:00", false);
  main->loadData();
  EXPECT_EQ(Utc(4, 22, 58, 45), power.wake_at.value_or(UtcTime{}));
  // Once that one is taken, the next occurrence is Saturday's.
  const int calls = power.wake_calls;
  kit.Advance(FakeClock::At(2026, 12, 4, 22, 59, 1) - clock.Now());
  EXPECT_EQ(Utc(5, 22, 58, 45), power.wake_at.value_or(UtcTime{}));
  EXPECT_EQ(calls + 1, power.wake_calls) << "armed again only when the moment changed";
}

TEST_F(WakeWindow, AWakeHoldsTheComputerUpUntilThatRunIsDoneWith) {
  PutWake("Nightly", "22:00:00");
  Start();
  ASSERT_TRUE(power.wake_at);
  // Asleep from 20:00; the timer wakes the computer.
  kit.Advance(10h);
  kit.SleepUntil(clock.ToLocal(*power.wake_at));
  EXPECT_TRUE(power.idle_sleep_held);
  kit.Advance(30s);
  ASSERT_NE(nullptr, main->Pending().Flow().Shown());
  EXPECT_TRUE(power.idle_sleep_held) << "held through the warning";
  main->Countdown().cmdCancel->UserClick();
  EXPECT_FALSE(power.idle_sleep_held) << "cancelled: the computer may sleep again";
  EXPECT_TRUE(power.requests.empty());

  // Saturday: woken, and performed.
  kit.SleepUntil(clock.ToLocal(power.wake_at.value_or(UtcTime{})));
  EXPECT_TRUE(power.idle_sleep_held);
  kit.Advance(2min);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_FALSE(power.idle_sleep_held);
}

TEST_F(WakeWindow, AResumeLongAfterTheWakeHoldsNothingAndTheEditorStoresTheChoice) {
  PutWake("Nightly", "22:00:00");
  Start();
  kit.SleepUntil(FakeClock::At(2026, 12, 4, 23, 30));  // the timer did not wake it
  EXPECT_FALSE(power.idle_sleep_held);
  EXPECT_TRUE(power.requests.empty()) << "never late";

  main->cmdNewSchedule->UserClick();
  frmWizard& w = main->Wizard();
  EXPECT_FALSE(w.lblWakeNote->Visible()) << "this plan lets timers wake the computer";
  w.txtName->UserType("Updates");
  w.chkWake->UserClick();
  w.cmdOK->UserClick();
  EXPECT_EQ("1", GetValue(GetTag(fs.Get(data + "Updates.sch").value_or(""), "SCHEDULER"),
                          "WakeToRun"));
}

TEST_F(WakeWindow, ThePowerPlanThatRefusesWakeTimersIsNamedUnderTheBox) {
  power.capabilities.wake_timers_allowed = false;
  Start();
  main->cmdNewSchedule->UserClick();
  frmWizard& w = main->Wizard();
  EXPECT_TRUE(w.lblWakeNote->Visible());
  EXPECT_NE(std::string::npos, w.lblWakeNote->Caption().find("does not let programs wake it"));
  // Keep-awake hours have no run to wake for.
  for (int i = 0; i < w.cbShutdown->ListCount(); ++i) {
    if (w.cbShutdown->List(i) == "Keep Awake") w.cbShutdown->UserSelect(i);
  }
  EXPECT_FALSE(w.chkWake->Enabled());
  EXPECT_FALSE(w.lblWakeNote->Visible());
}

}  // namespace
}  // namespace norvale
