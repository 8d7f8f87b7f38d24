#include "ui/wizard/frm_wizard.h"

#include <cctype>
#include <cstdio>

#include "engine/next_run.h"
#include "platform/path.h"
#include "power/power.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_name.h"
#include "ui/main/frm_main.h"
#include "ui/shown_names.h"

namespace norvale {
namespace {

using namespace std::chrono;

constexpr const char* kDayKeys[7] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
constexpr const char* kDayMessages[7][2] = {
    {"MSG_MONDAY", "Monday"},     {"MSG_TUESDAY", "Tuesday"}, {"MSG_WEDNESDAY", "Wednesday"},
    {"MSG_THURSDAY", "Thursday"}, {"MSG_FRIDAY", "Friday"},   {"MSG_SATURDAY", "Saturday"},
    {"MSG_SUNDAY", "Sunday"}};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t begin = 0;
  for (size_t at = text.find(',');; at = text.find(',', begin)) {
    parts.push_back(text.substr(begin, at == std::string::npos ? std::string::npos : at - begin));
    if (at == std::string::npos) break;
    begin = at + 1;
  }
  return parts;
}

LocalTime AtHour(LocalTime day_of, int hour) {
  return LocalTime{floor<days>(day_of)} + hours{hour};
}

}  // namespace

std::string frmWizard::Text(const char* key, const char* fallback) const {
  std::string text = app_.Message(key, fallback);
  return text.empty() ? fallback : text;
}

void frmWizard::BuildLayout() {
  SetDialog(true);
  SetCaption("Schedule Configuration");
  Move(0, 0, 6780, 6690);
  // The client area itself, whatever the frame's height: the buttons end at 6165.
  SetClientSize(6600, 6285);
  Add<Label>("lblName", -1, "Schedule &Name:", nullptr, 120, 180, 1620, 255);
  txtName = &Add<TextBox>("txtName", -1, "", nullptr, 1800, 120, 4680, 315);
  Add<Label>("lblType", -1, "Schedule &Type:", nullptr, 120, 570, 1620, 255);
  cbShutdown = &Add<ComboBox>("cbShutdown", -1, "", nullptr, 1800, 510, 4680, 315);
  cbShutdown->SetComboStyle(ComboBox::kDropdownList);
  // Under the action, beside the scheduler box: where it shows (Stand By), the
  // keep-awake controls there are hidden.
  lblModernStandby = &Add<Label>("lblModernStandby", -1, "", nullptr, 3900, 930, 2580, 1170);
  lblModernStandby->SetVisible(false);
  chkScheduler =
      &Add<CheckBox>("chkScheduler", -1, "Enable &Scheduler", nullptr, 120, 990, 3000, 285);
  // Narrow enough that the end of keep-awake hours fits beside the start.
  dtDate = &Add<DTPicker>("dtDate", -1, "", nullptr, 360, 1350, 1740, 315);
  dtTime = &Add<DTPicker>("dtTime", -1, "", nullptr, 2220, 1350, 1560, 315);
  dtTime->SetPickerFormat(DTPicker::kTime);
  lblUntil = &Add<Label>("lblUntil", -1, "&Until:", nullptr, 3900, 1395, 900, 255);
  dtUntil = &Add<DTPicker>("dtUntil", -1, "", nullptr, 4860, 1350, 1620, 315);
  dtUntil->SetPickerFormat(DTPicker::kTime);
  chkKeepDisplay = &Add<CheckBox>("chkKeepDisplay", -1, "Keep the dis&play on too", nullptr, 3240,
                                  1830, 3240, 285);
  chkRepeat = &Add<CheckBox>("chkRepeat", -1, "&Run Schedule", nullptr, 120, 1830, 3000, 285);
  const char* options[] = {"&Daily", "&Weekly", "&Monthly"};
  for (int i = 0; i < 3; ++i) {
    optRepeat[i] =
        &Add<OptionButton>("optRepeat", i, options[i], nullptr, 360, 2220 + 360 * i, 1560, 285);
    optRepeat[i]->Click = [this, i] { optRepeat_Click(i); };
    optRepeat[i]->SetEnabled(false);
  }
  tvScheduleWeek = &Add<TreeView>("tvScheduleWeek", -1, "", nullptr, 2160, 2220, 4320, 2610);
  tvScheduleMonth = &Add<TreeView>("tvScheduleMonth", -1, "", nullptr, 2160, 2220, 4320, 2610);
  optRepeat[0]->SetValue(true);
  tvScheduleWeek->SetVisible(false);
  tvScheduleMonth->SetVisible(false);
  // A day's name or number is a large target; its box alone is a small one.
  tvScheduleWeek->SetLabelClickToggles(true);
  tvScheduleMonth->SetLabelClickToggles(true);
  chkWake = &Add<CheckBox>("chkWake", -1, "Wa&ke the computer to run this schedule", nullptr, 120,
                           4950, 6360, 285);
  // Two lines' room: the longest translations wrap.
  lblWakeNote = &Add<Label>("lblWakeNote", -1, "", nullptr, 360, 5250, 6120, 450);
  lblWakeNote->SetVisible(false);
  cmdOK = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 3960, 5790, 1200, 375);
  cmdCancel = &Add<CommandButton>("cmdCancel", -1, "Cancel", nullptr, 5280, 5790, 1200, 375);
  cmdOK->Default = true;
  cmdCancel->Cancel = true;
  // Unticked boxes: the pickers and repeat controls wait for them.
  dtDate->SetEnabled(false);
  dtTime->SetEnabled(false);
  dtUntil->SetEnabled(false);
  lblUntil->SetEnabled(false);
  chkRepeat->SetEnabled(false);

  chkScheduler->Click = [this] { chkScheduler_Click(); };
  cbShutdown->Click = [this] { cbShutdown_Click(); };
  chkRepeat->Click = [this] { chkRepeat_Click(); };
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { cmdCancel_Click(); };
  // Another language while the editor is open: its title, actions and days follow.
  Translated = [this] {
    SetCaption(Text("MSG_TITLEWIZARD", "Schedule Configuration"));
    FillShown(*cbShutdown, actions_, app_);
    ShowModernStandbyNote();
    for (size_t i = 0; i < 7 && i < tvScheduleWeek->Nodes().size(); ++i) {
      tvScheduleWeek->SetNodeText(i, Text(kDayMessages[i][0], kDayMessages[i][1]));
    }
  };
}

void frmWizard::Form_Load() {
  app_.ChangeLanguage(*this);
  SetCaption(Text("MSG_TITLEWIZARD", "Schedule Configuration"));
  actions_ = ScheduleActionList(app_.power);
  FillShown(*cbShutdown, actions_, app_);
  cbShutdown->SetListIndex(0);

  const LocalTime now = app_.kit.Time().Now();
  const int hour = static_cast<int>(hh_mm_ss<milliseconds>{now - floor<days>(now)}.hours().count());
  dtDate->SetValue(LocalTime{floor<days>(now)});
  // The hour after this one; after 23:00 that is midnight, not an invalid hour 24.
  dtTime->SetValue(AtHour(now, (hour + 1) % 24));
  dtUntil->SetValue(AtHour(now, (hour + 2) % 24));

  for (int i = 0; i < 7; ++i)
    tvScheduleWeek->AddNode(kDayKeys[i], Text(kDayMessages[i][0], kDayMessages[i][1]));
  for (int d = 1; d <= 31; ++d) tvScheduleMonth->AddNode(std::to_string(d), std::to_string(d));
  editing_ = app_.state.IsEditing;
  edited_name_ = editing_ ? app_.state.CurrentSchedule.Name : std::string();
  if (editing_) ShowEdited(now, hour);
  cbShutdown_Click();
  app_.Skin(*this, AppContext::Overlay::kNone);
}

void frmWizard::Form_Unload(int&) {
  main_.EditorClosed();
}

void frmWizard::ShowEdited(LocalTime now, int hour) {
  const ScheduleRecord& r = app_.state.CurrentSchedule;
  txtName->SetEnabled(false);
  txtName->SetText(r.Name);
  cbShutdown->SetText(Shown(app_, r.ItemType));
  for (size_t i = 0; i < actions_.size(); ++i) {
    if (actions_[i] == r.ItemType) cbShutdown->SetListIndex(static_cast<int>(i));
  }
  if (const auto end = r.EndTime.empty() ? std::nullopt : ParseTimeOfDay(r.EndTime)) {
    dtUntil->SetValue(LocalTime{floor<days>(now)} + *end);
  }
  chkKeepDisplay->SetValue(r.KeepDisplayOn ? 1 : 0);
  chkWake->SetValue(r.WakeToRun ? 1 : 0);
  if (!r.Enabled) {
    chkScheduler->SetValue(0);
    dtDate->SetValue(LocalTime{floor<days>(now)});
    dtTime->SetValue(AtHour(now, hour));
    return;
  }
  const auto date = app_.locale.ParseDate(r.StartDate);
  if (date) dtDate->SetValue(LocalTime{local_days{sys_days{*date}.time_since_epoch()}});
  const auto time = r.StartTime.empty() ? std::nullopt : ParseTimeOfDay(r.StartTime);
  dtTime->SetValue(time ? LocalTime{floor<days>(now)} + *time : now);
  if (r.Repeat) {
    if (r.SAccurancy >= 0 && r.SAccurancy <= 2) optRepeat[r.SAccurancy]->SetValue(true);
    for (const std::string& part : Split(r.Period)) {
      if (r.SAccurancy == kRepeatWeekly) {
        if (auto node = tvScheduleWeek->FindKey(part)) tvScheduleWeek->SetChecked(*node, true);
      } else if (r.SAccurancy == kRepeatMonthly) {
        if (auto node = tvScheduleMonth->FindKey(part)) tvScheduleMonth->SetChecked(*node, true);
      }
    }
    chkRepeat->SetValue(1);
  } else {
    chkRepeat->SetValue(0);
  }
  chkScheduler->SetValue(1);
}

void frmWizard::chkScheduler_Click() {
  const bool on = chkScheduler->Value() != 0;
  dtDate->SetEnabled(on);
  dtTime->SetEnabled(on);
  dtUntil->SetEnabled(on);
  lblUntil->SetEnabled(on);
  chkRepeat->SetEnabled(on);
  if (on) {
    chkRepeat_Click();
  } else {
    for (OptionButton* o : optRepeat) o->SetEnabled(false);
    tvScheduleWeek->SetVisible(false);
    tvScheduleMonth->SetVisible(false);
  }
}

bool frmWizard::KeepAwakeChosen() const {
  const int i = cbShutdown->ListIndex();
  return i >= 0 && static_cast<size_t>(i) < actions_.size() && actions_[i] == kKeepAwake;
}

void frmWizard::cbShutdown_Click() {
  // Hidden, not disabled: the other types have no end, and nothing overlaps.
  const bool span = KeepAwakeChosen();
  lblUntil->SetVisible(span);
  dtUntil->SetVisible(span);
  chkKeepDisplay->SetVisible(span);
  ShowModernStandbyNote();
  // Hours kept awake are not a run to wake for.
  chkWake->SetEnabled(!span);
  // Said where the box is, before anyone relies on it.
  const bool refused = !app_.power.Capabilities().wake_timers_allowed;
  lblWakeNote->SetCaption(refused ? Text("MSG_NOWAKETIMERS",
                                         "The power plan of this computer does not let programs "
                                         "wake it: this schedule runs only while it is awake.")
                                  : "");
  lblWakeNote->SetVisible(refused && !span);
}

void frmWizard::ShowModernStandbyNote() {
  const int i = cbShutdown->ListIndex();
  const std::string note = i >= 0 && static_cast<size_t>(i) < actions_.size()
                               ? ModernStandbyNote(app_, actions_[i])
                               : std::string();
  lblModernStandby->SetCaption(note);
  lblModernStandby->SetVisible(!note.empty());
}

void frmWizard::chkRepeat_Click() {
  const bool on = chkRepeat->Value() != 0;
  for (OptionButton* o : optRepeat) o->SetEnabled(on);
  tvScheduleWeek->SetVisible(on && optRepeat[1]->Value());
  tvScheduleMonth->SetVisible(on && optRepeat[2]->Value());
}

void frmWizard::optRepeat_Click(int index) {
  tvScheduleWeek->SetVisible(index == 1);
  tvScheduleMonth->SetVisible(index == 2);
}

bool frmWizard::Refuse(const char* key, const char* fallback) {
  app_.kit.Boxes().MsgBox(Text(key, fallback), MsgBoxButtons::OK, MsgBoxIcon::Exclamation,
                          app_.product_name);
  return false;
}

void frmWizard::cmdOK_Click() {
  const std::string name = editing_ ? edited_name_ : txtName->Text();
  if (!editing_) {
    for (const ListItem& row : main_.lstSchedules->Items()) {
      if (EqualsIgnoringCase(row.Text, name)) {
        Refuse("MSG_NEWNAME",
               "Error: An item with that name already exists.  Please choose a different name");
        return;
      }
    }
  }
  if (name.empty()) {
    Refuse("MSG_NONAME", "Error: You must choose a name for this schedule");
    return;
  }
  if (!IsValidScheduleName(name)) {
    Refuse("MSG_BADNAME",
           "Error: That name cannot be used for a schedule.  Please leave out \\ / : * ? \" < > | "
           "and do not end it with a dot or a blank, or use a device name such as CON or NUL.");
    return;
  }
  ScheduleRecord r;
  r.Name = name;
  r.ItemType = StoredChoice(*cbShutdown, actions_, app_);
  r.Enabled = chkScheduler->Value() != 0;
  if (r.Enabled) {
    r.StartDate = app_.locale.ShortDate(Date{floor<days>(dtDate->Value())});
    r.StartTime = Time24(floor<seconds>(dtTime->Value() - floor<days>(dtTime->Value())));
    r.Repeat = chkRepeat->Value() != 0;
    if (r.Repeat) {
      for (int i = 0; i < 3; ++i) {
        if (optRepeat[i]->Value()) {
          r.SAccurancy = static_cast<int16_t>(i);
          break;
        }
      }
      TreeView* days = r.SAccurancy == kRepeatWeekly    ? tvScheduleWeek
                       : r.SAccurancy == kRepeatMonthly ? tvScheduleMonth
                                                        : nullptr;
      if (days) {
        for (const TreeNode& node : days->Nodes()) {
          if (!node.Checked) continue;
          if (!r.Period.empty()) r.Period += ",";
          r.Period += r.SAccurancy == kRepeatWeekly ? node.Key : node.Text;
        }
        // Without a day the schedule would never run; say so instead of saving it.
        if (r.Period.empty()) {
          Refuse("MSG_NODAYS", "Error: Please tick at least one day on which the schedule runs");
          return;
        }
      }
    }
  }
  r.WakeToRun = !KeepAwakeChosen() && chkWake->Value() != 0;
  if (KeepAwakeChosen()) {
    const auto time_of = [](LocalTime t) { return floor<seconds>(t - floor<days>(t)); };
    if (r.Enabled && floor<minutes>(time_of(dtUntil->Value())) ==
                         floor<minutes>(time_of(dtTime->Value()))) {
      Refuse("MSG_SAMEEND", "Error: The keep-awake hours must end at another time than they start");
      return;
    }
    // Kept while the schedule is off too, for when it is ticked again.
    r.EndTime = Time24(time_of(dtUntil->Value()));
    r.KeepDisplayOn = chkKeepDisplay->Value() != 0;
  }
  if (editing_) {
    // The run history is the engine's, not the editor's: an edit keeps it.
    try {
      r.LastRunTime = GetValue(GetTag(main_.Store().ReadText(name), "DATA"), "LastRunTime");
    } catch (const FileError&) {
      r.LastRunTime = app_.state.CurrentSchedule.LastRunTime;
    }
  }
  // A failed save keeps the window open with everything the user entered.
  if (!SaveSchedule(r, main_.Store(), app_.kit.Boxes())) return;
  main_.loadData();
  Unload();
}

}  // namespace norvale
