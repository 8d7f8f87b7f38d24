#include "platform/win32/win32_process_launcher.h"

#include <windows.h>

#include <string>

#include "platform/win32/utf.h"

namespace norvale {
namespace {

// CreateProcess* may write into the command line, so it gets a copy it owns.
std::wstring Writable(const std::string& text) {
  return Widen(text);
}

}  // namespace

uint32_t Win32ProcessLauncher::WithLogon(const LogonRequest& r) {
  const std::wstring user = Widen(r.user), domain = Widen(r.domain), password = Widen(r.password),
                     directory = Widen(r.current_directory);
  std::wstring command = Writable(r.command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessWithLogonW(user.c_str(), domain.c_str(), password.c_str(), LOGON_WITH_PROFILE,
                               nullptr, command.data(), CREATE_DEFAULT_ERROR_MODE, nullptr,
                               directory.empty() ? nullptr : directory.c_str(), &startup,
                               &process)) {
    return GetLastError();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

uint32_t Win32ProcessLauncher::WithToken(const LogonRequest& r, Step& failed) {
  HANDLE token = nullptr;
  if (!LogonUserW(Widen(r.user).c_str(), Widen(r.domain).c_str(), Widen(r.password).c_str(),
                  LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, &token)) {
    failed = Step::kLogonUser;
    return GetLastError();
  }
  std::wstring command = Writable(r.command_line);
  const std::wstring directory = Widen(r.current_directory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessAsUserW(token, nullptr, command.data(), nullptr, nullptr, FALSE,
                            CREATE_DEFAULT_ERROR_MODE, nullptr,
                            directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    const DWORD error = GetLastError();
    CloseHandle(token);
    failed = Step::kCreateProcessAsUser;
    return error;
  }
  CloseHandle(token);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace norvale
