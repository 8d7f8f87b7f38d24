#include "platform/win32/win32_app.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/forms/win32_toolkit.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_http.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_process_launcher.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_info.h"

namespace norvale {

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
  // Per session, so each logged-on user has a program of their own.
  const std::wstring lock = L"Local\\" + Widen(name) + L"-SingleInstance";
  HANDLE h = CreateMutexW(nullptr, FALSE, lock.c_str());
  if (!h) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(h);
    return true;
  }
  impl_->instance_lock = h;
  return false;
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
