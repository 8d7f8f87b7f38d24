#pragma once
// "History.log" in the data folder: one line for every run performed, failed,
// postponed, cancelled or missed, "YYYY-MM-DD HH:MM:SS<TAB>name<TAB>action<TAB>outcome",
// and for a failed one "<TAB>" and the system's error after it; UTF-8 with CR LF,
// kept under a size cap.
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace norvale {

inline constexpr const char* kHistoryFileName = "History.log";
inline constexpr size_t kHistoryCap = size_t{1} << 20;

// The outcomes as stored; windows show them translated.
inline constexpr const char* kOutcomePerformed = "performed";
inline constexpr const char* kOutcomePostponed = "postponed";
inline constexpr const char* kOutcomeCancelled = "cancelled";
inline constexpr const char* kOutcomeMissed = "missed";
// The system refused the request; `detail` holds its error.
inline constexpr const char* kOutcomeFailed = "failed";

struct HistoryEntry {
  std::string when;  // "YYYY-MM-DD HH:MM:SS", local time
  std::string name;
  std::string action;
  std::string outcome;
  std::string detail = {};  // a failed run's "code: the system's words"; "" for any other
};

// Appends one line. When the file would grow past `cap`, the oldest lines go
// until at most half of it is left; the file is always replaced whole, so a
// crash leaves the old history or the new one. Throws FileError.
void AppendHistory(FileSystem& fs, const std::string& path, const HistoryEntry& entry,
                   size_t cap = kHistoryCap);

// Puts `now` in the place of the newest line when that line is `was` (a run
// recorded before its request, which the system then refused); else appends it.
void ReplaceNewestHistory(FileSystem& fs, const std::string& path, const HistoryEntry& was,
                          const HistoryEntry& now, size_t cap = kHistoryCap);

// The newest `count` entries, newest first; none when there is no file.
std::vector<HistoryEntry> ReadHistory(const FileSystem& fs, const std::string& path, size_t count);

}  // namespace norvale
