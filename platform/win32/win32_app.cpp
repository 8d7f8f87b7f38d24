#include "platform/win32/win32_app.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string_view>

#include "platform/request_targets.h"
#include "platform/win32/forms/win32_toolkit.h"
#include "platform/win32/process_owners.h"
#include "platform/win32/remote_request.h"
#include "platform/win32/win32_activity.h"
#include "platform/win32/win32_load.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_http.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_process_launcher.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_info.h"

namespace norvale {

namespace {

std::wstring LockName(const std::string& name) {
  // Per session, so each logged-on user has a program of their own.
  return L"Local\\" + Widen(name) + L"-SingleInstance";
}

}  // namespace

struct Win32Platform::Impl {
  Win32Toolkit kit{GetModuleHandleW(nullptr)};
  Win32FileSystem fs;
  AnsiCodec codec;
  Win32Locale locale;
  Win32Registry registry{MachineView::k32Bit};
  Win32PowerControl power;
  Win32Shell shell;
  Win32SystemInfo system;
  Win32HttpClient http;
  Win32ProcessLauncher launcher;
  Win32Activity activity;
  Win32LoadMonitor load;
  HANDLE instance_lock = nullptr;

  ~Impl() {
    if (instance_lock) CloseHandle(instance_lock);
  }
};

Win32Platform::Win32Platform() : impl_(std::make_unique<Impl>()) {}
Win32Platform::~Win32Platform() = default;

Toolkit& Win32Platform::Kit() {
  return impl_->kit;
}
FileSystem& Win32Platform::Files() {
  return impl_->fs;
}
const TextCodec& Win32Platform::Codec() {
  return impl_->codec;
}
const Locale& Win32Platform::UserLocale() {
  return impl_->locale;
}
Registry& Win32Platform::Reg() {
  return impl_->registry;
}
PowerControl& Win32Platform::Power() {
  return impl_->power;
}
Shell& Win32Platform::Desktop() {
  return impl_->shell;
}
const SystemInfo& Win32Platform::System() {
  return impl_->system;
}
HttpClient& Win32Platform::Http() {
  return impl_->http;
}
ProcessLauncher& Win32Platform::Launcher() {
  return impl_->launcher;
}

bool Win32Platform::AnotherInstance(const std::string& name) {
  if (impl_->instance_lock) return false;
  HANDLE h = CreateMutexW(nullptr, FALSE, LockName(name).c_str());
  if (!h) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(h);
    return true;
  }
  impl_->instance_lock = h;
  return false;
}

Activity& Win32Platform::Activities() {
  return impl_->activity;
}

LoadMonitor& Win32Platform::Load() {
  return impl_->load;
}

namespace {

// The reply to a request arrives here, while SendMessage waits for the request;
// it names its sender in wParam, and only the window asked is heard.
ReplyGate* g_reply = nullptr;

LRESULT CALLBACK ReplyProc(HWND h, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COPYDATA && g_reply) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (data && data->dwData == win32::kReplyData) {
      return g_reply->Offer(static_cast<uintptr_t>(wparam),
                            std::string(static_cast<const char*>(data->lpData), data->cbData))
                 ? TRUE
                 : FALSE;
    }
  }
  return DefWindowProcW(h, message, wparam, lparam);
}

struct Targets {
  std::vector<CandidateWindow> windows;
};

BOOL CALLBACK CollectTarget(HWND h, LPARAM lp) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (std::wstring_view(name) == win32::kToolkitWindowClass) {
    reinterpret_cast<Targets*>(lp)->windows.push_back({reinterpret_cast<uintptr_t>(h), pid});
  }
  return TRUE;
}

BOOL CALLBACK CollectOnDesktop(LPWSTR name, LPARAM lp) {
  if (HDESK desk = OpenDesktopW(name, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE)) {
    EnumDesktopWindows(desk, CollectTarget, lp);
    CloseDesktop(desk);
  }
  return TRUE;
}

}  // namespace

bool Win32Platform::InstanceRunning(const std::string& name) const {
  HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, LockName(name).c_str());
  if (!h) return false;
  CloseHandle(h);
  return true;
}

std::optional<std::string> Win32Platform::SendRequest(const std::string& request) {
  static constexpr const wchar_t* kReplyClass = L"NorvaleReply";
  WNDCLASSW wc{};
  wc.lpfnWndProc = ReplyProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kReplyClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  // Never shown. Not message-only: the running copy may sit on another desktop,
  // whose programs cannot reach a message-only window of this one.
  HWND reply_window = CreateWindowExW(WS_EX_TOOLWINDOW, kReplyClass, L"", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, wc.hInstance, nullptr);
  if (!reply_window) return std::nullopt;
  ReplyGate reply;
  g_reply = &reply;
  Targets found;
  EnumWindows(CollectTarget, reinterpret_cast<LPARAM>(&found));
  // The program may run on another desktop of the session (Wine's virtual desktops).
  EnumDesktopsW(GetProcessWindowStation(), CollectOnDesktop, reinterpret_cast<LPARAM>(&found));
  // Only a copy of this user in this session: another's could act on, or answer,
  // what was meant for ours.
  const Win32ProcessOwners owners;
  const std::vector<uintptr_t> targets =
      RequestTargets(found.windows, GetCurrentProcessId(), owners);
  std::string copy = request;
  COPYDATASTRUCT data{};
  data.dwData = win32::kRequestData;
  data.cbData = static_cast<DWORD>(copy.size());
  data.lpData = copy.data();
  // Kestrup's toolkit window has the same class: it declines, and the next one is asked.
  std::optional<std::string> answer;
  for (uintptr_t target : targets) {
    DWORD_PTR taken = FALSE;
    reply.Asking(target);
    const bool sent =
        SendMessageTimeoutW(reinterpret_cast<HWND>(target), WM_COPYDATA,
                            reinterpret_cast<WPARAM>(reply_window), reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, 15000, &taken) != 0;
    reply.Done();
    if (sent && taken && reply.Reply()) {
      answer = reply.Reply();
      break;
    }
  }
  g_reply = nullptr;
  DestroyWindow(reply_window);
  return answer;
}

bool Win32Platform::StartAgain(const std::vector<std::string>& args) {
  wchar_t path[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return false;
  std::wstring line = L"\"" + std::wstring(path) + L"\"";
  for (const std::string& a : args) line += L" \"" + Widen(a) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Detached, with no handles of ours: a script waiting for this copy's output
  // must not wait for the program it started.
  if (!CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void Win32Platform::Print(const std::string& text, bool error, const std::string& title) {
  std::string lines;  // CR LF, as Windows tools write them
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  const std::wstring wide = Widen(lines);
  HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  const DWORD type = out && out != INVALID_HANDLE_VALUE ? GetFileType(out) : FILE_TYPE_UNKNOWN;
  DWORD written = 0;
  if (type == FILE_TYPE_CHAR &&
      WriteConsoleW(out, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
    return;
  }
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
    if (WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr)) return;
  }
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
      // The prompt was printed before this text: a new line first keeps them apart.
      WriteConsoleW(console, L"\r\n", 2, &written, nullptr);
      WriteConsoleW(console, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
      CloseHandle(console);
      FreeConsole();
      return;
    }
    FreeConsole();
  }
  MessageBoxW(nullptr, wide.c_str(), Widen(title).c_str(),
              MB_OK | MB_SETFOREGROUND | (error ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

std::vector<std::string> Win32Platform::Arguments() const {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

int Win32Platform::Run() {
  return impl_->kit.Run();
}

}  // namespace norvale
