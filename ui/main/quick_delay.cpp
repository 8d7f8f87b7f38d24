#include "ui/main/quick_delay.h"

namespace norvale {
namespace {

constexpr QuickDelay kDelays[] = {
    {"In 1 Minute", 'n', 1},    {"In 5 Minutes", 'n', 5}, {"in 15 Minutes", 'n', 15},
    {"in 30 Minutes", 'n', 30}, {"In 1 Hour", 'h', 1},    {"In 2 Hours", 'h', 2},
    {"In 6 Hours", 'h', 6},     {"In 12 Hours", 'h', 12}, {"In 1 Day", 'd', 1},
    {"In 2 Days", 'd', 2},      {"In 5 Days", 'd', 5},    {"In 1 Week", 'd', 7},
    {"In 2 Weeks", 'd', 14},    {"In 3 Weeks", 'd', 21},  {"In 1 Month", 'm', 1},
};

}  // namespace

std::vector<std::string> QuickDelayCaptions() {
  std::vector<std::string> out{"Now"};
  for (const QuickDelay& d : kDelays) out.emplace_back(d.caption);
  return out;
}

std::vector<std::string> DelayChoices() {
  std::vector<std::string> out = QuickDelayCaptions();
  out.emplace_back(kWhenIdle);
  out.emplace_back(kWhenProgramEnds);
  out.emplace_back(kWhenQuiet);
  return out;
}

std::optional<LocalTime> ApplyQuickDelay(LocalTime now, std::string_view caption) {
  using namespace std::chrono;
  for (const QuickDelay& d : kDelays) {
    if (d.caption != caption) continue;
    switch (d.unit) {
      case 'n':
        return now + minutes{d.amount};
      case 'h':
        return now + hours{d.amount};
      case 'd':
        return now + days{d.amount};
      default: {
        const auto day = floor<days>(now);
        const year_month_day ymd{day};
        const year_month target = ymd.year() / ymd.month() + months{d.amount};
        const unsigned month_end =
            static_cast<unsigned>(year_month_day_last{target / std::chrono::last}.day());
        const unsigned wanted = static_cast<unsigned>(ymd.day());
        const unsigned dd = wanted < month_end ? wanted : month_end;
        return LocalTime{local_days{target / std::chrono::day{dd}}} + (now - day);
      }
    }
  }
  return std::nullopt;
}

std::optional<RunRow> DelayedRow(const Clock& clock, std::string_view caption, std::string name,
                                 std::string action) {
  const LocalTime now = clock.Now();
  const auto when = ApplyQuickDelay(now, caption);
  if (!when) return std::nullopt;
  for (const QuickDelay& d : kDelays) {
    if (d.caption == caption && (d.unit == 'n' || d.unit == 'h')) {
      return DelayRow(clock, std::move(name), std::move(action), *when - now);
    }
  }
  return LocalTimeRow(std::move(name), std::move(action), *when);
}

}  // namespace norvale
