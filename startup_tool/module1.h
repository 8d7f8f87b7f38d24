#pragma once
// Starting another copy of the startup tool under another account.
#include <cstdint>
#include <string>

#include "platform/msgbox.h"
#include "platform/process_launcher.h"
#include "platform/system_info.h"

namespace norvale::Module1 {

// Through the logon service on Windows 2000 and later, else through a logon token.
// 0 on success, else the system error code (after a warning box).
uint32_t LaunchAsUser(ProcessLauncher& launcher, const SystemInfo& system, MessageBoxes& boxes,
                      const LogonRequest& request, const std::string& title);
uint32_t LaunchWithLogon(ProcessLauncher& launcher, MessageBoxes& boxes,
                         const LogonRequest& request, const std::string& title);
uint32_t LaunchWithToken(ProcessLauncher& launcher, MessageBoxes& boxes,
                         const LogonRequest& request, const std::string& title);

}  // namespace norvale::Module1
