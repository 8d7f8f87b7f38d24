#include <ctime>

#include "platform/posix/posix_services.h"

namespace norvale {

LocalTime PosixClock::Now() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  using namespace std::chrono;
  const auto day =
      sys_days{year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
               std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  return LocalTime{duration_cast<milliseconds>(day.time_since_epoch()) + hours{local.tm_hour} +
                   minutes{local.tm_min} + seconds{local.tm_sec} +
                   milliseconds{ts.tv_nsec / 1000000}};
}

UtcTime PosixClock::UtcNow() const {
  return std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
}

std::chrono::milliseconds PosixClock::Monotonic() const {
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  return std::chrono::seconds{ts.tv_sec} + std::chrono::milliseconds{ts.tv_nsec / 1000000};
}

std::chrono::seconds PosixClock::OffsetAt(UtcTime t) const {
  const time_t at = static_cast<time_t>(
      std::chrono::floor<std::chrono::seconds>(t.time_since_epoch()).count());
  tm local{};
  localtime_r(&at, &local);
  return std::chrono::seconds{local.tm_gmtoff};
}

}  // namespace norvale
