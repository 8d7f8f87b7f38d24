#pragma once
// Localization.txt: every language side by side in one UTF-8 text of fixed tags.
// The readers search for tags ignoring case; nothing is parsed as XML and nothing
// is escaped. They work on text already in memory, so they can be fed anything.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace norvale {

inline constexpr const char* kLocalizationFileName = "Localization.txt";
// Real files hold a few hundred items per language; anything this large is not
// one of ours, and reading stops there.
inline constexpr size_t kMaxLocalizationBytes = size_t{4} << 20;

// Program folder + "Localization.txt".
std::string LocalizationPath(const FileSystem& fs);
// The user's own copy: local application data + product + "Localization.txt";
// "" where the system has no such folder.
std::string UserLocalizationPath(const FileSystem& fs, std::string_view product);

// What was found of the user's copy the last time it was looked at.
struct UserCopyCheck {
  std::optional<FileStamp> stamp;
  bool sound = false;
};
// Size and write time of a file, or its size alone where no write time is told.
std::optional<FileStamp> LocalizationStamp(const FileSystem& fs, const std::string& path);
// The file to read: the user's own copy of an update while it is newer than the
// program folder's and sound, else the program folder's. `check` spares reading
// an unchanged copy again.
std::string LocalizationReadPath(const FileSystem& fs, std::string_view product,
                                 UserCopyCheck& check);

// The file decoded as UTF-8; nullopt when it is missing, unreadable or larger
// than kMaxLocalizationBytes.
std::optional<std::string> ReadLocalizationText(const FileSystem& fs, const std::string& path);

struct LanguageGroup {
  std::string_view name;  // between the first LANGUAGE_NAME tags, untrimmed
  std::string_view text;  // from "<LANGUAGE_GROUP" up to its closing tag
};

enum class GroupWalk { Complete, Stopped, Malformed };

// Visits the language groups in file order until `visit` returns false
// (Stopped). A group without its closing tag or its LANGUAGE_NAME element ends
// the walk (Malformed): what follows it cannot be told apart reliably.
GroupWalk WalkLanguageGroups(std::string_view file,
                             const std::function<bool(const LanguageGroup&)>& visit);

// The names of every group, in file order, duplicates included.
std::vector<std::string> ListLanguageNames(std::string_view file);

// The item block of the first group named `language` (ignoring case): the text
// between its TRANSLATION_ITEMS tags. nullopt when no group has that name or the
// walk or the block is malformed.
std::optional<std::string> FindTranslationItems(std::string_view file, std::string_view language);

// The lines of an item block, cut at every CR LF only; an empty block has none.
std::vector<std::string_view> ItemLines(std::string_view block);

// The text of the first item line whose tag is `key` (ignoring case); "" when
// none. A line whose tag matches but whose closing tag is missing is no item.
std::string FindItem(std::string_view block, std::string_view key);

// A downloaded text good enough to replace the file: it has a TRANSLATION_ITEMS
// element, at least one complete, named group, and ends its root element.
bool LooksLikeLocalizationFile(std::string_view text);

// Why a downloaded file must not replace the one in use.
struct UpdateRefusal {
  enum class Why {
    NotUtf8,     // another code page, or broken bytes
    NotWhole,    // no whole localization file
    NoEnglish,   // no English group
    LacksKey,    // the English group lacks `key`
    Unreadable,  // the group `language` does not read to its end
    LostMarker,  // `language` lost `marker` ("{name}", "[ProgramName]") in `key`
  };
  Why why;
  std::string language;
  std::string key;
  std::string marker;
};

// Why the downloaded bytes must not replace the file, or nullopt when they may:
// they must be UTF-8 (a byte-order mark allowed), a whole localization file
// whose groups all read to their end, whose English group holds every key of
// `needed`, and in which no language lost a placeholder that the English text
// of an item has.
std::optional<UpdateRefusal> WhyNotUsable(std::string_view bytes,
                                          const std::vector<std::string>& needed);
// The keys of an item block, in order.
std::vector<std::string> ItemKeys(std::string_view block);

}  // namespace norvale
