#pragma once
// The operating system's power requests. The program reaches them only through
// this interface, so tests record them and a dry run can log them instead.
#include <cstdint>
#include <string>

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

class PowerControl {
 public:
  virtual ~PowerControl() = default;
  virtual bool IsWinNT() const = 0;
  virtual void EnableShutdownPrivilege() = 0;
  // ExitWindowsEx(flags, 0), SetSystemPowerState(flags, force), LockWorkStation
  // or the display off; results unused.
  virtual void Perform(const PowerRequest& request) = 0;
  // Whether the system drive holds the hibernation file.
  virtual bool HibernateAvailable() const = 0;
  // Tells the system not to sleep for idleness while `on` (systems that no longer
  // ask programs before an idle suspend).
  virtual void HoldOffIdleSleep(bool system, bool display) = 0;
};

}  // namespace norvale
