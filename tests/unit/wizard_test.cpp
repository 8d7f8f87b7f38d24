#include "schedule/schedule_list.h"
#include "tests/unit/app_fixture.h"

namespace norvale {
namespace {

using fakes::FakeClock;
using testing_app::AppTest;

class WizardTest : public AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void SetUp() override {
    NotFirstRun();
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
  frmWizard& OpenNew() {
    main->cmdNewSchedule->UserClick();
    return main->Wizard();
  }
  frmWizard& OpenEdit(const std::string& name) {
    main->lstSchedules->UserClickItem(FindSchedule(main->lstSchedules->Items(), name) - 1);
    main->cmdEdit->UserClick();
    return main->Wizard();
  }
  std::string Stored(const std::string& name) { return *fs.Get(data + name + ".sch"); }
  std::string Value(const std::string& name, const std::string& key) {
    return GetValue(Stored(name), key);
  }
};

TEST_F(WizardTest, ANewScheduleStartsUntickedAndTheControlsFollowTheBoxes) {
  frmWizard& w = OpenNew();
  EXPECT_EQ("Schedule Configuration", w.Caption());
  EXPECT_TRUE(w.txtName->Enabled());
  EXPECT_EQ("Shut Down", w.cbShutdown->Text());
  EXPECT_EQ(0, w.chkScheduler->Value());
  EXPECT_FALSE(w.dtDate->Enabled());
  EXPECT_FALSE(w.chkRepeat->Enabled());
  EXPECT_FALSE(w.optRepeat[1]->Enabled());
  EXPECT_TRUE(w.optRepeat[0]->Value());
  EXPECT_EQ(FakeClock::At(2026, 12, 4), w.dtDate->Value());
  EXPECT_EQ(FakeClock::At(2026, 12, 4, 11, 0), w.dtTime->Value());
  ASSERT_EQ(7u, w.tvScheduleWeek->Nodes().size());
  EXPECT_EQ("Monday", w.tvScheduleWeek->Nodes()[0].Text);
  EXPECT_EQ("sun", w.tvScheduleWeek->Nodes()[6].Key);
  EXPECT_EQ(31u, w.tvScheduleMonth->Nodes().size());

  w.chkScheduler->UserClick();
  EXPECT_TRUE(w.dtDate->Enabled());
  EXPECT_TRUE(w.chkRepeat->Enabled());
  EXPECT_FALSE(w.optRepeat[2]->Enabled());
  w.chkRepeat->UserClick();
  EXPECT_TRUE(w.optRepeat[2]->Enabled());
  w.optRepeat[2]->UserClick();
  EXPECT_TRUE(w.tvScheduleMonth->Visible());
  EXPECT_FALSE(w.tvScheduleWeek->Visible());
  w.optRepeat[1]->UserClick();
  EXPECT_TRUE(w.tvScheduleWeek->Visible());
  w.chkScheduler->UserClick();
  EXPECT_FALSE(w.tvScheduleWeek->Visible());
  EXPECT_FALSE(w.optRepeat[1]->Enabled());
}

TEST_F(WizardTest, OpeningLateInTheEveningProposesMidnight) {
  clock.Set(FakeClock::At(2026, 12, 4, 23, 40));
  frmWizard& w = OpenNew();
  EXPECT_EQ(FakeClock::At(2026, 12, 4, 0, 0), w.dtTime->Value());
}

TEST_F(WizardTest, AWeeklyScheduleIsSavedAndListedWithItsNextRun) {
  frmWizard& w = OpenNew();
  w.txtName->UserType("Night");
  w.cbShutdown->UserSelect(1);  // Reboot
  w.chkScheduler->UserClick();
  w.dtTime->UserPick(FakeClock::At(2026, 12, 4, 22, 30, 0));
  w.chkRepeat->UserClick();
  w.optRepeat[1]->UserClick();
  w.tvScheduleWeek->UserCheckNode(4, true);  // fri
  w.tvScheduleWeek->UserCheckNode(0, true);  // mon
  w.cmdOK->UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ("Reboot", Value("Night", "ItemType"));
  EXPECT_EQ("2026-12-04", Value("Night", "StartDate"));
  EXPECT_EQ("22:30:00", Value("Night", "StartTime"));
  EXPECT_EQ("-1", Value("Night", "Repeat"));
  EXPECT_EQ("1", Value("Night", "SAccurancy"));
  EXPECT_EQ("mon,fri", Value("Night", "Period"));
  EXPECT_EQ("1", Value("Night", "Enabled"));
  ASSERT_EQ(1u, main->lstSchedules->Items().size());
  EXPECT_EQ("2026-12-04 22:30:00", main->lstSchedules->Items()[0].SubItem(3));
}

TEST_F(WizardTest, MonthlyDaysAreStoredAscending) {
  frmWizard& w = OpenNew();
  w.txtName->UserType("Backup");
  w.chkScheduler->UserClick();
  w.chkRepeat->UserClick();
  w.optRepeat[2]->UserClick();
  w.tvScheduleMonth->UserCheckNode(14, true);
  w.tvScheduleMonth->UserCheckNode(0, true);
  w.cmdOK->UserClick();
  EXPECT_EQ("2", Value("Backup", "SAccurancy"));
  EXPECT_EQ("1,15", Value("Backup", "Period"));
}

TEST_F(WizardTest, AClickOnADaysTextTogglesItsTickInBothDayLists) {
  frmWizard& w = OpenNew();
  w.txtName->UserType("Backup");
  w.chkScheduler->UserClick();
  w.chkRepeat->UserClick();
  w.optRepeat[2]->UserClick();
  w.tvScheduleMonth->UserClickLabel(14);
  w.tvScheduleMonth->UserClickLabel(30);
  w.tvScheduleMonth->UserClickLabel(30);  // a second click clears it again
  w.cmdOK->UserClick();
  EXPECT_EQ("15", Value("Backup", "Period"));

  frmWizard& week = OpenNew();
  week.txtName->UserType("Gym");
  week.chkScheduler->UserClick();
  week.chkRepeat->UserClick();
  week.optRepeat[1]->UserClick();
  week.tvScheduleWeek->UserClickLabel(2);
  week.cmdOK->UserClick();
  EXPECT_EQ("wed", Value("Gym", "Period"));
}

TEST_F(WizardTest, WithoutTheSchedulerNothingOfTheStartIsStored) {
  frmWizard& w = OpenNew();
  w.txtName->UserType("Later");
  w.chkScheduler->UserClick();
  w.chkRepeat->UserClick();
  w.optRepeat[1]->UserClick();
  w.tvScheduleWeek->UserCheckNode(2, true);
  w.chkScheduler->UserClick();  // switched off again
  w.cmdOK->UserClick();
  EXPECT_EQ("", Value("Later", "StartDate"));
  EXPECT_EQ("", Value("Later", "StartTime"));
  EXPECT_EQ("0", Value("Later", "Repeat"));
  EXPECT_EQ("0", Value("Later", "SAccurancy"));
  EXPECT_EQ("", Value("Later", "Period"));
  EXPECT_EQ("0", Value("Later", "Enabled"));
  EXPECT_EQ("", main->lstSchedules->Items()[0].SubItem(3));
}

TEST_F(WizardTest, NamesAreRefusedWithTheirMessageAndTheInputStays) {
  PutSchedule("Night", "Reboot", "2026-12-04", "22:30:00");
  main->loadData();
  frmWizard& w = OpenNew();
  w.txtName->UserType("night");
  kit.Script().Expect(
      "Error: An item with that name already exists.  Please choose a different name",
      MsgBoxResult::OK);
  w.cmdOK->UserClick();
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ("night", w.txtName->Text());
  PutSchedule("Übung", "Reboot", "2026-12-04", "22:30:00");
  main->loadData();
  w.txtName->UserType("übung");  // would overwrite the other's file
  kit.Script().Expect(
      "Error: An item with that name already exists.  Please choose a different name",
      MsgBoxResult::OK);
  w.cmdOK->UserClick();
  EXPECT_TRUE(w.Visible());
  w.txtName->UserType("");
  kit.Script().Expect("Error: You must choose a name for this schedule", MsgBoxResult::OK);
  w.cmdOK->UserClick();
  for (const char* bad : {"..\\boot", "a/b", "CON", "lpt1.txt", "x."}) {
    w.txtName->UserType(bad);
    kit.Script().Expect("", MsgBoxResult::OK);
    w.cmdOK->UserClick();
    EXPECT_TRUE(w.Visible()) << bad;
  }
  EXPECT_EQ((std::vector<std::string>{"Night.sch", "Übung.sch"}),
            fs.ListFiles("C:\\Program Files\\Norvale\\data", "*"));
  EXPECT_TRUE(kit.Script().AllAnswered());
}

// Romanian, Azerbaijani, Vietnamese, Croatian digraphs and Armenian: one file each
// to Windows, so the second name is refused and the first file stays.
TEST_F(WizardTest, ANameDifferingOnlyByCaseIsRefusedInEveryAlphabet) {
  const std::vector<std::pair<const char*, const char*>> pairs = {
      {"ȘCOALĂ", "școală"}, {"Әлифба", "әлифба"}, {"Ạn", "ạn"},          {"Ơn", "ơn"},
      {"Ǆep", "ǆep"},       {"Արև", "արև"},       {"Σοφία", "ΣΟΦΊΑ"},
#ifndef _WIN32
      // Folded by the table; on Windows the system's own comparison decides these.
      {"ǅem", "ǆem"},       {"Σοφός", "ΣΟΦΌΣ"},
#endif
  };
  for (const auto& [stored, typed] : pairs) {
    PutSchedule(stored, "Reboot", "2026-12-04", "22:30:00");
  }
  main->loadData();
  frmWizard& w = OpenNew();
  for (const auto& [stored, typed] : pairs) {
    w.txtName->UserType(typed);
    kit.Script().Expect(
        "Error: An item with that name already exists.  Please choose a different name",
        MsgBoxResult::OK);
    w.cmdOK->UserClick();
    EXPECT_TRUE(w.Visible()) << typed;
    EXPECT_TRUE(fs.Get(data + stored + ".sch")) << stored;
  }
  EXPECT_EQ(pairs.size(), fs.ListFiles("C:\\Program Files\\Norvale\\data", "*").size());
  EXPECT_TRUE(kit.Script().AllAnswered());
}

TEST_F(WizardTest, AWeeklyScheduleWithoutADayIsRefused) {
  frmWizard& w = OpenNew();
  w.txtName->UserType("Never");
  w.chkScheduler->UserClick();
  w.chkRepeat->UserClick();
  w.optRepeat[1]->UserClick();
  kit.Script().Expect("Error: Please tick at least one day on which the schedule runs",
                      MsgBoxResult::OK);
  w.cmdOK->UserClick();
  EXPECT_TRUE(w.Visible());
  EXPECT_FALSE(fs.Get(data + "Never.sch"));
}

TEST_F(WizardTest, EditingShowsTheStoredScheduleAndSavesOverItsOwnFile) {
  PutSchedule("Night", "Log Off", "2026-12-01", "07:05:09", true, 1, "tue,sat");
  fs.Put(data + "Night.sch", [&] {
    std::string text = Stored("Night");
    text.replace(text.find("LastRunTime="), 12, "LastRunTime=yesterday");
    return text;
  }());
  main->loadData();
  // A double-click on the row opens it as the Edit button does.
  main->lstSchedules->UserActivateItem(FindSchedule(main->lstSchedules->Items(), "Night") - 1);
  frmWizard& w = main->Wizard();
  ASSERT_TRUE(w.Visible());
  EXPECT_FALSE(w.txtName->Enabled());
  EXPECT_EQ("Night", w.txtName->Text());
  EXPECT_EQ("Log Off", w.cbShutdown->Text());
  EXPECT_EQ(1, w.chkScheduler->Value());
  EXPECT_EQ(1, w.chkRepeat->Value());
  EXPECT_TRUE(w.optRepeat[1]->Value());
  EXPECT_TRUE(w.tvScheduleWeek->Visible());
  std::vector<std::string> ticked;
  for (const auto& n : w.tvScheduleWeek->Nodes()) {
    if (n.Checked) ticked.push_back(n.Key);
  }
  EXPECT_EQ((std::vector<std::string>{"tue", "sat"}), ticked);
  EXPECT_EQ(FakeClock::At(2026, 12, 1), w.dtDate->Value());
  EXPECT_EQ(FakeClock::At(2026, 12, 4, 7, 5, 9), w.dtTime->Value());
  w.cmdOK->UserClick();                                   // no duplicate-name refusal in edit mode
  EXPECT_EQ("yesterday", Value("Night", "LastRunTime"));  // the run history stays
  EXPECT_EQ("tue,sat", Value("Night", "Period"));
  EXPECT_EQ(1u, main->lstSchedules->Items().size());
}

TEST_F(WizardTest, CancelSavesNothing) {
  frmWizard& w = OpenNew();
  w.txtName->UserType("Maybe");
  w.cmdCancel->UserClick();
  EXPECT_FALSE(w.Loaded());
  EXPECT_FALSE(fs.Get(data + "Maybe.sch"));
}

}  // namespace
}  // namespace norvale
