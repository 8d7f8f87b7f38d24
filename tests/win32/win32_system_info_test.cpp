// Facts about the system and this test program's own executable, whose
// version information comes from win32_system_info_test.rc.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/utf.h"
#include "platform/win32/win32_system_info.h"

namespace norvale {
namespace {

TEST(Win32SystemInfo, ReadsTheProgramsOwnVersionInformation) {
  const VersionInfo v = Win32SystemInfo().ProgramVersion();
  EXPECT_EQ("NorvaleTest", v.ProductName);
  EXPECT_EQ("Norvale Test Co", v.CompanyName);
  EXPECT_EQ("https://norvale.example/", v.Comments);
  EXPECT_EQ(3u, v.major);
  EXPECT_EQ(7u, v.minor);
}

TEST(Win32SystemInfo, AFileWithoutVersionInformationGivesEmptyValues) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  ASSERT_GT(n, 0u);
  const std::wstring path = std::wstring(temp, n) + L"norvale-no-version-" +
                            std::to_wstring(GetCurrentProcessId()) + L".exe";
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  DWORD written = 0;
  WriteFile(h, "MZ not really a program", 23, &written, nullptr);
  CloseHandle(h);

  for (const std::string& file : {Narrow(path), Narrow(path) + ".missing"}) {
    const VersionInfo v = ReadVersionInfo(file);
    EXPECT_EQ("", v.ProductName) << file;
    EXPECT_EQ("", v.CompanyName) << file;
    EXPECT_EQ("", v.Comments) << file;
    EXPECT_EQ(0u, v.major) << file;
    EXPECT_EQ(0u, v.minor) << file;
  }
  DeleteFileW(path.c_str());
}

TEST(Win32SystemInfo, ReportsTheNtFamilyAndAVersionNoOlderThanGetVersionExSays) {
  const auto version = Win32SystemInfo().Version();
  ASSERT_TRUE(version);
  EXPECT_EQ(2u, version->platform_id);
  EXPECT_GE(version->major, 5u);
  EXPECT_LT(version->major, 100u);
  OSVERSIONINFOW old{};
  old.dwOSVersionInfoSize = sizeof old;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExW(&old));
#pragma GCC diagnostic pop
  EXPECT_GE(version->major * 100 + version->minor, old.dwMajorVersion * 100 + old.dwMinorVersion);
  EXPECT_TRUE(IsVistaOrLater(Win32SystemInfo()));
}

TEST(Win32SystemInfo, NamesTheExecutableWithoutFolderOrExtension) {
  EXPECT_EQ(NORVALE_TEST_EXE_NAME, Win32SystemInfo().ExeName());
  const std::string path = ExecutablePath();
  EXPECT_EQ(std::string("\\") + NORVALE_TEST_EXE_NAME + ".exe",
            path.substr(path.size() - std::string(NORVALE_TEST_EXE_NAME).size() - 5));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(path).c_str()));
}

}  // namespace
}  // namespace norvale
