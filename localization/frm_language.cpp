#include "localization/frm_language.h"

#include <initializer_list>
#include <utility>

#include "localization/language_file.h"
#include "platform/forms/toolkit.h"
#include "platform/path.h"

namespace norvale {
namespace {

constexpr const char* kChooseLanguage = "Choose Language Here";

// `text` with the first occurrence of each placeholder replaced.
std::string Fill(std::string text,
                 std::initializer_list<std::pair<std::string_view, std::string>> values) {
  for (const auto& [mark, value] : values) {
    const size_t at = text.find(mark);
    if (at != std::string::npos) text.replace(at, mark.size(), value);
  }
  return text;
}

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
  // The generator wants the window as designed: no title or caption of a file.
  if (TextsOnly) return;
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
  const std::string path = s_.languages.ReadPath();
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
  } else if (const auto refusal = WhyNotUsable(body, NeededKeys())) {
    why = Fill(s_.languages.getMessages("MSG_UPDATEREFUSED"),
               {{"{reason}", RefusalText(*refusal)}});
  }
  if (!why.empty()) {
    Kit().Boxes().MsgBox(why, MsgBoxButtons::OK, MsgBoxIcon::Exclamation, s_.branding.ProductName);
    return;
  }
  // Whatever precedes the first tag (a byte-order mark, say) is dropped.
  std::string content = body.substr(body.find('<'));
  content += "\r\n";
  if (!Store(content)) return;
  FillLanguageList();
  Kit().Boxes().MsgBox(s_.languages.getMessages("MSG_DOWNLOADED"), MsgBoxButtons::OK,
                       MsgBoxIcon::None, s_.branding.ProductName);
}

bool frmLanguage::Store(const std::string& content) {
  // A standard user may not write the program folder: the update is then kept
  // for this user alone, and read before the program folder's older file.
  try {
    s_.fs.ReplaceWhole(s_.languages.FilePath(), content);
    s_.languages.FileChanged();
    return true;
  } catch (const std::exception&) {
  }
  const std::string own = s_.languages.UserFilePath();
  if (!own.empty()) {
    try {
      const std::string folder(FolderOf(own));
      if (!s_.fs.FolderExists(folder)) {
        const std::string parent(FolderOf(folder));
        if (!parent.empty() && !s_.fs.FolderExists(parent)) s_.fs.CreateFolder(parent);
        s_.fs.CreateFolder(folder);
      }
      s_.fs.ReplaceWhole(own, content);
      s_.languages.FileChanged();
      return true;
    } catch (const std::exception&) {
    }
  }
  const std::string text =
      Fill(s_.languages.getMessages("MSG_UPDATENOTSAVED"),
           {{"{folder}", std::string(FolderOf(s_.languages.FilePath()))},
            {"{userfolder}", own.empty() ? std::string("-") : std::string(FolderOf(own))}});
  Kit().Boxes().MsgBox(text, MsgBoxButtons::OK, MsgBoxIcon::Exclamation, s_.branding.ProductName);
  return false;
}

std::string frmLanguage::RefusalText(const UpdateRefusal& refusal) const {
  using Why = UpdateRefusal::Why;
  const char* key = "MSG_REFUSEDNOTWHOLE";
  switch (refusal.why) {
    case Why::NotUtf8: key = "MSG_REFUSEDNOTUTF8"; break;
    case Why::NotWhole: key = "MSG_REFUSEDNOTWHOLE"; break;
    case Why::NoEnglish: key = "MSG_REFUSEDNOENGLISH"; break;
    case Why::LacksKey: key = "MSG_REFUSEDLACKS"; break;
    case Why::Unreadable: key = "MSG_REFUSEDUNREADABLE"; break;
    case Why::LostMarker: key = "MSG_REFUSEDLOST"; break;
  }
  return Fill(s_.languages.getMessages(key), {{"{language}", refusal.language},
                                              {"{key}", refusal.key},
                                              {"{marker}", refusal.marker}});
}

std::vector<std::string> frmLanguage::NeededKeys() const {
  std::vector<std::string> keys;
  for (const MessageSlot& slot : s_.languages.MessageCatalogue()) {
    if (slot.InUse == 0) break;
    keys.push_back(slot.Key);
  }
  if (const auto text = ReadLocalizationText(s_.fs, s_.languages.ReadPath())) {
    if (const auto english = FindTranslationItems(*text, "English")) {
      for (std::string& key : ItemKeys(*english)) keys.push_back(std::move(key));
    }
  }
  return keys;
}

void frmLanguage::Command3_Click() {
  const std::string path = s_.languages.ReadPath();
  if (s_.languages.LangFileExists(path)) OpenWithShell(path);
}

void frmLanguage::Command2_Click() {
  Unload();
}

bool frmLanguage::OpenWithShell(const std::string& path) {
  return s_.shell.OpenDocument(path);
}

}  // namespace norvale
