#include "platform/win32/win32_accounts.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win32/utf.h"

namespace norvale {
namespace {

// A SID in a buffer of its own.
using SidBytes = std::vector<BYTE>;

SidBytes WellKnown(WELL_KNOWN_SID_TYPE type) {
  SidBytes sid(SECURITY_MAX_SID_SIZE);
  DWORD size = static_cast<DWORD>(sid.size());
  if (!CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
  sid.resize(size);
  return sid;
}

SidBytes TokenUserOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> info(size);
  SidBytes sid;
  if (size && GetTokenInformation(token, TokenUser, info.data(), size, &size)) {
    const PSID user = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
    sid.assign(static_cast<BYTE*>(user), static_cast<BYTE*>(user) + GetLengthSid(user));
  }
  CloseHandle(token);
  return sid;
}

SidBytes ShellUser() {
  DWORD pid = 0;
  if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &pid);
  if (!pid) return {};
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  SidBytes sid = TokenUserOf(process);
  CloseHandle(process);
  return sid;
}

std::string NameOf(const SidBytes& sid) {
  if (sid.empty()) return {};
  wchar_t name[256] = {};
  wchar_t domain[256] = {};
  DWORD name_size = 256;
  DWORD domain_size = 256;
  SID_NAME_USE use;
  if (!LookupAccountSidW(nullptr, const_cast<BYTE*>(sid.data()), name, &name_size, domain,
                         &domain_size, &use)) {
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(const_cast<BYTE*>(sid.data()), &text)) return {};
    std::string s = Narrow(text);
    LocalFree(text);
    return s;
  }
  return domain[0] ? Narrow(domain) + "\\" + Narrow(name) : Narrow(name);
}

bool Same(const SidBytes& a, PSID b) {
  return !a.empty() && EqualSid(const_cast<BYTE*>(a.data()), b);
}

}  // namespace

PathChangers Win32Accounts::WhoMayChange(const std::string& path, bool folder) const {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  const DWORD rc = GetNamedSecurityInfoW(Widen(path).c_str(), SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         &owner, nullptr, &dacl, nullptr, &sd);
  if (rc != ERROR_SUCCESS) return {rc, {}};
  const std::unique_ptr<void, decltype(&LocalFree)> keep(sd, &LocalFree);

  std::vector<SidBytes> others = {WellKnown(WinBuiltinUsersSid), WellKnown(WinAuthenticatedUserSid),
                                  WellKnown(WinWorldSid), WellKnown(WinInteractiveSid),
                                  TokenUserOf(GetCurrentProcess())};
  const SidBytes shell = ShellUser();
  if (!shell.empty() && !Same(others.back(), const_cast<BYTE*>(shell.data()))) {
    others.push_back(shell);
  }
  // FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY are the same bits as
  // FILE_WRITE_DATA and FILE_APPEND_DATA.
  DWORD change = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | DELETE |
                 GENERIC_WRITE | GENERIC_ALL;
  if (folder) change |= FILE_DELETE_CHILD;

  PathChangers result;
  const auto add = [&](const SidBytes& sid) {
    const std::string name = NameOf(sid);
    if (std::find(result.accounts.begin(), result.accounts.end(), name) == result.accounts.end()) {
      result.accounts.push_back(name);
    }
  };
  if (!dacl) {
    // No list at all lets everyone do everything.
    add(WellKnown(WinWorldSid));
    return result;
  }
  // An owner may always rewrite the permissions.
  for (const SidBytes& sid : others) {
    if (owner && Same(sid, owner)) add(sid);
  }
  // Grants only: a denying entry is not weighed, so a grant anywhere counts as
  // a way in; that errs towards refusing.
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<ACE_HEADER*>(ace);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) {
      continue;
    }
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (!(allowed->Mask & change)) continue;
    for (const SidBytes& sid : others) {
      if (Same(sid, &allowed->SidStart)) add(sid);
    }
  }
  return result;
}

std::string Win32Accounts::ProcessUser() const {
  return NameOf(TokenUserOf(GetCurrentProcess()));
}

std::string Win32Accounts::SessionUser() const {
  return NameOf(ShellUser());
}

}  // namespace norvale
