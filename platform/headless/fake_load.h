#pragma once
// Load for tests, on the test's clock: it stays at what the test last set, and
// a reading gives the mean over the time since the previous one, as the real
// counters do.
#include <chrono>
#include <vector>

#include "platform/clock.h"
#include "platform/load.h"

namespace norvale {

class FakeLoad final : public LoadMonitor {
 public:
  explicit FakeLoad(const Clock& clock) : clock_(clock), read_at_(clock.Monotonic()) {}

  // The load from now on.
  void Set(double cpu_percent, double kilobytes_per_second);
  std::optional<LoadState> Read() override;
  int Readings() const { return readings_; }

 private:
  struct Step {
    std::chrono::milliseconds from;
    LoadState load;
  };
  const Clock& clock_;
  std::chrono::milliseconds read_at_;
  LoadState current_;
  LoadState at_read_;             // in effect when the previous reading was taken
  std::vector<Step> since_read_;  // what was set since the previous reading
  int readings_ = 0;
};

}  // namespace norvale
