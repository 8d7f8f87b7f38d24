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

// Names equal ignoring case exactly when Windows takes them for one file name:
// the system's own ordinal comparison on Windows, the simple case folding of
// platform/case_fold.h elsewhere (one letter for one: "ß" is no "SS").
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Wildcard match with '*' and '?', ignoring case ("*.sch").
bool MatchesPattern(std::string_view name, std::string_view pattern);

// A temporary name that FileSystem::ReplaceWhole gives a file matching
// `target_pattern` while writing it ("~Night.sch.a1B2c3" on POSIX,
// "~Night.sch.1f4-2a0c1-0.tmp" on Windows). A crash can leave one behind.
bool IsReplaceTemporaryName(std::string_view name, std::string_view target_pattern);

}  // namespace norvale
