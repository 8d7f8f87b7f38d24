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

}  // namespace norvale
