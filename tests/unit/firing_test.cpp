// The firing rules through the main window as users meet them: which rows fire,
// what the rows show afterwards, and what is kept on file.
#include "engine/next_run.h"
#include "schedule/schedule_list.h"
#include "tests/unit/app_fixture.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using testing_app::AppTest;

class FiringTest : public AppTest {
 protected:
  std::unique_ptr<AppContext> app_;  // before the window, which it outlives
  std::unique_ptr<frmMain> main;
  void Start(const Locale& with) {
    NotFirstRun();
    // When rows fire, not how they are warned of: performed at once.
    settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");
    app_ = std::make_unique<AppContext>(kit, fs, codec, with, reg, settings, power, shell, system,
                                        "Norvale", "Norvale Labs");
    main = std::make_unique<frmMain>(*app_);
    main->Show();
  }
  void Start() { Start(locale); }
  const ListItem& RowOf(const std::string& name) const {
    return main->lstSchedules->Items().at(FindSchedule(main->lstSchedules->Items(), name) - 1);
  }
  void AdvanceTo(int h, int m, int s = 0) {
    kit.Advance(FakeClock::At(2026, 12, 4, h, m, s) - clock.Now());
  }
  std::vector<std::string> Actions() const {
    std::vector<std::string> out;
    for (const auto& r : power.requests) out.push_back(r.action);
    return out;
  }
};

TEST_F(FiringTest, ADailyRowFiresRecordsItsRunAndShowsTomorrowWithoutAReload) {
  PutSchedule("Night", "Stand by", "2026-12-01", "10:05:00", true, kRepeatDaily);
  const std::string before = *fs.Get(data + "Night.sch");
  Start();
  EXPECT_EQ("2026-12-04 10:05:00", RowOf("Night").SubItem(kColumnNextRun));
  AdvanceTo(10, 6);
  EXPECT_EQ(std::vector<std::string>{"Stand by"}, Actions());
  EXPECT_EQ("2026-12-05 10:05:00", RowOf("Night").SubItem(kColumnNextRun));
  EXPECT_EQ("2026-12-04 10:05:00", RowOf("Night").SubItem(kColumnLastRun));
  // Only the value of LastRunTime changed in the file.
  std::string expected = before;
  expected.replace(expected.find("LastRunTime=") + 12, 0, "2026-12-04 10:05:00");
  EXPECT_EQ(expected, *fs.Get(data + "Night.sch"));
  // The clock set back over the run, then a reload: nothing is performed twice.
  kit.SetWallClock(FakeClock::At(2026, 12, 4, 10, 0));
  main->loadData();
  EXPECT_EQ("2026-12-05 10:05:00", RowOf("Night").SubItem(kColumnNextRun));
  AdvanceTo(10, 10);
  kit.Advance(24h);
  EXPECT_EQ((std::vector<std::string>{"Stand by", "Stand by"}), Actions());
}

TEST_F(FiringTest, ShortDatesWithBlanksAndAmPmTimesFireInTheirOwnMinute) {
  for (const PatternLocale& form : {PatternLocale("yyyy. MM. dd.", "H:mm:ss"),
                                    PatternLocale("d. M. yyyy", "H:mm:ss"), PatternLocale::Us()}) {
    power.requests.clear();
    fs = fakes::MemoryFileSystem{"C:\\Program Files\\Norvale"};
    clock.Set(FakeClock::At(2026, 12, 4, 10, 0));
    const std::string today = form.ShortDate(Date{std::chrono::year{2026} / 12 / 4});
    PutSchedule("Morning", "Reboot", today, "10:30:00 AM");
    PutSchedule("Evening", "Log Off", today, "10:30:00 PM");
    Start(form);
    EXPECT_EQ(today + " 10:30:00 PM", RowOf("Evening").SubItem(kColumnNextRun));
    AdvanceTo(10, 31);
    EXPECT_EQ(std::vector<std::string>{"Reboot"}, Actions()) << today;
    AdvanceTo(22, 31);
    EXPECT_EQ((std::vector<std::string>{"Reboot", "Log Off"}), Actions()) << today;
    main.reset();
  }
}

TEST_F(FiringTest, UnreadableAndDisabledSchedulesAreListedAndNeverPerformed) {
  PutSchedule("Broken", "Reboot", "2026-12-04", "10:01:00");
  fs.FailReadsOf(data + "Broken.sch");
  ScheduleRecord off;
  off.ItemType = "Shut Down";
  off.StartDate = "2026-12-04";
  off.StartTime = "10:01:00";
  std::string text = ScheduleText(off);
  text.replace(text.find("StartDate="), 10, "StartDate=2026-12-04");  // dates with Enabled=0
  text.replace(text.find("StartTime="), 10, "StartTime=10:01:00");
  fs.Put(data + "Off.sch", text);
  Start();
  EXPECT_EQ("Cannot be read", RowOf("Broken").SubItem(kColumnNextRun));
  EXPECT_EQ("", RowOf("Off").SubItem(kColumnNextRun));
  EXPECT_EQ("No", RowOf("Off").SubItem(kColumnEnabled));
  AdvanceTo(10, 5);
  EXPECT_TRUE(power.requests.empty());
  EXPECT_EQ(0u, fs.WriteCount());
}

TEST_F(FiringTest, OfRowsDueInOneMinuteOnlyTheFirstPerformsWhateverRunsBetween) {
  PutSchedule("A", "Hibernate", "2026-12-01", "10:01:00", true, kRepeatDaily);
  PutSchedule("B", "Shut Down", "2026-12-01", "10:01:00", true, kRepeatDaily);
  Start();
  main->cmbTime->SetText("In 1 Minute");
  main->cmdGo->UserClick();  // a quick row in the same minute, 10:01:00
  // Under load the timer fires again and the list is reloaded in between.
  kit.OnDoEvents([&] {
    main->tmrScheduler->Fire();
    main->loadData();
  });
  AdvanceTo(10, 1);
  main->tmrScheduler->Fire();
  main->loadData();
  AdvanceTo(10, 3);
  EXPECT_EQ(std::vector<std::string>{"Hibernate"}, Actions());
  EXPECT_EQ("2026-12-05 10:01:00", RowOf("A").SubItem(kColumnNextRun));
  EXPECT_EQ("2026-12-05 10:01:00", RowOf("B").SubItem(kColumnNextRun));
}

TEST_F(FiringTest, AReloadInTheDueMinuteBeforeTheTimerLooksDropsNothing) {
  PutSchedule("Night", "Stand by", "2026-12-01", "10:05:00", true, kRepeatDaily);
  Start();
  AdvanceTo(10, 4, 59);
  main->tmrScheduler->SetEnabled(false);  // a busy machine: the timer comes late
  kit.Advance(1100ms);
  main->loadData();  // a save in the first moments of the minute
  EXPECT_EQ(std::vector<std::string>{"Stand by"}, Actions());
  EXPECT_EQ("2026-12-05 10:05:00", RowOf("Night").SubItem(kColumnNextRun));
}

TEST_F(FiringTest, QuickRowsMadeInOneSecondHaveTheirOwnNamesAndActions) {
  Start();
  main->cbShutdown->SetText("Reboot");
  main->cmbTime->SetText("In 1 Minute");
  main->cmdGo->UserClick();
  main->cbShutdown->SetText("Log Off");
  main->cmbTime->SetText("In 5 Minutes");
  main->cmdGo->UserClick();
  ASSERT_EQ(2u, main->lstSchedules->Items().size());
  EXPECT_EQ("Quick Schedule 2026-12-04 10:00:00", main->lstSchedules->Items()[0].Text);
  EXPECT_EQ("Quick Schedule 2026-12-04 10:00:00 (2)", main->lstSchedules->Items()[1].Text);
  AdvanceTo(10, 6);
  EXPECT_EQ((std::vector<std::string>{"Reboot", "Log Off"}), Actions());
  // Due in the last moment of its minute: performed at that moment, not in the next one.
  kit.Advance(59800ms);
  main->cmbTime->SetText("In 1 Minute");
  main->cmdGo->UserClick();
  kit.Advance(59999ms);
  EXPECT_EQ(2u, power.requests.size());
  kit.Advance(1ms);
  EXPECT_EQ((std::vector<std::string>{"Reboot", "Log Off", "Log Off"}), Actions());
}

TEST_F(FiringTest, FailedWritesKeepTheUsersWorkAndLeftoverTemporaryFilesGo) {
  fs.Put(data + "~Night.sch.a1B2c3", "half");
  fs.Put(data + "~Night.sch.1f4-2a0c1-0.tmp", "half");
  fs.Put(data + "~notes.txt", "the user's");
  PutSchedule("Night", "Reboot", "2026-12-05", "22:00:00");
  Start();
  EXPECT_FALSE(fs.Get(data + "~Night.sch.a1B2c3"));
  EXPECT_FALSE(fs.Get(data + "~Night.sch.1f4-2a0c1-0.tmp"));
  EXPECT_TRUE(fs.Get(data + "~notes.txt"));

  app_->state.IsEditing = false;
  frmWizard& w = main->Wizard();
  w.Show();
  w.txtName->UserType("Morning");
  fs.FailNextWrite(FileErrorKind::AccessDenied);
  kit.Script().Expect("Error 70 - Permission denied", MsgBoxResult::OK);
  w.cmdOK->UserClick();
  EXPECT_TRUE(w.Loaded());
  EXPECT_EQ("Morning", w.txtName->Text());
  w.cmdOK->UserClick();  // the second try works
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(fs.Get(data + "Morning.sch"));

  main->lstSchedules->UserClickItem(FindSchedule(main->lstSchedules->Items(), "Night") - 1);
  fs.IgnoreNextRemove();
  kit.Script().Expect("", MsgBoxResult::Yes);
  kit.Script().Expect("Error 70 - Permission denied", MsgBoxResult::OK);
  main->cmdDelete->UserClick();
  EXPECT_TRUE(FindSchedule(main->lstSchedules->Items(), "Night"));
  EXPECT_TRUE(kit.Script().AllAnswered());
}

}  // namespace
}  // namespace norvale
