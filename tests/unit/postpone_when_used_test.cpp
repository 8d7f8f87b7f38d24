// "Postpone when the computer is used during the warning": input during a
// countdown pushes the run back, three times in a row at most, after which the
// warning waits for the user's choice.
#include "apps/norvale/simulate.h"
#include "platform/headless/fake_activity.h"
#include "schedule/run_history.h"
#include "schedule/schedule_list.h"
#include "settings/frm_options.h"
#include "tests/unit/app_fixture.h"
#include "ui/main/frm_countdown.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using testing_app::AppTest;

class PostponeWhenUsedTest : public AppTest {
 protected:
  FakeActivity activity{clock};
  std::unique_ptr<frmMain> main;

  void Start() {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "chkLog", "1");
    app.activity = &activity;
    main = std::make_unique<frmMain>(app);
    main->Show();
    frmOptions options(app);
    options.Show();
    EXPECT_EQ(0, options.chkPostponeUsed->Value());  // off unless ticked
    options.chkPostponeUsed->UserClick();
  }
  frmCountdown& Countdown() { return main->Countdown(); }
  void UntilWarned() {
    for (int i = 0; i < 3600 && !Countdown().Visible(); ++i) kit.Advance(1s);
    ASSERT_TRUE(Countdown().Visible());
  }
  // Five seconds into the next warning the user moves the mouse.
  void UsedDuringWarning() {
    UntilWarned();
    kit.Advance(5s);
    activity.Input();
    kit.Advance(1s);
  }
  std::vector<std::string> History() {
    std::vector<std::string> lines;
    for (const auto& e : ReadHistory(fs, data + kHistoryFileName, 100)) {
      lines.insert(lines.begin(), e.when.substr(11) + " " + e.name + " " + e.outcome);
    }
    return lines;
  }
};

TEST_F(PostponeWhenUsedTest, ThreeInputsInARowPostponeThenTheWarningWaitsForAButton) {
  PutSchedule("Night", "Reboot", "2026-12-01", "10:03:00", true, kRepeatDaily);
  Start();
  UsedDuringWarning();  // 10:02:06, by the list's default of ten minutes
  EXPECT_FALSE(Countdown().Visible());
  UntilWarned();
  Countdown().cmbPostpone->UserSelect(0);  // five minutes
  UsedDuringWarning();
  // The button ends the row of automatic ones.
  UntilWarned();
  Countdown().cmdPostpone->UserClick();
  for (int i = 0; i < 3; ++i) UsedDuringWarning();
  UsedDuringWarning();
  ASSERT_TRUE(Countdown().Visible());
  EXPECT_EQ("Postponed 3 times: waiting for your choice.", Countdown().lblLeft->Caption());
  activity.Input();
  kit.Advance(3h);  // neither time nor more input acts on it
  EXPECT_TRUE(power.requests.empty());
  ASSERT_TRUE(Countdown().Visible());
  Countdown().cmdNow->UserClick();
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Reboot", power.requests[0].action);
  EXPECT_EQ((std::vector<std::string>{
                "10:02:06 Night postponed", "10:11:12 Night (postponed) postponed",
                "10:15:12 Night (postponed) postponed", "10:24:18 Night (postponed) postponed",
                "10:33:24 Night (postponed) postponed", "10:42:30 Night (postponed) postponed",
                "13:51:36 Night (postponed) performed"}),
            History());
}

TEST_F(PostponeWhenUsedTest, SleepEndsAWaitingWarningAsMissedAndTheNextDayStartsAfresh) {
  PutSchedule("Night", "Shut Down", "2026-12-01", "10:03:00", true, kRepeatDaily);
  Start();
  for (int i = 0; i < 4; ++i) UsedDuringWarning();
  ASSERT_TRUE(Countdown().Visible());
  kit.SleepUntil(fakes::FakeClock::At(2026, 12, 4, 15, 0));
  EXPECT_FALSE(Countdown().Visible());
  // Tomorrow's occurrence owes nothing to today's: one input postpones it again.
  kit.Advance(fakes::FakeClock::At(2026, 12, 5, 10, 0) - clock.Now());
  UsedDuringWarning();
  EXPECT_FALSE(Countdown().Visible());
  EXPECT_TRUE(power.requests.empty());
  const std::vector<std::string> history = History();
  ASSERT_EQ(5u, history.size());
  EXPECT_EQ("15:00:00 Night (postponed) missed", history[3]);
  EXPECT_EQ("10:02:06 Night postponed", history[4]);
}

// What `events` makes the program print over a day, with a minute's warning.
std::vector<std::string> Simulate(const std::string& events) {
  std::string error;
  auto plan = ParseSimulationArgs({"--data", "d", "--from", "2027-03-01T05:00", "--to",
                                   "2027-03-01T23:00", "--warning", "60", "--events", "e"},
                                  error);
  EXPECT_TRUE(plan) << error;
  if (!plan || !ParseSimulationEvents(events, *plan, error)) {
    ADD_FAILURE() << error;
    return {};
  }
  std::vector<std::string> out;
  RunSimulation(*plan, {}, nullptr, [&](const std::string& line) { out.push_back(line); });
  return out;
}

// A quick row made at `hour`:00, due two minutes later, used in four warnings
// in a row; then `then` at `hour`+1:00.
std::string HeldQuickRow(int hour, const char* action, const char* then) {
  const auto at = [&](int h, const char* rest) {
    return "2027-03-01T" + std::string(h < 10 ? "0" : "") + std::to_string(h) + ":" + rest;
  };
  return at(hour, "00\tin\t") + action + "\t2\n" + at(hour, "01:10\tinput\n") +
         at(hour, "10:20\tinput\n") + at(hour, "19:30\tinput\n") + at(hour, "28:40\tinput\n") +
         at(hour + 1, "00\t") + then + "\n";
}

TEST(PostponeWhenUsed, EveryEventStillEndsAWaitingWarningAndInputBeforeAWarningDoesNotCount) {
  EXPECT_EQ((std::vector<std::string>{
                "2027-03-01 06:02:00\tQuick Schedule 2027-03-01 06:00:00\tStand by",
                "2027-03-01 07:02:00\tQuick Schedule 2027-03-01 07:00:00\tReboot",
                "2027-03-01 17:00:00\tQuick Schedule 2027-03-01 16:00:00 (postponed) "
                "(postponed) (postponed)\tLog Off"}),
            Simulate(
                // Off: input during the countdown changes nothing.
                "2027-03-01T06:00\tin\tStand by\t2\n"
                "2027-03-01T06:01:10\tinput\n"
                "2027-03-01T06:30\tpostpone-when-used\ton\n"
                // Only input after the warning showed counts.
                "2027-03-01T07:00\tin\tReboot\t2\n"
                "2027-03-01T07:00:50\tinput\n" +
                HeldQuickRow(8, "Shut Down", "sleep\t2027-03-01T09:30") +
                HeldQuickRow(10, "Hibernate", "prevent\ton") + "2027-03-01T11:30\tprevent\toff\n" +
                HeldQuickRow(12, "Stand by", "cancel") +
                // Cancel pressed on the waiting warning (the quiet hour proves the wait).
                HeldQuickRow(14, "Reboot", "cancel-warning") +
                HeldQuickRow(16, "Log Off", "perform-now") + "2027-03-01T18:00\tperform-now\n"));
}

}  // namespace
}  // namespace norvale
