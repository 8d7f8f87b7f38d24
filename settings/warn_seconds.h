#pragma once
// The warning's lead time as General Preferences keeps it ("txtWarn").
#include <algorithm>
#include <optional>
#include <string_view>

namespace norvale {

inline constexpr int kDefaultWarnSeconds = 60;
inline constexpr int kMaxWarnSeconds = 3600;

// What the box accepts: digits only, 0 to 3600.
constexpr std::optional<int> ParseWarnSeconds(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  int seconds = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    seconds = seconds * 10 + (c - '0');
  }
  if (seconds > kMaxWarnSeconds) return std::nullopt;
  return seconds;
}

// The lead time a stored value gives: a number beyond the range is held to it
// (a value set outside the window), anything else is the default.
constexpr int WarnSecondsOf(std::string_view stored) {
  if (auto seconds = ParseWarnSeconds(stored)) return *seconds;
  if (!stored.empty() && stored.size() <= 8 &&
      std::all_of(stored.begin(), stored.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return kMaxWarnSeconds;
  }
  return kDefaultWarnSeconds;
}

}  // namespace norvale
