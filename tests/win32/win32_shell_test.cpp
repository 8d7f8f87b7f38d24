// Starting programs and documents for real (under Wine here). Everything
// started is a console command that writes a marker file and ends; no test
// opens a dialog or a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>
#include <thread>

#include "platform/win32/utf.h"
#include "platform/win32/win32_shell.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;

// Wine's GetProcessHandleCount always says 0. Leaked handles show instead in
// how high a batch of new ones reaches: freed slots are handed out again,
// leaked ones are not.
uintptr_t HandleHighWater() {
  std::vector<HANDLE> batch(256);
  uintptr_t highest = 0;
  for (HANDLE& h : batch) {
    h = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    highest = std::max(highest, reinterpret_cast<uintptr_t>(h) / 4);
  }
  for (HANDLE h : batch) CloseHandle(h);
  return highest;
}

class Win32ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(n, 0u);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = Narrow(std::wstring(temp, n)) + "norvale-shell-" +
              std::to_string(GetCurrentProcessId()) + "-" + info->name();
    ASSERT_TRUE(CreateDirectoryW(Widen(folder_).c_str(), nullptr));
  }
  void TearDown() override {
    for (const char* name : {"marker.txt", "open me.cmd"}) {
      DeleteFileW(Widen(folder_ + "\\" + name).c_str());
    }
    RemoveDirectoryW(Widen(folder_).c_str());
  }

  // The marker's text once the started program wrote it; "" after 30 s.
  std::string WaitForMarker() const {
    const std::wstring path = Widen(folder_ + "\\marker.txt");
    for (auto waited = 0ms; waited < 30s; waited += 100ms) {
      HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        char buffer[256];
        DWORD got = 0;
        ReadFile(h, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(h);
        if (got > 0) return std::string(buffer, got);
      }
      std::this_thread::sleep_for(100ms);
    }
    return {};
  }

  std::string folder_;
  Win32Shell shell_;
};

TEST_F(Win32ShellTest, StartsACommandLineWithItsArguments) {
  ASSERT_TRUE(
      shell_.StartCommand("cmd /c echo started with arguments> \"" + folder_ + "\\marker.txt\""));
  EXPECT_EQ(0u, WaitForMarker().find("started with arguments"));
}

TEST_F(Win32ShellTest, ReportsWhatCannotBeStarted) {
  EXPECT_FALSE(shell_.StartCommand("norvale-no-such-program-4711.exe /x"));
  EXPECT_FALSE(shell_.StartCommand(""));
  EXPECT_FALSE(shell_.OpenDocument(folder_ + "\\no such document.txt"));
  EXPECT_FALSE(shell_.OpenDocument(""));
}

TEST_F(Win32ShellTest, ClosesTheHandlesOfWhatItStarts) {
  const uintptr_t before = HandleHighWater();
  for (int i = 0; i < 20; ++i) {
    // Wine now and then refuses one start while other tests' programs come up;
    // what is checked here is the handles, so such a start is tried once more.
    ASSERT_TRUE(shell_.StartCommand("cmd /c exit 0") || shell_.StartCommand("cmd /c exit 0"));
  }
  EXPECT_LT(HandleHighWater(), before + 10);
}

TEST_F(Win32ShellTest, OpensADocumentWithItsAssociatedProgram) {
  const std::wstring script = Widen(folder_ + "\\open me.cmd");
  HANDLE h = CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  const std::string text = "@echo opened> \"" + folder_ + "\\marker.txt\"\r\n@exit 0\r\n";
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_TRUE(shell_.OpenDocument(folder_ + "\\open me.cmd"));
  EXPECT_EQ(0u, WaitForMarker().find("opened"));
}

}  // namespace
}  // namespace norvale
