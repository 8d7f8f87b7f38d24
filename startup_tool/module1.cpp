#include "startup_tool/module1.h"

namespace norvale::Module1 {

uint32_t LaunchAsUser(ProcessLauncher& launcher, const SystemInfo& system, MessageBoxes& boxes,
                      const LogonRequest& request, const std::string& title) {
  const auto v = system.Version();
  if (v && v->major >= 5 && v->platform_id == 2) {
    return LaunchWithLogon(launcher, boxes, request, title);
  }
  return LaunchWithToken(launcher, boxes, request, title);
}

uint32_t LaunchWithLogon(ProcessLauncher& launcher, MessageBoxes& boxes,
                         const LogonRequest& request, const std::string& title) {
  const uint32_t error = launcher.WithLogon(request);
  if (error != 0) {
    boxes.MsgBox("CreateProcessWithLogonW() failed with error " + std::to_string(error),
                 MsgBoxButtons::OK, MsgBoxIcon::Exclamation, title);
  }
  return error;
}

uint32_t LaunchWithToken(ProcessLauncher& launcher, MessageBoxes& boxes,
                         const LogonRequest& request, const std::string& title) {
  ProcessLauncher::Step failed = ProcessLauncher::Step::kLogonUser;
  const uint32_t error = launcher.WithToken(request, failed);
  if (error != 0) {
    const char* what =
        failed == ProcessLauncher::Step::kLogonUser ? "LogonUser()" : "CreateProcessAsUser()";
    boxes.MsgBox(std::string(what) + " failed with error " + std::to_string(error),
                 MsgBoxButtons::OK, MsgBoxIcon::Exclamation, title);
  }
  return error;
}

}  // namespace norvale::Module1
