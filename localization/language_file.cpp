#include "localization/language_file.h"

#include <algorithm>

#include "localization/lang_text.h"
#include "platform/path.h"

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

// The text between the first `open` and the first `close` after it, searched in
// the capitals `folded` of `text`.
std::optional<std::string_view> Between(std::string_view text, std::string_view folded,
                                        std::string_view open, std::string_view close) {
  const size_t a = folded.find(open);
  if (a == std::string_view::npos) return std::nullopt;
  const size_t from = a + open.size();
  const size_t b = folded.find(close, from);
  if (b == std::string_view::npos) return std::nullopt;
  return text.substr(from, b - from);
}

// Walks the groups and also reports where the last complete one ended.
GroupWalk Walk(std::string_view file, const std::function<bool(const LanguageGroup&)>& visit,
               size_t* last_end) {
  const std::string folded = UpperCase(file);
  const std::string_view all = folded;
  size_t pos = 0;
  for (;;) {
    const size_t start = all.find(kGroupOpen, pos);
    if (start == std::string_view::npos) return GroupWalk::Complete;
    const size_t end = all.find(kGroupClose, start);
    if (end == std::string_view::npos) return GroupWalk::Malformed;
    pos = end + kGroupClose.size();
    const std::string_view group = file.substr(start, end - start);
    const auto name = Between(group, all.substr(start, end - start), kNameOpen, kNameClose);
    if (!name) return GroupWalk::Malformed;
    if (last_end) *last_end = pos;
    if (!visit({*name, group})) return GroupWalk::Stopped;
  }
}

}  // namespace

std::string LocalizationPath(const FileSystem& fs) {
  return JoinPath(fs.ProgramFolder(), kLocalizationFileName);
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
  const std::string wanted = UpperCase(language);
  std::optional<std::string> block;
  WalkLanguageGroups(file, [&](const LanguageGroup& g) {
    if (UpperCase(g.name) != wanted) return true;
    const std::string folded = UpperCase(g.text);
    if (const auto items = Between(g.text, folded, kItemsOpen, kItemsClose)) {
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
  const std::string wanted = UpperCase(key);
  const std::string open = "<" + wanted + ">";
  const std::string close = "</" + wanted + ">";
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
    if (UpperCase(tag) != wanted) continue;

    const std::string folded = UpperCase(line);
    const size_t a = folded.find(open);
    const size_t b = folded.find(close);
    if (a == std::string::npos || b == std::string::npos || b < a + open.size()) continue;
    return std::string(line.substr(a + open.size(), b - a - open.size()));
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
    if (UpperCase(line).find("</" + UpperCase(key) + ">") != std::string::npos) {
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
  const std::string folded = UpperCase(text);
  for (const char* brand : {"[PROGRAMNAME]", "[COMPANYNAME]", "[WEBSITE]"}) {
    if (folded.find(brand) != std::string::npos) marks.emplace_back(brand);
  }
  return marks;
}

bool HasMarker(std::string_view text, const std::string& mark) {
  return mark.front() == '[' ? UpperCase(text).find(mark) != std::string::npos
                             : text.find(mark) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> WhyNotUsable(std::string_view text,
                                        const std::vector<std::string>& needed) {
  if (!LooksLikeLocalizationFile(text)) return "it is not a whole localization file";
  const std::optional<std::string> english = FindTranslationItems(text, "English");
  if (!english) return "it has no English texts";
  std::vector<std::string> have;
  for (std::string& key : ItemKeys(*english)) have.push_back(UpperCase(key));
  for (const std::string& key : needed) {
    if (std::find(have.begin(), have.end(), UpperCase(key)) == have.end()) {
      return "the English texts lack " + key;
    }
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> marked;
  for (const std::string& key : ItemKeys(*english)) {
    std::vector<std::string> marks = Markers(FindItem(*english, key));
    if (!marks.empty()) marked.emplace_back(key, std::move(marks));
  }
  std::optional<std::string> why;
  WalkLanguageGroups(text, [&](const LanguageGroup& group) {
    const std::optional<std::string> block = FindTranslationItems(text, group.name);
    if (!block) {
      why = "the language " + std::string(group.name) + " cannot be read";
      return false;
    }
    for (const auto& [key, marks] : marked) {
      const std::string translated = FindItem(*block, key);
      if (translated.empty()) continue;  // not translated: the English text stands in
      for (const std::string& mark : marks) {
        if (!HasMarker(translated, mark)) {
          why = std::string(group.name) + " lost " + mark + " in " + key;
          return false;
        }
      }
    }
    return true;
  });
  return why;
}

bool LooksLikeLocalizationFile(std::string_view text) {
  const std::string folded = UpperCase(text);
  if (folded.find(kItemsOpen) == std::string::npos) return false;
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
         folded.find(kRootClose, last_end) != std::string::npos;
}

}  // namespace norvale
