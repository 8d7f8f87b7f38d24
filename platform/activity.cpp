#include "platform/activity.h"

namespace norvale {

Activity& NoActivity() {
  class None final : public Activity {
   public:
    std::chrono::milliseconds SinceLastInput() const override {
      return std::chrono::milliseconds{0};
    }
    std::vector<RunningProcess> Processes() const override { return {}; }
    std::unique_ptr<WatchedProcess> Watch(uint32_t) override { return nullptr; }
  };
  static None none;
  return none;
}

}  // namespace norvale
