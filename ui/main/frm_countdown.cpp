#include "ui/main/frm_countdown.h"

#include <algorithm>
#include <chrono>
#include <iterator>

#include "ui/shown_names.h"

namespace norvale {

std::string FillIn(std::string text,
                   std::initializer_list<std::pair<const char*, std::string>> values) {
  for (const auto& [mark, value] : values) {
    const std::string token = std::string("{") + mark + "}";
    for (size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, at + value.size())) {
      text.replace(at, token.size(), value);
    }
  }
  return text;
}

namespace {

// Two lines of the note, the longest translations wrapped.
constexpr int kNoteRoom = 570;

}  // namespace

void frmCountdown::BuildLayout() {
  // Floats over everything and leaves the keyboard where the user is typing.
  SetFloating(true);
  SetClientSize(6120, 2130);
  imgIcon = &Add<IconBox>("imgIcon", -1, "", nullptr, 240, 240, 480, 480);
  lblWhat = &Add<Label>("lblWhat", -1, "", nullptr, 960, 240, 4920, 300);
  lblLeft = &Add<Label>("lblLeft", -1, "", nullptr, 960, 600, 4920, 300);
  lblNote = &Add<Label>("lblNote", -1, "", nullptr, 960, 960, 4920, kNoteRoom - 60);
  lblNote->SetVisible(false);
  lblPostpone = &Add<Label>("lblPostpone", -1, "Postpone &by:", nullptr, 240, 1125, 1560, 255);
  cmbPostpone = &Add<ComboBox>("cmbPostpone", -1, "", nullptr, 1860, 1065, 2100, 315);
  cmbPostpone->SetComboStyle(ComboBox::kDropdownList);
  cmdPostpone = &Add<CommandButton>("cmdPostpone", -1, "&Postpone", nullptr, 4080, 1050, 1800, 375);
  cmdCancel = &Add<CommandButton>("cmdCancel", -1, "&Cancel", nullptr, 2160, 1590, 1800, 375);
  cmdNow = &Add<CommandButton>("cmdNow", -1, "Perform &now", nullptr, 4080, 1590, 1800, 375);
  tmrCount = &Add<Timer>("tmrCount");
  tmrCount->SetInterval(250);
  tmrCount->SetEnabled(false);
  // None of the buttons is a default or cancel button: no key presses one by accident.
  cmdPostpone->Click = [this] { cmdPostpone_Click(); };
  cmdCancel->Click = [this] { cmdCancel_Click(); };
  cmdNow->Click = [this] { cmdNow_Click(); };
  tmrCount->Tick = [this] { tmrCount_Timer(); };
  // What input postpones by, should the computer be used during the countdown.
  cmbPostpone->Click = [this] {
    if (flow_ && cmbPostpone->ListIndex() >= 0) flow_->ChoosePostpone(ChosenMinutes());
  };
  // Another language while the warning shows: every text of it follows at once.
  Translated = [this] {
    ShowTexts(cmbPostpone->ListIndex());
    if (!shown_action_.empty()) ShowWhat();
  };
}

void frmCountdown::Form_Load() {
  ShowTexts(kDefaultPostponeIndex);
  app_.Skin(*this, AppContext::Overlay::kNone);
}

void frmCountdown::ShowTexts(int postpone_index) {
  lblPostpone->SetCaption(app_.Message("MSG_POSTPONEBY", "Postpone &by:"));
  cmdPostpone->SetCaption(app_.Message("MSG_POSTPONE", "&Postpone"));
  cmdCancel->SetCaption(app_.Message("MSG_CANCELRUN", "&Cancel"));
  cmdNow->SetCaption(app_.Message("MSG_PERFORMNOW", "Perform &now"));
  cmbPostpone->Clear();
  for (int minutes : kPostponeMinutes) {
    cmbPostpone->AddItem(FillIn(app_.Message("MSG_MINUTES", "{minutes} minutes"),
                                {{"minutes", std::to_string(minutes)}}));
  }
  cmbPostpone->SetListIndex(postpone_index >= 0 ? postpone_index : kDefaultPostponeIndex);
}

void frmCountdown::ShowWhat() {
  SetCaption(app_.Message("MSG_TITLECOUNTDOWN", "[ProgramName] is about to act"));
  lblWhat->SetCaption(FillIn(app_.Message("MSG_WARNWHAT", "{action}: \"{name}\""),
                             {{"action", Shown(app_, shown_action_)}, {"name", shown_what_}}));
  const std::string note = ModernStandbyNote(app_, shown_action_);
  lblNote->SetCaption(note);
  lblNote->SetVisible(!note.empty());
  Arrange(!note.empty());
  shown_seconds_ = -1;
  ShowSecondsLeft();
}

void frmCountdown::Arrange(bool note) {
  if (note == arranged_for_note_) return;
  arranged_for_note_ = note;
  const int down = note ? kNoteRoom : 0;
  lblPostpone->Move(240, 1125 + down, 1560, 255);
  cmbPostpone->Move(1860, 1065 + down, 2100, 315);
  cmdPostpone->Move(4080, 1050 + down, 1800, 375);
  cmdCancel->Move(2160, 1590 + down, 1800, 375);
  cmdNow->Move(4080, 1590 + down, 1800, 375);
  SetClientSize(6120, 2130 + down);
}

void frmCountdown::Form_QueryUnload(int& cancel, int unload_mode) {
  // Closing the warning with its title bar button is no decision: the count goes on.
  if (unload_mode == vbFormControlMenu && flow_ && flow_->Shown()) cancel = 1;
}

void frmCountdown::Preview(const std::string& name, const std::string& action, int seconds) {
  flow_ = nullptr;
  preview_seconds_ = seconds;
  Present(name, action);
  tmrCount->SetEnabled(false);
}

void frmCountdown::ShowFlow(RunFlow& flow) {
  flow_ = &flow;
  const Occurrence* o = flow.Shown();
  if (!o) {
    shown_row_ = 0;
    shown_name_.clear();
    if (!Loaded()) return;
    tmrCount->SetEnabled(false);
    Hide();
    return;
  }
  // The same occurrence shown again (another row changed): nothing to tell anew,
  // unless it stopped counting and waits.
  if (Loaded() && Visible() && o->row == shown_row_ && o->name == shown_name_) {
    if (flow.Waits() != shown_waits_) ShowSecondsLeft();
    return;
  }
  shown_row_ = o->row;
  shown_name_ = o->name;
  Present(o->name, o->action);
  app_.kit.Tray().ShowBalloon(Caption(), lblWhat->Caption() + "\n" + lblLeft->Caption());
  tmrCount->SetEnabled(true);
}

void frmCountdown::Present(const std::string& name, const std::string& action) {
  Load();
  shown_what_ = name;
  shown_action_ = action;
  ShowWhat();
  cmbPostpone->SetListIndex(kDefaultPostponeIndex);
  Show();
}

int frmCountdown::SecondsLeft() const {
  if (!flow_) return preview_seconds_;
  return static_cast<int>(std::chrono::ceil<std::chrono::seconds>(flow_->Left()).count());
}

void frmCountdown::ShowSecondsLeft() {
  shown_waits_ = flow_ && flow_->Waits();
  if (shown_waits_) {
    shown_seconds_ = -1;
    lblLeft->SetCaption(FillIn(
        app_.Message("MSG_WARNWAITS", "Postponed {times} times: waiting for your choice."),
        {{"times", std::to_string(kMostPostponesWhenUsed)}}));
    return;
  }
  const int left = std::max(0, SecondsLeft());
  if (left == shown_seconds_) return;
  shown_seconds_ = left;
  lblLeft->SetCaption(FillIn(app_.Message("MSG_WARNLEFT", "Seconds left: {seconds}"),
                             {{"seconds", std::to_string(left)}}));
}

void frmCountdown::tmrCount_Timer() {
  // Only the display: the flow performs at the moment, whether this window shows or not.
  if (!flow_ || !flow_->Shown()) {
    tmrCount->SetEnabled(false);
    return;
  }
  ShowSecondsLeft();
}

int frmCountdown::ChosenMinutes() const {
  const int index = cmbPostpone->ListIndex();
  return index >= 0 && index < static_cast<int>(std::size(kPostponeMinutes))
             ? kPostponeMinutes[index]
             : kDefaultPostponeMinutes;
}

void frmCountdown::cmdPostpone_Click() {
  if (flow_) flow_->PostponeShown(ChosenMinutes());
}

void frmCountdown::cmdCancel_Click() {
  if (flow_) flow_->CancelShown();
}

void frmCountdown::cmdNow_Click() {
  if (flow_) flow_->PerformNow();
}

}  // namespace norvale
