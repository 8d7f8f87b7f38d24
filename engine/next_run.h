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

// The next run of the SCHEDULER block: "" for none, else a date, a blank and the
// stored StartTime.
std::string GetNextRun(std::string_view scheduler_block, const Clock& clock, const Locale& locale);

}  // namespace norvale
