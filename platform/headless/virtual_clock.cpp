#include "platform/headless/virtual_clock.h"

namespace norvale::headless {

using namespace std::chrono;

VirtualClock::VirtualClock(LocalTime now, const TimeZone* zone) : zone_(zone) {
  utc_ = UtcTime{now.time_since_epoch()};  // OffsetAt reads zone_ only
  utc_ = ToUtc(now);
}

LocalTime VirtualClock::At(int y, unsigned mo, unsigned d, int h, int mi, int s) {
  const local_days day{year{y} / month{mo} / std::chrono::day{d}};
  return LocalTime{day} + hours{h} + minutes{mi} + seconds{s};
}

seconds VirtualClock::OffsetAt(UtcTime t) const {
  return zone_ ? zone_->OffsetAt(t) : seconds{0};
}

}  // namespace norvale::headless
