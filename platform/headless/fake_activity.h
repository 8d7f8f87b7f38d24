#pragma once
// Input and programs for tests, on the test's clock: input happens when the test
// says so, programs start and end when it says so.
#include <map>

#include "platform/activity.h"
#include "platform/clock.h"

namespace norvale {

class FakeActivity final : public Activity {
 public:
  explicit FakeActivity(const Clock& clock) : clock_(clock), last_input_(clock.Monotonic()) {}

  void Input() { last_input_ = clock_.Monotonic(); }
  void Start(RunningProcess process) { running_[process.pid] = std::move(process); }
  void End(uint32_t pid) { running_.erase(pid); }

  std::chrono::milliseconds SinceLastInput() const override {
    return clock_.Monotonic() - last_input_;
  }
  std::vector<RunningProcess> Processes() const override;
  std::unique_ptr<WatchedProcess> Watch(uint32_t pid) override;

 private:
  const Clock& clock_;
  std::chrono::milliseconds last_input_;
  std::map<uint32_t, RunningProcess> running_;
};

}  // namespace norvale
