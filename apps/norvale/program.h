#pragma once
// Norvale put together: the windows, the message catalogue, the skin and the
// power control, over whichever platform services the entry point hands in.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "appearance/branding.h"
#include "appearance/info_windows.h"
#include "appearance/skins.h"
#include "apps/norvale/command_line.h"
#include "apps/norvale/remote.h"
#include "platform/secret_protector.h"
#include "localization/cls_languages.h"
#include "localization/frm_language.h"
#include "platform/dry_run_power.h"
#include "platform/http_client.h"
#include "ui/app_context.h"
#include "ui/main/frm_main.h"

namespace norvale {

struct PlatformServices {
  Toolkit& kit;
  FileSystem& fs;
  const TextCodec& codec;
  const Locale& locale;
  Registry& registry;
  PowerControl& power;  // the real one; a dry run wraps it
  Shell& shell;
  const SystemInfo& system;
  HttpClient& http;
  std::function<bool()> another_instance;
  const SecretProtector* secrets = nullptr;  // none: no password is kept
};

class NorvaleProgram {
 public:
  NorvaleProgram(PlatformServices platform, CommandLine command_line);
  ~NorvaleProgram();

  // Shows the splash, which brings up the main window; or, for the maintenance
  // switch, writes the localization file and asks the loop to end.
  void Start();

  AppContext& App() { return *app_; }
  frmMain& Main() { return *main_; }
  frmSplash& Splash() { return *splash_; }
  clsLanguages& Languages() { return *languages_; }
  const Branding& BrandingValues() const { return branding_; }
  const std::optional<Skin>& CurrentSkin() const { return skin_; }
  frmLanguage& LanguageWindow();
  // What the run ends with: 0, or 4 with a one-line reason when the maintenance
  // switch could not write the localization file.
  int ExitCode() const { return exit_code_; }
  const std::string& ExitReason() const { return exit_reason_; }
  // Every translatable window, loaded, in the order the localization file lists them.
  std::vector<const Form*> LoadAllWindows();

  // The main window and, over it, the window of that name.
  void ShowWindowNamed(const std::string& name);
  // A request from another copy's command line, carried out here.
  Reply Handle(const std::vector<std::string>& args);
  // The command line's texts in the language the program speaks now.
  CatalogueText Texts() const;

 private:
  void SkinWindow(Form& window, AppContext::Overlay overlay);
  // The maintenance switch: the program's own English, whatever the file held.
  void WriteLocalization();

  PlatformServices platform_;
  CommandLine command_line_;
  Branding branding_;
  std::unique_ptr<DryRunPowerControl> dry_run_;
  std::unique_ptr<SettingsStore> settings_;
  std::unique_ptr<AppContext> app_;
  std::unique_ptr<clsLanguages> languages_;
  std::optional<Skin> skin_;
  std::unique_ptr<frmMain> main_;
  std::unique_ptr<frmSplash> splash_;
  std::unique_ptr<frmLanguage> language_;
  std::unique_ptr<Form8> help_;
  std::unique_ptr<frmAbout> about_;
  std::unique_ptr<frmWebsite> website_;
  std::string website_request_;
  int exit_code_ = 0;
  std::string exit_reason_;
};

// The command line's texts in `language`, from the text of a localization file;
// English where the file (or the language) has none.
CatalogueText CommandLineTexts(const std::optional<std::string>& localization,
                               const std::string& language, const Branding& branding);
// The same in the language this user chose, for a copy that only hands a request
// on: the registry value and the program folder's file are read once, and no
// window is made.
CatalogueText UserCommandLineTexts(const FileSystem& fs, Registry& registry, MessageBoxes& boxes,
                                   const SystemInfo& system);
// What /check prints in such a copy: what the system reports of this computer,
// and the fast-startup preference as this user's store holds it.
std::string UserCheckText(const PowerControl& power, Registry& registry, MessageBoxes& boxes,
                          const SystemInfo& system, const CatalogueText& text);

}  // namespace norvale
