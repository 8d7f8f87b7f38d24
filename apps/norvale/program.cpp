#include "apps/norvale/program.h"

#include "apps/norvale/check.h"
#include "localization/lang_text.h"
#include "localization/language_file.h"
#include "localization/mod_languages.h"
#include "platform/path.h"
#include "settings/frm_options.h"
#include "ui/shown_names.h"
#include "ui/wizard/frm_wizard.h"

namespace norvale {

NorvaleProgram::NorvaleProgram(PlatformServices platform, CommandLine command_line)
    : platform_(std::move(platform)),
      command_line_(std::move(command_line)),
      branding_(LoadBranding(platform_.system)) {
  if (branding_.ProductName.empty()) branding_.ProductName = "Norvale";
  PowerControl* power = &platform_.power;
  if (command_line_.dry_run) {
    dry_run_ = std::make_unique<DryRunPowerControl>(
        platform_.power, platform_.fs, platform_.kit.Time(),
        JoinPath(platform_.fs.ProgramFolder(), kDryRunLogName), [this](const std::string& message) {
          if (!platform_.kit.Tray().ShowBalloon(branding_.ProductName, message)) {
            platform_.kit.Boxes().MsgBox(message, MsgBoxButtons::OK, MsgBoxIcon::Information,
                                         branding_.ProductName);
          }
        });
    power = dry_run_.get();
  }
  settings_ = std::make_unique<SettingsStore>(platform_.registry, platform_.kit.Boxes(),
                                              branding_.CompanyName, branding_.ProductName,
                                              platform_.secrets);
  app_ =
      std::make_unique<AppContext>(platform_.kit, platform_.fs, platform_.codec, platform_.locale,
                                   platform_.registry, *settings_, *power, platform_.shell,
                                   platform_.system, branding_.ProductName, branding_.CompanyName);
  app_->website = branding_.Website;
  if (dry_run_) {
    dry_run_->SetDescribe([this](const DryRunNote& note) {
      const std::string shown = Shown(*app_, note.action);
      return note.error.empty()
                 ? FillIn(app_->Message("MSG_DRYRUN",
                                        "Dry run: \"{action}\" was not performed. It was "
                                        "written to {file}."),
                          {{"action", shown}, {"file", note.log_path}})
                 : FillIn(app_->Message("MSG_DRYRUNFAILED",
                                        "Dry run: \"{action}\" was not performed. The log "
                                        "could not be written ({reason})."),
                          {{"action", shown}, {"reason", note.error}});
    });
  }
  languages_ = std::make_unique<clsLanguages>(platform_.fs, branding_, app_->state.CurrentLanguage);
  RegisterDefaultMessages(*languages_);
  app_->ChangeLanguage = [this](Form& window) {
    languages_->ChangeLanguage(window, app_->state.CurrentLanguage);
  };
  app_->Message = [this](std::string_view key, std::string_view fallback) {
    std::string text = languages_->getMessages(key);
    return text.empty() ? ReplaceMessagePlaceholders(fallback, branding_) : text;
  };
  // The maintenance run writes the windows as designed, without skin overlays.
  if (branding_.SkinsEnabled && !command_line_.write_localization) {
    const std::string chosen =
        settings_->GetUserSetting(branding_.ProductName, "Settings", "Skin", kDefaultSkin);
    skin_ = LoadSkin(platform_.fs, chosen);
  }
  app_->Skin = [this](Form& window, AppContext::Overlay overlay) { SkinWindow(window, overlay); };
  app_->AnotherInstanceRunning = platform_.another_instance;
  app_->ShowLanguageWindow = [this](bool modal) {
    frmLanguage& window = LanguageWindow();
    if (modal) {
      window.ShowModal();
    } else {
      window.Show();
    }
  };
  app_->RunHelp = [this] {
    if (!help_) {
      help_ = std::make_unique<Form8>(*app_);
      app_->windows["Form8"] = help_.get();
    }
    help_->Show();
    help_->Hide();
    platform_.kit.DoEvents();
    help_->Unload();
  };
  app_->ShowAbout = [this] {
    if (!about_) {
      about_ = std::make_unique<frmAbout>(*app_);
      app_->windows["frmAbout"] = about_.get();
    }
    about_->Show();
  };
  app_->OpenWebsite = [this] {
    if (!website_) {
      website_ = std::make_unique<frmWebsite>(*app_, website_request_);
      app_->windows["frmWebsite"] = website_.get();
    }
    website_request_ = "Website";
    website_->Load();
  };
  main_ = std::make_unique<frmMain>(*app_);
  splash_ = std::make_unique<frmSplash>(*app_, *main_);
  main_->WriteLocalizationFile = [this] {
    languages_->makeLocalizationFile(LoadAllWindows(), /*keep_other_languages=*/true);
  };
}

Reply NorvaleProgram::Handle(const std::vector<std::string>& args) {
  const CatalogueText text = Texts();
  const CommandLine asked = ParseCommandLine(args, text);
  if (!asked.usage_error.empty()) return {2, asked.usage_error + "\n"};
  // Before the main window has loaded (or after it ended) there is no list to add to.
  if (!main_->Loaded() || main_->Ended() || !main_->HasRuns()) {
    return {3, Say(text, "MSG_CLNOTREADY") + "\n"};
  }
  return ApplyRequest(main_->Pending(), *app_, main_->Store().data_folder, asked.request, text);
}

CatalogueText NorvaleProgram::Texts() const {
  return [this](std::string_view key, std::string_view english) {
    // The messages as the last translation left them; the window's own texts
    // (the list's column headers) from the language loaded with it.
    std::string text = languages_->getMessages(key);
    if (text.empty()) text = languages_->getCaption(key);
    return text.empty() ? ReplaceMessagePlaceholders(english, branding_) : text;
  };
}

CatalogueText CommandLineTexts(const std::optional<std::string>& localization,
                               const std::string& language, const Branding& branding) {
  std::optional<std::string> found;
  if (localization) found = FindTranslationItems(*localization, language);
  auto items = std::make_shared<const std::string>(found ? std::move(*found) : std::string());
  return [items, branding](std::string_view key, std::string_view english) {
    const std::string item = items->empty() ? std::string() : FindItem(*items, key);
    if (item.empty()) return CapitalizeFirst(ReplaceMessagePlaceholders(english, branding));
    return CapitalizeFirst(ReplaceCaptionPlaceholders(item, branding));
  };
}

CatalogueText UserCommandLineTexts(const FileSystem& fs, Registry& registry, MessageBoxes& boxes,
                                   const SystemInfo& system) {
  Branding branding = LoadBranding(system);
  if (branding.ProductName.empty()) branding.ProductName = "Norvale";
  const SettingsStore settings(registry, boxes, branding.CompanyName, branding.ProductName);
  const std::string language =
      settings.GetUserSetting(branding.ProductName, "Settings", "Language", "English");
  // The user's own copy of an update counts here as in the windows.
  UserCopyCheck check;
  const std::string path = LocalizationReadPath(fs, branding.ProductName, check);
  return CommandLineTexts(ReadLocalizationText(fs, path), language, branding);
}

std::string UserCheckText(const PowerControl& power, Registry& registry, MessageBoxes& boxes,
                          const SystemInfo& system, const CatalogueText& text) {
  Branding branding = LoadBranding(system);
  if (branding.ProductName.empty()) branding.ProductName = "Norvale";
  const SettingsStore settings(registry, boxes, branding.CompanyName, branding.ProductName);
  return CheckText(power.Capabilities(), FullShutdownChosen(settings, branding.ProductName), text);
}

NorvaleProgram::~NorvaleProgram() {
  platform_.kit.Requested = nullptr;
  // Windows go before the services they were made with.
  for (Form* f : {static_cast<Form*>(website_.get()), static_cast<Form*>(about_.get()),
                  static_cast<Form*>(help_.get()), static_cast<Form*>(language_.get())}) {
    if (f && f->Loaded()) f->Unload();
  }
  splash_.reset();
  main_.reset();
  website_.reset();
  about_.reset();
  help_.reset();
  language_.reset();
}

frmLanguage& NorvaleProgram::LanguageWindow() {
  if (!language_) {
    std::string server = settings_->GetUserSetting(branding_.ProductName, "Settings",
                                                   "LanguageServer", kDefaultLanguageServer);
    if (server.empty()) server = kDefaultLanguageServer;
    LanguageWindowServices services{
        platform_.fs,     *settings_,
        platform_.shell,  platform_.http,
        *languages_,      branding_,
        *main_,           server,
        DownloadLimits{}, [this](Form& w) { SkinWindow(w, AppContext::Overlay::kNone); }};
    language_ = std::make_unique<frmLanguage>(platform_.kit, std::move(services));
    app_->windows["frmLanguage"] = language_.get();
  }
  return *language_;
}

void NorvaleProgram::SkinWindow(Form& window, AppContext::Overlay overlay) {
  if (!branding_.SkinsEnabled || !skin_) return;
  if (overlay == AppContext::Overlay::kLabels) OverlaySkinLabels(window);
  if (overlay == AppContext::Overlay::kLabelsByContainer) OverlaySkinLabelsByContainer(window);
  ApplySkin(window, *skin_, platform_.system);
}

std::vector<const Form*> NorvaleProgram::LoadAllWindows() {
  // Their English texts: no window is translated, shown or started.
  const auto translate = app_->ChangeLanguage;
  app_->ChangeLanguage = [](Form&) {};
  main_->TextsOnly = true;
  // The editor first, then the main window and the windows it opens.
  app_->state.IsEditing = false;
  main_->Wizard().Load();
  main_->Load();
  main_->Options().Load();
  main_->StillRunning().Load();
  LanguageWindow().TextsOnly = true;
  LanguageWindow().Load();
  if (!about_) about_ = std::make_unique<frmAbout>(*app_);
  about_->Load();
  app_->ChangeLanguage = translate;
  return {&main_->Wizard(),       main_.get(),     &main_->Options(),
          &main_->StillRunning(), language_.get(), about_.get()};
}

void NorvaleProgram::ShowWindowNamed(const std::string& name) {
  if (name == "frmSplash") {
    splash_->Load();
    splash_->Timer2->SetEnabled(false);  // stays up to be looked at
    splash_->Show();
    return;
  }
  main_->Show();
  // Every window at once, for a look at all their texts in one language.
  if (name == "all") {
    for (const char* each :
         {"frmWizard", "frmOptions", "frmLanguage", "frmAbout", "frmStillRunning", "frmHistory",
          "frmWhenIdle", "frmWhenEnds", "frmWhenQuiet", "frmCountdown"}) {
      ShowWindowNamed(each);
    }
    return;
  }
  if (name == "frmWizard") main_->cmdNewSchedule_Click();
  if (name == "frmOptions") main_->Options().Show();
  if (name == "frmLanguage") app_->ShowLanguageWindow(false);
  if (name == "frmAbout") app_->ShowAbout();
  if (name == "frmStillRunning") main_->StillRunning().Show();
  if (name == "frmHistory") main_->mnuHistory_Click();
  // The questions of the delay list's last two choices, not modal here.
  if (name == "frmWhenIdle") main_->WhenIdle().Show();
  if (name == "frmWhenEnds") main_->WhenEnds().Show();
  if (name == "frmWhenQuiet") main_->WhenQuiet().Show();
  if (name == "frmCountdown") {
    // The main window comes to the front first, as it would be when a run falls due.
    platform_.kit.DoEvents();
    const auto& rows = main_->lstSchedules->Items();
    main_->Countdown().Preview(rows.empty() ? "Night" : rows[0].Text,
                               rows.empty() ? "Shut Down" : rows[0].SubItem(1),
                               main_->WarnSeconds() > 0 ? main_->WarnSeconds() : 60);
  }
}

void NorvaleProgram::WriteLocalization() {
  if (languages_->makeLocalizationFile(LoadAllWindows(), /*keep_other_languages=*/true)) return;
  // The old file is still there whole: the reason comes in the user's language.
  languages_->ChangeLanguage(
      *main_, settings_->GetUserSetting(branding_.ProductName, "Settings", "Language", "English"));
  std::string reason = languages_->getMessages("MSG_NOTWRITTEN");
  const size_t at = reason.find("{file}");
  if (at != std::string::npos) reason.replace(at, 6, languages_->FilePath());
  exit_code_ = 4;
  exit_reason_ = reason + "\n";
}

void NorvaleProgram::Start() {
  if (command_line_.write_localization) {
    WriteLocalization();
    platform_.kit.Quit();
    return;
  }
  if (!command_line_.show_window.empty()) {
    ShowWindowNamed(command_line_.show_window);
    return;
  }
  platform_.kit.Requested = [this](const std::string& request) {
    return EncodeReply(Handle(DecodeArguments(request)));
  };
  if (command_line_.tray) {
    // Started for a request: only the notification-area icon shows.
    main_->Load();
    return;
  }
  bool no_splash = false;
  try {
    no_splash = settings_->ReadSetting(branding_.ProductName, "Settings", "chkSplash", "0") == "1";
  } catch (const SettingsError&) {
    // Unreadable: the splash shows, as by default.
  }
  if (no_splash) {
    main_->Load();
    if (main_->Loaded() && !main_->Ended() && !settings_->StartHidden) main_->Show();
  } else {
    splash_->Show();
  }
  if (command_line_.dry_run) {
    platform_.kit.Tray().ShowBalloon(branding_.ProductName,
                                     "Dry run: power actions are logged to DryRun.log, never "
                                     "performed.");
  }
}

}  // namespace norvale
