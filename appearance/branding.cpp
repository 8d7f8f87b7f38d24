#include "appearance/branding.h"

namespace norvale {
namespace {

char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view what) {
  if (text.size() - at < what.size()) return false;
  for (size_t i = 0; i < what.size(); ++i) {
    if (FoldAscii(text[at + i]) != FoldAscii(what[i])) return false;
  }
  return true;
}

}  // namespace

Branding LoadBranding(const SystemInfo& system) {
  const VersionInfo info = system.ProgramVersion();
  Branding b;
  b.ProductName = info.ProductName;
  b.CompanyName = info.CompanyName;
  b.Website = info.Comments;
  b.ProductNumber = 25;
  b.SkinsEnabled = true;
  return b;
}

std::string ReplaceIgnoringCase(std::string_view text, std::string_view placeholder,
                                std::string_view value) {
  if (placeholder.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (MatchesAt(text, i, placeholder)) {
      out += value;
      i += placeholder.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string ReplaceMessagePlaceholders(std::string_view text, const Branding& branding) {
  std::string out = ReplaceIgnoringCase(text, "[ProgramName]", branding.ProductName);
  return ReplaceIgnoringCase(out, "[CompanyName]", branding.CompanyName);
}

std::string ReplaceCaptionPlaceholders(std::string_view text, const Branding& branding) {
  return ReplaceIgnoringCase(ReplaceMessagePlaceholders(text, branding), "[Website]",
                             branding.Website);
}

}  // namespace norvale
