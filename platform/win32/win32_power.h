#pragma once
#include <optional>

#include "platform/power_control.h"

namespace norvale {

// The real requests: ExitWindowsEx and SetSystemPowerState, the shutdown
// privilege enabled first on NT.
class Win32PowerControl final : public PowerControl {
 public:
  bool IsWinNT() const override;
  void EnableShutdownPrivilege() override;
  // A refusal carries GetLastError and its FormatMessage text.
  PowerOutcome Perform(const PowerRequest& request) override;
  // Looks for hiberfil.sys on the drive Windows lives on, not a fixed C:.
  bool HibernateAvailable() const override;
  // CallNtPowerInformation, HiberbootEnabled, the token and the active power
  // plan, asked at the first call only.
  PowerCapabilities Capabilities() const override;
  void HoldOffIdleSleep(bool system, bool display) override;
  // A waitable timer with a wake reason, which is what lets it resume the computer.
  void WakeAt(std::optional<UtcTime> at) override;
  ~Win32PowerControl() override;

 private:
  void* wake_timer_ = nullptr;
  mutable std::optional<PowerCapabilities> capabilities_;
};

// The system's words for an error code, in the system's language, without the
// line break FormatMessage ends them with; "" when it has none.
std::string SystemErrorText(uint32_t error);

}  // namespace norvale
