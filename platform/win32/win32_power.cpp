#include "platform/win32/win32_power.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/remote_request.h"
#include "platform/win32/system_library.h"
#include "platform/win32/utf.h"

namespace norvale {
namespace {

// Closes a kernel handle when it goes out of scope.
class ScopedHandle {
 public:
  ScopedHandle() = default;
  ~ScopedHandle() {
    if (h_) CloseHandle(h_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE* Receive() { return &h_; }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_ = nullptr;
};

BOOL CALLBACK FindToolkitWindow(HWND hwnd, LPARAM found) {
  wchar_t name[64] = {};
  if (GetClassNameW(hwnd, name, 64) && std::wstring(name) == win32::kToolkitWindowClass) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The program's own hidden window: Windows turns the displays off when a window
// passes the monitor-power command on, and no other program's window is asked.
HWND OwnWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindToolkitWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

PowerOutcome Answer(BOOL ok) {
  if (ok) return {};
  const DWORD error = GetLastError();
  return {false, error, SystemErrorText(error)};
}

// The account may shut the computer down: the privilege is in its token,
// enabled or not (it is enabled just before each request).
bool HoldsShutdownPrivilege() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
  LUID shutdown{};
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown)) return false;
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenPrivileges, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);  // aligned as the record wants
  auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
  if (!GetTokenInformation(token.Get(), TokenPrivileges, privileges, size, &size)) return false;
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID& id = privileges->Privileges[i].Luid;
    if (id.LowPart == shutdown.LowPart && id.HighPart == shutdown.HighPart) return true;
  }
  return false;
}

// Fast startup as Control Panel sets it; 0 or missing is off.
bool HiberbootEnabled() {
  HKEY key = nullptr;
  constexpr const wchar_t* kPower = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Power";
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPower, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0, type = 0, size = sizeof value;
  const LONG read = RegQueryValueExW(key, L"HiberbootEnabled", nullptr, &type,
                                     reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_DWORD && value != 0;
}

// powrprof.dll's calls, taken at run time: the program imports only DLLs that
// Windows always loads from its own folder.
struct PowerProfile {
  using CallNtPowerInformationFn = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID,
                                                 ULONG);
  using PowerGetActiveSchemeFn = DWORD(WINAPI*)(HKEY, GUID**);
  using PowerReadACValueIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*,
                                                 LPDWORD);
  HMODULE module = LoadSystemLibrary(L"powrprof.dll");
  CallNtPowerInformationFn information =
      ProcOf<CallNtPowerInformationFn>(module, "CallNtPowerInformation");
  PowerGetActiveSchemeFn active_scheme =
      ProcOf<PowerGetActiveSchemeFn>(module, "PowerGetActiveScheme");
  PowerReadACValueIndexFn read_ac =
      ProcOf<PowerReadACValueIndexFn>(module, "PowerReadACValueIndex");
  ~PowerProfile() {
    if (module) FreeLibrary(module);
  }
};

// The sleep settings and "Allow wake timers" in them.
constexpr GUID kSleepSubgroup = {
    0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr GUID kAllowRtcWake = {
    0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};

}  // namespace

std::string SystemErrorText(uint32_t error) {
  wchar_t text[512] = {};
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, text, 512, nullptr);
  std::wstring words(text, n);
  while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' '))
    words.pop_back();
  return Narrow(words);
}

bool Win32PowerControl::IsWinNT() const {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void Win32PowerControl::EnableShutdownPrivilege() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                        token.Receive())) {
    return;
  }
  TOKEN_PRIVILEGES privileges{};
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  TOKEN_PRIVILEGES previous{};
  DWORD length = 0;
  AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof previous, &previous, &length);
}

PowerOutcome Win32PowerControl::Perform(const PowerRequest& request) {
  switch (request.kind) {
    case PowerRequest::kExitWindows:
      return Answer(ExitWindowsEx(request.flags, 0));
    case PowerRequest::kSetSystemPowerState:
      return Answer(SetSystemPowerState(request.flags != 0, request.force));
    case PowerRequest::kLockWorkStation:
      return Answer(LockWorkStation());
    case PowerRequest::kDisplayOff:
      // The command has no answer: a window that passes it on has done its part.
      if (HWND own = OwnWindow()) SendMessageW(own, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
      return {};
    case PowerRequest::kNone:
      break;
  }
  return {};
}

PowerCapabilities Win32PowerControl::Capabilities() const {
  if (capabilities_) return *capabilities_;
  PowerCapabilities c;
  // As the action lists decide whether Hibernate is offered.
  c.hiberfile = HibernateAvailable();
  const PowerProfile profile;
  SYSTEM_POWER_CAPABILITIES system{};
  if (profile.information &&
      profile.information(SystemPowerCapabilities, nullptr, 0, &system, sizeof system) == 0) {
    c.s3 = system.SystemS3;
    c.s4 = system.SystemS4;
    // The SDK's AoAc: the last of the three bytes after FastSystemS4 (Hiberboot,
    // WakeAlarmPresent, AoAc), which MinGW's header calls spare2.
    c.aoac = system.spare2[2] != 0;
  }
  // Fast startup needs the hibernation file, whatever the value says.
  c.fast_startup = HiberbootEnabled() && c.hiberfile;
  c.shutdown_privilege = HoldsShutdownPrivilege();
  GUID* scheme = nullptr;
  if (profile.active_scheme && profile.read_ac &&
      profile.active_scheme(nullptr, &scheme) == ERROR_SUCCESS && scheme) {
    DWORD allow = 1;
    // 0 disables wake timers; 1 enables them, 2 allows only important ones.
    if (profile.read_ac(nullptr, scheme, &kSleepSubgroup, &kAllowRtcWake, &allow) ==
        ERROR_SUCCESS) {
      c.wake_timers_allowed = allow != 0;
    }
    LocalFree(scheme);
  }
  capabilities_ = c;
  return c;
}

bool Win32PowerControl::HibernateAvailable() const {
  wchar_t windows[MAX_PATH] = {};
  const UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  std::wstring path =
      n >= 2 && n < MAX_PATH && windows[1] == L':' ? std::wstring(windows, 2) : std::wstring(L"C:");
  path += L"\\hiberfil.sys";
  WIN32_FIND_DATAW found{};
  HANDLE h =
      FindFirstFileExW(path.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return found.cFileName[0] != L'\0';
}

Win32PowerControl::~Win32PowerControl() {
  if (wake_timer_) CloseHandle(wake_timer_);
}

void Win32PowerControl::WakeAt(std::optional<UtcTime> at) {
  if (!wake_timer_) {
    wake_timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_MANUAL_RESET,
                                         TIMER_MODIFY_STATE | SYNCHRONIZE);
    if (!wake_timer_) return;
  }
  if (!at) {
    CancelWaitableTimer(wake_timer_);
    return;
  }
  // A positive due time is an absolute FILETIME: 100 ns steps since 1601, in UTC.
  constexpr long long kFrom1601To1970 = 116444736000000000LL;
  LARGE_INTEGER due;
  due.QuadPart = kFrom1601To1970 + at->time_since_epoch().count() * 10000LL;
  static wchar_t reason_text[] = L"Norvale: a schedule is due";
  REASON_CONTEXT reason{};
  reason.Version = POWER_REQUEST_CONTEXT_VERSION;
  reason.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
  reason.Reason.SimpleReasonString = reason_text;
  SetWaitableTimerEx(wake_timer_, &due, 0, nullptr, nullptr, &reason, 0);
}

void Win32PowerControl::HoldOffIdleSleep(bool system, bool display) {
  EXECUTION_STATE state = ES_CONTINUOUS;
  if (system) state |= ES_SYSTEM_REQUIRED;
  if (display) state |= ES_DISPLAY_REQUIRED;
  SetThreadExecutionState(state);
}

}  // namespace norvale
