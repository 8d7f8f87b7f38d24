#include "platform/headless/fake_activity.h"

namespace norvale {

std::vector<RunningProcess> FakeActivity::Processes() const {
  std::vector<RunningProcess> out;
  for (const auto& [pid, process] : running_) out.push_back(process);
  return out;
}

std::unique_ptr<WatchedProcess> FakeActivity::Watch(uint32_t pid) {
  class Watch final : public WatchedProcess {
   public:
    Watch(const FakeActivity& owner, uint32_t pid) : owner_(owner), pid_(pid) {}
    bool Ended() override { return !owner_.running_.count(pid_); }

   private:
    const FakeActivity& owner_;
    uint32_t pid_;
  };
  if (!running_.count(pid)) return nullptr;
  return std::make_unique<Watch>(*this, pid);
}

}  // namespace norvale
