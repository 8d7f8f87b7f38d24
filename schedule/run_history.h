#pragma once
// "History.log" in the data folder: one line for every run performed, failed,
// postponed, cancelled or missed, "YYYY-MM-DD HH:MM:SS<TAB>name<TAB>action<TAB>outcome",
// UTF-8 with CR LF, kept under a size cap. A failed run has a fifth field, the
// system's error; so has a write that failed, told by a line with the outcome
// "not stored" and "<what>: <error>". Readers of four fields ignore the fifth.
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
// A Last Run Time or history line that could not be written at the time.
inline constexpr const char* kOutcomeNotStored = "not stored";
// What was not stored, as the note names it.
inline constexpr const char* kNotStoredLastRun = "Last Run Time";
inline constexpr const char* kNotStoredHistory = "History";

struct HistoryEntry {
  std::string when;  // "YYYY-MM-DD HH:MM:SS", local time
  std::string name;
  std::string action;
  std::string outcome;
  // A failed run's "code: the system's words"; with kOutcomeNotStored "<what>: <error>".
  std::string detail = {};
};

// Appends the lines, after ending an unterminated last line. When the file would grow past `cap`, the oldest lines go
// until at most half of it is left; the file is always replaced whole, so a
// crash leaves the old history or the new one. Throws FileError.
void AppendHistory(FileSystem& fs, const std::string& path,
                   const std::vector<HistoryEntry>& entries, size_t cap = kHistoryCap);
inline void AppendHistory(FileSystem& fs, const std::string& path, const HistoryEntry& entry,
                          size_t cap = kHistoryCap) {
  AppendHistory(fs, path, std::vector<HistoryEntry>{entry}, cap);
}

// Puts `now` in the place of the newest line when that line is `was` (a run
// recorded before its request, which the system then refused); else appends it.
void ReplaceNewestHistory(FileSystem& fs, const std::string& path, const HistoryEntry& was,
                          const HistoryEntry& now, size_t cap = kHistoryCap);

// The newest `count` whole entries, newest first; none when there is no file.
// A broken line (a field missing, no time, entries glued together, an
// unterminated last line cut inside its outcome) is skipped.
std::vector<HistoryEntry> ReadHistory(const FileSystem& fs, const std::string& path, size_t count);

}  // namespace norvale
