// The warning before every action, its choices, the history it leaves, and the
// commands that must not act by accident.
#include "schedule/run_history.h"
#include "schedule/schedule_list.h"
#include "tests/unit/app_fixture.h"
#include "ui/main/frm_countdown.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using testing_app::AppTest;

class WarningTest : public AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void Start() {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "chkLog", "1");
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
  frmCountdown& Countdown() { return main->Countdown(); }
  std::vector<std::string> History() {
    std::vector<std::string> lines;
    for (const auto& e : ReadHistory(fs, data + kHistoryFileName, 100)) {
      lines.insert(lines.begin(), e.when + " " + e.name + " " + e.action + " " + e.outcome);
    }
    return lines;
  }
  std::string NextRun(const std::string& name) {
    const auto& rows = main->lstSchedules->Items();
    return rows.at(FindSchedule(rows, name) - 1).SubItem(kColumnNextRun);
  }
};

TEST_F(WarningTest, TheWarningEndsAtTheMomentShownAndPostponeComesBackThroughASecondOne) {
  PutSchedule("Night", "Reboot", "2026-12-01", "10:03:00", true, kRepeatDaily);
  Start();
  kit.Advance(2min);  // 10:02: a minute before the time in its row
  ASSERT_TRUE(Countdown().Visible());
  EXPECT_TRUE(Countdown().Floating());  // on top, and the keyboard stays where it was
  EXPECT_EQ("Reboot: \"Night\"", Countdown().lblWhat->Caption());
  EXPECT_EQ("Seconds left: 60", Countdown().lblLeft->Caption());
  EXPECT_EQ("Norvale is about to act: Reboot: \"Night\"\nSeconds left: 60",
            kit.FakeTrayIcon().balloons.back());
  EXPECT_EQ("2026-12-05 10:03:00", NextRun("Night"));
  kit.Advance(59s);
  EXPECT_TRUE(power.requests.empty());
  EXPECT_EQ("Seconds left: 1", Countdown().lblLeft->Caption());
  EXPECT_EQ("10 minutes", Countdown().cmbPostpone->Text());
  Countdown().cmdPostpone->UserClick();  // 10:02:59: due at 10:12:59
  EXPECT_FALSE(Countdown().Visible());
  EXPECT_TRUE(power.requests.empty());
  ASSERT_TRUE(FindSchedule(main->lstSchedules->Items(), "Night (postponed)"));
  EXPECT_EQ("2026-12-04 10:12:59", NextRun("Night (postponed)"));
  main->loadData();  // the postponed run is a quick row: it survives reloads
  kit.Advance(8min + 59s);
  EXPECT_FALSE(Countdown().Visible());
  kit.Advance(2s);  // warned of again, a minute ahead
  ASSERT_TRUE(Countdown().Visible());
  EXPECT_EQ("Reboot: \"Night (postponed)\"", Countdown().lblWhat->Caption());
  kit.Advance(58s);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(1s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ(6u, power.requests[0].flags);  // forced, as the preference is by default
  EXPECT_FALSE(FindSchedule(main->lstSchedules->Items(), "Night (postponed)"));
  EXPECT_EQ("2026-12-04 10:12:59", main->lstSchedules->Items()[0].SubItem(kColumnLastRun));
  EXPECT_EQ((std::vector<std::string>{"2026-12-04 10:02:59 Night Reboot postponed",
                                      "2026-12-04 10:12:59 Night (postponed) Reboot performed"}),
            History());
  kit.Advance(10min);
  EXPECT_EQ(1u, power.requests.size());
}

TEST_F(WarningTest, CancelPerformsNothingAndOnlyTheFirstOfAMinuteIsWarnedOf) {
  PutSchedule("A", "Shut Down", "2026-12-01", "10:03:00", true, kRepeatDaily);
  PutSchedule("B", "Log Off", "2026-12-01", "10:03:00", true, kRepeatDaily);
  settings.WriteSetting("Norvale", "Settings", "chkForce", "0");
  Start();
  kit.Advance(2min);
  ASSERT_TRUE(Countdown().Visible());
  EXPECT_EQ("Shut Down: \"A\"", Countdown().lblWhat->Caption());
  Countdown().cmdCancel->UserClick();
  kit.Advance(5min);
  EXPECT_TRUE(power.requests.empty());
  EXPECT_FALSE(Countdown().Visible());
  EXPECT_EQ("2026-12-05 10:03:00", NextRun("A"));  // the next runs stay
  EXPECT_EQ("2026-12-05 10:03:00", NextRun("B"));
  EXPECT_EQ((std::vector<std::string>{"2026-12-04 10:02:00 B Log Off missed",
                                      "2026-12-04 10:02:00 A Shut Down cancelled"}),
            History());
  // Perform now, without force: programs may ask to save.
  kit.Advance(24h - 5min);
  ASSERT_TRUE(Countdown().Visible());
  Countdown().cmdNow->UserClick();
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ(0x11u, power.requests[0].flags);
}

TEST_F(WarningTest, NoLeadTimeActsAtOnceAndMissedRunsAreRecorded) {
  PutSchedule("Night", "Stand by", "2026-12-01", "10:01:00", true, kRepeatDaily);
  settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");
  Start();
  main->chkPrevent->SetValue(1);
  kit.Advance(2min);
  main->chkPrevent->SetValue(0);
  kit.Advance(24h);
  EXPECT_FALSE(Countdown().Loaded());
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ((std::vector<std::string>{"2026-12-04 10:01:00 Night Stand by missed",
                                      "2026-12-05 10:01:00 Night Stand by performed"}),
            History());
}

TEST_F(WarningTest, ASleepPreventOrAnActionEndsTheWarningAndWhatWaitsBehindIt) {
  PutSchedule("A", "Shut Down", "2026-12-01", "10:03:00", true, kRepeatDaily);
  PutSchedule("B", "Reboot", "2026-12-01", "10:04:00", true, kRepeatDaily);
  settings.WriteSetting("Norvale", "Settings", "txtWarn", "120");
  Start();
  const auto day = [&](int d, int h, int m, int s = 0) { return FakeClock::At(2026, 12, d, h, m, s); };
  kit.Advance(day(4, 10, 2, 30) - clock.Now());  // A counts down, B waits behind it
  ASSERT_TRUE(Countdown().Visible());
  kit.SleepUntil(day(4, 10, 3, 30));  // asleep through A's moment
  EXPECT_FALSE(Countdown().Visible());
  kit.Advance(day(5, 10, 2, 30) - clock.Now());
  EXPECT_TRUE(power.requests.empty()) << "nothing is performed late after a resume";
  ASSERT_TRUE(Countdown().Visible());
  main->chkPrevent->UserClick();  // ticked during the countdown
  EXPECT_FALSE(Countdown().Visible());
  kit.Advance(1min);
  main->chkPrevent->UserClick();
  kit.Advance(day(6, 10, 2, 30) - clock.Now());
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(day(6, 10, 5, 0) - clock.Now());
  ASSERT_EQ(1u, power.requests.size());  // A at its moment; B waited, and the computer went
  const std::vector<std::string> history = History();
  EXPECT_EQ((std::vector<std::string>{
                "2026-12-04 10:03:30 A Shut Down missed", "2026-12-04 10:03:30 B Reboot missed",
                "2026-12-05 10:02:30 A Shut Down missed", "2026-12-05 10:02:30 B Reboot missed",
                "2026-12-06 10:03:00 A Shut Down performed",
                "2026-12-06 10:03:00 B Reboot missed"}),
            history);
}

TEST_F(WarningTest, NoKeyActsByAccidentAndTheEditorKeepsWhatItOpenedFor) {
  PutSchedule("Night", "Reboot", "2026-12-05", "22:00:00");
  Start();
  for (const auto& c : main->Controls()) {
    if (auto* b = dynamic_cast<CommandButton*>(c.get())) {
      EXPECT_FALSE(b->Default) << b->Name();
    }
  }
  Countdown().Load();
  for (CommandButton* b : {Countdown().cmdPostpone, Countdown().cmdCancel, Countdown().cmdNow}) {
    EXPECT_FALSE(b->Default || b->Cancel) << b->Name();
  }
  main->cmdNewSchedule->UserClick();
  EXPECT_FALSE(main->cmdNewSchedule->Enabled());
  EXPECT_FALSE(main->cmdEdit->Enabled());
  EXPECT_FALSE(main->cmdDelete->Enabled());
  // Whatever changes meanwhile, the open editor creates a new schedule.
  app.state.IsEditing = true;
  app.state.CurrentSchedule.Name = "Night";
  main->Wizard().txtName->UserType("Morning");
  main->Wizard().cmdOK->UserClick();
  EXPECT_TRUE(fs.Get(data + "Morning.sch"));
  EXPECT_EQ("2026-12-05 22:00:00", NextRun("Night"));
  EXPECT_TRUE(main->cmdNewSchedule->Enabled());
}

TEST(RunHistory, KeepsItsNewestHalfWhenFullAndReadsNewestFirst) {
  fakes::MemoryFileSystem fs("C:\\N");
  const std::string path = "C:\\N\\data\\History.log";
  fs.CreateFolder("C:\\N\\data");
  for (int i = 0; i < 40; ++i) {
    AppendHistory(fs, path,
                  {"2026-12-04 10:00:00", "Run\t" + std::to_string(i), "Reboot", "performed"},
                  1000);
    ASSERT_LE(fs.Get(path)->size(), 1000u);
  }
  const auto newest = ReadHistory(fs, path, 500);
  ASSERT_FALSE(newest.empty());
  EXPECT_EQ("Run 39", newest.front().name);  // a tab in a name cannot split the line
  EXPECT_EQ("performed", newest.front().outcome);
  EXPECT_GE(fs.Get(path)->size(), 450u);
  EXPECT_EQ(fs.Get(path)->substr(0, 20), "2026-12-04 10:00:00\t");  // whole lines only
  EXPECT_EQ(2u, ReadHistory(fs, path, 2).size());
  // The real cap: a megabyte.
  std::string big;
  while (big.size() < kHistoryCap - 40) big += "2026-12-04 10:00:00\tOld\tReboot\tperformed\r\n";
  fs.Put(path, big);
  AppendHistory(fs, path, {"2026-12-05 10:00:00", "New", "Reboot", "performed"});
  EXPECT_LE(fs.Get(path)->size(), kHistoryCap / 2 + 100);
  EXPECT_EQ("New", ReadHistory(fs, path, 1).front().name);
}

}  // namespace
}  // namespace norvale
