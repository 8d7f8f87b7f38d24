#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

// 100 ns ticks since 1601-01-01; 11644473600 s lie between then and 1970.
constexpr int64_t kTicksPerMs = 10000;
constexpr int64_t kEpochGapMs = 11644473600LL * 1000;

std::optional<SYSTEMTIME> SystemTimeAt(UtcTime t) {
  const int64_t ms = t.time_since_epoch().count();
  // FileTimeToSystemTime takes file times below 2^63 only.
  if (ms < -kEpochGapMs || ms > INT64_MAX / kTicksPerMs - kEpochGapMs) return std::nullopt;
  const uint64_t ticks = static_cast<uint64_t>(ms + kEpochGapMs) * kTicksPerMs;
  FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME st{};
  if (!FileTimeToSystemTime(&ft, &st)) return std::nullopt;
  return st;
}

std::optional<int64_t> TicksOf(const SYSTEMTIME& st) {
  FILETIME ft{};
  if (!SystemTimeToFileTime(&st, &ft)) return std::nullopt;
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) |
                              ft.dwLowDateTime);
}

// The rules of `year` in `zone`. Reading them from the registry takes a good
// part of a millisecond, and the scheduler asks for many moments in a row: they
// are kept until the zone itself changes.
TIME_ZONE_INFORMATION RulesOfYear(DYNAMIC_TIME_ZONE_INFORMATION zone, WORD year) {
  // The first fields of the dynamic record are the plain one's. With daylight
  // saving switched off by the user they hold no change, and the year's rules
  // from the registry would bring it back.
  static_assert(offsetof(DYNAMIC_TIME_ZONE_INFORMATION, DaylightBias) ==
                offsetof(TIME_ZONE_INFORMATION, DaylightBias));
  TIME_ZONE_INFORMATION rules;
  CopyMemory(&rules, &zone, sizeof rules);
  if (zone.DynamicDaylightTimeDisabled) return rules;

  // Up to the last field: the padding after it may hold anything.
  constexpr size_t kZoneBytes =
      offsetof(DYNAMIC_TIME_ZONE_INFORMATION, DynamicDaylightTimeDisabled) + sizeof(BOOLEAN);
  static std::mutex mutex;
  static unsigned char kept_zone[kZoneBytes] = {};
  static std::map<WORD, TIME_ZONE_INFORMATION> kept;
  const std::lock_guard<std::mutex> lock(mutex);
  if (std::memcmp(kept_zone, &zone, kZoneBytes) != 0 || kept.size() > 64) {
    kept.clear();
    std::memcpy(kept_zone, &zone, kZoneBytes);
  }
  if (const auto it = kept.find(year); it != kept.end()) return it->second;
  // SystemTimeToTzSpecificLocalTimeEx does this too, but Wine's kernel32 lacks it.
  TIME_ZONE_INFORMATION of_year{};
  if (GetTimeZoneInformationForYear(year, &zone, &of_year)) rules = of_year;
  kept.emplace(year, rules);
  return rules;
}

// The offset the zone has now, without reading two clocks that tick apart.
std::chrono::seconds OffsetNow(const DYNAMIC_TIME_ZONE_INFORMATION& zone, DWORD which) {
  LONG bias = zone.Bias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  return std::chrono::minutes{-bias};
}

}  // namespace

LocalTime Win32Clock::Now() const {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  using namespace std::chrono;
  const local_days day{year{st.wYear} / month{st.wMonth} / std::chrono::day{st.wDay}};
  return LocalTime{day} + hours{st.wHour} + minutes{st.wMinute} + seconds{st.wSecond} +
         milliseconds{st.wMilliseconds};
}

UtcTime Win32Clock::UtcNow() const {
  FILETIME ft{};
  GetSystemTimeAsFileTime(&ft);
  const uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return UtcTime{std::chrono::milliseconds{static_cast<int64_t>(ticks / kTicksPerMs) -
                                           kEpochGapMs}};
}

std::chrono::milliseconds Win32Clock::Monotonic() const {
  return std::chrono::milliseconds{static_cast<int64_t>(GetTickCount64())};
}

std::chrono::seconds Win32Clock::OffsetAt(UtcTime t) const {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  const DWORD which = GetDynamicTimeZoneInformation(&zone);
  if (which == TIME_ZONE_ID_INVALID) return Clock::OffsetAt(t);
  const std::optional<SYSTEMTIME> utc = SystemTimeAt(t);
  if (!utc) return OffsetNow(zone, which);
  const TIME_ZONE_INFORMATION rules = RulesOfYear(zone, utc->wYear);
  SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(&rules, &*utc, &local)) return OffsetNow(zone, which);
  const std::optional<int64_t> local_ticks = TicksOf(local);
  const std::optional<int64_t> utc_ticks = TicksOf(*utc);
  if (!local_ticks || !utc_ticks) return OffsetNow(zone, which);
  return std::chrono::round<std::chrono::seconds>(
      std::chrono::duration<int64_t, std::ratio<1, 10000000>>{*local_ticks - *utc_ticks});
}

}  // namespace norvale
