#pragma once
// The operating system's power requests. The program reaches them only through
// this interface, so tests record them and a dry run can log them instead.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace norvale {

struct PowerRequest {
  // kLockWorkStation locks the session; kDisplayOff sends the monitor-power
  // command to the program's own window; kNone requests nothing.
  enum Kind { kExitWindows, kSetSystemPowerState, kLockWorkStation, kDisplayOff, kNone };
  std::string action;  // the PowerAction name that asked for it
  Kind kind = kExitWindows;
  uint32_t flags = 0;  // ExitWindowsEx flags, or fSuspend of SetSystemPowerState
  bool force = false;
};

// What the system said to a request: done, or refused with its error.
struct PowerOutcome {
  bool done = true;
  uint32_t error = 0;   // the system's error code when refused
  std::string message;  // the system's own words for it, in its language
};

// What this computer can do, as the system reports it.
struct PowerCapabilities {
  bool s3 = true;          // sleep that keeps memory powered
  bool s4 = true;          // hibernation
  bool hiberfile = false;  // the hibernation file is there, so hibernation is on
  bool aoac = false;       // Modern Standby: no S3, the display off is how it sleeps
  bool fast_startup = false;
  bool shutdown_privilege = true;   // the account holds SeShutdownPrivilege
  bool wake_timers_allowed = true;  // the power plan lets timers wake the computer
};

class PowerControl {
 public:
  virtual ~PowerControl() = default;
  virtual bool IsWinNT() const = 0;
  virtual void EnableShutdownPrivilege() = 0;
  // ExitWindowsEx(flags, 0), SetSystemPowerState(flags, force), LockWorkStation
  // or the display off; whether the system took it.
  virtual PowerOutcome Perform(const PowerRequest& request) = 0;
  // Whether the system drive holds the hibernation file.
  virtual bool HibernateAvailable() const = 0;
  // Read once: they change only with the hardware or an administrator's setting.
  virtual PowerCapabilities Capabilities() const = 0;
  // Tells the system not to sleep for idleness while `on` (systems that no longer
  // ask programs before an idle suspend).
  virtual void HoldOffIdleSleep(bool system, bool display) = 0;
  // One timer that wakes a sleeping computer at `at` (UTC), replacing the one
  // before; none: no wake is wanted.
  virtual void WakeAt(std::optional<UtcTime> /*at*/) {}
};

}  // namespace norvale
