#include "ui/main/frm_main.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/next_run.h"
#include "localization/language_file.h"
#include "platform/dry_run_power.h"
#include "platform/path.h"
#include "schedule/schedule_list.h"
#include "schedule/run_history.h"
#include "settings/frm_options.h"
#include "ui/main/frm_history.h"
#include "ui/main/quick_delay.h"
#include "ui/shown_names.h"
#include "ui/wizard/frm_wizard.h"

namespace norvale {
namespace {

// An icon the notification area did not take is tried again this often; one in
// place is left alone until "TaskbarCreated" or a refused change says it is gone.
constexpr int kTrayRetryMs = 5000;
constexpr const char* kPowerOptionsCommand = "RunDLL32.EXE shell32.dll,Control_RunDLL ups.cpl";
// Current Windows has no "ups.cpl"; its power options are this panel.
constexpr const char* kPowerPanelCommand = "RunDLL32.EXE shell32.dll,Control_RunDLL powercfg.cpl";
constexpr const char* kColumnHeaders[kColumnCount] = {"Schedule Name", "Type", "Last Run Time",
                                                      "Next Run Time", "Enabled"};
// Together narrower than the list less its vertical scroll bar: at the window's
// first size every column shows without scrolling sideways.
constexpr int kColumnWidths[kColumnCount] = {2800, 1900, 1900, 1900, 1000};

}  // namespace

frmMain::frmMain(AppContext& app)
    : Form(app.kit, "frmMain"),
      app_(app),
      store_{app.fs, app.codec, DataFolder(app.fs.ProgramFolder())} {
  app_.windows["frmMain"] = this;
}

frmMain::~frmMain() {
  // The windows this one owns go with it; nobody may reach them afterwards.
  const Form* owned[] = {
      this, options_.get(), wizard_.get(), still_running_.get(), countdown_.get(), history_.get()};
  for (auto& [name, form] : app_.windows) {
    for (const Form* o : owned) {
      if (form == o) form = nullptr;
    }
  }
}

frmOptions& frmMain::Options() {
  if (!options_) {
    options_ = std::make_unique<frmOptions>(app_);
    app_.windows["frmOptions"] = options_.get();
  }
  return *options_;
}

frmCountdown& frmMain::Countdown() {
  if (!countdown_) {
    countdown_ = std::make_unique<frmCountdown>(app_);
    app_.windows["frmCountdown"] = countdown_.get();
  }
  return *countdown_;
}

frmHistory& frmMain::History() {
  if (!history_) {
    history_ = std::make_unique<frmHistory>(app_, store_.data_folder + kHistoryFileName);
    app_.windows["frmHistory"] = history_.get();
  }
  return *history_;
}

frmWizard& frmMain::Wizard() {
  if (!wizard_) {
    wizard_ = std::make_unique<frmWizard>(app_, *this);
    app_.windows["frmWizard"] = wizard_.get();
  }
  return *wizard_;
}

frmStillRunning& frmMain::StillRunning() {
  if (!still_running_) {
    still_running_ = std::make_unique<frmStillRunning>(app_, *this);
    app_.windows["frmStillRunning"] = still_running_.get();
  }
  return *still_running_;
}

void frmMain::BuildLayout() {
  SetCaption(app_.product_name);
  Move(0, 0, 10200, 7350);
  Label1 = &Add<SkinLabel>("Label1", -1, "Temporary Scheduler:", nullptr, 120, 180, 1935, 255);
  cbShutdown = &Add<ComboBox>("cbShutdown", -1, "Combo1", nullptr, 2100, 120, 1980, 315);
  // A choice of the five actions, nothing to type: and no caret blinking in it
  // while the window waits with the focus there.
  cbShutdown->SetComboStyle(ComboBox::kDropdownList);
  cmbTime = &Add<ComboBox>("cmbTime", -1, "Now", nullptr, 4170, 120, 1980, 315);
  cmdGo = &Add<CommandButton>("cmdGo", -1, "&Go", nullptr, 6240, 105, 1035, 345);
  cmdNewSchedule =
      &Add<CommandButton>("cmdNewSchedule", -1, "&New Schedule", nullptr, 120, 600, 1575, 375);
  cmdEdit = &Add<CommandButton>("cmdEdit", -1, "&Edit", nullptr, 1785, 600, 1170, 375);
  cmdDelete = &Add<CommandButton>("cmdDelete", -1, "&Delete", nullptr, 3045, 600, 1170, 375);
  cmdPower = &Add<CommandButton>("cmdPower", -1, "&Power Options", nullptr, 4305, 600, 1575, 375);
  cmdWebsite =
      &Add<CommandButton>("cmdWebsite", -1, "Visit YourWebsite.com", nullptr, 5970, 600, 4030, 375);
  chkLowPower = &Add<CheckBox>(
      "chkLowPower", -1,
      "Prevent this computer from entering Stand By mode or Hibernating due to inactivity", nullptr,
      120, 1095, 9880, 285);
  chkPrevent = &Add<CheckBox>("chkPrevent", -1, "Prevent any schedules from running", nullptr, 120,
                              1410, 9880, 285);
  lstSchedules = &Add<ListView>("lstSchedules", -1, "", nullptr, 120, 1785, 9880, 3600);
  for (int i = 0; i < kColumnCount; ++i)
    lstSchedules->AddColumn(kColumnHeaders[i], kColumnWidths[i]);
  pctTray = &Add<PictureBox>("pctTray", -1, "", nullptr, 0, 0, 0, 0);
  pctTray->SetVisible(false);
  tmrScheduler = &Add<Timer>("tmrScheduler");
  tmrTrayIcon = &Add<Timer>("tmrTrayIcon");
  tmrTrayIcon->SetInterval(kTrayRetryMs);
  Add<SkinLabel>("SkinLabel1", 0, "Windowed Label", nullptr, 0, 0, 0, 0).SetVisible(false);

  Menu& file = Add<Menu>("mnuFile", -1, "&File", nullptr, 0, 0, 0, 0);
  const char* file_items[] = {
      "&New Schedule", "&Edit Selected", "&Delete Selected", "-", "General &Preferences", "-",
      "E&xit"};
  for (int i = 0; i < 7; ++i) {
    Menu& item = Add<Menu>("mnuFileItem", i, file_items[i], &file, 0, 0, 0, 0);
    item.Click = [this, i] { mnuFileItem_Click(i); };
  }
  Menu& action = Add<Menu>("mnuAction", -1, "&Action", nullptr, 0, 0, 0, 0);
  AddActionItems("mnuActionItem", action, [this](int i) { mnuActionItem_Click(i); });
  Menu& view = Add<Menu>("mnuView", -1, "&View", nullptr, 0, 0, 0, 0);
  Add<Menu>("mnuPowerOptions", -1, "&Power Options", &view, 0, 0, 0, 0).Click = [this] {
    mnuPowerOptions_Click();
  };
  Add<Menu>("mnuHistory", -1, "&History", &view, 0, 0, 0, 0).Click = [this] { mnuHistory_Click(); };
  Menu& language = Add<Menu>("mnuLanguage", -1, "&Languages", nullptr, 0, 0, 0, 0);
  Add<Menu>("mnuLanguageItem", -1, "&Change Language", &language, 0, 0, 0, 0).Click = [this] {
    mnuLanguageItem_Click();
  };
  Menu& help = Add<Menu>("mnuHelp", -1, "&Help", nullptr, 0, 0, 0, 0);
  Add<Menu>("mnuHelpItem", -1, "&View Help", &help, 0, 0, 0, 0).Click = [this] {
    mnuHelpItem_Click();
  };
  Menu& about = Add<Menu>("mnuAbout", -1, "Ab&out", nullptr, 0, 0, 0, 0);
  Add<Menu>("mnuAboutItem", -1, "&About this software", &about, 0, 0, 0, 0).Click = [this] {
    mnuAboutItem_Click();
  };
  mnuTray = &Add<Menu>("mnuTray", -1, "Tray", nullptr, 0, 0, 0, 0);
  mnuTray->SetVisible(false);
  const char* tray_items[] = {"&Open", "&Hide Menu", "-", "E&xit"};
  for (int i = 0; i < 4; ++i) {
    // The actions are at hand from the tray too, before the line above Exit.
    if (i == 2) {
      Menu& tray_action = Add<Menu>("mnuTrayAction", -1, "&Action", mnuTray, 0, 0, 0, 0);
      AddActionItems("mnuTrayActionItem", tray_action, [this](int a) { mnuActionItem_Click(a); });
    }
    Add<Menu>("mnuTrayItem", i, tray_items[i], mnuTray, 0, 0, 0, 0).Click = [this, i] {
      mnuTrayItem_Click(i);
    };
  }

  // No default button: Enter in the list or on a check box must not act.
  cmdGo->Click = [this] { cmdGo_Click(); };
  cbShutdown->KeyPress = [this](int& key) { cbShutdown_KeyPress(key); };
  cmdDelete->Click = [this] { cmdDelete_Click(); };
  cmdEdit->Click = [this] { cmdEdit_Click(); };
  cmdNewSchedule->Click = [this] { cmdNewSchedule_Click(); };
  cmdPower->Click = [this] { cmdPower_Click(); };
  cmdWebsite->Click = [this] { cmdWebsite_Click(); };
  chkLowPower->Click = [this] { chkLowPower_Click(); };
  lstSchedules->ItemClick = [this](size_t row) { lstSchedules_ItemClick(row); };
  lstSchedules->ShownText = [this](size_t column, const std::string& text) {
    return column == kColumnType || column == kColumnEnabled ? Shown(app_, text) : text;
  };
  // A double-click (or Enter) on a row edits it, where editing is allowed.
  lstSchedules->ItemActivate = [this](size_t row) {
    lstSchedules->UserClickItem(row);
    if (cmdEdit->Enabled()) cmdEdit_Click();
  };
  tmrTrayIcon->Tick = [this] { tmrTrayIcon_Timer(); };
  chkPrevent->Click = [this] { chkPrevent_Click(); };
  SetItemCommands(false, false);
}

void frmMain::AddActionItems(const char* name, Menu& parent, const std::function<void(int)>& click) {
  // Indexed by the action's row, so a translation names an item whatever is offered here.
  const auto actions = PowerActions();
  for (size_t i = 0; i < actions.size(); ++i) {
    if (!actions[i].momentary) continue;
    const int index = static_cast<int>(i);
    Add<Menu>(name, index, actions[i].menu, &parent, 0, 0, 0, 0).Click = [click, index] {
      click(index);
    };
  }
}

std::string frmMain::Machine(const std::string& key, const std::string& def) const {
  try {
    return app_.settings.ReadSetting(app_.product_name, "Settings", key, def);
  } catch (const SettingsError&) {
    return def;
  }
}

void frmMain::Form_Load() {
  if (TextsOnly) {
    for (Timer* t : {tmrScheduler, tmrTrayIcon}) {
      t->SetEnabled(false);
    }
    // The file names the address by its placeholder, so no translation spells it.
    cmdWebsite->SetCaption("Visit [Website]");
    SetCaption(app_.Message("MSG_TITLE", app_.product_name));
    return;
  }
  if (app_.AnotherInstanceRunning()) {
    ended_ = true;
    app_.kit.Quit();
    return;
  }
  SetIconResource("AAA");
  SettingsStore& settings = app_.settings;
  const std::string& product = app_.product_name;
  const std::string first_run = settings.GetUserSetting(product, "Settings", "Language", "");
  cmdWebsite->SetCaption("Visit " + app_.website);
  app_.state.CurrentLanguage = settings.GetUserSetting(product, "Settings", "Language", "English");
  app_.ChangeLanguage(*this);
  if (first_run.empty()) {
    settings.SaveUserSetting(product, "Settings", "Language", "English");
    app_.ShowLanguageWindow(true);
  }
  SetCaption(app_.Message("MSG_TITLE", product));

  // The widths first: the rows then reach the list once.
  for (int i = 1; i <= kColumnCount; ++i) {
    const std::string width =
        settings.GetUserSetting(product, "Settings", "BackupSetColumn" + std::to_string(i),
                                std::to_string(kColumnWidths[i - 1]));
    const auto twips = ReadInt16(width);
    // A width that is no number, or no sensible one, keeps the designed width.
    if (twips && *twips >= 0) lstSchedules->SetColumnWidth(static_cast<size_t>(i - 1), *twips);
  }

  runs_ = std::make_unique<norvale::Runs>(
      app_, store_, *tmrScheduler, [this] { return chkPrevent->Value() == 1; },
      [this](const std::string& action) { return DoPowerAction(action, runs_->ForceClose()); });
  tmrScheduler->Tick = [this] { tmrScheduler_Timer(); };
  runs_->Changed = [this] { ShowRows(); };
  runs_->Performing = [this](const std::string& name, const std::string& action) {
    if (Performing) Performing(name, action);
  };
  runs_->ShownChanged = [this] { Countdown().ShowFlow(runs_->Flow()); };
  runs_->Recorded = [this] {
    if (history_ && history_->Loaded()) history_->Refresh();
  };
  runs_->AwakeChanged = [this](const AwakeChange& change) {
    // Before the power object exists, it takes the state when it is made.
    if (power_) {
      power_->KeepAwake(change.state.on, change.state.display);
      tmrTrayIcon_Timer();
    }
    if (KeptAwake) KeptAwake(change);
  };
  runs_->HoldAwakeChanged = [this](bool hold) {
    if (power_) power_->HoldForWake(hold);
  };
  SystemChanged = [this](SystemChange change) {
    runs_->Engine().SystemChanged(change);
    // Times shown in real time follow the clock.
    ShowRows();
  };
  loadData();

  actions_ = PowerActionList(app_.power);
  FillLists();
  cbShutdown->SetListIndex(0);
  cmbTime->SetListIndex(0);
  // Another language: the lists, the rows and every other open window follow at once.
  Translated = [this] { Retranslated(); };
  const auto actions = PowerActions();
  for (size_t i = 0; i < actions.size(); ++i) {
    if (!actions[i].momentary || !actions[i].needs_hibernation) continue;
    for (const char* menu : {"mnuActionItem", "mnuTrayActionItem"}) {
      Find(menu, static_cast<int>(i))->SetVisible(modPower::HibernateAvailable(app_.power));
    }
  }

  power_ = std::make_unique<CPower>(app_.power);
  power_->Initialize(*this);
  power_->KeepAwake(runs_->Engine().Awake().on, runs_->Engine().Awake().display);
  power_->HoldForWake(runs_->Engine().HoldsAwake());
  app_.kit.Tray().OnEvent = [this](TrayEvent e) { pctTray_MouseDown(e); };
  app_.kit.Tray().TaskbarCreated = [this] { tmrTrayIcon_Timer(); };
  tmrTrayIcon_Timer();

  const std::string data = std::string(FolderOf(store_.data_folder));
  try {
    if (!app_.fs.FolderExists(data)) app_.fs.CreateFolder(data);
  } catch (const FileError&) {
    // Saving a schedule will report the missing folder.
  }
  RemoveLeftoverTemporaryFiles();

  app_.Skin(*this, AppContext::Overlay::kLabels);

  if (settings.GetUserSetting(product, "Settings", "showHelp", "1") == "1") {
    if (settings.GetUserSetting(product, "Settings", "Language", "English") == "English") {
      app_.RunHelp();
    }
    settings.SaveUserSetting(product, "Settings", "showHelp", "0");
  }

  if (Machine("chkMin", "0") == "1") {
    SetWindowState(WindowState::Minimized);
    Hide();
    settings.StartHidden = true;
  }
}

void frmMain::Form_QueryUnload(int& cancel, int unload_mode) {
  if (unload_mode == vbAppWindows || unload_mode == vbAppTaskManager) {
    app_.state.ExitRequested = true;
  }
  if (app_.state.ExitRequested) return;
  RememberShownState();
  Hide();
  if (Machine("chkAlwaysExit", "0") != "0") return;
  if (Machine("chkNoShow", "0") == "0") StillRunning().Show();
  cancel = 1;
}

void frmMain::Form_Unload(int&) {
  for (const char* name :
       {"Form8", "frmAbout", "frmCountdown", "frmHistory", "frmLanguage", "frmOptions", "frmSplash",
        "frmStillRunning", "frmWebsite", "frmWizard"}) {
    if (Form* f = app_.Window(name); f && f->Loaded()) f->Unload();
  }
  power_.reset();
  for (int i = 1; i <= kColumnCount; ++i) {
    app_.settings.SaveUserSetting(
        app_.product_name, "Settings", "BackupSetColumn" + std::to_string(i),
        std::to_string(lstSchedules->ColumnHeaders()[static_cast<size_t>(i - 1)].Width));
  }
  app_.kit.Tray().Delete();
  app_.kit.Tray().OnEvent = nullptr;
  app_.kit.Tray().TaskbarCreated = nullptr;
  app_.kit.Quit();
}

void frmMain::Form_Resize() {
  RememberShownState();
  ResizeLayout();
}

void frmMain::RememberShownState() {
  const WindowState state = GetWindowState();
  if (Visible() && state != WindowState::Minimized) shown_state_ = state;
}

void frmMain::ResizeLayout() {
  if (GetWindowState() == WindowState::Minimized) return;
  const TwipsRect b = Bounds();
  cmdWebsite->Move(cmdWebsite->Left(), cmdWebsite->Top(),
                   std::abs(b.width - cmdWebsite->Left() - 200), cmdWebsite->Height());
  lstSchedules->Move(lstSchedules->Left(), lstSchedules->Top(),
                     std::abs(b.width - lstSchedules->Left() - 200),
                     std::abs(b.height - lstSchedules->Top() - 1000));
}

void frmMain::loadData() {
  runs_->Load();
}

void frmMain::ShowRows() {
  lstSchedules->SetItems(runs_->Items());
}

const RunRow* frmMain::RowAt(size_t index) const {
  const auto& rows = runs_->List().Rows();
  return index < rows.size() ? &rows[index] : nullptr;
}

void frmMain::RemoveLeftoverTemporaryFiles() {
  // Every file the program replaces whole, by folder: a crash while one was
  // written leaves its temporary beside it.
  const std::string data(FolderOf(store_.data_folder));
  const std::string program = app_.fs.ProgramFolder();
  const std::string local = app_.fs.LocalAppDataFolder();
  const std::pair<std::string, std::vector<const char*>> replaced[] = {
      {data, {"*.sch", kHistoryFileName}},
      {program, {kDryRunLogName, kLocalizationFileName}},
      // The user's own language file (see UserLocalizationPath).
      {local.empty() ? "" : JoinPath(local, app_.product_name), {kLocalizationFileName}}};
  for (const auto& [folder, patterns] : replaced) {
    if (folder.empty()) continue;
    try {
      for (const std::string& name : app_.fs.ListFiles(folder, "~*")) {
        for (const char* pattern : patterns) {
          if (IsReplaceTemporaryName(name, pattern)) {
            app_.fs.RemoveFile(JoinPath(folder, name));
            break;
          }
        }
      }
    } catch (const FileError&) {
      // Another start will try again; the files themselves are whole.
    }
  }
}

void frmMain::SetItemCommands(bool edit, bool remove) {
  if (editor_open_) edit = remove = false;
  cmdEdit->SetEnabled(edit);
  cmdDelete->SetEnabled(remove);
  Find("mnuFileItem", 1)->SetEnabled(edit);
  Find("mnuFileItem", 2)->SetEnabled(remove);
}

void frmMain::lstSchedules_ItemClick(size_t row) {
  // While the editor is open it owns the row it opened for.
  if (editor_open_) return;
  try {
    const RowCommands c = norvale::lstSchedules_ItemClick(lstSchedules->Items().at(row), store_,
                                                          app_.state.CurrentSchedule);
    SetItemCommands(c.edit, c.remove);
  } catch (const FileError& e) {
    // The file went away or cannot be read: it can still be deleted.
    SetItemCommands(false, true);
    app_.kit.Boxes().MsgBox(e.Message(), MsgBoxButtons::OK, MsgBoxIcon::Exclamation,
                            app_.product_name);
  }
}

PowerOutcome frmMain::DoPowerAction(const std::string& action, bool force) {
  if (!power_) {
    power_ = std::make_unique<CPower>(app_.power);
    power_->Initialize(*this);
  }
  if (runs_) power_->SetFullShutdown(runs_->FullShutdown());
  const PowerOutcome outcome = norvale::DoPowerAction(*power_, action, force);
  if (!outcome.done) {
    app_.kit.Tray().ShowBalloon(app_.product_name, RefusedText(app_, action, outcome));
  }
  return outcome;
}

void frmMain::Retranslated() {
  SetCaption(app_.Message("MSG_TITLE", app_.product_name));
  FillLists();
  if (runs_) ShowRows();  // the cells of the list ask again for the shown names
  // Every other open window: those registered by name and the delay list's questions.
  std::vector<Form*> open;
  for (const auto& [name, form] : app_.windows) {
    if (form && form != this) open.push_back(form);
  }
  for (Form* form : {static_cast<Form*>(when_idle_.get()), static_cast<Form*>(when_ends_.get()),
                     static_cast<Form*>(when_quiet_.get())}) {
    if (form) open.push_back(form);
  }
  for (Form* form : open) {
    if (form->Loaded()) app_.ChangeLanguage(*form);
  }
}

void frmMain::FillLists() {
  FillShown(*cbShutdown, actions_, app_);
  FillShown(*cmbTime, DelayChoices(), app_);
}

void frmMain::cmdGo_Click() {
  const std::string action = StoredChoice(*cbShutdown, actions_, app_);
  const std::string delay = StoredChoice(*cmbTime, DelayChoices(), app_);
  if (delay == kWhenIdle) {
    if (const auto minutes = WhenIdle().Ask()) AddIdleRow(action, *minutes);
    return;
  }
  if (delay == kWhenQuiet) {
    if (const auto limits = WhenQuiet().Ask()) {
      runs_->AddQuick(QuietRow(app_.kit.Time(), runs_->QuickName(), action, *limits));
    }
    return;
  }
  if (delay == kWhenProgramEnds) {
    const auto program = WhenEnds().Ask();
    if (!program) return;
    auto watch = app_.activity->Watch(program->pid);
    if (!watch) {
      app_.kit.Boxes().MsgBox(
          FillIn(app_.Message("MSG_PROGRAMGONE", "\"{name}\" has already ended."),
                 {{"name", program->name}}),
          MsgBoxButtons::OK, MsgBoxIcon::Exclamation, app_.product_name);
      return;
    }
    runs_->AddQuick(ProgramEndsRow(runs_->QuickName(), action, *program, std::move(watch)));
    return;
  }
  if (delay == "Now") {
    ConfirmAndPerform(action);
    return;
  }
  std::string name = runs_->QuickName();
  if (auto row = DelayedRow(app_.kit.Time(), delay, name, action)) {
    runs_->AddQuick(std::move(*row));
  } else {
    // A delay nobody knows: listed, never due.
    RunRow never = LocalTimeRow(std::move(name), action, {});
    never.local_due.reset();
    runs_->AddQuick(std::move(never));
  }
}

void frmMain::AddIdleRow(const std::string& action, int minutes) {
  runs_->AddQuick(IdleRow(app_.kit.Time(), runs_->QuickName(), action, minutes));
}

frmWhenIdle& frmMain::WhenIdle() {
  if (!when_idle_) when_idle_ = std::make_unique<frmWhenIdle>(app_);
  return *when_idle_;
}

frmWhenEnds& frmMain::WhenEnds() {
  if (!when_ends_) when_ends_ = std::make_unique<frmWhenEnds>(app_);
  return *when_ends_;
}

frmWhenQuiet& frmMain::WhenQuiet() {
  if (!when_quiet_) when_quiet_ = std::make_unique<frmWhenQuiet>(app_);
  return *when_quiet_;
}

void frmMain::tmrScheduler_Timer() {
  runs_->Engine().Tick();
}

void frmMain::chkPrevent_Click() {
  // Nothing held off comes later: what is warned of or waits is missed now.
  if (chkPrevent->Value() == 1) runs_->Flow().MissAll();
  // Nor is the computer woken for what will not run; unticked, it is again.
  runs_->Engine().Tick();
}

void frmMain::ConfirmAndPerform(const std::string& action) {
  // The question names the action, and Enter answers Cancel.
  if (app_.kit.Boxes().MsgBox(
          FillIn(app_.Message("MSG_SURENOW", "Are you sure you want to perform \"{action}\" now?"),
                 {{"action", Shown(app_, action)}}),
          MsgBoxButtons::OKCancelSafe, MsgBoxIcon::Question,
          app_.Message("MSG_TITLECONFIRM", "Confirm Choice")) == MsgBoxResult::OK) {
    DoPowerAction(action, runs_->ForceClose());
  }
}

void frmMain::mnuActionItem_Click(int index) {
  const auto actions = PowerActions();
  if (index >= 0 && static_cast<size_t>(index) < actions.size() && actions[index].momentary) {
    ConfirmAndPerform(std::string(actions[index].stored));
  }
}

void frmMain::mnuHistory_Click() {
  History().Show();
  History().Refresh();
}

void frmMain::EditorOpened() {
  editor_open_ = true;
  cmdNewSchedule->SetEnabled(false);
  Find("mnuFileItem", 0)->SetEnabled(false);
  SetItemCommands(false, false);
}

void frmMain::EditorClosed() {
  editor_open_ = false;
  cmdNewSchedule->SetEnabled(true);
  Find("mnuFileItem", 0)->SetEnabled(true);
  DisableItemCommands();
}

void frmMain::cbShutdown_KeyPress(int& key_ascii) {
  if (key_ascii == 13) {
    key_ascii = 0;
    cmdGo_Click();
  }
}

void frmMain::cmdDelete_Click() {
  if (editor_open_) return;
  const auto selected = lstSchedules->SelectedItem();
  const RunRow* row = selected ? RowAt(*selected) : nullptr;
  if (!row) return;
  const uint64_t id = row->id;
  const std::string name = row->name;
  if (app_.kit.Boxes().MsgBox(
          app_.Message("MSG_DELETE", "Are you sure you want to delete the selected item?"),
          MsgBoxButtons::YesNo, MsgBoxIcon::Question,
          app_.Message("MSG_TITLEDELETE", "Really delete?")) != MsgBoxResult::Yes) {
    return;
  }
  // A quick row has no file; what it warns of or waits for ends with it.
  if (runs_->RemoveQuick(id)) {
    DisableItemCommands();
    return;
  }
  const std::string path = store_.PathOf(name);
  try {
    if (FileExists(app_.fs, path)) {
      app_.fs.RemoveFile(path);
      // Some file systems report a delete they did not do; the row must not lie.
      if (FileExists(app_.fs, path)) throw FileError(FileErrorKind::AccessDenied, path);
    }
  } catch (const FileError& e) {
    app_.kit.Boxes().MsgBox(e.Message(), MsgBoxButtons::OK, MsgBoxIcon::Exclamation,
                            app_.product_name);
  }
  loadData();
  DisableItemCommands();
}

void frmMain::cmdEdit_Click() {
  if (Wizard().Loaded()) return;  // one editor at a time
  app_.state.IsEditing = true;
  EditorOpened();
  Wizard().Show();
}

void frmMain::cmdNewSchedule_Click() {
  if (Wizard().Loaded()) return;
  app_.state.IsEditing = false;
  EditorOpened();
  Wizard().Show();
}

void frmMain::cmdPower_Click() {
  const std::string system = app_.system.SystemFolder();
  const bool ups = system.empty() || FileExists(app_.fs, JoinPath(system, "ups.cpl"));
  app_.shell.StartCommand(ups ? kPowerOptionsCommand : kPowerPanelCommand);
}

void frmMain::cmdWebsite_Click() {
  app_.OpenWebsite();
}

void frmMain::mnuFileItem_Click(int index) {
  switch (index) {
    case 0:
      cmdNewSchedule_Click();
      break;
    case 1:
      cmdEdit_Click();
      break;
    case 2:
      cmdDelete_Click();
      break;
    case 4:
      Options().Show();
      break;
    case 6:
      app_.state.ExitRequested = true;
      Unload();
      break;
    default:
      break;
  }
}

void frmMain::mnuLanguageItem_Click() {
  app_.ShowLanguageWindow(false);
}
void frmMain::mnuHelpItem_Click() {
  app_.RunHelp();
}
void frmMain::mnuAboutItem_Click() {
  app_.ShowAbout();
}

void frmMain::ShowAndActivate() {
  if (!Visible()) {
    if (GetWindowState() != shown_state_) SetWindowState(shown_state_);
    Show();
  } else if (GetWindowState() == WindowState::Minimized) {
    SetWindowState(shown_state_);
  }
  app_.kit.ActivateByTitle(Caption());
}

void frmMain::mnuTrayItem_Click(int index) {
  if (index == 0) {
    ShowAndActivate();
  } else if (index == 3) {
    app_.state.ExitRequested = true;
    Unload();
  }
}

void frmMain::tmrTrayIcon_Timer() {
  TrayIcon& tray = app_.kit.Tray();
  std::string tip = app_.product_name.substr(0, 63);
  if (const std::string awake = runs_ ? runs_->AwakeTip() : ""; !awake.empty()) tip = awake;
  if (tray.Modify(tip) || tray.Add(*this, tip)) {
    tmrTrayIcon->SetEnabled(false);
  } else {
    tmrTrayIcon->SetInterval(kTrayRetryMs);
    tmrTrayIcon->SetEnabled(true);
  }
}

void frmMain::pctTray_MouseDown(TrayEvent e) {
  switch (e) {
    case TrayEvent::LeftUp:
    case TrayEvent::RightUp:
      app_.kit.PopupMenu(*this, *mnuTray);
      break;
    case TrayEvent::LeftDoubleClick:
      // The first click of the two opened the menu; it must not stay over the window.
      app_.kit.ClosePopupMenu();
      ShowAndActivate();
      break;
    default:
      break;
  }
}

void frmMain::chkLowPower_Click() {
  if (!power_) {
    power_ = std::make_unique<CPower>(app_.power);
    power_->Initialize(*this);
  }
  power_->DisableSuspend(chkLowPower->Value() != 0);
}

}  // namespace norvale
