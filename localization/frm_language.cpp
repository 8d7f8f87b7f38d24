#include "localization/frm_language.h"

#include "localization/language_file.h"
#include "platform/forms/toolkit.h"

namespace norvale {
namespace {

constexpr const char* kChooseLanguage = "Choose Language Here";

}  // namespace

frmLanguage::frmLanguage(Toolkit& kit, LanguageWindowServices services)
    : Form(kit, "frmLanguage"), s_(std::move(services)) {}

void frmLanguage::BuildLayout() {
  SetDialog(true);
  SetCaption("Language Selection");
  Move(0, 0, 4935, 2400);
  Label1 =
      &Add<SkinLabel>("Label1", -1, "Please select the language you would like to use:", nullptr,
                      120, 120, 4575, 255);
  Combo1 = &Add<ComboBox>("Combo1", -1, kChooseLanguage, nullptr, 120, 450, 4575, 315);
  Command1 = &Add<CommandButton>("Command1", -1, "Check for language updates", nullptr, 120, 915,
                                 2235, 375);
  Command3 =
      &Add<CommandButton>("Command3", -1, "Translate this program", nullptr, 2460, 915, 2235, 375);
  Command2 = &Add<CommandButton>("Command2", -1, "OK", nullptr, 3480, 1440, 1215, 375);
  Command2->Default = true;
  Command2->Cancel = true;

  Combo1->Click = [this] { Combo1_Click(); };
  Command1->Click = [this] { Command1_Click(); };
  Command3->Click = [this] { Command3_Click(); };
  Command2->Click = [this] { Command2_Click(); };
}

void frmLanguage::Form_Load() {
  // Set before translating, so a title item of the language wins.
  SetCaption(s_.languages.getMessages("MSG_TITLELANGUAGE"));
  s_.languages.ChangeLanguage(*this, s_.languages.CurrentLanguage());
  FillLanguageList();
  if (s_.branding.SkinsEnabled && s_.apply_skin) s_.apply_skin(*this);
}

std::string frmLanguage::StoredLanguage() const {
  return s_.settings.GetUserSetting(s_.branding.ProductName, "Settings", "Language", "English");
}

void frmLanguage::FillLanguageList() {
  Combo1->Clear();
  const std::string path = s_.languages.FilePath();
  if (!s_.languages.LangFileExists(path)) return;
  const auto text = ReadLocalizationText(s_.fs, path);
  if (!text) return;
  const std::vector<std::string> names = ListLanguageNames(*text);
  if (names.empty()) return;  // the box keeps what it shows
  for (const std::string& name : names) Combo1->AddItem(name);
  Combo1->SetText(StoredLanguage());
}

void frmLanguage::Combo1_Click() {
  const std::string language = Combo1->Text();
  if (language == kChooseLanguage) return;
  s_.settings.SaveUserSetting(s_.branding.ProductName, "Settings", "Language", language);
  s_.languages.ChangeLanguage(s_.main_window, language);
  s_.languages.ChangeLanguage(*this, language);
}

void frmLanguage::Command1_Click() {
  // Window events run during the download; a second click must not start another.
  if (downloading_) return;
  downloading_ = true;
  const std::string body = DownloadText(
      s_.http, Kit(), UpdateUrl(s_.language_server, s_.branding.ProductNumber), s_.limits);
  downloading_ = false;

  // The file holds every text of the program, its questions included: only a
  // whole, sound one replaces it, and the user hears why another did not.
  std::string why;
  if (body.empty()) {
    why = s_.languages.getMessages("MSG_UPDATEFAILED");
  } else if (const auto reason = WhyNotUsable(body, NeededKeys())) {
    why = s_.languages.getMessages("MSG_UPDATEREFUSED");
    const size_t at = why.find("{reason}");
    if (at != std::string::npos) why.replace(at, 8, *reason);
  }
  if (!why.empty()) {
    Kit().Boxes().MsgBox(why, MsgBoxButtons::OK, MsgBoxIcon::Exclamation, s_.branding.ProductName);
    return;
  }
  // Whatever precedes the first tag (a byte-order mark, say) is dropped.
  std::string content = body.substr(body.find('<'));
  content += "\r\n";
  try {
    s_.fs.ReplaceWhole(s_.languages.FilePath(), content);
    s_.languages.FileChanged();
  } catch (const std::exception&) {
    return;
  }
  FillLanguageList();
  Kit().Boxes().MsgBox(s_.languages.getMessages("MSG_DOWNLOADED"), MsgBoxButtons::OK,
                       MsgBoxIcon::None, "Norvale");
}

std::vector<std::string> frmLanguage::NeededKeys() const {
  std::vector<std::string> keys;
  for (const MessageSlot& slot : s_.languages.MessageCatalogue()) {
    if (slot.InUse == 0) break;
    keys.push_back(slot.Key);
  }
  if (const auto text = ReadLocalizationText(s_.fs, s_.languages.FilePath())) {
    if (const auto english = FindTranslationItems(*text, "English")) {
      for (std::string& key : ItemKeys(*english)) keys.push_back(std::move(key));
    }
  }
  return keys;
}

void frmLanguage::Command3_Click() {
  const std::string path = s_.languages.FilePath();
  if (s_.languages.LangFileExists(path)) OpenWithShell(path);
}

void frmLanguage::Command2_Click() {
  Unload();
}

bool frmLanguage::OpenWithShell(const std::string& path) {
  return s_.shell.OpenDocument(path);
}

}  // namespace norvale
