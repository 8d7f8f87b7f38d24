#include "platform/win32/win32_activity.h"

#include <windows.h>
#include <tlhelp32.h>

#include <map>

#include "platform/win32/utf.h"

namespace norvale {

std::chrono::milliseconds Win32Activity::SinceLastInput() const {
  LASTINPUTINFO info{};
  info.cbSize = sizeof info;
  if (!GetLastInputInfo(&info)) return std::chrono::milliseconds{0};
  // Both tick counts wrap after 49.7 days; their unsigned difference does not.
  return std::chrono::milliseconds{static_cast<DWORD>(GetTickCount() - info.dwTime)};
}

namespace {

// The first visible, titled top-level window of each process.
BOOL CALLBACK CollectTitle(HWND h, LPARAM lp) {
  auto* titles = reinterpret_cast<std::map<DWORD, std::wstring>*>(lp);
  if (!IsWindowVisible(h) || GetWindow(h, GW_OWNER)) return TRUE;
  wchar_t title[256] = {};
  if (GetWindowTextW(h, title, 256) <= 0) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  titles->emplace(pid, title);
  return TRUE;
}

class Win32WatchedProcess final : public WatchedProcess {
 public:
  explicit Win32WatchedProcess(HANDLE process) : process_(process) {}
  ~Win32WatchedProcess() override { CloseHandle(process_); }
  Win32WatchedProcess(const Win32WatchedProcess&) = delete;
  Win32WatchedProcess& operator=(const Win32WatchedProcess&) = delete;
  // The handle keeps the process object: a new process cannot take its place.
  bool Ended() override { return WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }

 private:
  HANDLE process_;
};

}  // namespace

std::vector<RunningProcess> Win32Activity::Processes() const {
  std::vector<RunningProcess> out;
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  std::map<DWORD, std::wstring> titles;
  EnumWindows(CollectTitle, reinterpret_cast<LPARAM>(&titles));
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    DWORD in_session = 0;
    if (entry.th32ProcessID == 0 || entry.th32ProcessID == GetCurrentProcessId() ||
        !ProcessIdToSessionId(entry.th32ProcessID, &in_session) || in_session != session) {
      continue;
    }
    const auto title = titles.find(entry.th32ProcessID);
    out.push_back({entry.th32ProcessID, Narrow(entry.szExeFile),
                   title == titles.end() ? std::string() : Narrow(title->second)});
  }
  CloseHandle(snapshot);
  return out;
}

std::unique_ptr<WatchedProcess> Win32Activity::Watch(uint32_t pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return nullptr;
  if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) {
    CloseHandle(process);
    return nullptr;
  }
  return std::make_unique<Win32WatchedProcess>(process);
}

}  // namespace norvale
