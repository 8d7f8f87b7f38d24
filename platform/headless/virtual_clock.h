#pragma once
// A clock that moves only when told: the wall clock of headless runs and tests.
// Real time (what timers run on) and the wall clock are kept apart, so the wall
// clock can be set or the computer put to sleep without timers catching up.
#include <chrono>

#include "platform/clock.h"

namespace norvale::headless {

// A zone's offset from UTC at each moment (daylight-saving rules included).
class TimeZone {
 public:
  virtual ~TimeZone() = default;
  virtual std::chrono::seconds OffsetAt(UtcTime t) const = 0;
};

class VirtualClock final : public Clock {
 public:
  // Stands at `now` in `zone` (UTC without one).
  explicit VirtualClock(LocalTime now = {}, const TimeZone* zone = nullptr);
  // A local moment from its parts.
  static LocalTime At(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0);

  LocalTime Now() const override { return ToLocal(utc_); }
  UtcTime UtcNow() const override { return utc_; }
  // Real time since the clock was made: moves with Advance only.
  std::chrono::milliseconds Elapsed() const { return elapsed_; }

  // Real time passes.
  void Advance(std::chrono::milliseconds by) {
    utc_ += by;
    elapsed_ += by;
  }
  // The wall clock is set (by the user, or on waking from sleep); no real time passes.
  void Set(LocalTime now) { utc_ = ToUtc(now); }
  void SetUtc(UtcTime now) { utc_ = now; }

  LocalTime ToLocal(UtcTime t) const;
  // The earliest moment showing `local`; a local time that the clock skips is
  // read with the offset before the change.
  UtcTime ToUtc(LocalTime local) const;

 private:
  std::chrono::seconds Offset(UtcTime t) const;

  const TimeZone* zone_;
  UtcTime utc_;
  std::chrono::milliseconds elapsed_{0};
};

}  // namespace norvale::headless
