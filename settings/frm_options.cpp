#include "settings/frm_options.h"

#include <cstdlib>
#include <iterator>

#include "appearance/skins.h"
#include "platform/path.h"
#include "settings/add_remove.h"
#include "settings/warn_seconds.h"

namespace norvale {
namespace {

// The skins the window offers: the stored name ("None" is no skin file, so the
// system's own look) and its text.
struct SkinChoice {
  const char* stored;
  const char* key;
  const char* text;
};
constexpr SkinChoice kSkins[] = {{"Light", "MSG_SKINLIGHT", "Light"},
                                 {"Dark", "MSG_SKINDARK", "Dark"},
                                 {"None", "MSG_SKINSYSTEM", "Windows"}};

}  // namespace

namespace {

std::string OwnProgram(const AppContext& app) {
  return ProgramOfCommand(RunValueData(app.fs.ProgramFolder(), app.system.ExeName()));
}

// Every entry found that starts this program goes; one Windows keeps (the
// list for all users needs an administrator) is left to Kestrup.
bool RemoveOwnRunEntries(AppContext& app) {
  const RunRemoval done =
      RemoveRunEntries(app.registry, RunEntriesStarting(app.registry, OwnProgram(app)));
  if (done.refused.empty()) return true;
  app.kit.Boxes().MsgBox(
      app.Message("MSG_RUNATSTARTKESTRUP",
                  "[ProgramName] starts at the logon of every user of this computer, and only "
                  "an administrator can change that.  Right-click Kestrup.exe in the program "
                  "folder, choose \"Run as administrator\" and press \"Remove program from the "
                  "startup list\"."),
      MsgBoxButtons::OK, MsgBoxIcon::Exclamation, app.product_name);
  return false;
}

}  // namespace

bool StartsAtLogon(const AppContext& app) {
  return !RunEntriesStarting(app.registry, OwnProgram(app)).empty();
}

bool FullShutdownChosen(const SettingsStore& settings, const std::string& product) {
  try {
    return settings.ReadSetting(product, "Settings", "chkFullShutdown", "1") != "0";
  } catch (const SettingsError&) {
    return true;
  }
}

bool ApplyRunAtStart(AppContext& app, bool checked) {
  const std::string name = RunValueName(app.product_name);
  if (!checked && !RemoveOwnRunEntries(app)) return false;
  app.settings.WriteSetting(name, "Settings", "chkRunAtStart", checked ? "1" : "0");
  if (checked) {
    AddRemove(app.registry, app.company_name)
        .AddToRun2(name, RunValueData(app.fs.ProgramFolder(), app.system.ExeName()));
  }
  return true;
}

bool chkRunAtStart_Click(AppContext& app, bool checked) {
  if (!IsVistaOrLater(app.system)) return ApplyRunAtStart(app, checked);
  // Taking an entry away needs no tool where this user may write its list.
  if (!checked) return RemoveOwnRunEntries(app);
  MessageBoxes& boxes = app.kit.Boxes();
  if (boxes.MsgBox("Windows Vista requires special administrative rights to add programs to the "
                   "Run At Startup list.  In order to have this program run at startup you will "
                   "need to launch a separate program, called the Kestrup.exe, as an "
                   "administrator.  If you would like instructions for doing so, please press "
                   "OK.  Otherwise press cancel.",
                   MsgBoxButtons::OKCancel, MsgBoxIcon::Information,
                   "Vista Detected") != MsgBoxResult::OK) {
    return true;
  }
  boxes.MsgBox(
      "When you click OK a windows explorer window will open.  You will see a file called "
      "Kestrup.exe in that folder.\r\n\r\nRight click on it and select 'Run As Administrator'.  "
      "Then follow the instructions on the tool to add this program to the windows startup list.",
      MsgBoxButtons::OK, MsgBoxIcon::Information, "Startup Tool");
  app.shell.StartCommand("explorer \"" + app.fs.ProgramFolder() + "\"");
  return true;
}

void frmOptions::BuildLayout() {
  SetDialog(true);
  SetCaption("General Preferences");
  Move(0, 0, 10140, 9840);
  // Startup Options
  Frame& startup = Add<Frame>("Frame1", -1, "Startup Options", nullptr, 120, 120, 4680, 1335);
  chkRunAtStart = &Add<CheckBox>("chkRunAtStart", -1, "&Run at Windows Startup (recommended)",
                                 &startup, 150, 300, 4380, 285);
  chkSplash = &Add<CheckBox>("chkSplash", -1, "Don't show the &splash screen", &startup, 150, 630,
                             4380, 285);
  chkMin = &Add<CheckBox>("chkMin", -1, "Open &minimized to the system Tray", &startup, 150, 960,
                          4380, 285);
  Add<SkinLabel>("SkinLabel1", 0, "", &startup, 0, 0, 0, 0).SetVisible(false);

  // Miscellaneous Options
  Frame& misc = Add<Frame>("Frame2", -1, "Miscellaneous Options", nullptr, 120, 1575, 4680, 4065);
  chkLog = &Add<CheckBox>("chkLog", -1, "Enable &Logging", &misc, 150, 300, 4380, 285);
  chkAlwaysExit = &Add<CheckBox>(
      "chkAlwaysExit", -1,
      "Always &exit completely when I close the program, don't run scheduled events after closing.",
      &misc, 150, 630, 4380, 615);
  chkNoShow = &Add<CheckBox>("chkNoShow", -1, "Don't show a reminder when I close the program.",
                             &misc, 150, 1320, 4380, 285);
  chkForce = &Add<CheckBox>("chkForce", -1, "&Force programs to close (unsaved work may be lost)",
                            &misc, 150, 1650, 4380, 495);
  chkPostponeUsed = &Add<CheckBox>("chkPostponeUsed", -1,
                                   "Postpone when the computer is &used during the warning",
                                   &misc, 150, 2175, 4380, 495);
  // Ticked, Shut Down turns the computer off as it always did; cleared, it
  // keeps fast startup where Windows has it on.
  chkFullShutdown = &Add<CheckBox>("chkFullShutdown", -1,
                                   "Shut down full&y (no fast startup)", &misc, 150, 2700, 4380,
                                   495);
  Add<Label>("lblWarn", -1, "&Warn before acting (seconds):", &misc, 150, 3300, 3105, 255);
  txtWarn = &Add<TextBox>("txtWarn", -1, "60", &misc, 3315, 3255, 1215, 315);
  Add<Label>("lblSkin", -1, "S&kin:", &misc, 150, 3690, 3105, 255);
  cmbSkin = &Add<ComboBox>("cmbSkin", -1, "", &misc, 3315, 3645, 1215, 315);
  cmbSkin->SetComboStyle(ComboBox::kDropdownList);
  chkForce->SetValue(1);
  chkFullShutdown->SetValue(1);
  Add<SkinLabel>("SkinLabel2", 0, "", &misc, 0, 0, 0, 0).SetVisible(false);

  // Default FTP Values
  Frame& ftp = Add<Frame>("Frame4", -1, "Default FTP Values", nullptr, 120, 5760, 4680, 2235);
  const char* ftp_labels[] = {"&Host:", "P&ort:", "User&name:", "Pass&word:", "&Folder:"};
  TextBox** ftp_boxes[] = {&txtFTPHost, &txtFTPPort, &txtFTPUsername, &txtFTPPassword,
                           &txtFTPFolder};
  const char* ftp_names[] = {"txtFTPHost", "txtFTPPort", "txtFTPUsername", "txtFTPPassword",
                             "txtFTPFolder"};
  for (int i = 0; i < 5; ++i) {
    const int top = 300 + i * 375;
    Add<Label>("lblInfo", i, ftp_labels[i], &ftp, 150, top + 45, 1215, 255);
    *ftp_boxes[i] = &Add<TextBox>(ftp_names[i], -1, "", &ftp, 1395, top, 3135, 315);
  }
  txtFTPPort->SetText("21");
  txtFTPFolder->SetText("/");
  txtFTPPassword->SetPasswordChar("*");
  Add<SkinLabel>("SkinLabel4", 0, "", &ftp, 0, 0, 0, 0).SetVisible(false);

  // Default LAN Backup Folder
  Frame& lan =
      Add<Frame>("Frame5", -1, "Default LAN Backup Folder", nullptr, 120, 8115, 4680, 1110);
  Add<Label>("lblInfo", 5, "Fol&der:", &lan, 150, 345, 1215, 255);
  txtLanFolder = &Add<TextBox>("txtLanFolder", -1, "", &lan, 1395, 300, 3135, 315);
  cmdBrowse = &Add<CommandButton>("cmdBrowse", -1, "&Browse...", &lan, 3255, 690, 1275, 345);
  Add<SkinLabel>("SkinLabel5", 0, "", &lan, 0, 0, 0, 0).SetVisible(false);

  // Email Configuration
  Frame& mail = Add<Frame>("Frame3", -1, "Email Configuration", nullptr, 4920, 120, 5100, 9105);
  const char* mail_labels[] = {
      "Email F&rom:", "Mail Ser&ver:", "Por&t:", "Email T&o:", "Us&ername:", "Passwor&d:"};
  TextBox** mail_boxes[] = {&txtEmailFrom, &txtServer,   &txtPort,
                            &txtEmailTo,   &txtUsername, &txtPassword2};
  const char* mail_names[] = {"txtEmailFrom", "txtServer",   "txtPort",
                              "txtEmailTo",   "txtUsername", "txtPassword2"};
  for (int i = 0; i < 6; ++i) {
    const int top = 300 + i * 375;
    Add<Label>("lblMail", i, mail_labels[i], &mail, 150, top + 45, 1275, 255);
    *mail_boxes[i] = &Add<TextBox>(mail_names[i], -1, "", &mail, 1455, top, 3495, 315);
  }
  txtEmailFrom->SetText(kPlaceholderAddress);
  txtServer->SetText(kPlaceholderServer);
  txtPort->SetText("25");
  txtEmailTo->SetText(kPlaceholderAddress);
  txtPassword2->SetPasswordChar("*");
  chkAuth = &Add<CheckBox>("chkAuth", -1, "Use &Authentication", &mail, 150, 2610, 2415, 285);
  chkAttachment =
      &Add<CheckBox>("chkAttachment", -1, "Send as Atta&chment", &mail, 150, 2925, 2415, 285);
  cmdSend = &Add<CommandButton>("cmdSend", -1, "Te&st", &mail, 3675, 2625, 1275, 375);
  Add<Label>("Label1", -1,
             "TIP: The server will generally be mail.yourprovider.example or "
             "smtp.yourprovider.example.  The port is generally 25 or 1025.",
             &mail, 150, 3330, 4800, 615);
  Add<Label>("Label2", -1,
             "TIP: The TO field is for testing only.  The value entered here will be the default.",
             &mail, 150, 3990, 4800, 615);
  Add<Label>("Label4", -1,
             "TIP: Authentication is optional.  Try sending a test message without authentication "
             "first.",
             &mail, 150, 4650, 4800, 435);
  Add<Label>("Label5", -1,
             "TIP: If you are having trouble, try a free email provider.  Also, try searching your "
             "email provider's website for their mail servers, or for instructions on setting up "
             "Microsoft Outlook with your mail provider (the servers and ports will be the same)",
             &mail, 150, 5130, 4800, 1575);
  Add<SkinLabel>("SkinLabel3", 0, "", &mail, 0, 0, 0, 0).SetVisible(false);
  Add<SkinLabel>("SkinLabel6", 0, "", nullptr, 0, 0, 0, 0).SetVisible(false);

  BindCheck(chkAlwaysExit, "chkAlwaysExit");
  BindCheck(chkLog, "chkLog");
  BindCheck(chkForce, "chkForce");
  BindCheck(chkPostponeUsed, "chkPostponeUsed");
  BindCheck(chkFullShutdown, "chkFullShutdown");
  // Only what is used is stored: anything but 0 to 3600 goes back at once, with a note why.
  txtWarn->Change = [this] {
    const std::string typed = txtWarn->Text();
    if (typed.empty()) return;  // between deleting and typing a new number
    if (ParseWarnSeconds(typed)) {
      warn_kept_ = typed;
      Store("txtWarn", typed);
      return;
    }
    txtWarn->SetText(warn_kept_);
    txtWarn->ShowTip(app_.Message("MSG_TITLEOPTIONS", "General Preferences"),
                     app_.Message("MSG_WARNRANGE", "Enter a number of seconds from 0 to 3600."));
  };
  BindCheck(chkMin, "chkMin");
  BindCheck(chkNoShow, "chkNoShow");
  BindCheck(chkSplash, "chkSplash");
  BindCheck(chkAuth, "chkAuth");
  BindText(txtServer, "txtServer");
  BindText(txtPort, "txtport");
  BindText(txtEmailTo, "txtEmailTo");
  BindText(txtEmailFrom, "txtEmailFrom");
  BindText(txtUsername, "txtUsername");
  BindText(txtFTPHost, "txtFTPHost");
  BindText(txtFTPPort, "txtFTPPort");
  BindText(txtFTPUsername, "txtFTPUsername");
  BindText(txtFTPFolder, "txtFTPfolder");
  BindText(txtLanFolder, "txtLanFolder");
  BindText(txtPassword2, "txtPassword2", true);
  BindText(txtFTPPassword, "txtFTPPassword", true);
  chkRunAtStart->Click = [this] {
    if (loading_) return;
    if (!chkRunAtStart_Click(app_, chkRunAtStart->Value() != 0)) {
      // The entry is still there, so the box says so.
      loading_ = true;
      chkRunAtStart->SetValue(1);
      loading_ = false;
    }
  };
  cmdBrowse->Click = [this] { cmdBrowse_Click(); };
  // Per user, as the language: each user of the computer has the look they chose.
  cmbSkin->Click = [this] {
    const int i = cmbSkin->ListIndex();
    if (loading_ || i < 0 || i >= static_cast<int>(std::size(kSkins))) return;
    app_.settings.SaveUserSetting(app_.product_name, "Settings", "Skin", kSkins[i].stored);
  };
  // Another language while the window is open: its tips and lists follow at once.
  Translated = [this] { ShowTexts(); };
}

void frmOptions::ShowTexts() {
  SetCaption(app_.Message("MSG_TITLEOPTIONS", "General Preferences"));
  txtWarn->SetToolTipText(app_.Message("MSG_TIPWARN", "0 for no warning"));
  cmbSkin->SetToolTipText(app_.Message("MSG_TIPSKIN", "Used from the next start of the program"));
  const char* ftp_tips[][2] = {{"MSG_TIPFTPHOST", "Specify the host to connect to"},
                               {"MSG_TIPFTPPORT", "Specify the port number (default is 21)"},
                               {"MSG_TIPFTPUSER", "Enter username"},
                               {"MSG_TIPFTPPASSWORD", "Enter password for the user"},
                               {"MSG_TIPFTPFOLDER", "Specify the location"}};
  TextBox* ftp_boxes[] = {txtFTPHost, txtFTPPort, txtFTPUsername, txtFTPPassword, txtFTPFolder};
  for (size_t i = 0; i < std::size(ftp_boxes); ++i) {
    ftp_boxes[i]->SetToolTipText(app_.Message(ftp_tips[i][0], ftp_tips[i][1]));
  }
  const int skin = cmbSkin->ListIndex();
  const bool was_loading = loading_;
  loading_ = true;  // refilling the list is no choice of the user's
  cmbSkin->Clear();
  for (const SkinChoice& choice : kSkins) cmbSkin->AddItem(app_.Message(choice.key, choice.text));
  if (skin >= 0) cmbSkin->SetListIndex(skin);
  loading_ = was_loading;
}

void frmOptions::Store(const std::string& key, const std::string& value) {
  app_.settings.WriteSetting(app_.product_name, "Settings", key, value);
}

void frmOptions::BindCheck(CheckBox* box, const char* key) {
  box->Click = [this, box, key] { Store(key, std::to_string(box->Value())); };
}

void frmOptions::BindText(TextBox* box, const char* key, bool secret) {
  box->Change = [this, box, key, secret] {
    if (!secret) {
      Store(key, box->Text());
    } else if (!loading_) {
      app_.settings.WriteSecret(key, box->Text());
    }
  };
}

void frmOptions::ShowSecret(TextBox* box, const char* key) {
  loading_ = true;
  box->SetText(app_.settings.ReadSecret(key, app_.codec));
  loading_ = false;
}

std::string frmOptions::Read(const std::string& program, const std::string& key,
                             const std::string& def) {
  try {
    return app_.settings.ReadSetting(program, "Settings", key, def);
  } catch (const SettingsError&) {
    // An unreadable value (another program stored a number there, say) must not
    // take the window down: the control keeps its default.
    return def;
  }
}

void frmOptions::Form_Load() {
  app_.ChangeLanguage(*this);
  ShowTexts();
  const std::string& product = app_.product_name;
  const auto check = [&](CheckBox* box, const std::string& program, const char* key) {
    const auto n = std::atoi(Read(program, key, "0").c_str());
    box->SetValue(n == 1 ? 1 : n == 2 ? 2 : 0);
  };
  txtEmailFrom->SetText(Read(product, "txtEmailFrom", kPlaceholderAddress));
  txtEmailTo->SetText(Read(product, "txtEmailTo", kPlaceholderAddress));
  ShowSecret(txtPassword2, "txtPassword2");
  txtPort->SetText(Read(product, "txtPort", "25"));
  txtServer->SetText(Read(product, "txtServer", kPlaceholderServer));
  txtUsername->SetText(Read(product, "txtUsername", ""));
  check(chkAuth, product, "chkAuth");
  check(chkNoShow, product, "chkNoShow");
  check(chkAlwaysExit, product, "chkAlwaysExit");
  check(chkMin, product, "chkMin");
  check(chkSplash, product, "chkSplash");
  txtFTPFolder->SetText(Read(product, "txtFTPFolder", "/"));
  txtFTPHost->SetText(Read(product, "txtFTPHost", ""));
  ShowSecret(txtFTPPassword, "txtFTPPassword");
  txtFTPPort->SetText(Read(product, "txtFTPPort", "21"));
  txtFTPUsername->SetText(Read(product, "txtFTPUsername", ""));
  txtLanFolder->SetText(Read(product, "txtLanFolder", ""));
  // Ticked for any entry that starts this program, the installer's included;
  // showing it asks nothing.
  loading_ = true;
  chkRunAtStart->SetValue(StartsAtLogon(app_) ? 1 : 0);
  loading_ = false;
  check(chkLog, product, "chkLog");
  check(chkPostponeUsed, product, "chkPostponeUsed");
  // Ticked unless cleared: programs were always closed by force.
  chkForce->SetValue(Read(product, "chkForce", "1") == "0" ? 0 : 1);
  // Ticked unless cleared: Shut Down always turned the computer fully off.
  chkFullShutdown->SetValue(Read(product, "chkFullShutdown", "1") == "0" ? 0 : 1);
  // What is shown is what the warning uses, whatever the registry held.
  warn_kept_ = std::to_string(WarnSecondsOf(Read(product, "txtWarn", "60")));
  txtWarn->SetText(warn_kept_);
  loading_ = true;
  cmbSkin->Clear();
  const std::string skin = app_.settings.GetUserSetting(product, "Settings", "Skin", kDefaultSkin);
  for (size_t i = 0; i < std::size(kSkins); ++i) {
    cmbSkin->AddItem(app_.Message(kSkins[i].key, kSkins[i].text));
    if (EqualsIgnoringCase(skin, kSkins[i].stored)) cmbSkin->SetListIndex(static_cast<int>(i));
  }
  loading_ = false;
  app_.Skin(*this, AppContext::Overlay::kLabelsByContainer);
}

void frmOptions::cmdBrowse_Click() {
  const std::string folder = app_.shell.BrowseForFolder(
      app_.Message("MSG_BROWSELAN", "Choose the default LAN backup folder"));
  if (!folder.empty()) txtLanFolder->SetText(folder);
}

}  // namespace norvale
