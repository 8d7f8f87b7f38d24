#pragma once
// The operating system's power requests. The program reaches them only through
// this interface, so tests record them and a dry run can log them instead.
#include <cstdint>
#include <string>

namespace norvale {

struct PowerRequest {
  enum Kind { kExitWindows, kSetSystemPowerState };
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
  // ExitWindowsEx(flags, 0) or SetSystemPowerState(flags, force); results unused.
  virtual void Perform(const PowerRequest& request) = 0;
  // Whether the system drive holds the hibernation file.
  virtual bool HibernateAvailable() const = 0;
  // Tells the system not to sleep for idleness while `on` (systems that no longer
  // ask programs before an idle suspend).
  virtual void HoldOffIdleSleep(bool on) = 0;
};

}  // namespace norvale
