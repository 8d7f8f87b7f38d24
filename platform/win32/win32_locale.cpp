#include <windows.h>
#include <oleauto.h>

#include <stdexcept>

#include "platform/win32/system_library.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

using std::chrono::days;
using std::chrono::floor;
using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

// Read-back of a failed call: "" rather than garbage, the caller shows it as is.
template <typename Format>
std::string Formatted(Format format) {
  const int n = format(nullptr, 0);
  if (n <= 0) return {};
  std::wstring buf(static_cast<size_t>(n), L'\0');
  const int written = format(buf.data(), n);
  if (written <= 0) return {};
  buf.resize(static_cast<size_t>(written - 1));  // the count includes the terminator
  return Narrow(buf);
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

Win32Locale::Win32Locale(std::string locale_name) : locale_name_(std::move(locale_name)) {
  if (!locale_name_.empty() && !IsValidLocaleName(Widen(locale_name_).c_str())) {
    throw std::invalid_argument("unknown locale name: " + locale_name_);
  }
}

std::string Win32Locale::ShortDate(Date date) const {
  if (!date.ok()) return {};
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(static_cast<int>(date.year()));
  st.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  st.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  st.wDayOfWeek = static_cast<WORD>(std::chrono::weekday{date}.c_encoding());
  const std::wstring name = Widen(locale_name_);
  const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  return Formatted([&](wchar_t* out, int size) {
    return GetDateFormatEx(locale, DATE_SHORTDATE, &st, nullptr, out, size, nullptr);
  });
}

std::string Win32Locale::LongTime(seconds time_of_day) const {
  // Only the time of day is shown; whole days and negative offsets fold back into it.
  const seconds t = time_of_day - floor<days>(time_of_day);
  SYSTEMTIME st{};
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  st.wHour = static_cast<WORD>(floor<hours>(t).count());
  st.wMinute = static_cast<WORD>((floor<minutes>(t) - floor<hours>(t)).count());
  st.wSecond = static_cast<WORD>((t - floor<minutes>(t)).count());
  const std::wstring name = Widen(locale_name_);
  const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  return Formatted(
      [&](wchar_t* out, int size) { return GetTimeFormatEx(locale, 0, &st, nullptr, out, size); });
}

std::optional<Date> Win32Locale::ParseDate(std::string_view text) const {
  if (IsBlank(text) || text.find('\0') != std::string_view::npos) return std::nullopt;
  const std::wstring name = Widen(locale_name_);
  const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  // The short date form read by its own pattern: what this program writes
  // itself, without loading OLE Automation for it.
  wchar_t pattern[80] = {};
  if (GetLocaleInfoEx(locale, LOCALE_SSHORTDATE, pattern, 80) > 0) {
    if (auto date = PatternLocale(Narrow(pattern), "HH:mm:ss").ParseDate(text)) return date;
  }
  // Anything else (month names, other orders) as the desktop's own date reader
  // takes it; OLE Automation is loaded the first time that is needed.
  if (!oleaut_) oleaut_ = LoadSystemLibrary(L"oleaut32.dll");
  const HMODULE oleaut = static_cast<HMODULE>(oleaut_);
  using FromStr = HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, DATE*);
  using ToSystemTime = INT(WINAPI*)(DOUBLE, LPSYSTEMTIME);
  const auto from_str = oleaut ? reinterpret_cast<FromStr>(reinterpret_cast<void*>(
                                     GetProcAddress(oleaut, "VarDateFromStr")))
                               : nullptr;
  const auto to_system_time = oleaut ? reinterpret_cast<ToSystemTime>(reinterpret_cast<void*>(
                                           GetProcAddress(oleaut, "VariantTimeToSystemTime")))
                                     : nullptr;
  if (!from_str || !to_system_time) return std::nullopt;
  const LCID lcid = name.empty() ? LOCALE_USER_DEFAULT : LocaleNameToLCID(name.c_str(), 0);
  std::wstring wide = Widen(text);
  DATE value = 0;
  if (FAILED(from_str(wide.data(), lcid, 0, &value))) return std::nullopt;
  SYSTEMTIME st{};
  if (!to_system_time(value, &st)) return std::nullopt;
  const Date date{std::chrono::year{st.wYear}, std::chrono::month{st.wMonth},
                  std::chrono::day{st.wDay}};
  if (!date.ok()) return std::nullopt;
  return date;
}

}  // namespace norvale
