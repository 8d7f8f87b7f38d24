#include "platform/win32/win32_power.h"

#include <windows.h>

#include <string>

#include "platform/win32/remote_request.h"

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
  switch (request.kind) {
    case PowerRequest::kExitWindows:
      ExitWindowsEx(request.flags, 0);
      break;
    case PowerRequest::kSetSystemPowerState:
      SetSystemPowerState(request.flags != 0, request.force);
      break;
    case PowerRequest::kLockWorkStation:
      LockWorkStation();
      break;
    case PowerRequest::kDisplayOff:
      if (HWND own = OwnWindow()) SendMessageW(own, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
      break;
    case PowerRequest::kNone:
      break;
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

void Win32PowerControl::HoldOffIdleSleep(bool system, bool display) {
  EXECUTION_STATE state = ES_CONTINUOUS;
  if (system) state |= ES_SYSTEM_REQUIRED;
  if (display) state |= ES_DISPLAY_REQUIRED;
  SetThreadExecutionState(state);
}

}  // namespace norvale
