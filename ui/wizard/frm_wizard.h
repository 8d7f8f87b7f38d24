#pragma once
// The schedule editor: a new schedule, or the one last clicked when opened by Edit.
#include "platform/forms/form.h"
#include "ui/app_context.h"

namespace norvale {

class frmMain;

class frmWizard : public Form {
 public:
  frmWizard(AppContext& app, frmMain& main) : Form(app.kit, "frmWizard"), app_(app), main_(main) {}

  TextBox* txtName = nullptr;
  ComboBox* cbShutdown = nullptr;
  CheckBox* chkScheduler = nullptr;
  DTPicker* dtDate = nullptr;
  DTPicker* dtTime = nullptr;
  // Keep-awake hours only: the span's end and the display option.
  Label* lblUntil = nullptr;
  DTPicker* dtUntil = nullptr;
  CheckBox* chkKeepDisplay = nullptr;
  // Stand By on a Modern Standby computer: what it does there.
  Label* lblModernStandby = nullptr;
  // Wake to run, and why it may not work on this computer.
  CheckBox* chkWake = nullptr;
  Label* lblWakeNote = nullptr;
  CheckBox* chkRepeat = nullptr;
  OptionButton* optRepeat[3] = {nullptr, nullptr, nullptr};
  TreeView* tvScheduleWeek = nullptr;
  TreeView* tvScheduleMonth = nullptr;
  CommandButton* cmdOK = nullptr;
  CommandButton* cmdCancel = nullptr;

  void chkScheduler_Click();
  void cbShutdown_Click();
  void chkRepeat_Click();
  void optRepeat_Click(int index);
  void cmdOK_Click();
  void cmdCancel_Click() { Unload(); }

 protected:
  void BuildLayout() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  std::string Text(const char* key, const char* fallback) const;
  // Fills the controls from the schedule last clicked.
  void ShowEdited(LocalTime now, int hour);
  bool Refuse(const char* key, const char* fallback);
  bool KeepAwakeChosen() const;
  void ShowModernStandbyNote();

  AppContext& app_;
  frmMain& main_;
  // Whether it edits, and what, is fixed when the window opens.
  bool editing_ = false;
  std::string edited_name_;
  std::vector<std::string> actions_;  // stored names, in the order the list shows them
};

}  // namespace norvale
