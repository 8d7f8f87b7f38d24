#include "ui/main/frm_history.h"

#include "schedule/run_history.h"
#include "ui/shown_names.h"

namespace norvale {

void frmHistory::BuildLayout() {
  Move(0, 0, 8400, 5400);
  lblInfo = &Add<Label>("lblInfo", -1, "", nullptr, 120, 120, 8040, 495);
  lstHistory = &Add<ListView>("lstHistory", -1, "", nullptr, 120, 660, 8040, 3660);
  // The action column holds the longest translated action names ("Завершение работы").
  for (int width : {2100, 2100, 2100, 1500}) lstHistory->AddColumn("", width);
  cmdClose = &Add<CommandButton>("cmdClose", -1, "Close", nullptr, 6840, 4440, 1320, 375);
  cmdClose->Cancel = true;
  cmdClose->Click = [this] { Unload(); };
  // Another language while the window is open: headers, button and rows follow at once.
  Translated = [this] {
    ShowTexts();
    Refresh();
  };
}

void frmHistory::Form_Load() {
  ShowTexts();
  Refresh();
  app_.Skin(*this, AppContext::Overlay::kNone);
}

void frmHistory::ShowTexts() {
  SetCaption(app_.Message("MSG_TITLEHISTORY", "History"));
  const char* headers[][2] = {{"MSG_HISTORYWHEN", "Date and time"},
                              {"MSG_HISTORYNAME", "Schedule"},
                              {"MSG_HISTORYACTION", "Action"},
                              {"MSG_HISTORYOUTCOME", "Outcome"}};
  for (size_t i = 0; i < 4; ++i)
    lstHistory->SetColumnText(i, app_.Message(headers[i][0], headers[i][1]));
  cmdClose->SetCaption(app_.Message("MSG_CLOSE", "Close"));
}

std::string frmHistory::NotStoredText(const std::string& note) const {
  // "<what>: <error>"; the error stays as the file system told it.
  const size_t colon = note.find(": ");
  std::string what = note.substr(0, colon);
  const std::string error = colon == std::string::npos ? "" : note.substr(colon + 2);
  if (what == kNotStoredLastRun) what = app_.Message("MSG_NOTSTOREDLASTRUN", "Last Run Time");
  if (what == kNotStoredHistory) what = app_.Message("MSG_TITLEHISTORY", "History");
  std::string text = app_.Message("MSG_NOTSTORED", "not stored");
  if (!what.empty()) text += ": " + what;
  if (!error.empty()) text += " (" + error + ")";
  return text;
}

void frmHistory::Refresh() {
  bool logging = false;
  try {
    logging = app_.settings.ReadSetting(app_.product_name, "Settings", "chkLog", "0") == "1";
  } catch (const SettingsError&) {
    // Read as cleared.
  }
  lblInfo->SetCaption(logging
                          ? app_.Message("MSG_HISTORYON",
                                         "The newest runs first; the history keeps about the last "
                                         "megabyte of them.")
                          : app_.Message("MSG_HISTORYOFF",
                                         "Nothing is recorded while \"Enable Logging\" is cleared "
                                         "in General Preferences."));
  ListItems rows;
  std::vector<HistoryEntry> entries;
  try {
    entries = ReadHistory(app_.fs, path_, kHistoryShown);
  } catch (const FileError&) {
    // An unreadable history shows as an empty one; the runs themselves go on.
  }
  const char* outcomes[][3] = {{kOutcomePerformed, "MSG_PERFORMED", "performed"},
                               {kOutcomeFailed, "MSG_FAILED", "failed"},
                               {kOutcomePostponed, "MSG_POSTPONED", "postponed"},
                               {kOutcomeCancelled, "MSG_CANCELLED", "cancelled"},
                               {kOutcomeMissed, "MSG_MISSED", "missed"}};
  for (const HistoryEntry& e : entries) {
    std::string outcome = e.outcome;
    for (const auto& o : outcomes) {
      if (e.outcome == o[0]) outcome = app_.Message(o[1], o[2]);
    }
    if (e.outcome == kOutcomeNotStored) {
      outcome = NotStoredText(e.detail);
    } else if (!e.detail.empty()) {
      // The system's error, in the system's words.
      outcome += " (" + e.detail + ")";
    }
    // The log keeps the stored action name; the list shows it in the language in effect.
    rows.push_back({e.when, {e.name, Shown(app_, e.action), outcome}});
  }
  lstHistory->SetItems(std::move(rows));
}

void frmHistory::Form_Resize() {
  if (GetWindowState() == WindowState::Minimized) return;
  const int width = ScaleWidth(), height = ScaleHeight();
  if (width < 2000 || height < 2000) return;
  lblInfo->Move(120, 120, width - 240, 495);
  lstHistory->Move(120, 660, width - 240, height - 660 - 615);
  cmdClose->Move(width - 120 - 1320, height - 495, 1320, 375);
}

}  // namespace norvale
