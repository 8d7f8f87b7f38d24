// The real power control's safe parts under Wine. ExitWindowsEx and
// SetSystemPowerState are never called here: a log-off under Wine ends every
// process of the session, this test included, with exit status 0. The test is
// therefore judged by its output, not by its exit status.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/dry_run_power.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_services.h"
#include "power/power.h"

namespace norvale {
namespace {

bool ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID luid{};
  LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &luid);
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  bool enabled = false;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID& l = privileges->Privileges[i].Luid;
      if (l.LowPart == luid.LowPart && l.HighPart == luid.HighPart) {
        enabled = (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
      }
    }
  }
  CloseHandle(token);
  return enabled;
}

DWORD OpenHandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

TEST(Win32Power, PrivilegeIsEnabledAndTheTokenClosedAgain) {
  Win32PowerControl power;
  EXPECT_TRUE(power.IsWinNT());
  const DWORD before = OpenHandleCount();
  power.EnableShutdownPrivilege();
  power.EnableShutdownPrivilege();
  EXPECT_EQ(before, OpenHandleCount());
  EXPECT_TRUE(ShutdownPrivilegeEnabled());
}

TEST(Win32Power, HibernationIsLookedForOnTheSystemDrive) {
  Win32PowerControl power;
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring file = std::wstring(windows, 2) + L"\\hiberfil.sys";
  const bool existed = GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(existed, power.HibernateAvailable());
  // A stand-in file is made only inside Wine's own drive, never on a real system.
  if (existed || !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return;
  const std::vector<std::string> without = PowerActionList(power);
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  CloseHandle(h);
  const bool found = power.HibernateAvailable();
  const std::vector<std::string> offered = PowerActionList(power);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(file.c_str());
  EXPECT_TRUE(found) << "a hidden, system hibernation file counts";
  EXPECT_EQ(without.size() + 1, offered.size());
  EXPECT_EQ(0, std::count(without.begin(), without.end(), "Hibernate"));
  EXPECT_EQ(1, std::count(offered.begin(), offered.end(), "Hibernate"));
}

// Whatever Wine reports of S3, S4 or Modern Standby: the privilege this test
// holds is seen, the file decides Hibernate, and a refusal reads in words.
TEST(Win32Power, CapabilitiesAgreeWithTheTokenAndTheFileAndErrorsHaveTheirWords) {
  Win32PowerControl power;
  const PowerCapabilities caps = power.Capabilities();
  EXPECT_TRUE(caps.shutdown_privilege);
  EXPECT_EQ(power.HibernateAvailable(), caps.hiberfile);
  EXPECT_TRUE(!caps.fast_startup || caps.hiberfile) << "fast startup needs the hibernation file";
  EXPECT_EQ(caps.s3, power.Capabilities().s3);
  const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(denied.empty());
  EXPECT_EQ(std::string::npos, denied.find_first_of("\r\n")) << denied;
}

TEST(Win32Power, DryRunRoutesEveryActionAwayFromTheSystem) {
  Win32FileSystem fs;
  Win32Clock clock;
  Win32PowerControl system;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string log = (std::filesystem::path(temp) /
                           ("norvale-dryrun-" + std::to_string(GetCurrentProcessId()) + ".log"))
                              .string();
  std::vector<std::string> told;
  DryRunPowerControl dry(system, fs, clock, log, [&](const std::string& m) { told.push_back(m); });
  CPower power(dry);
  for (auto action : {kLogOff, kShutDown, kReboot, kHibernate, kStandBy}) {
    DoPowerAction(power, action, true);
  }
  // Still running: nothing reached the system.
  const std::string text = fs.ReadAll(log);
  fs.RemoveFile(log);
  EXPECT_EQ(5u, told.size());
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(5u, lines);
  EXPECT_NE(std::string::npos, text.find("\tLog Off\tExitWindowsEx flags=4 reason=0\tforce=True"));
  EXPECT_NE(std::string::npos, text.find("\tStand by\tSetSystemPowerState fSuspend=1 fForce=1"));
}

}  // namespace
}  // namespace norvale
