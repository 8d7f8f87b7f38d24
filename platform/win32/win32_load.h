#pragma once
// The processor's use (GetSystemTimes) and the network's traffic (the octet
// counters of GetIfTable2, from iphlpapi.dll loaded at run time), each as the
// change since the previous reading.
#include <memory>

#include "platform/load.h"

namespace norvale {

class Win32LoadMonitor final : public LoadMonitor {
 public:
  Win32LoadMonitor();
  ~Win32LoadMonitor() override;
  Win32LoadMonitor(const Win32LoadMonitor&) = delete;
  Win32LoadMonitor& operator=(const Win32LoadMonitor&) = delete;

  std::optional<LoadState> Read() override;

 private:
  struct Sources;
  std::unique_ptr<Sources> sources_;
};

}  // namespace norvale
