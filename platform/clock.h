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
  // Time since some fixed start that counts sleep too and never moves with the
  // wall clock: what delays and countdowns are measured on.
  virtual std::chrono::milliseconds Monotonic() const { return UtcNow().time_since_epoch(); }
  // The zone's offset from UTC at `t`, daylight saving included.
  virtual std::chrono::seconds OffsetAt(UtcTime /*t*/) const {
    return std::chrono::round<std::chrono::minutes>(Now().time_since_epoch() -
                                                    UtcNow().time_since_epoch());
  }
  // What the wall clock shows at `t`.
  LocalTime ToLocal(UtcTime t) const { return LocalTime{(t + OffsetAt(t)).time_since_epoch()}; }
  // The earliest moment the wall clock shows `local`; a local time that daylight
  // saving skips is read with the offset before the change.
  UtcTime ToUtc(LocalTime local) const;

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
