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
  std::chrono::milliseconds Monotonic() const override { return elapsed_ + slept_; }
  std::chrono::seconds OffsetAt(UtcTime t) const override;
  // Awake time since the clock was made: moves with Advance only.
  std::chrono::milliseconds Elapsed() const { return elapsed_; }

  // Real time passes.
  void Advance(std::chrono::milliseconds by) {
    utc_ += by;
    elapsed_ += by;
  }
  // The wall clock is set (by the user, or on waking from sleep); no real time passes.
  void Set(LocalTime now) { utc_ = ToUtc(now); }
  void SetUtc(UtcTime now) { utc_ = now; }
  // The computer sleeps until the wall clock shows `wake`: real time passes, but
  // nothing awake sees it.
  void SleepUntil(LocalTime wake) {
    const UtcTime target = ToUtc(wake);
    if (target > utc_) slept_ += target - utc_;
    utc_ = target;
  }

 private:
  const TimeZone* zone_;
  UtcTime utc_;
  std::chrono::milliseconds elapsed_{0};
  std::chrono::milliseconds slept_{0};
};

}  // namespace norvale::headless
