// What this computer can do decides what an action asks of it: Stand By turns
// the display off on a Modern Standby computer, Shut Down keeps fast startup only
// when asked to, a refused request is a failed run, and /check says all of it.
#include <algorithm>

#include "apps/norvale/check.h"
#include "apps/norvale/command_line.h"
#include "platform/dry_run_power.h"
#include "schedule/run_history.h"
#include "settings/frm_options.h"
#include "tests/unit/app_fixture.h"
#include "ui/main/frm_history.h"
#include "ui/shown_names.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using testing_app::AppTest;

PowerCapabilities ModernStandby() {
  PowerCapabilities c;
  c.s3 = false;
  c.aoac = true;
  return c;
}

class ThisComputer : public AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void Start(int warn_seconds) {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "chkLog", "1");
    settings.WriteSetting("Norvale", "Settings", "txtWarn", std::to_string(warn_seconds));
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
  void AdvanceTo(int h, int m, int s = 0) {
    kit.Advance(FakeClock::At(2026, 12, 4, h, m, s) - clock.Now());
  }
  std::vector<std::string> History() {
    std::vector<std::string> lines;
    for (const auto& e : ReadHistory(fs, data + kHistoryFileName, 100)) {
      lines.insert(lines.begin(), e.name + " " + e.outcome + (e.detail.empty() ? "" : " " + e.detail));
    }
    return lines;
  }
};

TEST_F(ThisComputer, StandByOnModernStandbyTurnsTheDisplayOffAndIsSaidSoInTheEditorAndWarning) {
  power.capabilities = ModernStandby();
  PutSchedule("Night", "Stand by", "2026-12-04", "10:05:00");
  Start(60);
  main->cmdNewSchedule_Click();
  frmWizard& editor = main->Wizard();
  const auto choose = [&](std::string_view stored) {
    const std::vector<std::string> offered = ScheduleActionList(power);
    const auto at = std::find(offered.begin(), offered.end(), stored);
    ASSERT_NE(offered.end(), at) << stored;
    main->Wizard().cbShutdown->UserSelect(static_cast<int>(at - offered.begin()));
  };
  choose(kStandBy);
  EXPECT_TRUE(editor.lblModernStandby->Visible());
  EXPECT_EQ(kModernStandbyText, editor.lblModernStandby->Caption());
  choose(kTurnOffDisplay);
  EXPECT_FALSE(editor.lblModernStandby->Visible());
  editor.cmdCancel_Click();

  AdvanceTo(10, 4, 30);
  ASSERT_TRUE(main->Countdown().Visible());
  EXPECT_TRUE(main->Countdown().lblNote->Visible());
  EXPECT_EQ(kModernStandbyText, main->Countdown().lblNote->Caption());
  AdvanceTo(10, 6);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ(PowerRequest::kDisplayOff, power.requests[0].kind);
  EXPECT_EQ("Stand by", power.requests[0].action);
  EXPECT_EQ(0, power.privilege_calls) << "the display needs no privilege";

  // With S3 (Modern Standby or not) it sleeps, and nothing is said.
  power.capabilities.s3 = true;
  main->cmdNewSchedule_Click();
  choose(kStandBy);
  EXPECT_FALSE(main->Wizard().lblModernStandby->Visible());
  main->Wizard().cmdCancel_Click();
  DoPowerAction(*main->Power(), kStandBy, true);
  EXPECT_EQ(PowerRequest::kSetSystemPowerState, power.requests.back().kind);
  EXPECT_EQ(1u, power.requests.back().flags);
}

TEST_F(ThisComputer, ARefusedRequestIsAFailedRunWithTheSystemsErrorAndABalloon) {
  // An older history, written before runs could fail, reads as it did.
  fs.Put(data + kHistoryFileName, "2026-12-03 22:00:00\tOld\tReboot\tperformed\r\n");
  PutSchedule("Night", "Shut Down", "2026-12-04", "10:05:00");
  PutSchedule("Later", "Log Off", "2026-12-04", "10:07:00");
  power.answer = {false, 5, "Access is denied."};
  Start(0);
  AdvanceTo(10, 8);
  EXPECT_EQ((std::vector<std::string>{"Old performed", "Night failed 5: Access is denied.",
                                      "Later failed 5: Access is denied."}),
            History());
  ASSERT_FALSE(kit.FakeTrayIcon().balloons.empty());
  EXPECT_EQ("Norvale: Windows refused \"Log Off\": 5: Access is denied.",
            kit.FakeTrayIcon().balloons.back());
  main->mnuHistory_Click();
  const ListItems& rows = main->History().lstHistory->Items();
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("failed (5: Access is denied.)", rows[0].SubItem(3));
  EXPECT_EQ("performed", rows[2].SubItem(3));

  // Taken, the same request is performed: the line says so and no balloon comes.
  power.answer = {};
  const size_t balloons = kit.FakeTrayIcon().balloons.size();
  PutSchedule("Again", "Reboot", "2026-12-04", "10:09:00");
  main->loadData();
  AdvanceTo(10, 10);
  EXPECT_EQ("Again performed", History().back());
  EXPECT_EQ(balloons, kit.FakeTrayIcon().balloons.size());
}

TEST_F(ThisComputer, ShutDownKeepsFastStartupOnlyWhereItIsOnAndFullShutDownIsCleared) {
  Start(0);
  frmOptions options(app);
  options.Show();
  EXPECT_EQ(1, options.chkFullShutdown->Value());  // ticked: as Shut Down always was
  const auto shut_down = [&] {
    main->DoPowerAction(std::string(kShutDown), true);
    return power.requests.back().flags;
  };
  power.capabilities.fast_startup = true;
  EXPECT_EQ(5u, shut_down());
  options.chkFullShutdown->UserClick();
  EXPECT_EQ("0", Machine("chkFullShutdown"));
  EXPECT_EQ(0x400005u, shut_down());
  main->DoPowerAction(std::string(kReboot), true);
  EXPECT_EQ(6u, power.requests.back().flags) << "a restart is never hybrid";
  power.capabilities.fast_startup = false;
  EXPECT_EQ(5u, shut_down());

  // The dry run's log names the bit.
  power.capabilities.fast_startup = true;
  const std::string log = fs.ProgramFolder() + "\\" + kDryRunLogName;
  DryRunPowerControl dry(power, fs, clock, log, [](const std::string&) {});
  CPower dry_power(dry);
  dry_power.SetFullShutdown(false);
  DoPowerAction(dry_power, kShutDown, false);
  EXPECT_NE(std::string::npos,
            fs.Get(log)->find("\tShut Down\tExitWindowsEx flags=4194321 (EWX_HYBRID_SHUTDOWN) "
                              "reason=0\tforce=False"));
}

// One line per action of the table, each telling what happens here and why.
TEST(CheckSwitch, EachActionSaysWhatItDoesOnThisComputerAndWhy) {
  const auto line_of = [](const std::string& text, std::string_view caption) {
    const size_t at = text.find("  " + std::string(caption) + ":");
    return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
  };
  PowerCapabilities desktop;
  desktop.hiberfile = true;
  const std::string plain = CheckText(desktop, true, EnglishText);
  size_t lines = 0;
  for (char c : plain) lines += c == '\n';
  EXPECT_EQ(PowerActions().size() + 1, lines) << plain;
  for (const PowerAction& a : PowerActions()) EXPECT_NE("", line_of(plain, a.caption)) << a.caption;
  EXPECT_NE(std::string::npos, line_of(plain, "Stand By").find("Sleeps (S3)."));
  EXPECT_NE(std::string::npos, line_of(plain, "Hibernate").find("Hibernates."));
  EXPECT_NE(std::string::npos, line_of(plain, "Shut Down").find("Fast startup is off."));

  PowerCapabilities laptop = ModernStandby();
  laptop.fast_startup = true;
  laptop.wake_timers_allowed = false;
  laptop.shutdown_privilege = false;
  const std::string modern = CheckText(laptop, false, EnglishText);
  EXPECT_EQ(
      "  Stand By:          Turns the display off, which is how Windows enters Modern Standby. The "
      "computer has Modern Standby and no S3. Wake timers are off in the power plan, so no "
      "schedule wakes the computer.",
      line_of(modern, "Stand By"));
  EXPECT_NE(std::string::npos, line_of(modern, "Shut Down").find("hybrid shutdown"));
  EXPECT_NE(std::string::npos, line_of(modern, "Shut Down").find("lacks the shutdown privilege"));
  EXPECT_NE(std::string::npos, line_of(modern, "Hibernate").find("Not offered."));
  EXPECT_NE(std::string::npos, line_of(modern, "Hibernate").find("powercfg /hibernate on"));
  EXPECT_NE(std::string::npos, line_of(CheckText(laptop, true, EnglishText), "Shut Down")
                                   .find("Shuts down fully. Fast startup is on, but"));
  laptop.s4 = false;
  EXPECT_NE(std::string::npos,
            line_of(CheckText(laptop, true, EnglishText), "Hibernate").find("(no S4)"));
  laptop.aoac = false;
  EXPECT_NE(std::string::npos,
            line_of(CheckText(laptop, true, EnglishText), "Stand By").find("neither S3 nor"));

  EXPECT_EQ(Request::Kind::Check, ParseCommandLine({"/CHECK"}).request.kind);
  EXPECT_NE("", ParseCommandLine({"/check", "/list"}).usage_error);
  EXPECT_NE(std::string::npos, UsageText(EnglishText).find("/check "));
}

}  // namespace
}  // namespace norvale
