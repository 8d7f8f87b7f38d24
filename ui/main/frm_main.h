#pragma once
// The main window: the schedule list the engine works from, the quick-action
// row, the commands, the menus and the notification-area icon. Closing it
// normally only hides it, so schedules go on firing.
#include <memory>
#include <string>

#include "platform/forms/form.h"
#include "platform/forms/toolkit.h"
#include "power/power.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_list.h"
#include "ui/app_context.h"
#include "ui/main/frm_countdown.h"
#include "ui/main/frm_triggers.h"
#include "ui/main/runs.h"

namespace norvale {

class frmHistory;
class frmOptions;
class frmStillRunning;
class frmWizard;

inline constexpr int kColumnCount = 5;

class frmMain : public Form {
 public:
  explicit frmMain(AppContext& app);
  ~frmMain() override;

  // Controls, as the window's handlers and the tests use them.
  SkinLabel* Label1 = nullptr;
  ComboBox* cbShutdown = nullptr;
  ComboBox* cmbTime = nullptr;
  CommandButton* cmdGo = nullptr;
  CommandButton* cmdNewSchedule = nullptr;
  CommandButton* cmdEdit = nullptr;
  CommandButton* cmdDelete = nullptr;
  CommandButton* cmdPower = nullptr;
  CommandButton* cmdWebsite = nullptr;
  CheckBox* chkLowPower = nullptr;
  CheckBox* chkPrevent = nullptr;
  ListView* lstSchedules = nullptr;
  PictureBox* pctTray = nullptr;
  Timer* tmrScheduler = nullptr;
  Timer* tmrTrayIcon = nullptr;
  Menu* mnuTray = nullptr;

  // Handlers.
  void cmdGo_Click();
  // The action and delay lists, in the language in effect.
  void FillLists();
  // After a change of language: the title, the lists, the rows and every other
  // open window in the new one.
  void Retranslated();
  void cbShutdown_KeyPress(int& key_ascii);
  void cmdDelete_Click();
  void cmdEdit_Click();
  void cmdNewSchedule_Click();
  void cmdPower_Click();
  void cmdWebsite_Click();
  void mnuFileItem_Click(int index);
  void mnuPowerOptions_Click() { cmdPower_Click(); }
  void mnuLanguageItem_Click();
  void mnuHelpItem_Click();
  void mnuAboutItem_Click();
  void mnuTrayItem_Click(int index);
  void mnuActionItem_Click(int index);
  void mnuHistory_Click();
  void lstSchedules_ItemClick(size_t row);
  void tmrTrayIcon_Timer();
  void tmrScheduler_Timer();
  void chkPrevent_Click();
  void pctTray_MouseDown(TrayEvent e);
  void chkLowPower_Click();

  // Reads the schedule files again; what is pending stays pending.
  void loadData();
  void EnableItemCommands() { SetItemCommands(true, true); }
  void DisableItemCommands() { SetItemCommands(false, false); }
  void ResizeLayout();
  // Writes "Localization.txt" from the windows as they are designed.
  std::function<void()> WriteLocalizationFile = [] {};
  // A request the system refuses is told in a balloon.
  PowerOutcome DoPowerAction(const std::string& action, bool force);
  // Told the name and action of every occurrence about to be performed.
  std::function<void(const std::string& name, const std::string& action)> Performing;
  // Told whenever keep-awake hours begin or end.
  std::function<void(const AwakeChange&)> KeptAwake;

  // Every pending occurrence, and what happens to it; there once the window loaded.
  norvale::Runs& Pending() { return *runs_; }
  bool HasRuns() const { return runs_ != nullptr; }

  const ScheduleStore& Store() const { return store_; }
  // Another copy was already running: this one ends without showing anything.
  bool Ended() const { return ended_; }
  // Loads only the window's texts and layout, for writing the localization
  // file: no first-start questions, help, timers, tray icon or schedules.
  bool TextsOnly = false;
  CPower* Power() const { return power_.get(); }
  frmOptions& Options();
  frmCountdown& Countdown();
  frmHistory& History();
  frmWhenIdle& WhenIdle();
  frmWhenEnds& WhenEnds();
  frmWhenQuiet& WhenQuiet();
  // The editor opened or closed: New, Edit and Delete wait while it is open, so
  // it cannot be told to create or edit something else meanwhile.
  void EditorOpened();
  void EditorClosed();
  // The warning's lead time from the preferences; the default before the window loaded.
  int WarnSeconds() const { return runs_ ? runs_->WarnSeconds() : 60; }
  frmWizard& Wizard();
  frmStillRunning& StillRunning();

 protected:
  void BuildLayout() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unload_mode) override;
  void Form_Resize() override;
  void Form_Unload(int& cancel) override;

 private:
  void AddIdleRow(const std::string& action, int minutes);
  // One menu item per momentary action under `parent`, indexed by the action's row.
  void AddActionItems(const char* name, Menu& parent, const std::function<void(int)>& click);
  void ShowRows();
  std::unique_ptr<frmWhenIdle> when_idle_;
  std::unique_ptr<frmWhenEnds> when_ends_;
  std::unique_ptr<frmWhenQuiet> when_quiet_;
  void ConfirmAndPerform(const std::string& action);
  void RemoveLeftoverTemporaryFiles();
  void SetItemCommands(bool edit, bool remove);
  std::string Machine(const std::string& key, const std::string& def) const;
  // Brings the window back as the user last saw it: normal or maximized, where it was.
  void ShowAndActivate();
  void RememberShownState();
  // The run list's row shown at `index` of the list control.
  const RunRow* RowAt(size_t index) const;

  AppContext& app_;
  ScheduleStore store_;
  std::unique_ptr<CPower> power_;
  std::unique_ptr<norvale::Runs> runs_;
  // Normal or maximized as last shown; a minimized window comes back in this state.
  WindowState shown_state_ = WindowState::Normal;
  std::unique_ptr<frmOptions> options_;
  std::unique_ptr<frmWizard> wizard_;
  std::unique_ptr<frmStillRunning> still_running_;
  std::unique_ptr<frmCountdown> countdown_;
  std::unique_ptr<frmHistory> history_;
  std::vector<std::string> actions_;  // stored names, in the order the list shows them
  bool editor_open_ = false;
  bool ended_ = false;
};

// The reminder that the program goes on running in the notification area.
class frmStillRunning : public Form {
 public:
  frmStillRunning(AppContext& app, frmMain& main)
      : Form(app.kit, "frmStillRunning"), app_(app), main_(main) {}
  CheckBox* chkAlwaysExit = nullptr;
  CheckBox* chkNoShow = nullptr;
  CommandButton* cmdOK = nullptr;
  void cmdOK_Click();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  AppContext& app_;
  frmMain& main_;
};

// The start window: shows briefly, then loads and shows the main window.
class frmSplash : public Form {
 public:
  frmSplash(AppContext& app, frmMain& main) : Form(app.kit, "frmSplash"), app_(app), main_(main) {}
  ~frmSplash() override;
  Timer* Timer2 = nullptr;
  int16_t intTemp = 0;
  void Timer2_Timer();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  AppContext& app_;
  frmMain& main_;
};

}  // namespace norvale
