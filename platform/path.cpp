#include "platform/path.h"

#include <cctype>

#include "platform/case_fold.h"

namespace norvale {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return path.substr(i);
  }
  return path;
}

std::string_view FolderOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return path.substr(0, i - 1);
  }
  return {};
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && !IsSeparator(out.back())) out += kPathSeparator;
  out += name;
  return out;
}

#ifndef _WIN32
// Windows builds take the system's own comparison (platform/win32/same_name.cpp).
bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  bool ascii = a.size() == b.size();
  for (size_t i = 0; ascii && i < a.size(); ++i) {
    if ((a[i] | b[i]) & 0x80)
      ascii = false;
    else if (Fold(a[i]) != Fold(b[i]))
      return false;
  }
  if (ascii) return true;
  // Bytes that are no text are no name Windows could hold: only the same bytes match.
  return FoldedEqual(a, b);
}
#endif

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative matcher with one backtrack point: linear for the patterns used here.
  size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsReplaceTemporaryName(std::string_view name, std::string_view target_pattern) {
  if (name.size() < 2 || name.front() != '~') return false;
  const std::string_view rest = name.substr(1);
  const auto all = [](std::string_view text, auto pred) {
    for (char c : text) {
      if (!pred(static_cast<unsigned char>(c))) return false;
    }
    return !text.empty();
  };
  for (size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.', dot + 1)) {
    if (!MatchesPattern(rest.substr(0, dot), target_pattern)) continue;
    const std::string_view suffix = rest.substr(dot + 1);
    if (suffix.size() == 6 && all(suffix, [](unsigned char c) { return std::isalnum(c) != 0; })) {
      return true;
    }
    if (suffix.size() > 4 && suffix.substr(suffix.size() - 4) == ".tmp") {
      const std::string_view id = suffix.substr(0, suffix.size() - 4);
      const size_t first = id.find('-');
      const size_t second = first == std::string_view::npos ? first : id.find('-', first + 1);
      if (second == std::string_view::npos) continue;
      const auto hex = [](unsigned char c) { return std::isxdigit(c) != 0; };
      if (all(id.substr(0, first), hex) && all(id.substr(first + 1, second - first - 1), hex) &&
          all(id.substr(second + 1), hex)) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace norvale
