// The one table of actions: every place an action is chosen offers what the
// table has, and Lock and Turn Off Display behave as actions that close nothing.
#include <fstream>
#include <sstream>

#include "apps/norvale/command_line.h"
#include "apps/norvale/simulate.h"
#include "platform/dry_run_power.h"
#include "power/power.h"
#include "tests/fakes/fakes.h"
#include "tests/unit/app_fixture.h"
#include "ui/shown_names.h"

namespace norvale {
namespace {

using fakes::FakeClock;
using fakes::RecordingPowerControl;
using testing_app::AppTest;

TEST(ActionTable, LockAndTurnOffDisplayAskForNoPrivilegeAndAreLoggedInADryRun) {
  RecordingPowerControl recorder;
  CPower power(recorder);
  DoPowerAction(power, kLock, true);
  DoPowerAction(power, kTurnOffDisplay, false);
  DoPowerAction(power, kKeepAwake, true);  // a span, not a request
  ASSERT_EQ(2u, recorder.requests.size());
  EXPECT_EQ(PowerRequest::kLockWorkStation, recorder.requests[0].kind);
  EXPECT_EQ("Lock", recorder.requests[0].action);
  EXPECT_EQ(PowerRequest::kDisplayOff, recorder.requests[1].kind);
  EXPECT_EQ("Turn Off Display", recorder.requests[1].action);
  EXPECT_EQ(0, recorder.privilege_calls);

  fakes::MemoryFileSystem fs;
  FakeClock clock(FakeClock::At(2026, 12, 4, 22, 30, 5));
  const std::string log = fs.ProgramFolder() + "\\" + kDryRunLogName;
  DryRunPowerControl dry(recorder, fs, clock, log, [](const std::string&) {});
  CPower dry_power(dry);
  DoPowerAction(dry_power, kLock, false);
  DoPowerAction(dry_power, kTurnOffDisplay, false);
  EXPECT_EQ(2u, recorder.requests.size());
  EXPECT_EQ(
      "2026-12-04T22:30:05\tLock\tLockWorkStation\tforce=False\r\n"
      "2026-12-04T22:30:05\tTurn Off Display\tSendMessage WM_SYSCOMMAND SC_MONITORPOWER 2\t"
      "force=False\r\n",
      fs.Get(log));
}

TEST(ActionTable, OnlyActionsThatTakeTheComputerAwayEndTheSession) {
  for (std::string_view gone : {kShutDown, kReboot, kLogOff, kStandBy, kHibernate}) {
    EXPECT_TRUE(EndsSession(gone)) << gone;
  }
  for (std::string_view stays : {kLock, kTurnOffDisplay, kKeepAwake, std::string_view("Explode")}) {
    EXPECT_FALSE(EndsSession(stays)) << stays;
  }
}

class OfferedActions : public AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void Start() {
    NotFirstRun();
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
};

// A new row of the table reaches every list, menu, the command line and the help.
TEST_F(OfferedActions, EveryMomentaryActionIsOfferedWhereverAnActionIsChosen) {
  power.hibernation_file = true;
  Start();
  std::vector<std::string> quick;
  for (int i = 0; i < main->cbShutdown->ListCount(); ++i) quick.push_back(main->cbShutdown->List(i));
  main->cmdNewSchedule_Click();
  ComboBox* editor = main->Wizard().cbShutdown;
  std::vector<std::string> schedule;
  for (int i = 0; i < editor->ListCount(); ++i) schedule.push_back(editor->List(i));
  const std::string usage = UsageText(EnglishText);

  std::vector<std::string> momentary;
  const auto actions = PowerActions();
  for (size_t i = 0; i < actions.size(); ++i) {
    const PowerAction& a = actions[i];
    const std::string caption = a.caption;
    EXPECT_NE(schedule.end(), std::find(schedule.begin(), schedule.end(), caption)) << caption;
    if (!a.momentary) {
      EXPECT_EQ(quick.end(), std::find(quick.begin(), quick.end(), caption)) << caption;
      EXPECT_EQ("", StoredActionName(caption));
      continue;
    }
    momentary.push_back(caption);
    for (const char* menu : {"mnuActionItem", "mnuTrayActionItem"}) {
      Control* item = main->Find(menu, static_cast<int>(i));
      ASSERT_NE(nullptr, item) << menu << " " << caption;
      EXPECT_EQ(a.menu, item->Caption());
      EXPECT_TRUE(item->Visible()) << caption;
    }
    std::string lower = caption;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(a.stored, StoredActionName(lower));
    EXPECT_NE(std::string::npos, usage.find(caption)) << caption;
    EXPECT_EQ(caption, Shown(app, a.stored));
  }
  EXPECT_EQ(momentary, quick);
  EXPECT_EQ(nullptr, main->Find("mnuActionItem", static_cast<int>(actions.size())));
  EXPECT_EQ(nullptr, main->Find("mnuActionItem", static_cast<int>(actions.size())));
  main->Wizard().Unload();

#ifndef _WIN32
  std::ifstream page(NORVALE_HELP_DIR "/power_actions.htm");
  ASSERT_TRUE(page) << "help page";
  std::stringstream help;
  help << page.rdbuf();
  for (const PowerAction& a : actions) {
    EXPECT_NE(std::string::npos, help.str().find("<b>" + std::string(a.caption) + "</b>"))
        << "the help's table names " << a.caption;
  }
#endif
}

TEST_F(OfferedActions, TheTrayMenuLocksAfterAskingAndHibernateHidesWhereItCannotWork) {
  Start();
  EXPECT_FALSE(main->Find("mnuTrayActionItem", 0)->Visible());
  EXPECT_FALSE(main->Find("mnuActionItem", 0)->Visible());
  kit.Script().Expect("Are you sure you want to perform \"Turn Off Display\" now?",
                      MsgBoxResult::Cancel);
  kit.ChooseFromPopup("mnuTrayActionItem", 6);
  kit.FakeTrayIcon().Send(TrayEvent::RightUp);
  EXPECT_TRUE(power.requests.empty());
  kit.Script().Expect("Are you sure you want to perform \"Lock\" now?", MsgBoxResult::OK);
  kit.ChooseFromPopup("mnuTrayActionItem", 5);
  kit.FakeTrayIcon().Send(TrayEvent::RightUp);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ(PowerRequest::kLockWorkStation, power.requests[0].kind);
  EXPECT_EQ(0, power.privilege_calls);
}

std::string File(const char* type, const char* date, const char* time) {
  ScheduleRecord r;
  r.ItemType = type;
  r.Enabled = true;
  r.StartDate = date;
  r.StartTime = time;
  return ScheduleText(r);
}

std::vector<std::string> Simulate(const ScheduleFiles& files, const char* from, const char* to,
                                  const std::string& events, int warning) {
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

// Through a schedule, a quick row and the command line alike; what waited behind
// a Lock goes on, what waited behind a Log Off is missed.
TEST(ActionTable, LockAndDisplayOffComeFromEveryKindOfRowAndLetWhatWaitsGoOn) {
  const ScheduleFiles files = {
      {"Lunch.sch", File("Lock", "2027-03-01", "12:00:00")},
      {"After lunch.sch", File("Shut Down", "2027-03-01", "12:01:00")},
      {"Evening.sch", File("Log Off", "2027-03-01", "18:00:00")},
      {"Late.sch", File("Turn Off Display", "2027-03-01", "18:01:00")},
  };
  EXPECT_EQ((std::vector<std::string>{
                "2027-03-01 09:01:00\tQuick Schedule 2027-03-01 09:00:00\tTurn Off Display",
                "2027-03-01 09:30:00\tQuick Schedule 2027-03-01 09:25:00\tLock",
                "2027-03-01 12:00:00\tLunch\tLock",
                "2027-03-01 12:01:00\tAfter lunch\tShut Down",
                "2027-03-01 18:00:00\tEvening\tLog Off"}),
            Simulate(files, "2027-03-01T08:00", "2027-03-02T00:00",
                     "2027-03-01T09:00\tgo\tTurn Off Display\tIn 1 Minute\n"
                     "2027-03-01T09:25\tin\tlock\t5\n",
                     120));
}

}  // namespace
}  // namespace norvale
