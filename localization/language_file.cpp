#include "localization/language_file.h"

#include <algorithm>

#include "localization/lang_text.h"
#include "platform/case_fold.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace norvale {
namespace {

constexpr std::string_view kGroupOpen = "<LANGUAGE_GROUP";
constexpr std::string_view kGroupClose = "</LANGUAGE_GROUP>";
constexpr std::string_view kNameOpen = "<LANGUAGE_NAME>";
constexpr std::string_view kNameClose = "</LANGUAGE_NAME>";
constexpr std::string_view kItemsOpen = "<TRANSLATION_ITEMS>";
constexpr std::string_view kItemsClose = "</TRANSLATION_ITEMS>";
constexpr std::string_view kRootClose = "</XML_DIZ_INFO>";
constexpr std::string_view kLineEnd = "\r\n";

// The text between the first `open` and the first `close` after it, tags found
// ignoring case.
std::optional<std::string_view> Between(std::string_view text, std::string_view open,
                                        std::string_view close) {
  const auto a = FindIgnoringCase(text, open);
  if (!a) return std::nullopt;
  const auto b = FindIgnoringCase(text, close, a->end);
  if (!b) return std::nullopt;
  return text.substr(a->end, b->begin - a->end);
}

// Walks the groups and also reports where the last complete one ended.
GroupWalk Walk(std::string_view file, const std::function<bool(const LanguageGroup&)>& visit,
               size_t* last_end) {
  size_t pos = 0;
  for (;;) {
    const auto start = FindIgnoringCase(file, kGroupOpen, pos);
    if (!start) return GroupWalk::Complete;
    const auto end = FindIgnoringCase(file, kGroupClose, start->begin);
    if (!end) return GroupWalk::Malformed;
    pos = end->end;
    const std::string_view group = file.substr(start->begin, end->begin - start->begin);
    const auto name = Between(group, kNameOpen, kNameClose);
    if (!name) return GroupWalk::Malformed;
    if (last_end) *last_end = pos;
    if (!visit({*name, group})) return GroupWalk::Stopped;
  }
}

}  // namespace

std::string LocalizationPath(const FileSystem& fs) {
  return JoinPath(fs.ProgramFolder(), kLocalizationFileName);
}

std::string UserLocalizationPath(const FileSystem& fs, std::string_view product) {
  const std::string folder = fs.LocalAppDataFolder();
  if (folder.empty()) return {};
  return JoinPath(JoinPath(folder, product.empty() ? "Norvale" : product), kLocalizationFileName);
}

std::optional<FileStamp> LocalizationStamp(const FileSystem& fs, const std::string& path) {
  if (!fs.FileExists(path)) return std::nullopt;
  if (auto stamp = fs.Stamp(path)) return stamp;
  if (const auto size = fs.FileSize(path)) return FileStamp{*size, -1};
  return std::nullopt;
}

std::string LocalizationReadPath(const FileSystem& fs, std::string_view product,
                                 UserCopyCheck& check) {
  const std::string shared = LocalizationPath(fs);
  const std::string own = UserLocalizationPath(fs, product);
  if (own.empty()) return shared;
  const auto own_stamp = LocalizationStamp(fs, own);
  if (!own_stamp) return shared;
  const auto shared_stamp = LocalizationStamp(fs, shared);
  if (shared_stamp && shared_stamp->written >= own_stamp->written) return shared;
  // The user's copy only when it is sound: one written by hand may not be.
  if (own_stamp != check.stamp) {
    check = {own_stamp, false};
    try {
      const std::string bytes = fs.ReadAll(own);
      check.sound = bytes.size() <= kMaxLocalizationBytes && !WhyNotUsable(bytes, {});
    } catch (const std::exception&) {
    }
  }
  return check.sound ? own : shared;
}

std::optional<std::string> ReadLocalizationText(const FileSystem& fs, const std::string& path) {
  std::string bytes;
  try {
    bytes = fs.ReadAll(path);
  } catch (const std::exception&) {
    return std::nullopt;  // missing, locked, or too large to hold
  }
  if (bytes.size() > kMaxLocalizationBytes) return std::nullopt;
  return DecodeUtf8(bytes);
}

GroupWalk WalkLanguageGroups(std::string_view file,
                             const std::function<bool(const LanguageGroup&)>& visit) {
  return Walk(file, visit, nullptr);
}

std::vector<std::string> ListLanguageNames(std::string_view file) {
  std::vector<std::string> names;
  WalkLanguageGroups(file, [&](const LanguageGroup& g) {
    names.emplace_back(g.name);
    return true;
  });
  return names;
}

std::optional<std::string> FindTranslationItems(std::string_view file, std::string_view language) {
  std::optional<std::string> block;
  WalkLanguageGroups(file, [&](const LanguageGroup& g) {
    if (!EqualsIgnoringCase(g.name, language)) return true;
    if (const auto items = Between(g.text, kItemsOpen, kItemsClose)) {
      block = std::string(*items);
    }
    return false;  // the first group of that name decides, even when broken
  });
  return block;
}

std::vector<std::string_view> ItemLines(std::string_view block) {
  std::vector<std::string_view> lines;
  if (block.empty()) return lines;
  for (;;) {
    const size_t cut = block.find(kLineEnd);
    lines.push_back(block.substr(0, cut));
    if (cut == std::string_view::npos) return lines;
    block.remove_prefix(cut + kLineEnd.size());
  }
}

std::string FindItem(std::string_view block, std::string_view key) {
  const std::string open = "<" + std::string(key) + ">";
  const std::string close = "</" + std::string(key) + ">";
  for (std::string_view rest = block; !rest.empty();) {
    const size_t cut = rest.find(kLineEnd);
    const std::string_view line = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + kLineEnd.size());
    if (line.empty()) continue;

    std::string_view tag = line.substr(0, line.find('>'));
    if (tag.size() > 2) {
      const size_t lt = tag.find('<');
      if (lt != std::string_view::npos) tag.remove_prefix(lt + 1);
    }
    if (!EqualsIgnoringCase(tag, key)) continue;

    const auto a = FindIgnoringCase(line, open);
    const auto b = FindIgnoringCase(line, close);
    if (!a || !b || b->begin < a->end) continue;
    return std::string(line.substr(a->end, b->begin - a->end));
  }
  return {};
}

std::vector<std::string> ItemKeys(std::string_view block) {
  std::vector<std::string> keys;
  for (std::string_view line : ItemLines(block)) {
    const size_t lt = line.find('<');
    const size_t gt = line.find('>', lt == std::string_view::npos ? 0 : lt);
    if (lt == std::string_view::npos || gt == std::string_view::npos || gt <= lt + 1) continue;
    std::string key(line.substr(lt + 1, gt - lt - 1));
    if (FindIgnoringCase(line, "</" + key + ">")) {
      keys.push_back(std::move(key));
    }
  }
  return keys;
}

namespace {

// "{name}" and the branding placeholders of a text.
std::vector<std::string> Markers(std::string_view text) {
  std::vector<std::string> marks;
  for (size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1)) {
    const size_t end = text.find('}', at);
    if (end != std::string_view::npos && end - at < 32)
      marks.emplace_back(text.substr(at, end - at + 1));
  }
  for (const char* brand : {"[ProgramName]", "[CompanyName]", "[Website]"}) {
    if (FindIgnoringCase(text, brand)) marks.emplace_back(brand);
  }
  return marks;
}

UpdateRefusal Refusal(UpdateRefusal::Why why, std::string language = {}, std::string key = {},
                      std::string marker = {}) {
  return UpdateRefusal{why, std::move(language), std::move(key), std::move(marker)};
}

bool HasMarker(std::string_view text, const std::string& mark) {
  return mark.front() == '[' ? FindIgnoringCase(text, mark).has_value()
                             : text.find(mark) != std::string_view::npos;
}

}  // namespace

std::optional<UpdateRefusal> WhyNotUsable(std::string_view bytes,
                                          const std::vector<std::string>& needed) {
  using Why = UpdateRefusal::Why;
  // Another code page would turn every accented letter into a replacement sign.
  if (!IsUtf8(bytes)) return Refusal(Why::NotUtf8);
  const std::string_view text = bytes;
  if (!LooksLikeLocalizationFile(text)) return Refusal(Why::NotWhole);
  const std::optional<std::string> english = FindTranslationItems(text, "English");
  if (!english) return Refusal(Why::NoEnglish);
  const std::vector<std::string> have = ItemKeys(*english);
  for (const std::string& key : needed) {
    if (std::none_of(have.begin(), have.end(),
                     [&](const std::string& k) { return EqualsIgnoringCase(k, key); })) {
      return Refusal(Why::LacksKey, {}, key);
    }
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> marked;
  for (const std::string& key : have) {
    std::vector<std::string> marks = Markers(FindItem(*english, key));
    if (!marks.empty()) marked.emplace_back(key, std::move(marks));
  }
  std::optional<UpdateRefusal> why;
  WalkLanguageGroups(text, [&](const LanguageGroup& group) {
    const std::optional<std::string> block = FindTranslationItems(text, group.name);
    if (!block) {
      why = Refusal(Why::Unreadable, std::string(group.name));
      return false;
    }
    for (const auto& [key, marks] : marked) {
      const std::string translated = FindItem(*block, key);
      if (translated.empty()) continue;  // not translated: the English text stands in
      for (const std::string& mark : marks) {
        if (!HasMarker(translated, mark)) {
          why = Refusal(Why::LostMarker, std::string(group.name), key, mark);
          return false;
        }
      }
    }
    return true;
  });
  return why;
}

bool LooksLikeLocalizationFile(std::string_view text) {
  if (!FindIgnoringCase(text, kItemsOpen)) return false;
  size_t last_end = 0;
  int groups = 0;
  const GroupWalk walk = Walk(
      text,
      [&](const LanguageGroup&) {
        ++groups;
        return true;
      },
      &last_end);
  return walk == GroupWalk::Complete && groups > 0 &&
         FindIgnoringCase(text, kRootClose, last_end).has_value();
}

}  // namespace norvale
