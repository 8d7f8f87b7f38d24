#include "platform/headless/virtual_clock.h"

namespace norvale::headless {

using namespace std::chrono;

VirtualClock::VirtualClock(LocalTime now, const TimeZone* zone) : zone_(zone) {
  utc_ = ToUtc(now);
}

LocalTime VirtualClock::At(int y, unsigned mo, unsigned d, int h, int mi, int s) {
  const local_days day{year{y} / month{mo} / std::chrono::day{d}};
  return LocalTime{day} + hours{h} + minutes{mi} + seconds{s};
}

seconds VirtualClock::Offset(UtcTime t) const {
  return zone_ ? zone_->OffsetAt(t) : seconds{0};
}

LocalTime VirtualClock::ToLocal(UtcTime t) const {
  return LocalTime{(t + Offset(t)).time_since_epoch()};
}

UtcTime VirtualClock::ToUtc(LocalTime local) const {
  const UtcTime as_utc{local.time_since_epoch()};
  if (!zone_) return as_utc;
  // The offsets in force half a day either side cover any single change.
  const seconds before = Offset(as_utc - hours{12});
  const seconds after = Offset(as_utc + hours{12});
  for (seconds o : {before > after ? before : after, before > after ? after : before}) {
    // The larger offset gives the earlier moment; it wins when both fit (autumn).
    if (Offset(as_utc - o) == o) return as_utc - o;
  }
  return as_utc - before;
}

}  // namespace norvale::headless
