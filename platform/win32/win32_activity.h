#pragma once
// The session's input idle time (GetLastInputInfo) and its processes (Tool Help).
#include "platform/activity.h"

namespace norvale {

class Win32Activity final : public Activity {
 public:
  std::chrono::milliseconds SinceLastInput() const override;
  std::vector<RunningProcess> Processes() const override;
  std::unique_ptr<WatchedProcess> Watch(uint32_t pid) override;
};

}  // namespace norvale
