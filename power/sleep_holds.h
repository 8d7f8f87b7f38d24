#pragma once
// Every reason the program has to keep the computer from sleeping through
// inactivity (the Prevent Stand By box, keep-awake hours, a wake to run a schedule) asks
// here; the system is told what they ask together, once per change.
#include "platform/power_control.h"

namespace norvale {

class SleepHolds {
 public:
  enum Reason { kPreventStandBy, kKeepAwakeHours, kWokenToRun, kReasonCount };

  explicit SleepHolds(PowerControl& power) : power_(power) {}
  ~SleepHolds() {
    if (system_ || display_) power_.HoldOffIdleSleep(false, false);
  }
  SleepHolds(const SleepHolds&) = delete;
  SleepHolds& operator=(const SleepHolds&) = delete;

  void Hold(Reason reason, bool system, bool display) {
    asks_[reason] = {system, display};
    bool any_system = false, any_display = false;
    for (const Ask& a : asks_) {
      any_system = any_system || a.system || a.display;
      any_display = any_display || a.display;
    }
    if (any_system == system_ && any_display == display_) return;
    system_ = any_system;
    display_ = any_display;
    power_.HoldOffIdleSleep(system_, display_);
  }
  bool System() const { return system_; }
  bool Display() const { return display_; }

 private:
  struct Ask {
    bool system = false;
    bool display = false;
  };
  PowerControl& power_;
  Ask asks_[kReasonCount];
  bool system_ = false;
  bool display_ = false;
};

}  // namespace norvale
