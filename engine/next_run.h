#pragma once
// When a schedule next falls due, as the text its list row shows and the
// watcher compares with the clock.
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/locale.h"

namespace norvale {

// A stored time of day ("22:30:00", "9:05", "10:30:00 PM") as seconds since
// midnight; nullopt when it is no time.
std::optional<std::chrono::seconds> ParseTimeOfDay(std::string_view text);

// A "Next Run Time" (or "Last Run Time") text read back with the readers that
// wrote it: the whole date text with the locale's reader (blanks allowed, as in
// "2026. 12. 04."), then the time of day, with an AM/PM marker if it has one.
std::optional<LocalTime> ParseNextRun(std::string_view text, const Locale& locale);

// A schedule's next run: the text its row shows and, where the stored date and
// time can be read, the local minute it falls due.
struct NextRun {
  std::string text;
  std::optional<LocalTime> moment;
};
NextRun NextRunOf(std::string_view scheduler_block, const Clock& clock, const Locale& locale);
// NextRunOf, never at or before `taken`.
NextRun NextRunAfter(std::string_view scheduler_block, const Clock& clock, const Locale& locale,
                     std::optional<LocalTime> taken);

// The next run of the SCHEDULER block: "" for none, else a date, a blank and the
// stored StartTime.
std::string GetNextRun(std::string_view scheduler_block, const Clock& clock, const Locale& locale);

// GetNextRun, but never at or before `taken`, an occurrence already performed or
// passed by: a clock set back or a reload must not bring it round again.
std::string GetNextRunAfter(std::string_view scheduler_block, const Clock& clock,
                            const Locale& locale, std::optional<LocalTime> taken);

}  // namespace norvale
