#pragma once
// The delays of the quick-action row.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_list.h"
#include "platform/clock.h"

namespace norvale {

struct QuickDelay {
  std::string_view caption;  // matched exactly, case included
  char unit;                 // 'n' minutes, 'h' hours, 'd' days, 'm' calendar months
  int amount;
};

// "Now" first, then every delay, as the list shows them.
std::vector<std::string> QuickDelayCaptions();
// The last choices of the delay list wait for something else than time.
inline constexpr const char* kWhenIdle = "When Idle…";
inline constexpr const char* kWhenProgramEnds = "When a Program Ends…";
inline constexpr const char* kWhenQuiet = "When Quiet…";
// The whole delay list: the delays, then the waits.
std::vector<std::string> DelayChoices();
// The moment `caption` names from `now`; nullopt for "Now" and unknown texts.
// A month later keeps the day, clamped to the last day of a shorter month.
std::optional<LocalTime> ApplyQuickDelay(LocalTime now, std::string_view caption);
// The row a delay of the list makes from now: in real time for minutes and
// hours, at the same local time for days and more; nullopt for "Now" and
// unknown texts.
std::optional<RunRow> DelayedRow(const Clock& clock, std::string_view caption, std::string name,
                                 std::string action);

}  // namespace norvale
