#include "localization/cls_languages.h"

#include "localization/lang_text.h"
#include "localization/language_file.h"
#include "platform/path.h"

namespace norvale {
namespace {

constexpr std::string_view kDescription =
    "This file contains various translations of program buttons, messages and menus in XML "
    "format.  The original document was created using translation software, and may sound "
    "strange when read by people.  We invite you to make modifications to existing languages and "
    "translate new languages.  Please send them to us so that we can update this file and make "
    "your translation available to all users.  Our current email address is located on our "
    "homepage which can be visited through the software or our program folder on your Start "
    "Menu.  Before making changes to a localization file please use the program to download the "
    "most recent localization file using the 'Check for Language Updates' button in the "
    "Languages window.";

// Keys are written in capitals; window and control names are ASCII identifiers.
std::string KeyCase(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// How translation and generation treat a control.
enum class Kind { None, Caption, TabStrip, ListView, Option, Menu };

Kind KindOf(std::string_view type) {
  if (type == "Label" || type == "CommandButton" || type == "SkinLabel" || type == "Frame" ||
      type == "CheckBox")
    return Kind::Caption;
  if (type == "TabStrip") return Kind::TabStrip;
  if (type == "ListView") return Kind::ListView;
  if (type == "OptionButton") return Kind::Option;
  if (type == "Menu") return Kind::Menu;
  return Kind::None;
}

// Type names as an MDI window's walk sees them: blanks around dropped, small letters.
Kind KindOfLoose(std::string_view type) {
  while (!type.empty() && type.front() == ' ') type.remove_prefix(1);
  while (!type.empty() && type.back() == ' ') type.remove_suffix(1);
  std::string t(type);
  for (char& c : t) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (t == "label" || t == "commandbutton" || t == "skinlabel" || t == "frame" || t == "checkbox")
    return Kind::Caption;
  if (t == "tabstrip") return Kind::TabStrip;
  if (t == "listview") return Kind::ListView;
  if (t == "optionbutton") return Kind::Option;
  if (t == "menu") return Kind::Menu;
  return Kind::None;
}

// An option button outside an array has no number, like a check box; a menu
// outside an array is number 0. Members of other control arrays (a row of
// labels) carry their index too, so each keeps a text of its own.
std::string ItemKey(const std::string& base, const Control& c, Kind kind) {
  if ((kind == Kind::Option || kind == Kind::Caption) && c.IsArrayMember()) {
    return base + std::to_string(c.Index());
  }
  if (kind == Kind::Menu) return base + std::to_string(c.IsArrayMember() ? c.Index() : 0);
  return base;
}

void AppendItem(std::string& out, const std::string& key, std::string_view text) {
  out += "\t\t<";
  out += key;
  out += '>';
  out += text;
  out += "</";
  out += key;
  out += ">\r\n";
}

}  // namespace

clsLanguages::clsLanguages(FileSystem& fs, const Branding& branding, std::string& current_language)
    : fs_(fs), branding_(branding), current_language_(current_language) {}

void clsLanguages::setMessage(std::string key, std::string text) {
  for (MessageSlot& slot : catalogue_) {
    if (slot.InUse == 0) {
      slot.InUse = -1;
      slot.Key = std::move(key);
      slot.English = text;
      slot.Text = std::move(text);
      return;
    }
  }
}

std::string clsLanguages::getMessages(std::string_view key) const {
  for (const MessageSlot& slot : catalogue_) {
    if (slot.InUse == 0) break;
    if (EqualsIgnoringCase(slot.Key, key)) {
      return CapitalizeFirst(ReplaceMessagePlaceholders(slot.Text, branding_));
    }
  }
  return {};
}

std::string clsLanguages::getCaption(std::string_view key) const {
  if (!items_) return {};
  return CapitalizeFirst(ReplaceCaptionPlaceholders(FindItem(*items_, key), branding_));
}

std::optional<std::vector<std::string>> clsLanguages::TranslationItems() const {
  if (!items_) return std::nullopt;
  std::vector<std::string> lines;
  for (std::string_view line : ItemLines(*items_)) lines.emplace_back(line);
  return lines;
}

std::string clsLanguages::FilePath() const {
  return LocalizationPath(fs_);
}

bool clsLanguages::LangFileExists(const std::string& path) const {
  return fs_.FileExists(path);
}

std::string clsLanguages::LangTrimPath(std::string_view path) {
  const size_t sep = path.rfind('\\');
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string clsLanguages::UserFilePath() const {
  return UserLocalizationPath(fs_, branding_.ProductName);
}

std::optional<FileStamp> clsLanguages::StampOf(const std::string& path) const {
  return LocalizationStamp(fs_, path);
}

std::string clsLanguages::ReadPath() const {
  return LocalizationReadPath(fs_, branding_.ProductName, user_check_);
}

void clsLanguages::LoadLanguage(const std::string& language) {
  current_language_ = language;
  const std::string path = ReadPath();
  const auto stamp = StampOf(path);
  if (!stamp) return;
  // Read again whenever the file changed, by its size or by its write time.
  if (items_ && language == loaded_language_ && path == loaded_path_ && stamp == loaded_stamp_) {
    return;
  }
  const auto text = ReadLocalizationText(fs_, path);
  if (!text) return;
  if (auto block = FindTranslationItems(*text, language)) {
    items_ = std::move(*block);
    loaded_language_ = language;
    loaded_path_ = path;
    loaded_stamp_ = stamp;
  }
}

void clsLanguages::ChangeLanguage(Form& window, std::string language) {
  Translate(window, std::move(language), false);
}

void clsLanguages::ChangeLanguageMDI(Form& window, std::string language) {
  Translate(window, std::move(language), true);
}

void clsLanguages::Translate(Form& window, std::string language, bool mdi) {
  LoadLanguage(language);
  // Nothing held, or a block without a single line break: fall back to English.
  if (!items_ || (!items_->empty() && items_->find("\r\n") == std::string::npos)) {
    LoadLanguage("English");
  }

  for (const auto& owned : window.Controls()) {
    Control& c = *owned;
    const Kind kind = mdi ? KindOfLoose(c.TypeName()) : KindOf(c.TypeName());
    if (kind == Kind::None) continue;
    const std::string base = window.Name() + "_" + c.Name();
    // A control that cannot take a text is left as it is; the walk goes on.
    try {
      switch (kind) {
        case Kind::Caption:
        case Kind::Option:
        case Kind::Menu: {
          std::string text = getCaption(ItemKey(base, c, kind));
          // Files written before array members had keys of their own name the
          // whole array once.
          if (text.empty() && kind == Kind::Caption && c.IsArrayMember()) text = getCaption(base);
          if (!text.empty()) c.SetCaption(text);
          if (kind != Kind::Menu) c.Refresh();  // menus cannot repaint themselves
          break;
        }
        case Kind::ListView:
          if (auto* list = dynamic_cast<ListView*>(&c)) {
            for (size_t i = 0; i < list->ColumnHeaders().size(); ++i) {
              const std::string text = getCaption(base + "_COL" + std::to_string(i + 1));
              if (!text.empty()) list->SetColumnText(i, text);
              list->Refresh();
            }
          }
          break;
        case Kind::TabStrip:  // the form runtime has no tab strip with tabs to translate
        case Kind::None:
          break;
      }
    } catch (const std::exception&) {
    }
  }

  const std::string title = getCaption(KeyCase(window.Name()) + "_CAPTION");
  if (!title.empty()) window.SetCaption(title);

  // A message the language lacks is English, not what the language before said.
  for (MessageSlot& slot : catalogue_) {
    if (slot.InUse == 0) break;
    std::string text = getCaption(slot.Key);
    slot.Text = text.empty() ? slot.English : std::move(text);
  }
  // The window's own texts from messages first, so the layout fits them too.
  if (window.Translated) window.Translated();
  window.FitTexts();
}

std::string LocalizationFileText(const std::vector<const Form*>& windows,
                                 const MessageTable& catalogue) {
  std::string out;
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
  out += "<XML_DIZ_INFO>\r\n";
  out += "\t<LOCALIZATION_FILE_INFO>\r\n";
  out += "\t\t<LOCALIZATION_FILE_VERSION>1.0</LOCALIZATION_FILE_VERSION>\r\n";
  out += "\t</LOCALIZATION_FILE_INFO>\r\n";
  out += "<LANGUAGE_GROUP xml:lang=\"en\">\r\n";
  out += "\t<LANGUAGE_NAME>English</LANGUAGE_NAME>\r\n";
  out += "\t<DESCRIPTION>";
  out += kDescription;
  out += "</DESCRIPTION>\r\n";
  out += "\t<TRANSLATION_ITEMS>\r\n";

  for (const Form* window : windows) {
    if (!window) continue;
    const std::string form = KeyCase(window->Name());
    for (const auto& owned : window->Controls()) {
      const Control& c = *owned;
      const Kind kind = KindOf(c.TypeName());
      const std::string base = form + "_" + KeyCase(c.Name());
      switch (kind) {
        case Kind::Caption:
        case Kind::Option:
        case Kind::Menu:
          AppendItem(out, ItemKey(base, c, kind), c.Caption());
          break;
        case Kind::ListView:
          if (const auto* list = dynamic_cast<const ListView*>(&c)) {
            const auto& headers = list->ColumnHeaders();
            for (size_t i = 0; i < headers.size(); ++i) {
              AppendItem(out, base + "_COL" + std::to_string(i + 1), headers[i].Text);
            }
          }
          break;
        case Kind::TabStrip:
        case Kind::None:
          break;
      }
    }
    AppendItem(out, form + "_CAPTION", window->Caption());
  }

  // The program's own English, whatever language the table is in now.
  for (const MessageSlot& slot : catalogue) {
    if (slot.InUse == 0) break;
    AppendItem(out, KeyCase(slot.Key), slot.English);
  }

  out += "\t</TRANSLATION_ITEMS>\r\n";
  out += "</LANGUAGE_GROUP>\r\n";
  out += "</XML_DIZ_INFO>\r\n";
  return out;
}

std::string WithOtherLanguages(const std::string& english, std::string_view existing) {
  const std::string root_end = "</XML_DIZ_INFO>\r\n";
  if (!LooksLikeLocalizationFile(existing) || !english.ends_with(root_end)) return english;
  std::string out = english.substr(0, english.size() - root_end.size());
  WalkLanguageGroups(existing, [&](const LanguageGroup& group) {
    std::string_view name = group.name;
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (!EqualsIgnoringCase(name, "English")) {
      out += group.text;  // which ends before its closing tag
      out += "</LANGUAGE_GROUP>\r\n";
    }
    return true;
  });
  return out + root_end;
}

bool clsLanguages::makeLocalizationFile(const std::vector<const Form*>& loaded_windows,
                                        bool keep_other_languages) const {
  try {
    std::string text = LocalizationFileText(loaded_windows, catalogue_);
    if (keep_other_languages) {
      text = WithOtherLanguages(text, ReadLocalizationText(fs_, FilePath()).value_or(""));
    }
    fs_.ReplaceWhole(FilePath(), text);
    FileChanged();
    return true;
  } catch (const std::exception&) {
    return false;  // the old file, if any, is still there whole
  }
}

}  // namespace norvale
