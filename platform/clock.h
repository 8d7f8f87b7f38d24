#pragma once
// The wall clock of the desktop, in local time. Injected everywhere so tests can
// stand at any moment (and later move timers forward) deterministically.
#include <chrono>
#include <string>

namespace norvale {

using Date = std::chrono::year_month_day;
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;
using UtcTime = std::chrono::sys_time<std::chrono::milliseconds>;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
  // The same moment in UTC. It moves on evenly across daylight-saving changes,
  // which is how the scheduler tells them from a clock the user set.
  virtual UtcTime UtcNow() const { return UtcTime{Now().time_since_epoch()}; }

  Date Today() const { return Date{std::chrono::floor<std::chrono::days>(Now())}; }
  // Time since local midnight.
  std::chrono::milliseconds TimeOfDay() const {
    const LocalTime now = Now();
    return now - std::chrono::floor<std::chrono::days>(now);
  }
};

// "YYYY-MM-DD HH:MM:SS" with `separator` between date and time: the one form
// of a moment in every log and output the program writes for other tools.
std::string IsoMoment(LocalTime t, char separator = ' ');
// "HH:MM:SS" on the 24-hour clock: the one form of a time of day in files and rows.
std::string Time24(std::chrono::seconds time_of_day);

// A clock that stands still at one moment, for asking "what comes after then".
class FixedClock final : public Clock {
 public:
  explicit FixedClock(LocalTime at) : at_(at) {}
  LocalTime Now() const override { return at_; }

 private:
  LocalTime at_;
};

}  // namespace norvale
