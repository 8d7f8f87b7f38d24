#pragma once
// The preferences window: every change is written to the machine-wide store at
// once; there is no OK or Cancel.
#include <string>

#include "platform/forms/form.h"
#include "platform/text_codec.h"
#include "ui/app_context.h"

namespace norvale {

inline constexpr const char* kPlaceholderAddress = "backup@mail.norvale.example";
inline constexpr const char* kPlaceholderServer = "mail.norvale.example";

// Run-at-startup registration of the preferences box. Both give false when an
// entry that had to go is still there (the box then stays ticked).
bool ApplyRunAtStart(AppContext& app, bool checked);
bool chkRunAtStart_Click(AppContext& app, bool checked);
// True when an entry of either Run list starts this program, whatever its name.
bool StartsAtLogon(const AppContext& app);
// "Shut down fully (no fast startup)": ticked unless cleared, an unreadable value too.
bool FullShutdownChosen(const SettingsStore& settings, const std::string& product);

class frmOptions : public Form {
 public:
  explicit frmOptions(AppContext& app) : Form(app.kit, "frmOptions"), app_(app) {}

  CheckBox* chkRunAtStart = nullptr;
  CheckBox* chkSplash = nullptr;
  CheckBox* chkMin = nullptr;
  CheckBox* chkLog = nullptr;
  CheckBox* chkAlwaysExit = nullptr;
  CheckBox* chkNoShow = nullptr;
  CheckBox* chkForce = nullptr;
  CheckBox* chkPostponeUsed = nullptr;
  CheckBox* chkFullShutdown = nullptr;
  TextBox* txtWarn = nullptr;
  ComboBox* cmbSkin = nullptr;  // Light, Dark, or the system's own look
  CheckBox* chkAuth = nullptr;
  CheckBox* chkAttachment = nullptr;
  TextBox* txtEmailFrom = nullptr;
  TextBox* txtServer = nullptr;
  TextBox* txtPort = nullptr;
  TextBox* txtEmailTo = nullptr;
  TextBox* txtUsername = nullptr;
  TextBox* txtPassword2 = nullptr;
  TextBox* txtFTPHost = nullptr;
  TextBox* txtFTPPort = nullptr;
  TextBox* txtFTPUsername = nullptr;
  TextBox* txtFTPPassword = nullptr;
  TextBox* txtFTPFolder = nullptr;
  TextBox* txtLanFolder = nullptr;
  CommandButton* cmdSend = nullptr;
  CommandButton* cmdBrowse = nullptr;

  void cmdBrowse_Click();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  bool loading_ = false;
  std::string warn_kept_ = "60";  // the lead time last accepted, put back over a refused one
  void Store(const std::string& key, const std::string& value);
  // A value of the store, or the default when it cannot be read.
  std::string Read(const std::string& program, const std::string& key, const std::string& def);
  void BindCheck(CheckBox* box, const char* key);
  // A secret box keeps its text per user, protected, never in the machine-wide store.
  void BindText(TextBox* box, const char* key, bool secret = false);
  void ShowSecret(TextBox* box, const char* key);
  // The title, the tool tips and the skin list, in the language in effect.
  void ShowTexts();

  AppContext& app_;
};

}  // namespace norvale
