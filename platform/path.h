#pragma once
#include <string>
#include <string_view>

namespace norvale {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Everything after the last separator; the whole path when there is none.
std::string_view FileNameOf(std::string_view path);
// The folder part of a path, without the trailing separator ("" when none).
std::string_view FolderOf(std::string_view path);
std::string JoinPath(std::string_view folder, std::string_view name);

// ASCII case folding, as the file system compares the names this program writes.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Wildcard match with '*' and '?', ignoring case ("*.sch").
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace norvale
