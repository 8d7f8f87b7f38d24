#pragma once
#include "platform/power_control.h"

namespace norvale {

// The real requests: ExitWindowsEx and SetSystemPowerState, the shutdown
// privilege enabled first on NT.
class Win32PowerControl final : public PowerControl {
 public:
  bool IsWinNT() const override;
  void EnableShutdownPrivilege() override;
  void Perform(const PowerRequest& request) override;
  // Looks for hiberfil.sys on the drive Windows lives on, not a fixed C:.
  bool HibernateAvailable() const override;
  void HoldOffIdleSleep(bool system, bool display) override;
};

}  // namespace norvale
