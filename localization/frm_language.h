#pragma once
// The language window: choose the language of the user interface from those the
// localization file holds, fetch the newest file, or open it to translate.
#include <functional>
#include <string>

#include "appearance/branding.h"
#include "localization/cls_languages.h"
#include "localization/language_update.h"
#include "platform/file_system.h"
#include "platform/forms/form.h"
#include "platform/http_client.h"
#include "platform/shell.h"
#include "settings/settings_store.h"

namespace norvale {

struct LanguageWindowServices {
  FileSystem& fs;
  SettingsStore& settings;
  Shell& shell;
  HttpClient& http;
  clsLanguages& languages;
  const Branding& branding;
  // Translated again, with this window, when the user chooses a language.
  Form& main_window;
  // Scheme and host of the language server; the registry may name another.
  std::string language_server = kDefaultLanguageServer;
  DownloadLimits limits{};
  // Draws the window in the program's skin; empty until there is one.
  std::function<void(Form&)> apply_skin;
};

class frmLanguage : public Form {
 public:
  frmLanguage(Toolkit& kit, LanguageWindowServices services);

  SkinLabel* Label1 = nullptr;
  ComboBox* Combo1 = nullptr;
  CommandButton* Command1 = nullptr;  // "Check for language updates"
  CommandButton* Command3 = nullptr;  // "Translate this program"
  CommandButton* Command2 = nullptr;  // "OK"

  // Loads with the texts as designed, untranslated, for the generated file.
  bool TextsOnly = false;

  void Combo1_Click();
  void Command1_Click();
  void Command3_Click();
  void Command2_Click();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  void FillLanguageList();
  bool OpenWithShell(const std::string& path);
  // Writes the accepted update where it can be written and read first; tells
  // the user why when it cannot be kept at all.
  bool Store(const std::string& content);
  // The reason of a refusal, in the language in effect.
  std::string RefusalText(const UpdateRefusal& refusal) const;
  // The keys a downloaded file must hold: every message and every English text of now.
  std::vector<std::string> NeededKeys() const;
  std::string StoredLanguage() const;

  LanguageWindowServices s_;
  bool downloading_ = false;
};

}  // namespace norvale
