// The two small windows around the main one: the reminder that the program goes
// on in the notification area, and the start window.
#include "settings/settings_store.h"
#include "ui/main/frm_main.h"

namespace norvale {

void frmStillRunning::BuildLayout() {
  SetDialog(true);
  Move(0, 0, 5700, 3300);
  Add<SkinLabel>("Label1", -1, "Still Running", nullptr, 240, 180, 5100, 375);
  Add<SkinLabel>("Label2", -1,
                 "will continue to run in the system tray, so that scheduled actions are performed "
                 "in time.",
                 nullptr, 240, 600, 5100, 615);
  chkAlwaysExit = &Add<CheckBox>(
      "chkAlwaysExit", -1,
      "&Always exit completely when I close the program, don't run scheduled events.", nullptr, 240,
      1320, 5100, 495);
  chkNoShow = &Add<CheckBox>("chkNoShow", -1, "&Don't show this reminder again", nullptr, 240, 1890,
                             5100, 285);
  cmdOK = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 4065, 2310, 1275, 375);
  cmdOK->Default = true;
  cmdOK->Cancel = true;
  cmdOK->Click = [this] { cmdOK_Click(); };
}

void frmStillRunning::Form_Load() {
  SetCaption(app_.Message("MSG_TITLERUNNING", "[ProgramName] is still running"));
  app_.ChangeLanguage(*this);
  app_.Skin(*this, AppContext::Overlay::kLabels);
}

void frmStillRunning::cmdOK_Click() {
  if (chkNoShow->Value() != 0) {
    app_.settings.WriteSetting(app_.product_name, "Settings", "chkNoShow", "1");
  }
  if (chkAlwaysExit->Value() != 0) {
    app_.settings.WriteSetting(app_.product_name, "Settings", "chkAlwaysExit", "1");
    main_.Unload();
  }
  Unload();
}

void frmSplash::BuildLayout() {
  Move(0, 0, 5400, 3000);
  Add<PictureBox>("Image1", -1, "", nullptr, 240, 240, 720, 720);
  Add<Label>("Label3", -1, app_.product_name, nullptr, 1200, 420, 3900, 375);
  Timer2 = &Add<Timer>("Timer2");
  Timer2->SetInterval(2);
  Timer2->SetEnabled(false);
  Timer2->Tick = [this] { Timer2_Timer(); };
}

frmSplash::~frmSplash() {
  if (app_.Window("frmSplash") == this) app_.windows["frmSplash"] = nullptr;
}

void frmSplash::Form_Load() {
  app_.windows["frmSplash"] = this;
  app_.Skin(*this, AppContext::Overlay::kNone);
  Timer2->SetEnabled(true);
}

void frmSplash::Timer2_Timer() {
  intTemp = static_cast<int16_t>(intTemp + 2);
  if (intTemp != 150) return;
  Timer2->SetEnabled(false);
  main_.Load();
  if (main_.Loaded() && !main_.Ended() && !app_.settings.StartHidden) main_.Show();
  Hide();
}

}  // namespace norvale
