#include <windows.h>

#include "platform/win32/win32_services.h"

namespace norvale {

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
  // 100 ns ticks since 1601-01-01; 11644473600 s lie between then and 1970.
  constexpr uint64_t kEpochGap = 11644473600ULL * 10000000ULL;
  return UtcTime{std::chrono::milliseconds{static_cast<int64_t>((ticks - kEpochGap) / 10000)}};
}

}  // namespace norvale
