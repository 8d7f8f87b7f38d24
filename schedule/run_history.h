#pragma once
// "History.log" in the data folder: one line for every run performed, postponed,
// cancelled or missed, "YYYY-MM-DD HH:MM:SS<TAB>name<TAB>action<TAB>outcome",
// UTF-8 with CR LF, kept under a size cap. A write that failed is told by a line
// with the outcome "not stored" and a fifth field, "<what>: <error>"; readers of
// four fields ignore the fifth.
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
  std::string note = {};  // only with kOutcomeNotStored: "<what>: <error>"
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

// The newest `count` whole entries, newest first; none when there is no file.
// A broken line (a field missing, no time, entries glued together, an
// unterminated last line cut inside its outcome) is skipped.
std::vector<HistoryEntry> ReadHistory(const FileSystem& fs, const std::string& path, size_t count);

}  // namespace norvale
