#include "ui/main/frm_triggers.h"

#include <algorithm>

#include "platform/case_fold.h"
#include "platform/path.h"

namespace norvale {

std::optional<int> ParseCount(std::string_view text, int low, int high) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < low || n > high) return std::nullopt;
  return n;
}

std::optional<int> ParseIdleMinutes(std::string_view text) {
  return ParseCount(text, kMinIdleMinutes, kMaxIdleMinutes);
}

void frmWhenIdle::BuildLayout() {
  SetDialog(true);
  lblAsk = &Add<Label>("lblAsk", -1, "", nullptr, 120, 120, 4560, 495);
  txtMinutes = &Add<TextBox>("txtMinutes", -1, "", nullptr, 120, 720, 900, 315);
  lblMinutes = &Add<Label>("lblMinutes", -1, "", nullptr, 1140, 765, 3540, 255);
  cmdOK = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 2160, 1320, 1200, 375);
  cmdCancel = &Add<CommandButton>("cmdCancel", -1, "Cancel", nullptr, 3480, 1320, 1200, 375);
  cmdOK->Default = true;
  cmdCancel->Cancel = true;
  SetClientSize(4800, 1815);
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { Unload(); };
}

void frmWhenIdle::Form_Load() {
  ShowTexts();
  Translated = [this] { ShowTexts(); };
  txtMinutes->SetText(std::to_string(kDefaultIdleMinutes));
  app_.Skin(*this, AppContext::Overlay::kNone);
}

void frmWhenIdle::ShowTexts() {
  SetCaption(app_.Message("MSG_TITLEIDLE", "When Idle"));
  lblAsk->SetCaption(app_.Message(
      "MSG_IDLEASK", "Perform the action once the keyboard and mouse have been idle for:"));
  lblMinutes->SetCaption(app_.Message("MSG_IDLEMINUTES", "minutes (1 to 1440)"));
  cmdOK->SetCaption(app_.Message("MSG_OK", "OK"));
  cmdCancel->SetCaption(app_.Message("MSG_CANCEL", "Cancel"));
}

std::optional<int> frmWhenIdle::Ask() {
  answer_.reset();
  ShowModal();
  return answer_;
}

void frmWhenIdle::cmdOK_Click() {
  answer_ = ParseIdleMinutes(txtMinutes->Text());
  if (!answer_) {
    // The typed text stays, to be mended.
    app_.kit.Boxes().MsgBox(
        app_.Message("MSG_IDLERANGE", "Enter a number of minutes from 1 to 1440."),
        MsgBoxButtons::OK, MsgBoxIcon::Exclamation, Caption());
    txtMinutes->SetFocus();
    return;
  }
  Unload();
}

void frmWhenQuiet::BuildLayout() {
  SetDialog(true);
  lblAsk = &Add<Label>("lblAsk", -1, "", nullptr, 120, 120, 5760, 495);
  // Each label before its box: the label's access key reaches the box.
  const auto row = [&](const char* label, const char* box, const char* unit, int top,
                       Label*& l, TextBox*& t, Label*& u) {
    l = &Add<Label>(label, -1, "", nullptr, 120, top + 45, 2220, 255);
    t = &Add<TextBox>(box, -1, "", nullptr, 2400, top, 1140, 315);
    u = &Add<Label>(unit, -1, "", nullptr, 3660, top + 45, 2220, 255);
  };
  row("lblMinutes", "txtMinutes", "lblMinutesUnit", 720, lblMinutes, txtMinutes, lblMinutesUnit);
  row("lblCpu", "txtCpu", "lblCpuUnit", 1140, lblCpu, txtCpu, lblCpuUnit);
  row("lblNetwork", "txtNetwork", "lblNetworkUnit", 1560, lblNetwork, txtNetwork, lblNetworkUnit);
  cmdOK = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 3360, 2100, 1200, 375);
  cmdCancel = &Add<CommandButton>("cmdCancel", -1, "Cancel", nullptr, 4680, 2100, 1200, 375);
  cmdOK->Default = true;
  cmdCancel->Cancel = true;
  SetClientSize(6000, 2595);
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { Unload(); };
}

void frmWhenQuiet::Form_Load() {
  ShowTexts();
  Translated = [this] { ShowTexts(); };
  const QuietLimits defaults;
  txtMinutes->SetText(std::to_string(defaults.minutes));
  txtCpu->SetText(std::to_string(defaults.cpu_percent));
  txtNetwork->SetText(std::to_string(defaults.kilobytes_per_second));
  app_.Skin(*this, AppContext::Overlay::kNone);
}

void frmWhenQuiet::ShowTexts() {
  SetCaption(app_.Message("MSG_TITLEQUIET", "When Quiet"));
  lblAsk->SetCaption(app_.Message(
      "MSG_QUIETASK", "Perform the action once the processor and the network have stayed below "
                      "these limits:"));
  lblMinutes->SetCaption(app_.Message("MSG_QUIETFOR", "&Quiet for:"));
  lblMinutesUnit->SetCaption(app_.Message("MSG_IDLEMINUTES", "minutes (1 to 1440)"));
  lblCpu->SetCaption(app_.Message("MSG_QUIETCPU", "&Processor below:"));
  lblCpuUnit->SetCaption(app_.Message("MSG_QUIETCPUUNIT", "% (1 to 100)"));
  lblNetwork->SetCaption(app_.Message("MSG_QUIETNETWORK", "&Network below:"));
  lblNetworkUnit->SetCaption(app_.Message("MSG_QUIETNETWORKUNIT", "KB/s (1 to 1000000)"));
  cmdOK->SetCaption(app_.Message("MSG_OK", "OK"));
  cmdCancel->SetCaption(app_.Message("MSG_CANCEL", "Cancel"));
}

std::optional<QuietLimits> frmWhenQuiet::Ask() {
  answer_.reset();
  ShowModal();
  return answer_;
}

void frmWhenQuiet::cmdOK_Click() {
  struct Field {
    TextBox* box;
    int most;
    int* into;
    const char* key;
    const char* english;
  };
  QuietLimits limits;
  const Field fields[] = {
      {txtMinutes, kMostQuietLimits.minutes, &limits.minutes, "MSG_IDLERANGE",
       "Enter a number of minutes from 1 to 1440."},
      {txtCpu, kMostQuietLimits.cpu_percent, &limits.cpu_percent, "MSG_QUIETCPURANGE",
       "Enter a processor use from 1 to 100 percent."},
      {txtNetwork, kMostQuietLimits.kilobytes_per_second, &limits.kilobytes_per_second,
       "MSG_QUIETNETWORKRANGE", "Enter a network rate from 1 to 1000000 KB/s."},
  };
  for (const Field& f : fields) {
    const auto n = ParseCount(f.box->Text(), 1, f.most);
    if (!n) {
      // Every typed text stays, to be mended.
      app_.kit.Boxes().MsgBox(app_.Message(f.key, f.english), MsgBoxButtons::OK,
                              MsgBoxIcon::Exclamation, Caption());
      f.box->SetFocus();
      return;
    }
    *f.into = *n;
  }
  answer_ = limits;
  Unload();
}

void frmWhenEnds::BuildLayout() {
  SetDialog(true);
  lblAsk = &Add<Label>("lblAsk", -1, "", nullptr, 120, 120, 7560, 255);
  lstPrograms = &Add<ListView>("lstPrograms", -1, "", nullptr, 120, 480, 7560, 3360);
  for (int width : {2160, 4200, 1080}) lstPrograms->AddColumn("", width);
  cmdRefresh = &Add<CommandButton>("cmdRefresh", -1, "Refresh", nullptr, 120, 3960, 1320, 375);
  cmdOK = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 5160, 3960, 1200, 375);
  cmdCancel = &Add<CommandButton>("cmdCancel", -1, "Cancel", nullptr, 6480, 3960, 1200, 375);
  cmdOK->Default = true;
  cmdCancel->Cancel = true;
  SetClientSize(7800, 4455);
  cmdRefresh->Click = [this] { cmdRefresh_Click(); };
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { Unload(); };
  lstPrograms->ItemClick = [this](size_t) { cmdOK->SetEnabled(true); };
  lstPrograms->ItemActivate = [this](size_t) { cmdOK_Click(); };
}

void frmWhenEnds::Form_Load() {
  ShowTexts();
  Translated = [this] { ShowTexts(); };
  cmdRefresh_Click();
  app_.Skin(*this, AppContext::Overlay::kNone);
}

void frmWhenEnds::ShowTexts() {
  SetCaption(app_.Message("MSG_TITLEENDS", "When a Program Ends"));
  lblAsk->SetCaption(app_.Message("MSG_ENDSASK", "Perform the action when this program ends:"));
  const char* headers[][2] = {{"MSG_ENDSNAME", "Program"},
                              {"MSG_ENDSTITLE", "Window title"},
                              {"MSG_ENDSPID", "Process ID"}};
  for (size_t i = 0; i < 3; ++i) {
    lstPrograms->SetColumnText(i, app_.Message(headers[i][0], headers[i][1]));
  }
  cmdRefresh->SetCaption(app_.Message("MSG_REFRESH", "&Refresh"));
  cmdOK->SetCaption(app_.Message("MSG_OK", "OK"));
  cmdCancel->SetCaption(app_.Message("MSG_CANCEL", "Cancel"));
}

std::optional<RunningProcess> frmWhenEnds::Ask() {
  answer_.reset();
  ShowModal();
  return answer_;
}

void frmWhenEnds::cmdRefresh_Click() {
  shown_ = app_.activity->Processes();
  // Programs with a window first, as those are what a user waits for.
  std::stable_sort(shown_.begin(), shown_.end(),
                   [](const RunningProcess& a, const RunningProcess& b) {
                     if (a.title.empty() != b.title.empty()) return !a.title.empty();
                     return FoldCase(a.name) < FoldCase(b.name);
                   });
  ListItems rows;
  for (const RunningProcess& p : shown_) rows.push_back({p.name, {p.title, std::to_string(p.pid)}});
  lstPrograms->SetItems(std::move(rows));
  lstPrograms->SetSelectedItem(std::nullopt);
  cmdOK->SetEnabled(false);
}

void frmWhenEnds::cmdOK_Click() {
  const auto row = lstPrograms->SelectedItem();
  if (!row || *row >= shown_.size()) return;
  answer_ = shown_[*row];
  Unload();
}

}  // namespace norvale
