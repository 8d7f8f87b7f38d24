// Rows that wait for the user to leave the computer or for a program to end,
// over days of the test's clock.
#include "platform/headless/fake_activity.h"
#include "tests/unit/app_fixture.h"
#include "ui/main/quick_delay.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using testing_app::AppTest;

class TriggersTest : public AppTest {
 protected:
  FakeActivity activity{clock};
  std::unique_ptr<frmMain> main;

  void Start() {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");  // performed at once
    app.activity = &activity;
    main = std::make_unique<frmMain>(app);
    main->Show();
    main->cbShutdown->SetText("Stand by");
  }
  void Choose(const char* wait) {
    const auto choices = DelayChoices();
    main->cmbTime->UserSelect(
        static_cast<int>(std::find(choices.begin(), choices.end(), wait) - choices.begin()));
  }
  void AddIdle(const char* action, int minutes) {
    main->Pending().AddQuick(IdleRow(clock, main->Pending().QuickName(), action, minutes));
  }
  std::string NextRunOfOnlyRow() {
    EXPECT_EQ(1u, main->lstSchedules->Items().size());
    return main->lstSchedules->Items().empty() ? "" : main->lstSchedules->Items()[0].SubItem(3);
  }
};

TEST_F(TriggersTest, IdleTimePerformsOnceAndInputStartsTheCountAgain) {
  Start();
  activity.Input();
  Choose(kWhenIdle);
  kit.OnModal("frmWhenIdle", [](Form& f) {
    auto& ask = static_cast<frmWhenIdle&>(f);
    EXPECT_EQ("30", ask.txtMinutes->Text());
    ask.txtMinutes->UserType("20");
    ask.cmdOK->UserClick();
  });
  main->cmdGo->UserClick();
  EXPECT_EQ("when idle 20 min", NextRunOfOnlyRow());
  // Touched at 19 minutes, and again 19 minutes later: nothing yet.
  kit.Advance(19min);
  activity.Input();
  kit.Advance(19min);
  activity.Input();
  main->loadData();  // as a save elsewhere does: the row stays
  kit.Advance(19min);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(62s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Stand by", power.requests[0].action);
  EXPECT_TRUE(main->lstSchedules->Items().empty());
  // Idle all week: it was done with.
  kit.Advance(24h * 7);
  EXPECT_EQ(1u, power.requests.size());
}

TEST_F(TriggersTest, IdleTimeBeforeTheRowWasMadeDoesNotCount) {
  Start();
  kit.Advance(3h);  // nobody at the keyboard, yet a script asks
  AddIdle("Shut Down", 30);
  kit.Advance(29min);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(2min);
  EXPECT_EQ(1u, power.requests.size());
}

TEST_F(TriggersTest, PreventHoldsThemOffForGood) {
  Start();
  AddIdle("Shut Down", 5);
  main->chkPrevent->UserClick();
  kit.Advance(6min);
  main->chkPrevent->UserClick();
  kit.Advance(24h);
  main->loadData();
  EXPECT_TRUE(power.requests.empty());
  EXPECT_TRUE(main->lstSchedules->Items().empty());  // done with, as missed
  EXPECT_GE(main->tmrScheduler->Interval(), 24 * 3600 * 1000);  // and nothing left to look at
}

TEST_F(TriggersTest, SleepIsNoIdleTimeAndInputDuringTheWarningCountsAgain) {
  Start();
  AddIdle("Shut Down", 30);
  kit.Advance(10min);
  kit.SleepUntil(clock.Now() + 8h);  // a night asleep is not half an hour idle
  kit.Advance(29min);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(62s);
  ASSERT_EQ(1u, power.requests.size());

  settings.WriteSetting("Norvale", "Settings", "txtWarn", "60");
  AddIdle("Log Off", 5);
  kit.Advance(5min + 1s);
  ASSERT_TRUE(main->Countdown().Visible());  // idle: the warning starts, W to go
  kit.Advance(30s);
  activity.Input();
  kit.Advance(2s);
  EXPECT_FALSE(main->Countdown().Visible());  // somebody is here after all
  EXPECT_EQ("when idle 5 min", NextRunOfOnlyRow());
  kit.Advance(4min + 50s);
  EXPECT_EQ(1u, power.requests.size());
  kit.Advance(2min);
  ASSERT_EQ(2u, power.requests.size());
  EXPECT_EQ("Log Off", power.requests[1].action);
}

TEST_F(TriggersTest, TheMinutesAreRefusedOutsideOneToADayAndKeptForMending) {
  Start();
  Choose(kWhenIdle);
  int asked = 0;
  kit.OnModal("frmWhenIdle", [&](Form& f) {
    auto& ask = static_cast<frmWhenIdle&>(f);
    for (const char* bad : {"0", "1441", "ten", ""}) {
      kit.Script().Expect("Enter a number of minutes from 1 to 1440.", MsgBoxResult::OK);
      ask.txtMinutes->UserType(bad);
      ask.cmdOK->UserClick();
      EXPECT_TRUE(ask.Loaded()) << bad;
      EXPECT_EQ(bad, ask.txtMinutes->Text());
      ++asked;
    }
    ask.cmdCancel->UserClick();
  });
  main->cmdGo->UserClick();
  EXPECT_EQ(4, asked);
  EXPECT_TRUE(kit.Script().AllAnswered());
  EXPECT_TRUE(main->lstSchedules->Items().empty());
  EXPECT_GE(main->tmrScheduler->Interval(), 24 * 3600 * 1000);  // nothing waits: no looks
}

TEST_F(TriggersTest, AProgramEndingPerformsOnceAndADeletedRowNothing) {
  activity.Start({42, "render.exe", "Render - scene.blend"});
  activity.Start({7, "svchost.exe", ""});
  Start();
  Choose(kWhenProgramEnds);
  kit.OnModal("frmWhenEnds", [](Form& f) {
    auto& pick = static_cast<frmWhenEnds&>(f);
    // The program with a window first.
    ASSERT_EQ(2u, pick.lstPrograms->Items().size());
    EXPECT_EQ("render.exe", pick.lstPrograms->Items()[0].Text);
    EXPECT_EQ((std::vector<std::string>{"Render - scene.blend", "42"}),
              pick.lstPrograms->Items()[0].SubItems);
    EXPECT_FALSE(pick.cmdOK->Enabled());
    pick.lstPrograms->UserClickItem(0);
    pick.cmdOK->UserClick();
  });
  main->cmdGo->UserClick();
  EXPECT_EQ("when render.exe ends", NextRunOfOnlyRow());
  kit.Advance(5h);
  EXPECT_TRUE(power.requests.empty());
  activity.End(42);
  kit.Advance(3s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Stand by", power.requests[0].action);

  // Deleted before the program ends: cancelled.
  activity.Start({43, "copy.exe", "Copying"});
  main->Pending().AddQuick(ProgramEndsRow(main->Pending().QuickName(), "Shut Down",
                                          {43, "copy.exe", "Copying"}, activity.Watch(43)));
  main->lstSchedules->UserClickItem(0);
  kit.Script().Expect("", MsgBoxResult::Yes);
  main->cmdDelete->UserClick();
  activity.End(43);
  kit.Advance(24h);
  EXPECT_EQ(1u, power.requests.size());
  EXPECT_GE(main->tmrScheduler->Interval(), 24 * 3600 * 1000);
}

}  // namespace
}  // namespace norvale
