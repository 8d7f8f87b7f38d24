#include "platform/headless/fake_load.h"

namespace norvale {

void FakeLoad::Set(double cpu_percent, double kilobytes_per_second) {
  current_ = {cpu_percent, kilobytes_per_second};
  since_read_.push_back({clock_.Monotonic(), current_});
}

std::optional<LoadState> FakeLoad::Read() {
  using std::chrono::milliseconds;
  ++readings_;
  const milliseconds now = clock_.Monotonic();
  const milliseconds span = now - read_at_;
  if (span.count() <= 0) {
    since_read_.clear();
    at_read_ = current_;
    return current_;
  }
  LoadState mean;
  LoadState level = at_read_;
  milliseconds at = read_at_;
  const auto add = [&](milliseconds until) {
    const double share = double((until - at).count()) / double(span.count());
    mean.cpu_percent += level.cpu_percent * share;
    mean.kilobytes_per_second += level.kilobytes_per_second * share;
  };
  for (const Step& s : since_read_) {
    add(s.from);
    at = s.from;
    level = s.load;
  }
  add(now);
  since_read_.clear();
  at_read_ = current_;
  read_at_ = now;
  return mean;
}

}  // namespace norvale
