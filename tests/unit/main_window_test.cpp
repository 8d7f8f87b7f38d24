#include "tests/unit/app_fixture.h"
#include "schedule/schedule_list.h"
#include "ui/main/frm_history.h"
#include "ui/main/quick_delay.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using testing_app::AppTest;

class MainWindowTest : public AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void Start() {
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
  size_t Row(const std::string& name) const {
    return FindSchedule(main->lstSchedules->Items(), name);
  }
};

TEST(QuickDelay, EveryCaptionMapsToItsMoment) {
  const LocalTime t = FakeClock::At(2026, 1, 31, 22, 15, 30);
  EXPECT_EQ(FakeClock::At(2026, 1, 31, 22, 16, 30), ApplyQuickDelay(t, "In 1 Minute"));
  EXPECT_EQ(FakeClock::At(2026, 1, 31, 22, 30, 30), ApplyQuickDelay(t, "in 15 Minutes"));
  EXPECT_EQ(FakeClock::At(2026, 2, 1, 10, 15, 30), ApplyQuickDelay(t, "In 12 Hours"));
  EXPECT_EQ(FakeClock::At(2026, 2, 7, 22, 15, 30), ApplyQuickDelay(t, "In 1 Week"));
  EXPECT_EQ(FakeClock::At(2026, 2, 21, 22, 15, 30), ApplyQuickDelay(t, "In 3 Weeks"));
  EXPECT_EQ(FakeClock::At(2026, 2, 28, 22, 15, 30), ApplyQuickDelay(t, "In 1 Month"));
  EXPECT_EQ(FakeClock::At(2028, 2, 29, 8, 0),
            ApplyQuickDelay(FakeClock::At(2028, 1, 31, 8, 0), "In 1 Month"));
  EXPECT_EQ(FakeClock::At(2027, 1, 15, 8, 0),
            ApplyQuickDelay(FakeClock::At(2026, 12, 15, 8, 0), "In 1 Month"));
  EXPECT_EQ(std::nullopt, ApplyQuickDelay(t, "In 15 Minutes"));  // the caption has a small "in"
  EXPECT_EQ(std::nullopt, ApplyQuickDelay(t, "Now"));
  EXPECT_EQ(16u, QuickDelayCaptions().size());
}

TEST_F(MainWindowTest, FirstRunStoresEnglishShowsTheLanguageWindowAndTheHelpOnce) {
  std::vector<std::string> order;
  app.ShowLanguageWindow = [&](bool modal) {
    order.push_back(modal ? "language modal" : "language");
  };
  app.RunHelp = [&] { order.push_back("help"); };
  Start();
  EXPECT_EQ((std::vector<std::string>{"language modal", "help"}), order);
  EXPECT_EQ("English", User("Language"));
  EXPECT_EQ("0", User("showHelp"));
  EXPECT_TRUE(fs.FolderExists("C:\\Program Files\\Norvale\\data"));
  main.reset();
  order.clear();
  Start();  // the second start asks nothing
  EXPECT_TRUE(order.empty());
}

TEST_F(MainWindowTest, LoadFillsTheListTheActionsAndTheTray) {
  NotFirstRun();
  PutSchedule("Night", "Shut Down", "2026-12-04", "22:30:00");
  Start();
  EXPECT_EQ("Norvale", main->Caption());
  ASSERT_EQ(1u, main->lstSchedules->Items().size());
  EXPECT_EQ("2026-12-04 22:30:00", main->lstSchedules->Items()[0].SubItem(3));
  EXPECT_EQ("Shut Down", main->cbShutdown->Text());
  EXPECT_EQ(6, main->cbShutdown->ListCount());  // Hibernate only where it works
  EXPECT_TRUE(kit.FakeTrayIcon().Shown());
  EXPECT_EQ("Norvale", kit.FakeTrayIcon().Tip());
  EXPECT_FALSE(main->tmrTrayIcon->Armed());  // an icon in place is not looked after
  EXPECT_EQ("Visit https://norvale.example/", main->cmdWebsite->Caption());
  EXPECT_FALSE(main->cmdEdit->Enabled());
  EXPECT_FALSE(main->Find("mnuFileItem", 2)->Enabled());
  // Every column shows beside a vertical scroll bar (255 twips) without scrolling sideways.
  int columns = 0;
  for (const auto& column : main->lstSchedules->ColumnHeaders()) columns += column.Width;
  EXPECT_LE(columns + 255 + 60, main->lstSchedules->Width());
}

TEST_F(MainWindowTest, HibernateIsOfferedFirstWhereItIsAvailable) {
  NotFirstRun();
  power.hibernation_file = true;
  Start();
  EXPECT_EQ("Hibernate", main->cbShutdown->Text());
  EXPECT_EQ(7, main->cbShutdown->ListCount());
}

TEST_F(MainWindowTest, ColumnWidthsComeBackAtTheNextStart) {
  NotFirstRun();
  Start();
  main->lstSchedules->UserResizeColumn(0, 3300);
  main->lstSchedules->UserResizeColumn(4, 900);
  main->Find("mnuFileItem", 6)->UserClick();  // Exit
  EXPECT_TRUE(kit.QuitRequested());
  EXPECT_EQ("3300", User("BackupSetColumn1"));
  EXPECT_EQ("900", User("BackupSetColumn5"));
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
  main.reset();
  settings.SaveUserSetting("Norvale", "Settings", "BackupSetColumn2", "wide");
  Start();
  EXPECT_EQ(3300, main->lstSchedules->ColumnHeaders()[0].Width);
  EXPECT_EQ(1900, main->lstSchedules->ColumnHeaders()[1].Width);  // not a number: the design
  EXPECT_EQ(900, main->lstSchedules->ColumnHeaders()[4].Width);
}

TEST_F(MainWindowTest, StartingMinimizedShowsOnlyTheTrayIconAndSilencesTheStore) {
  NotFirstRun();
  settings.WriteSetting("Norvale", "Settings", "chkMin", "1");
  frmMain window(app);
  frmSplash splash(app, window);
  splash.Show();
  kit.Advance(300ms);
  EXPECT_EQ(150, splash.intTemp);
  EXPECT_TRUE(window.Loaded());
  EXPECT_FALSE(window.Visible());
  EXPECT_FALSE(splash.Visible());
  EXPECT_TRUE(settings.StartHidden);
  EXPECT_TRUE(kit.FakeTrayIcon().Shown());
}

TEST_F(MainWindowTest, TheSplashShowsTheMainWindowOnItsSeventyFifthTick) {
  NotFirstRun();
  frmMain window(app);
  frmSplash splash(app, window);
  splash.Show();
  kit.Advance(148ms);
  EXPECT_FALSE(window.Loaded());
  kit.Advance(2ms);
  EXPECT_TRUE(window.Visible());
  EXPECT_FALSE(splash.Visible());
  EXPECT_TRUE(splash.Loaded());
}

TEST_F(MainWindowTest, ASecondInstanceEndsWithoutWindowOrWrites) {
  app.AnotherInstanceRunning = [] { return true; };
  frmMain window(app);
  frmSplash splash(app, window);
  splash.Show();
  kit.Advance(300ms);
  EXPECT_TRUE(kit.QuitRequested());
  EXPECT_FALSE(window.Visible());
  EXPECT_EQ(0u, reg.WriteCount());
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
}

TEST_F(MainWindowTest, ClosingHidesAndRemindsUntilToldOtherwise) {
  NotFirstRun();
  Start();
  EXPECT_FALSE(main->Unload(vbFormControlMenu));
  EXPECT_FALSE(main->Visible());
  frmStillRunning& reminder = main->StillRunning();
  EXPECT_TRUE(reminder.Visible());
  EXPECT_EQ("Norvale is still running", reminder.Caption());
  reminder.chkNoShow->UserClick();
  reminder.cmdOK->UserClick();
  EXPECT_EQ("1", Machine("chkNoShow"));
  EXPECT_FALSE(reminder.Loaded());
  main->Show();
  EXPECT_FALSE(main->Unload(vbFormControlMenu));
  EXPECT_FALSE(reminder.Loaded());  // no reminder any more
  EXPECT_TRUE(main->Loaded());
}

TEST_F(MainWindowTest, TickingAlwaysExitInTheReminderEndsTheProgram) {
  NotFirstRun();
  Start();
  main->Unload(vbFormControlMenu);
  main->StillRunning().chkAlwaysExit->UserClick();
  main->StillRunning().cmdOK->UserClick();
  EXPECT_EQ("1", Machine("chkAlwaysExit"));
  EXPECT_FALSE(main->Loaded());
  EXPECT_TRUE(kit.QuitRequested());
}

TEST_F(MainWindowTest, TheSystemOrTheTaskManagerEndTheProgramWithoutAReminder) {
  for (UnloadMode mode : {vbAppWindows, vbAppTaskManager}) {
    NotFirstRun();
    Start();
    EXPECT_TRUE(main->Unload(mode));
    EXPECT_FALSE(main->StillRunning().Loaded());
    main.reset();
    app.state.ExitRequested = false;
  }
}

TEST_F(MainWindowTest, AlwaysExitEndsAtTheFirstClose) {
  NotFirstRun();
  settings.WriteSetting("Norvale", "Settings", "chkAlwaysExit", "1");
  Start();
  EXPECT_TRUE(main->Unload(vbFormControlMenu));
  EXPECT_TRUE(kit.QuitRequested());
}

TEST_F(MainWindowTest, GoNowAsksAndPerformsOnlyOnOk) {
  NotFirstRun();
  app.Message = [english = app.Message](std::string_view key, std::string_view fallback) {
    return key == "MSG_TITLECONFIRM" ? std::string("Auswahl bestätigen") : english(key, fallback);
  };
  Start();
  main->cbShutdown->SetListIndex(1);  // Reboot
  kit.Script().Expect("Are you sure you want to perform \"Reboot\" now?", MsgBoxResult::Cancel);
  main->cmdGo->UserClick();
  EXPECT_TRUE(power.requests.empty());
  EXPECT_TRUE(main->lstSchedules->Items().empty());
  kit.Script().Expect("", MsgBoxResult::OK);
  int enter = 13;
  main->cbShutdown->UserKeyPress(enter);  // Enter acts as Go
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Reboot", power.requests[0].action);
  EXPECT_EQ(6u, power.requests[0].flags);
  EXPECT_EQ("Auswahl bestätigen", kit.Script().shown().back().title);  // the catalogue's
  // Enter on the question answers Cancel: nothing is performed by two stray keys.
  EXPECT_EQ(MsgBoxButtons::OKCancelSafe, kit.Script().shown().back().buttons);
}

TEST_F(MainWindowTest, QuickRowsFireAtTheirExactSecondAndSurviveReloadsUntilThen) {
  NotFirstRun();
  app.ChangeLanguage = [](Form&) {};
  const PatternLocale us = PatternLocale::Us();  // a general date with AM/PM
  AppContext us_app{kit,   fs,    codec,  us,        reg,           settings,
                    power, shell, system, "Norvale", "Norvale Labs"};
  clock.Set(FakeClock::At(2026, 12, 4, 13, 58, 10));
  settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");  // performed without a warning
  frmMain window(us_app);
  window.Show();
  window.cbShutdown->SetText("Stand by");
  window.cmbTime->SetText("In 5 Minutes");
  window.cmdGo->UserClick();
  ASSERT_EQ(1u, window.lstSchedules->Items().size());
  const ListItem& row = window.lstSchedules->Items()[0];
  EXPECT_EQ("Quick Schedule 12/4/2026 1:58:10 PM", row.Text);
  EXPECT_EQ((std::vector<std::string>{"Stand by", "", "12/4/2026 14:03:10", "Yes"}), row.SubItems);
  kit.Advance(4min + 59s);
  window.loadData();  // as a save, an edit or a delete does
  ASSERT_EQ(1u, window.lstSchedules->Items().size());
  EXPECT_TRUE(power.requests.empty());  // the minute has come, the delay has not passed
  kit.Advance(999ms);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(1250ms);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Stand by", power.requests[0].action);
  EXPECT_TRUE(window.lstSchedules->Items().empty());  // performed: done with
}

// In another language the lists show its texts; files and rows keep the stored names.
TEST_F(MainWindowTest, ActionAndDelayListsSpeakTheLanguageAndStoreEnglish) {
  NotFirstRun();
  std::map<std::string, std::string> german = {{"MSG_SHUTDOWN", "Herunterfahren"},
                                               {"MSG_STANDBY", "Standby"},
                                               {"MSG_NOW", "Jetzt"},
                                               {"MSG_IN5MINUTES", "In 5 Minuten"}};
  const auto english = app.Message;
  app.Message = [&](std::string_view key, std::string_view fallback) {
    const auto it = german.find(std::string(key));
    return it != german.end() ? it->second : english(key, fallback);
  };
  settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");
  settings.WriteSetting("Norvale", "Settings", "chkLog", "1");
  Start();
  EXPECT_EQ("Herunterfahren", main->cbShutdown->List(0));
  EXPECT_EQ("Jetzt", main->cmbTime->Text());
  main->cbShutdown->UserSelect(3);
  EXPECT_EQ("Standby", main->cbShutdown->Text());
  main->cmbTime->UserSelect(2);
  EXPECT_EQ("In 5 Minuten", main->cmbTime->Text());
  main->cmdGo->UserClick();
  ASSERT_EQ(1u, main->lstSchedules->Items().size());
  const ListItem& row = main->lstSchedules->Items()[0];
  EXPECT_EQ("Stand by", row.SubItem(1));
  EXPECT_EQ("Standby", main->lstSchedules->Shown(row, 1));
  EXPECT_FALSE(row.SubItem(3).empty());  // a known delay: it will fire
  // A change of language while the window is open refills the lists, keeping the choice.
  german["MSG_STANDBY"] = "Bereitschaft";
  main->Translated();
  EXPECT_EQ("Bereitschaft", main->cbShutdown->Text());
  kit.Advance(5min + 2s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Stand by", power.requests[0].action);
  // The history keeps the stored name and shows the language's.
  main->mnuHistory_Click();
  ASSERT_EQ(1u, main->History().lstHistory->Items().size());
  EXPECT_EQ("Bereitschaft", main->History().lstHistory->Items()[0].SubItem(2));
}

TEST_F(MainWindowTest, AnUnknownDelayAddsARowThatNeverFires) {
  NotFirstRun();
  Start();
  main->cmbTime->UserType("In 7 Minutes");
  main->cmdGo->UserClick();
  ASSERT_EQ(1u, main->lstSchedules->Items().size());
  EXPECT_EQ("", main->lstSchedules->Items()[0].SubItem(3));
}

TEST_F(MainWindowTest, RowClicksEnableTheRowCommands) {
  NotFirstRun();
  PutSchedule("Night", "Shut Down", "2026-12-04", "22:30:00", true, 1, "mon,fri");
  Start();
  main->cmbTime->SetText("In 1 Hour");
  main->cmdGo->UserClick();
  main->lstSchedules->UserClickItem(1);  // the quick row
  EXPECT_FALSE(main->cmdEdit->Enabled());
  EXPECT_TRUE(main->cmdDelete->Enabled());
  main->lstSchedules->UserClickItem(0);
  EXPECT_TRUE(main->cmdEdit->Enabled());
  EXPECT_TRUE(main->Find("mnuFileItem", 1)->Enabled());
  EXPECT_EQ("mon,fri", app.state.CurrentSchedule.Period);
}

TEST_F(MainWindowTest, WhileTheEditorIsOpenNoRowCommandComesBack) {
  NotFirstRun();
  PutSchedule("Night", "Shut Down", "2026-12-04", "22:30:00");
  Start();
  main->lstSchedules->UserClickItem(0);
  main->cmdEdit->UserClick();
  ASSERT_TRUE(main->Wizard().Loaded());
  main->lstSchedules->UserClickItem(0);  // a click on the list behind the editor
  EXPECT_FALSE(main->cmdEdit->Enabled());
  EXPECT_FALSE(main->cmdDelete->Enabled());
  EXPECT_FALSE(main->Find("mnuFileItem", 2)->Enabled());
  main->cmdDelete_Click();  // as a menu shortcut would: no question, no delete
  main->mnuFileItem_Click(2);
  EXPECT_TRUE(fs.Get(data + "Night.sch"));
  EXPECT_TRUE(kit.Script().shown().empty());
}

TEST_F(MainWindowTest, DeleteRemovesTheFileAndKeepsTheQuickRows) {
  NotFirstRun();
  PutSchedule("Night", "Shut Down", "2026-12-04", "22:30:00");
  PutSchedule("Day", "Reboot", "2026-12-05", "10:30:00");
  Start();
  main->cmbTime->SetText("In 1 Hour");
  main->cmdGo->UserClick();
  main->lstSchedules->UserClickItem(Row("Night") - 1);
  kit.Script().Expect("Are you sure you want to delete the selected item?", MsgBoxResult::No);
  main->cmdDelete->UserClick();
  EXPECT_TRUE(fs.Get(data + "Night.sch"));
  kit.Script().Expect("", MsgBoxResult::Yes);
  main->cmdDelete->UserClick();
  EXPECT_FALSE(fs.Get(data + "Night.sch"));
  ASSERT_EQ(2u, main->lstSchedules->Items().size());
  EXPECT_EQ("Day", main->lstSchedules->Items()[0].Text);
  EXPECT_EQ("Quick Schedule 2026-12-04 10:00:00", main->lstSchedules->Items()[1].Text);
  EXPECT_FALSE(main->cmdDelete->Enabled());
  EXPECT_EQ("Really delete?", kit.Script().shown().back().title);
}

TEST_F(MainWindowTest, DeletingAQuickRowTouchesNoFile) {
  NotFirstRun();
  PutSchedule("Night", "Shut Down", "2026-12-04", "22:30:00");
  Start();
  main->cmbTime->SetText("In 1 Hour");
  main->cmdGo->UserClick();
  main->lstSchedules->UserClickItem(1);
  kit.Script().Expect("", MsgBoxResult::Yes);
  main->cmdDelete->UserClick();
  EXPECT_EQ(1u, main->lstSchedules->Items().size());
  EXPECT_TRUE(fs.Get(data + "Night.sch"));
}

TEST_F(MainWindowTest, PowerOptionsAndMenusReachTheirCommands) {
  NotFirstRun();
  int about = 0, help = 0, language = 0, website = 0;
  app.ShowAbout = [&] { ++about; };
  app.RunHelp = [&] { ++help; };
  app.ShowLanguageWindow = [&](bool modal) { language += modal ? 100 : 1; };
  app.OpenWebsite = [&] { ++website; };
  Start();
  main->cmdPower->UserClick();
  main->Find("mnuPowerOptions")->UserClick();
  EXPECT_EQ((std::vector<std::string>{"RunDLL32.EXE shell32.dll,Control_RunDLL ups.cpl",
                                      "RunDLL32.EXE shell32.dll,Control_RunDLL ups.cpl"}),
            shell.commands);
  // Where the system has no "ups.cpl", the power options panel that replaced it.
  system.system_folder = "C:\\Windows\\System32";
  main->cmdPower->UserClick();
  EXPECT_EQ("RunDLL32.EXE shell32.dll,Control_RunDLL powercfg.cpl", shell.commands.back());
  fs.Put("C:\\Windows\\System32\\ups.cpl", "MZ");
  main->cmdPower->UserClick();
  EXPECT_EQ("RunDLL32.EXE shell32.dll,Control_RunDLL ups.cpl", shell.commands.back());
  main->Find("mnuAboutItem")->UserClick();
  main->Find("mnuHelpItem")->UserClick();
  main->Find("mnuLanguageItem")->UserClick();
  main->cmdWebsite->UserClick();
  EXPECT_EQ(1, about);
  EXPECT_EQ(1, help);
  EXPECT_EQ(1, language);
  EXPECT_EQ(1, website);
  main->Find("mnuFileItem", 4)->UserClick();
  EXPECT_TRUE(main->Options().Visible());
  // Each action item asks first, naming its action; Hibernate only where it exists.
  EXPECT_FALSE(main->Find("mnuActionItem", 0)->Visible());
  for (const char* action : {"Shut Down", "Reboot", "Log Off", "Stand By"}) {
    kit.Script().Expect(std::string("Are you sure you want to perform \"") + action + "\" now?",
                        MsgBoxResult::Cancel);
  }
  for (int i = 1; i < 5; ++i) main->Find("mnuActionItem", i)->UserClick();
  EXPECT_TRUE(power.requests.empty());
  kit.Script().Expect("", MsgBoxResult::OK);
  main->Find("mnuActionItem", 3)->UserClick();
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Log Off", power.requests[0].action);
}

TEST_F(MainWindowTest, TrayClicksOpenTheMenuOnReleaseAndDoubleClickRestores) {
  NotFirstRun();
  Start();
  auto& tray = kit.FakeTrayIcon();
  tray.Send(TrayEvent::LeftDown);
  tray.Send(TrayEvent::RightDown);
  tray.Send(TrayEvent::MouseMove);
  EXPECT_TRUE(kit.PopupsShown().empty());
  tray.Send(TrayEvent::LeftUp);
  tray.Send(TrayEvent::RightUp);
  EXPECT_EQ((std::vector<std::string>{"mnuTray", "mnuTray"}), kit.PopupsShown());
  main->Unload(vbFormControlMenu);  // hidden in the tray
  main->StillRunning().Unload();
  const size_t closed = kit.PopupsClosed();
  tray.Send(TrayEvent::LeftDoubleClick);
  EXPECT_EQ(closed + 1, kit.PopupsClosed());  // the menu of its first click goes
  EXPECT_TRUE(main->Visible());
  EXPECT_EQ(WindowState::Normal, main->GetWindowState());
  EXPECT_EQ("Norvale", kit.Activations().back());
}

// "Open" and a double-click bring the window back as the user last saw it, never
// in a state the user did not choose, whether it was closed, minimized first or
// started in the tray.
TEST_F(MainWindowTest, TrayOpenRestoresTheWindowAsItWasLastShownAndExitEnds) {
  NotFirstRun();
  Start();
  auto open = [&] {
    kit.ChooseFromPopup("mnuTrayItem", 0);
    kit.FakeTrayIcon().Send(TrayEvent::RightUp);
    EXPECT_TRUE(main->Visible());
    return main->GetWindowState();
  };
  auto close = [&] {
    main->Unload(vbFormControlMenu);
    if (main->StillRunning().Loaded()) main->StillRunning().Unload();
    ASSERT_FALSE(main->Visible());
  };
  close();
  EXPECT_EQ(WindowState::Normal, open());

  main->SetWindowState(WindowState::Maximized);
  close();
  EXPECT_EQ(WindowState::Maximized, open());

  // Minimized from maximized, then closed from the taskbar.
  main->SetWindowState(WindowState::Minimized);
  close();
  EXPECT_EQ(WindowState::Maximized, open());

  main->SetWindowState(WindowState::Normal);
  main->SetWindowState(WindowState::Minimized);
  EXPECT_EQ(WindowState::Normal, open());  // shown but minimized: restored
  close();
  kit.FakeTrayIcon().Send(TrayEvent::LeftDoubleClick);
  EXPECT_EQ(WindowState::Normal, main->GetWindowState());

  kit.ChooseFromPopup("mnuTrayItem", 3);
  kit.FakeTrayIcon().Send(TrayEvent::LeftUp);
  EXPECT_TRUE(kit.QuitRequested());
  EXPECT_FALSE(main->Loaded());
}

TEST_F(MainWindowTest, TrayOpenShowsAWindowStartedInTheTrayRestoredNotMinimized) {
  NotFirstRun();
  settings.WriteSetting("Norvale", "Settings", "chkMin", "1");
  frmMain window(app);
  frmSplash splash(app, window);
  splash.Show();
  kit.Advance(300ms);
  ASSERT_FALSE(window.Visible());
  kit.ChooseFromPopup("mnuTrayItem", 0);
  kit.FakeTrayIcon().Send(TrayEvent::RightUp);
  EXPECT_TRUE(window.Visible());
  EXPECT_EQ(WindowState::Normal, window.GetWindowState());
}

TEST_F(MainWindowTest, TheTrayIconIsRetriedEveryFiveSecondsUntilAddedThenNothingWakes) {
  NotFirstRun();
  kit.FakeTrayIcon().FailAdds(true);
  Start();
  EXPECT_TRUE(main->tmrTrayIcon->Armed());
  EXPECT_EQ(5000, main->tmrTrayIcon->Interval());
  kit.Advance(5s);
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
  kit.FakeTrayIcon().FailAdds(false);
  kit.Advance(5s);
  EXPECT_TRUE(kit.FakeTrayIcon().Shown());
  // While the tray is fine nothing asks after it.
  EXPECT_FALSE(main->tmrTrayIcon->Armed());
  const size_t calls = kit.FakeTrayIcon().Calls().size();
  kit.Advance(24h);
  EXPECT_EQ(calls, kit.FakeTrayIcon().Calls().size());
}

TEST_F(MainWindowTest, TheTrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
  NotFirstRun();
  Start();
  ASSERT_TRUE(kit.FakeTrayIcon().Shown());
  kit.FakeTrayIcon().RestartShell();
  EXPECT_TRUE(kit.FakeTrayIcon().Shown());
  EXPECT_EQ("Norvale", kit.FakeTrayIcon().Tip());
  EXPECT_EQ("add", kit.FakeTrayIcon().Calls().back().op);
  EXPECT_FALSE(main->tmrTrayIcon->Armed());
  // A shell not ready to take it yet: retried until it does, then left alone.
  kit.FakeTrayIcon().FailAdds(true);
  kit.FakeTrayIcon().RestartShell();
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
  EXPECT_TRUE(main->tmrTrayIcon->Armed());
  kit.Advance(12s);
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
  kit.FakeTrayIcon().FailAdds(false);
  kit.Advance(5s);
  EXPECT_TRUE(kit.FakeTrayIcon().Shown());
  EXPECT_FALSE(main->tmrTrayIcon->Armed());
  // After Exit the icon stays gone, whatever the shell announces.
  main->Find("mnuFileItem", 6)->UserClick();
  kit.FakeTrayIcon().RestartShell();
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
}

TEST_F(MainWindowTest, ResizingKeepsWidthsPositive) {
  NotFirstRun();
  Start();
  main->NotifyResized({0, 0, 12000, 9000});
  EXPECT_EQ(12000 - main->lstSchedules->Left() - 200, main->lstSchedules->Width());
  EXPECT_EQ(9000 - main->lstSchedules->Top() - 1000, main->lstSchedules->Height());
  main->NotifyResized({0, 0, 1000, 1000});
  EXPECT_EQ(main->cmdWebsite->Left() + 200 - 1000, main->cmdWebsite->Width());
  EXPECT_EQ(main->lstSchedules->Top() + 1000 - 1000, main->lstSchedules->Height());
}

TEST_F(MainWindowTest, TheLowPowerBoxRefusesSuspendWhileTicked) {
  NotFirstRun();
  Start();
  main->chkLowPower->UserClick();
  EXPECT_EQ(BROADCAST_QUERY_DENY_, kit.SendMessage(*main, {WM_POWERBROADCAST_, 0, 0}));
  EXPECT_TRUE(power.idle_sleep_held);
  main->chkLowPower->UserClick();
  EXPECT_EQ(std::nullopt, kit.SendMessage(*main, {WM_POWERBROADCAST_, 0, 0}));
}

}  // namespace
}  // namespace norvale
