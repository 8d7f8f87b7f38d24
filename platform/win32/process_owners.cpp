#include "platform/win32/process_owners.h"

#include <windows.h>

#include <vector>

namespace norvale {
namespace {

// The TOKEN_USER of a process; empty when it cannot be read.
std::vector<BYTE> UserOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size < sizeof(TOKEN_USER) || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
    user.clear();
  }
  CloseHandle(token);
  return user;
}

}  // namespace

bool Win32ProcessOwners::SameUserAndSession(uint32_t process) const {
  DWORD their_session = 0, our_session = 0;
  if (!ProcessIdToSessionId(process, &their_session) ||
      !ProcessIdToSessionId(GetCurrentProcessId(), &our_session) || their_session != our_session) {
    return false;
  }
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!handle) return false;
  const std::vector<BYTE> theirs = UserOf(handle);
  CloseHandle(handle);
  const std::vector<BYTE> ours = UserOf(GetCurrentProcess());
  if (theirs.empty() || ours.empty()) return false;
  return EqualSid(reinterpret_cast<const TOKEN_USER*>(theirs.data())->User.Sid,
                  reinterpret_cast<const TOKEN_USER*>(ours.data())->User.Sid) != FALSE;
}

}  // namespace norvale
