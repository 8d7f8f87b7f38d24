#pragma once
// The program's one catalogue of messages and its view of the localization file:
// the messages in the language in effect, the item lines of the language loaded
// last, translation of windows, and generation of a fresh English file.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "appearance/branding.h"
#include "localization/language_file.h"
#include "platform/file_system.h"
#include "platform/forms/form.h"

namespace norvale {

struct MessageSlot {
  std::string Key;
  std::string Text;
  int16_t InUse = 0;  // 0 free, -1 in use
  std::string English;  // as registered, for the generated file
};

// Room for every registered message with some to spare; setMessage drops any beyond.
inline constexpr size_t kMessageSlots = 301;
using MessageTable = std::array<MessageSlot, kMessageSlots>;

class clsLanguages {
 public:
  // `current_language` is the program-wide CurrentLanguage; it must outlive
  // this object, as must the file system and the branding values.
  clsLanguages(FileSystem& fs, const Branding& branding, std::string& current_language);
  clsLanguages(const clsLanguages&) = delete;
  clsLanguages& operator=(const clsLanguages&) = delete;

  // Takes the first free slot; with none left the message is dropped. A key
  // registered twice takes two slots, and lookups find the first.
  void setMessage(std::string key, std::string text);
  // The text with [ProgramName] and [CompanyName] replaced and a capital first
  // letter; "" for a key that is not registered.
  std::string getMessages(std::string_view key) const;

  // Loads `language` (English when nothing usable is loaded), then replaces every
  // caption, column header, title and message the language has an item for.
  // Never fails: whatever cannot be translated keeps its text.
  void ChangeLanguage(Form& window, std::string language);
  // The same, recognising control types ignoring blanks around and case.
  void ChangeLanguageMDI(Form& window, std::string language);

  // The item text of the loaded language with every placeholder replaced and a
  // capital first letter; "" when nothing is loaded or no item has the key.
  std::string getCaption(std::string_view key) const;

  bool LangFileExists(const std::string& path) const;
  // The last component of a path; only backslashes separate.
  static std::string LangTrimPath(std::string_view path);

  // Replaces Localization.txt with one English group: an item for every
  // translatable text of `loaded_windows` (in load order; the caller loads the
  // schedule editor first) and for every message as the table holds it now.
  // The old file survives whole when the new one cannot be written. Returns
  // whether the file was written. With keep_other_languages, every group of the
  // old file but the English one follows the new English group.
  bool makeLocalizationFile(const std::vector<const Form*>& loaded_windows,
                            bool keep_other_languages = false) const;

  const MessageTable& MessageCatalogue() const { return catalogue_; }
  // The item lines of the language loaded last; nullopt before the first load.
  std::optional<std::vector<std::string>> TranslationItems() const;
  const std::string& CurrentLanguage() const { return current_language_; }
  // The file in the program folder, which generation and updates write.
  std::string FilePath() const;
  // The user's own copy, kept where a standard user cannot write the program
  // folder ("" where the system has no such folder).
  std::string UserFilePath() const;
  // The file the readers take: the user's copy when it is newer than the
  // program folder's and sound, else the program folder's.
  std::string ReadPath() const;

 private:
  // Sets CurrentLanguage, then takes the first group of that name from the file;
  // a missing file, language or malformed group leaves the items as they were.
  void LoadLanguage(const std::string& language);

 public:
  // The file was written anew: the next translation reads it again.
  void FileChanged() const {
    loaded_stamp_.reset();
    user_check_ = {};
  }

 private:
  void Translate(Form& window, std::string language, bool mdi);
  std::optional<FileStamp> StampOf(const std::string& path) const;

  FileSystem& fs_;
  const Branding& branding_;
  std::string& current_language_;
  MessageTable catalogue_;
  std::optional<std::string> items_;  // the item block, cut into lines when read
  // Which language and which file (by size and write time) the items came from:
  // every window of a run asks for the same language, and the file is read once
  // for all of them.
  std::string loaded_language_;
  std::string loaded_path_;
  mutable std::optional<FileStamp> loaded_stamp_;
  mutable UserCopyCheck user_check_;
};

// `english` (a whole file of one group) followed by every other language of
// `existing`, when that is a localization file.
std::string WithOtherLanguages(const std::string& english, std::string_view existing);
// The text of a fresh file as makeLocalizationFile writes it.
std::string LocalizationFileText(const std::vector<const Form*>& windows,
                                 const MessageTable& catalogue);

}  // namespace norvale
