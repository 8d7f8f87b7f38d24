#include "platform/win32/win32_power.h"

#include <windows.h>

#include <string>

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

}  // namespace

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

void Win32PowerControl::Perform(const PowerRequest& request) {
  if (request.kind == PowerRequest::kExitWindows) {
    ExitWindowsEx(request.flags, 0);
  } else {
    SetSystemPowerState(request.flags != 0, request.force);
  }
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

void Win32PowerControl::HoldOffIdleSleep(bool on) {
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace norvale
