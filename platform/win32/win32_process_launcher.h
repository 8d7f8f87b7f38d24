#pragma once
#include "platform/process_launcher.h"

namespace norvale {

class Win32ProcessLauncher final : public ProcessLauncher {
 public:
  uint32_t WithLogon(const LogonRequest& r) override;
  uint32_t WithToken(const LogonRequest& r, Step& failed) override;
};

}  // namespace norvale
