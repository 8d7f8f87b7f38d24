#pragma once
// The wall clock of the desktop, in local time. Injected everywhere so tests can
// stand at any moment (and later move timers forward) deterministically.
#include <chrono>

namespace norvale {

using Date = std::chrono::year_month_day;
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;

  Date Today() const { return Date{std::chrono::floor<std::chrono::days>(Now())}; }
  // Time since local midnight.
  std::chrono::milliseconds TimeOfDay() const {
    const LocalTime now = Now();
    return now - std::chrono::floor<std::chrono::days>(now);
  }
};

}  // namespace norvale
