#pragma once
// Every pending occurrence the program knows of, one typed row each: the rows of
// the schedule files and the quick rows that live only here (Go, the command
// line, postponed runs, waits for idle time or a program). The list shows them,
// the engine takes them when they fall due, the command line adds and cancels
// them; nobody reads a shown text back.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/activity.h"
#include "platform/clock.h"

namespace norvale {

// What makes a row due.
enum class DueBy {
  kLocalTime,    // a local minute: a schedule file, /at, a delay of days or more
  kRealTime,     // a moment of real time: a delay of minutes or hours, /in, a postpone
  kIdle,         // N minutes without input
  kProgramEnds,  // a watched process ending
  kQuiet,        // N minutes with the processor and the network below their limits
};

struct RunRow {
  uint64_t id = 0;
  std::string name;
  std::string action;  // the stored action name ("Shut Down"; a file's ItemType)
  DueBy due_by = DueBy::kLocalTime;
  bool from_file = false;
  bool enabled = true;
  // Taken and not done with yet (a quick row warned of or waiting): not due again.
  bool taken = false;
  std::optional<LocalTime> local_due;    // kLocalTime; none: never due
  // Keep-awake hours: the end of the span that begins at local_due. Such a row
  // holds the computer awake in between and is never taken.
  std::optional<LocalTime> local_end;
  bool keep_display = false;
  // A sleeping computer is woken for the row's occurrences (file rows that ask).
  bool wake = false;
  std::chrono::milliseconds real_due{};  // kRealTime, on the monotonic clock
  int idle_minutes = 0;                  // kIdle
  std::chrono::milliseconds idle_from{};  // kIdle: idle time counts from here at the earliest
  std::string program;                    // kProgramEnds: the watched program's name
  std::shared_ptr<WatchedProcess> watch;
  int quiet_minutes = 0;                   // kQuiet
  int quiet_cpu_percent = 0;               // kQuiet: quiet while the processor is below this
  int quiet_kilobytes = 0;                 // kQuiet: … and the network below this many KB/s
  std::chrono::milliseconds quiet_from{};  // kQuiet: quiet time counts from here at the earliest
  std::string origin;  // the schedule a postponed run belongs to
  int postponed_when_used = 0;  // how often in a row input during its warnings postponed it
  // File rows, as the file has them: what the list shows in their columns.
  std::string last_run;
  std::string next_text;  // the Next Run Time, or why there is none
  bool unreadable = false;
};

class RunList {
 public:
  const std::vector<RunRow>& Rows() const { return rows_; }
  // Goes up with every change, so a reader can tell whether to look again.
  uint64_t Revision() const { return revision_; }
  // Told after every change; while held, once when the last hold is released.
  std::function<void()> Changed;
  // What changes many rows in one go holds the list, so that whoever shows it
  // shows it once, not once a row.
  void Hold() { ++held_; }
  void Release();

  // The file rows replaced by `rows` (in listing order); the quick rows stay after them.
  void ReplaceFileRows(std::vector<RunRow> rows);
  // Adds a quick row; its id.
  uint64_t Add(RunRow row);
  RunRow* Find(uint64_t id);
  const RunRow* FindNamed(std::string_view name) const;
  // Lets `change` alter the row, then tells of it. False when it is gone.
  bool Update(uint64_t id, const std::function<void(RunRow&)>& change);
  bool Remove(uint64_t id);
  // The ids of every row without a file.
  std::vector<uint64_t> QuickRows() const;
  // How many rows have no file.
  size_t QuickCount() const { return quick_count_; }
  // True when some row is named `name`.
  bool Named(const std::string& name) const { return names_.count(name) != 0; }
  // `base`, or `base (2)`, `base (3)` … whichever no row has. Each base counts on
  // from the last number it gave, so a run of rows of one name costs the same each.
  std::string UniqueName(const std::string& base) const;

 private:
  void Touch();
  void Count(const std::string& name, int change);

  void Index();

  std::vector<RunRow> rows_;
  // Where each id's row stands in rows_.
  std::unordered_map<uint64_t, size_t> at_;
  int held_ = 0;
  bool changed_while_held_ = false;
  // How many rows have each name.
  std::unordered_map<std::string, int> names_;
  // The number UniqueName last gave each base name.
  mutable std::unordered_map<std::string, int> numbers_;
  size_t quick_count_ = 0;
  uint64_t revision_ = 0;
  uint64_t next_id_ = 1;
};

// The quick rows, each named `name`, made when the clock shows now.
// A delay in real time: a clock set moves none of it.
RunRow DelayRow(const Clock& clock, std::string name, std::string action,
                std::chrono::milliseconds delay);
// The local moment `at`, on the wall clock.
RunRow LocalTimeRow(std::string name, std::string action, LocalTime at);
// Once `minutes` of idle time have passed from now on.
RunRow IdleRow(const Clock& clock, std::string name, std::string action, int minutes);
// What a wait for quiet asks: that many minutes with the processor below the
// percentage and the network below the rate; the defaults as a user meets them.
struct QuietLimits {
  int minutes = 5;
  int cpu_percent = 10;
  int kilobytes_per_second = 50;
};
// The largest of each; the smallest is 1.
inline constexpr QuietLimits kMostQuietLimits{1440, 100, 1000000};
// Once the load has stayed below both limits for their minutes from now on.
RunRow QuietRow(const Clock& clock, std::string name, std::string action, QuietLimits limits);
RunRow ProgramEndsRow(std::string name, std::string action, const RunningProcess& program,
                      std::unique_ptr<WatchedProcess> watch);
// The next time the wall clock shows `minute_of_day` (minutes after midnight):
// today while it is still ahead, else tomorrow.
LocalTime NextTimeOfDay(const Clock& clock, int minute_of_day);

}  // namespace norvale
