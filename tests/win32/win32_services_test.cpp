// The real Windows services against the real system calls (under Wine here).
// Each test works in its own folder under %TEMP%; nothing here shows a window
// or touches power management.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/text_codec.h"
#include "platform/win32/msgbox_style.h"
#include "platform/win32/process_owners.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

// ---------------------------------------------------------------- helpers
// Written and read with plain Win32 calls, so a fault in the code under test
// cannot hide behind the same fault in the test's own setup.

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

void WriteRaw(const std::wstring& path, std::string_view bytes,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h) << Narrow(path) << " error " << GetLastError();
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_TRUE(ok);
  ASSERT_EQ(bytes.size(), written);
}

std::string ReadRaw(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<cannot open>";
  std::string bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

DWORD AttributesOf(const std::wstring& path) {
  return GetFileAttributesW(path.c_str());
}

class Win32Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(n, 0u);
    ASSERT_LE(n, static_cast<DWORD>(MAX_PATH));
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    wfolder_ = std::wstring(temp, n) + L"norvale-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               Widen(info->test_suite_name()) + L"-" + Widen(info->name());
    RemoveTree(wfolder_);
    ASSERT_TRUE(CreateDirectoryW(wfolder_.c_str(), nullptr)) << GetLastError();
    folder_ = Narrow(wfolder_);
  }
  void TearDown() override { RemoveTree(wfolder_); }

  std::wstring W(std::string_view name) const { return wfolder_ + L"\\" + Widen(name); }
  std::string U(std::string_view name) const { return JoinPath(folder_, name); }

  // Everything in the folder, files and folders, hidden ones included; sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((wfolder_ + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") names.push_back(Narrow(name));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::wstring wfolder_;
  std::string folder_;
  Win32FileSystem fs_;
};

// Runs `op`, which must throw FileError, and hands back what it threw.
template <typename Op>
FileError ExpectFileError(Op op) {
  try {
    op();
  } catch (const FileError& e) {
    return e;
  }
  ADD_FAILURE() << "no FileError thrown";
  return FileError(FileErrorKind::Other, "<none>");
}

// ------------------------------------------------------------ UTF-8 <-> UTF-16

TEST(Win32Utf, WidensAndNarrowsNonAsciiAndSurrogatePairs) {
  const std::string utf8 = "Z\xC3\xBCrich \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80";
  const std::wstring utf16 = L"Z\u00FCrich \u20AC \u4E2D \xD83D\xDE00";
  EXPECT_EQ(utf16, Widen(utf8));
  EXPECT_EQ(utf8, Narrow(utf16));
  EXPECT_EQ(L"", Widen(""));
  EXPECT_EQ("", Narrow(L""));
}

TEST(Win32Utf, KeepsEmbeddedNulsAndMarksMalformedInput) {
  EXPECT_EQ(std::wstring(L"a\0b", 3), Widen(std::string_view("a\0b", 3)));
  EXPECT_EQ(std::string("a\0b", 3), Narrow(std::wstring_view(L"a\0b", 3)));
  // A stray continuation byte must not swallow its neighbours.
  EXPECT_EQ(L"a\uFFFDz", Widen("a\x80z"));
}

// ------------------------------------------------------------- ANSI code page

class Win32AnsiCodec : public Win32Folder {
 protected:
  AnsiCodec codec_;
};

TEST_F(Win32AnsiCodec, NonAsciiTextSurvivesAFileRoundTrip) {
  if (GetACP() != 1252) GTEST_SKIP() << "the text needs code page 1252, have " << GetACP();
  const std::string text = "Z\u00FCrich \u00DCberstunden \u00F1 \u20AC";
  const std::string ansi = codec_.Utf8ToAnsi(text);
  fs_.ReplaceWhole(U("night.sch"), ansi);
  EXPECT_EQ(std::string("Z\xFCrich ") + '\xDC' + "berstunden \xF1 \x80", ReadRaw(W("night.sch")));
  EXPECT_EQ(text, codec_.AnsiToUtf8(fs_.ReadAll(U("night.sch"))));
}

TEST_F(Win32AnsiCodec, EveryByteOfASingleByteCodePageSurvivesAFileRoundTrip) {
  CPINFO info{};
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  if (info.MaxCharSize != 1) GTEST_SKIP() << "code page " << GetACP() << " is multi-byte";
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
  const std::string utf8 = codec_.AnsiToUtf8(bytes);
  EXPECT_GT(utf8.size(), bytes.size());  // the upper half is no ASCII
  fs_.ReplaceWhole(U("all.sch"), codec_.Utf8ToAnsi(utf8));
  const std::string stored = ReadRaw(W("all.sch"));
  for (size_t i = 0; i < bytes.size() && i < stored.size(); ++i) {
    EXPECT_EQ(bytes[i], stored[i]) << "byte " << i + 1;
  }
  EXPECT_EQ(bytes.size(), stored.size());
  EXPECT_EQ(utf8, codec_.AnsiToUtf8(fs_.ReadAll(U("all.sch"))));
}

TEST_F(Win32AnsiCodec, CharacterOutsideTheCodePageBecomesQuestionMark) {
  CPINFO info{};
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  if (info.MaxCharSize != 1) GTEST_SKIP() << "code page " << GetACP() << " may hold U+4E2D";
  const std::string ansi = codec_.Utf8ToAnsi("a\u4E2Db");
  EXPECT_EQ("a?b", ansi);
  EXPECT_EQ("a?b", codec_.Utf8ToAnsi("a\U0001F600b"));  // one character, one mark
  fs_.ReplaceWhole(U("x.sch"), ansi);
  EXPECT_EQ("a?b", codec_.AnsiToUtf8(fs_.ReadAll(U("x.sch"))));
}

TEST_F(Win32AnsiCodec, NoBestFitSubstitutes) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, have " << GetACP();
  // Best fit would write 'l' for 'ł' and 'A' for 'Ā', changing the word.
  EXPECT_EQ("?d?", codec_.Utf8ToAnsi("\u0142d\u0100"));
}

TEST_F(Win32AnsiCodec, AgreesWithThePortableCp1252TableOnEveryByte) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, have " << GetACP();
  const Cp1252Codec table;
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(table.AnsiToUtf8(byte), codec_.AnsiToUtf8(byte)) << "byte " << b;
    EXPECT_EQ(table.Utf8ToAnsi(table.AnsiToUtf8(byte)), codec_.Utf8ToAnsi(table.AnsiToUtf8(byte)))
        << "byte " << b;
  }
  for (const char* missing : {"\u0142", "\u0100", "\u4E2D", "\U0001F600", "a\xFF"}) {
    EXPECT_EQ(table.Utf8ToAnsi(missing), codec_.Utf8ToAnsi(missing)) << missing;
  }
  EXPECT_EQ("", codec_.AnsiToUtf8(""));
  EXPECT_EQ("", codec_.Utf8ToAnsi(""));
}

// --------------------------------------------------------------- file system

class Win32FileSystemTest : public Win32Folder {};

TEST_F(Win32FileSystemTest, ReplaceCreatesAFileWithExactlyTheBytes) {
  const std::string bytes("line 1\r\nline 2\n\0\x1A\xFF end", 22);
  fs_.ReplaceWhole(U("new.sch"), bytes);
  EXPECT_EQ(bytes, ReadRaw(W("new.sch")));
  EXPECT_EQ(bytes, fs_.ReadAll(U("new.sch")));
  EXPECT_EQ(std::vector<std::string>{"new.sch"}, Entries());
}

TEST_F(Win32FileSystemTest, ReplaceKeepsNothingOfALongerOldFileAndNoTemporary) {
  WriteRaw(W("night.sch"), std::string(5000, 'O'));
  fs_.ReplaceWhole(U("night.sch"), "short");
  EXPECT_EQ("short", ReadRaw(W("night.sch")));
  fs_.ReplaceWhole(U("night.sch"), "");
  EXPECT_EQ("", ReadRaw(W("night.sch")));
  EXPECT_EQ(std::vector<std::string>{"night.sch"}, Entries());
}

TEST_F(Win32FileSystemTest, ReplaceUnderOtherCaseKeepsTheSpellingOnDisk) {
  WriteRaw(W("night.sch"), "old");
  fs_.ReplaceWhole(U("NIGHT.Sch"), "new");
  EXPECT_EQ(std::vector<std::string>{"night.sch"}, Entries());
  EXPECT_EQ("new", ReadRaw(W("night.sch")));
}

TEST_F(Win32FileSystemTest, ReplaceKeepsAHiddenSystemFileHiddenAndSystem) {
  WriteRaw(W("secret.sch"), "old", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  fs_.ReplaceWhole(U("secret.sch"), "new");
  EXPECT_EQ("new", ReadRaw(W("secret.sch")));
  const DWORD attributes = AttributesOf(W("secret.sch"));
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << attributes;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM) << attributes;
  EXPECT_EQ(std::vector<std::string>{"secret.sch"}, Entries());

  fs_.ReplaceWhole(U("plain.sch"), "x");
  EXPECT_FALSE(AttributesOf(W("plain.sch")) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

TEST_F(Win32FileSystemTest, ReplaceOfAReadOnlyFileFailsAndKeepsItWhole) {
  const std::string old = "old content that must survive\r\n";
  WriteRaw(W("locked.sch"), old);
  ASSERT_TRUE(SetFileAttributesW(W("locked.sch").c_str(), FILE_ATTRIBUTE_READONLY));
  const FileError e = ExpectFileError([&] { fs_.ReplaceWhole(U("locked.sch"), "new"); });
  EXPECT_EQ(FileErrorKind::AccessDenied, e.kind());
  EXPECT_EQ(70, e.number());
  EXPECT_EQ(U("locked.sch"), e.path());
  EXPECT_EQ(old, ReadRaw(W("locked.sch")));
  EXPECT_EQ(std::vector<std::string>{"locked.sch"}, Entries());
}

TEST_F(Win32FileSystemTest, ReplaceOfAFileHeldWithoutShareDeleteFailsAndKeepsItWhole) {
  const std::string old = "held open by another program";
  WriteRaw(W("held.sch"), old);
  HANDLE other =
      CreateFileW(W("held.sch").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, other);
  const FileError e = ExpectFileError([&] { fs_.ReplaceWhole(U("held.sch"), "new"); });
  CloseHandle(other);
  EXPECT_EQ(FileErrorKind::AccessDenied, e.kind());
  EXPECT_EQ(old, ReadRaw(W("held.sch")));
  EXPECT_EQ(std::vector<std::string>{"held.sch"}, Entries());
}

TEST_F(Win32FileSystemTest, ReplaceOverAFolderFailsAndLeavesNoTemporary) {
  ASSERT_TRUE(CreateDirectoryW(W("dir.sch").c_str(), nullptr));
  const FileError e = ExpectFileError([&] { fs_.ReplaceWhole(U("dir.sch"), "new"); });
  EXPECT_EQ(FileErrorKind::AccessDenied, e.kind());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, AttributesOf(W("dir.sch")));
  EXPECT_TRUE(AttributesOf(W("dir.sch")) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(std::vector<std::string>{"dir.sch"}, Entries());
}

TEST_F(Win32FileSystemTest, ReplaceIntoAMissingFolderIsPathNotFound) {
  const std::string path = JoinPath(U("missing"), "x.sch");
  const FileError e = ExpectFileError([&] { fs_.ReplaceWhole(path, "new"); });
  EXPECT_EQ(FileErrorKind::PathNotFound, e.kind());
  EXPECT_EQ(76, e.number());
  EXPECT_EQ(path, e.path());
  EXPECT_TRUE(Entries().empty());
}

TEST_F(Win32FileSystemTest, ReplaceAndReadAllHandleLargeFiles) {
  std::string bytes(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
  fs_.ReplaceWhole(U("big.sch"), bytes);
  EXPECT_TRUE(bytes == fs_.ReadAll(U("big.sch")));
  EXPECT_TRUE(bytes == ReadRaw(W("big.sch")));
}

TEST_F(Win32FileSystemTest, ReadAllReadsAFileAnotherProgramHasOpenForWriting) {
  WriteRaw(W("busy.sch"), "being edited");
  HANDLE writer = CreateFileW(W("busy.sch").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, writer);
  std::string got;
  EXPECT_NO_THROW(got = fs_.ReadAll(U("busy.sch")));
  CloseHandle(writer);
  EXPECT_EQ("being edited", got);
}

TEST_F(Win32FileSystemTest, ReadAllAndReplaceCloseTheirHandles) {
  WriteRaw(W("a.sch"), "abc");
  EXPECT_EQ("abc", fs_.ReadAll(U("a.sch")));
  fs_.ReplaceWhole(U("b.sch"), "def");
  // Exclusive opens succeed only when no handle of ours is left open.
  for (const wchar_t* name : {L"a.sch", L"b.sch"}) {
    HANDLE h = CreateFileW(W(Narrow(name)).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << Narrow(name) << " error " << GetLastError();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
}

TEST_F(Win32FileSystemTest, ReadAllErrorsCarryTheirNumbers) {
  ASSERT_TRUE(CreateDirectoryW(W("dir.sch").c_str(), nullptr));
  struct Case {
    std::string path;
    FileErrorKind kind;
    int number;
  };
  const Case cases[] = {
      {U("none.sch"), FileErrorKind::NotFound, 53},
      {JoinPath(U("missing"), "x.sch"), FileErrorKind::PathNotFound, 76},
      {U("dir.sch"), FileErrorKind::AccessDenied, 70},
      {U("bad?name.sch"), FileErrorKind::BadName, 52},
  };
  for (const Case& c : cases) {
    const FileError e = ExpectFileError([&] { fs_.ReadAll(c.path); });
    EXPECT_EQ(c.kind, e.kind()) << c.path;
    EXPECT_EQ(c.number, e.number()) << c.path;
    EXPECT_EQ(c.path, e.path());
  }
}

// Where a standard user's language update is kept: the user's own local
// application data, an existing folder the user can write.
TEST_F(Win32FileSystemTest, LocalAppDataIsTheUsersOwnWritableFolder) {
  const std::string folder = fs_.LocalAppDataFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(fs_.FolderExists(folder)) << folder;
  wchar_t env[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"LOCALAPPDATA", env, MAX_PATH), 0u);
  EXPECT_TRUE(EqualsIgnoringCase(Narrow(env), folder)) << folder;
  const std::string probe = JoinPath(folder, "norvale-probe.tmp");
  fs_.ReplaceWhole(probe, "x");
  EXPECT_EQ("x", fs_.ReadAll(probe));
  fs_.RemoveFile(probe);
}

TEST_F(Win32FileSystemTest, FileExistsIgnoresCaseAndFindsHiddenSystemAndReadOnlyFiles) {
  WriteRaw(W("night.sch"), "x");
  WriteRaw(W("secret.sch"), "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  WriteRaw(W("fixed.sch"), "x", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(AttributesOf(W("secret.sch")) & FILE_ATTRIBUTE_HIDDEN);

  EXPECT_TRUE(fs_.FileExists(U("night.sch")));
  EXPECT_TRUE(fs_.FileExists(U("Night.sch")));
  EXPECT_TRUE(fs_.FileExists(U("NIGHT.SCH")));
  EXPECT_TRUE(fs_.FileExists(U("Secret.sch")));
  EXPECT_TRUE(fs_.FileExists(U("fixed.sch")));
  EXPECT_FALSE(fs_.FileExists(U("Nigh.sch")));
  EXPECT_FALSE(fs_.FileExists(U("night.sc")));
  EXPECT_FALSE(fs_.FileExists(JoinPath(U("missing"), "night.sch")));
  EXPECT_FALSE(fs_.FileExists(""));
  EXPECT_FALSE(fs_.FileExists(U("bad?name.sch")));
}

TEST_F(Win32FileSystemTest, FileExistsFoldsNonAsciiLettersAsWindowsDoes) {
  WriteRaw(W("\u00DCber.sch"), "x");
  EXPECT_TRUE(fs_.FileExists(U("\u00FCBER.SCH")));
  EXPECT_FALSE(fs_.FileExists(U("uber.sch")));
}

TEST_F(Win32FileSystemTest, FileExistsWantsTheNameItselfNotAPatternOrAlias) {
  WriteRaw(W("night.sch"), "x");
  WriteRaw(W("x.schedule"), "x");
  EXPECT_FALSE(fs_.FileExists(U("*.sch")));
  EXPECT_FALSE(fs_.FileExists(U("nigh?.sch")));

  wchar_t alias[MAX_PATH];
  const DWORD n = GetShortPathNameW(W("x.schedule").c_str(), alias, MAX_PATH);
  ASSERT_GT(n, 0u);
  const std::string short_name(FileNameOf(Narrow(std::wstring(alias, n))));
  if (EqualsIgnoringCase(short_name, "x.schedule")) GTEST_SKIP() << "no 8.3 aliases here";
  EXPECT_FALSE(fs_.FileExists(U(short_name))) << short_name;
}

TEST_F(Win32FileSystemTest, ListFilesListsOnlyOrdinaryFilesMatchingByTheirLongName) {
  WriteRaw(W("A.SCH"), "x");
  WriteRaw(W("b.sch"), "x");
  WriteRaw(W("\u00DCber.sch"), "x");
  WriteRaw(W("x.schedule"), "x");
  WriteRaw(W("x.txt"), "x");
  WriteRaw(W("sch"), "x");
  ASSERT_TRUE(CreateDirectoryW(W("dir.sch").c_str(), nullptr));

  std::vector<std::string> names = fs_.ListFiles(folder_, "*.sch");
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"A.SCH", "b.sch", "\u00DCber.sch"}), names);

  std::vector<std::string> all = fs_.ListFiles(folder_, "*");
  std::sort(all.begin(), all.end());
  EXPECT_EQ(
      (std::vector<std::string>{"A.SCH", "b.sch", "sch", "x.schedule", "x.txt", "\u00DCber.sch"}),
      all);
}

TEST_F(Win32FileSystemTest, ListFilesOfAMissingOrEmptyFolderIsEmpty) {
  EXPECT_TRUE(fs_.ListFiles(folder_, "*.sch").empty());
  EXPECT_TRUE(fs_.ListFiles(U("missing"), "*.sch").empty());
}

TEST_F(Win32FileSystemTest, RemoveFileDeletesAndReportsAMissingFile) {
  WriteRaw(W("gone.sch"), "x");
  fs_.RemoveFile(U("Gone.sch"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, AttributesOf(W("gone.sch")));
  const FileError e = ExpectFileError([&] { fs_.RemoveFile(U("gone.sch")); });
  EXPECT_EQ(FileErrorKind::NotFound, e.kind());
  EXPECT_EQ(53, e.number());
}

TEST_F(Win32FileSystemTest, FoldersAreCreatedOnceAndTold) {
  WriteRaw(W("file"), "x");
  EXPECT_FALSE(fs_.FolderExists(U("data")));
  fs_.CreateFolder(U("data"));
  EXPECT_TRUE(fs_.FolderExists(U("data")));
  EXPECT_TRUE(AttributesOf(W("data")) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_NO_THROW(fs_.CreateFolder(U("data")));
  EXPECT_NO_THROW(fs_.CreateFolder(U("DATA")));
  EXPECT_FALSE(fs_.FolderExists(U("file")));
  EXPECT_TRUE(fs_.FolderExists(folder_));

  EXPECT_EQ(FileErrorKind::AlreadyExists,
            ExpectFileError([&] { fs_.CreateFolder(U("file")); }).kind());
  EXPECT_EQ(76, ExpectFileError([&] { fs_.CreateFolder(JoinPath(U("no"), "sub")); }).number());
}

TEST_F(Win32FileSystemTest, ProgramFolderHoldsThisProgram) {
  wchar_t module[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
  const std::string exe = Narrow(std::wstring(module, n));
  const std::string folder = fs_.ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE('\\', folder.back());
  EXPECT_TRUE(fs_.FolderExists(folder)) << folder;
  EXPECT_EQ(exe, JoinPath(folder, FileNameOf(exe)));
  EXPECT_TRUE(fs_.FileExists(JoinPath(folder, "norvale_win32_tests.exe")));
}

// -------------------------------------------------------------------- locale

const Date kDates[] = {
    year{2026} / month{12} / day{4}, year{2026} / month{12} / day{31},
    year{2028} / month{2} / day{29}, year{2026} / month{1} / day{1},
    year{1999} / month{7} / day{15}, year{2027} / month{10} / day{12},
};

void ExpectShortDatesReadBack(const Win32Locale& locale, const std::string& label) {
  for (const Date& d : kDates) {
    const std::string text = locale.ShortDate(d);
    ASSERT_FALSE(text.empty()) << label;
    EXPECT_EQ(d, locale.ParseDate(text)) << label << ": " << text;
  }
}

TEST(Win32Locale, ShortDatesOfTheUserLocaleReadBack) {
  ExpectShortDatesReadBack(Win32Locale(), "user default");
}

TEST(Win32Locale, ShortDatesOfPinnedLocalesReadBack) {
  for (const char* name : {"en-US", "en-GB", "de-DE", "fr-FR", "ja-JP"}) {
    ExpectShortDatesReadBack(Win32Locale(name), name);
  }
}

TEST(Win32Locale, UserDefaultIsTheUsersLocale) {
  wchar_t name[LOCALE_NAME_MAX_LENGTH];
  ASSERT_GT(GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
  const Win32Locale user;
  const Win32Locale pinned(Narrow(name));
  for (const Date& d : kDates) EXPECT_EQ(pinned.ShortDate(d), user.ShortDate(d));
  EXPECT_EQ(pinned.LongTime(22h + 30min + 5s), user.LongTime(22h + 30min + 5s));
}

TEST(Win32Locale, PinnedLocalesWriteTheirOwnOrder) {
  const Date d = year{2026} / month{12} / day{4};
  EXPECT_EQ("12/4/2026", Win32Locale("en-US").ShortDate(d));
  EXPECT_EQ("04/12/2026", Win32Locale("en-GB").ShortDate(d));
  const std::string german = Win32Locale("de-DE").ShortDate(d);
  EXPECT_TRUE(german == "04.12.2026" || german == "4.12.2026") << german;  // Windows / Wine
}

TEST(Win32Locale, ParsingFollowsTheLocalesDateOrder) {
  EXPECT_EQ(year{2026} / month{4} / day{12}, Win32Locale("en-US").ParseDate("04/12/2026"));
  EXPECT_EQ(year{2026} / month{12} / day{4}, Win32Locale("en-GB").ParseDate("04/12/2026"));
  EXPECT_EQ(year{2026} / month{12} / day{4}, Win32Locale("de-DE").ParseDate("4.12.2026"));
}

TEST(Win32Locale, ParseDateKeepsOnlyTheDateOfADateAndTime) {
  const Win32Locale us("en-US");
  EXPECT_EQ(year{2026} / month{12} / day{4}, us.ParseDate("12/4/2026 10:30:00 PM"));
  EXPECT_EQ(year{2026} / month{12} / day{4}, us.ParseDate("  12/4/2026 "));
}

TEST(Win32Locale, ParseDateRejectsWhatIsNoDate) {
  for (const Win32Locale& locale : {Win32Locale(), Win32Locale("en-US")}) {
    EXPECT_EQ(std::nullopt, locale.ParseDate("not a date"));
    EXPECT_EQ(std::nullopt, locale.ParseDate(""));
    EXPECT_EQ(std::nullopt, locale.ParseDate("   "));
    EXPECT_EQ(std::nullopt, locale.ParseDate(std::string_view("12/4/2026\0x", 11)));
  }
}

TEST(Win32Locale, LongTimeShowsHoursMinutesAndSeconds) {
  const std::chrono::seconds t = 22h + 30min + 5s;
  EXPECT_NE(std::string::npos, Win32Locale().LongTime(22h + 30min).find("30"));
  const std::string us = Win32Locale("en-US").LongTime(t);
  EXPECT_NE(std::string::npos, us.find("10:30:05")) << us;
  EXPECT_NE(std::string::npos, us.find("PM")) << us;
  EXPECT_NE(std::string::npos, Win32Locale("de-DE").LongTime(t).find("22:30:05"));
  // A whole day more is the same time of day.
  EXPECT_EQ(Win32Locale("de-DE").LongTime(t), Win32Locale("de-DE").LongTime(t + 24h));
  EXPECT_NE(std::string::npos, Win32Locale("de-DE").LongTime(0s).find("00:00"));
}

TEST(Win32Locale, UnknownLocaleNameIsRefused) {
  EXPECT_THROW(Win32Locale("xx-not-a-locale"), std::invalid_argument);
}

// --------------------------------------------------------------------- clock

// Local time computed another way: file time arithmetic, no calendar fields.
LocalTime LocalNowFromFileTime() {
  FILETIME utc{}, local{};
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  const ULONGLONG ticks =
      (static_cast<ULONGLONG>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  constexpr ULONGLONG kUnixEpochIn100ns = 116444736000000000ULL;
  return LocalTime{std::chrono::milliseconds{(ticks - kUnixEpochIn100ns) / 10000}};
}

TEST(Win32Clock, NowIsTheLocalTime) {
  const Win32Clock clock;
  const LocalTime reference = LocalNowFromFileTime();
  const LocalTime now = clock.Now();
  const auto diff = now > reference ? now - reference : reference - now;
  EXPECT_LT(diff, std::chrono::seconds{5});
}

TEST(Win32Clock, TodayIsTheLocalDate) {
  const Win32Clock clock;
  for (int attempt = 0; attempt < 3; ++attempt) {
    SYSTEMTIME before{}, after{};
    GetLocalTime(&before);
    const Date today = clock.Today();
    const auto time_of_day = clock.TimeOfDay();
    GetLocalTime(&after);
    if (before.wDay != after.wDay) continue;  // midnight passed meanwhile
    EXPECT_EQ(year{before.wYear} / month{before.wMonth} / day{before.wDay}, today);
    EXPECT_GE(time_of_day, std::chrono::hours{before.wHour} + std::chrono::minutes{before.wMinute});
    EXPECT_LT(time_of_day, std::chrono::hours{24});
    return;
  }
  FAIL() << "the date kept changing";
}

TEST(Win32Clock, OffsetNowIsWhatTheWallClockShowsMinusUtc) {
  const Win32Clock clock;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const UtcTime utc = clock.UtcNow();
    const LocalTime local = clock.Now();
    const std::chrono::seconds offset = clock.OffsetAt(utc);
    if (offset != clock.OffsetAt(clock.UtcNow())) continue;  // the zone changed meanwhile
    EXPECT_EQ(std::chrono::round<std::chrono::minutes>(local.time_since_epoch() -
                                                       utc.time_since_epoch()),
              offset);
    const auto shown = clock.ToLocal(utc) - local;
    EXPECT_LT(std::chrono::abs(shown), std::chrono::seconds{5});
    return;
  }
  FAIL() << "the offset kept changing";
}

UtcTime At(Date date, std::chrono::seconds time_of_day) {
  return UtcTime{std::chrono::sys_days{date}} + time_of_day;
}

TEST(Win32Clock, OffsetAtTakesTheDaylightSavingOfTheInstantNotOfToday) {
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  if (zone.DaylightDate.wMonth == 0) GTEST_SKIP() << "the zone here keeps no daylight saving";
  const Win32Clock clock;
  const std::chrono::seconds january = clock.OffsetAt(At(year{2025} / month{1} / day{15}, 12h));
  const std::chrono::seconds july = clock.OffsetAt(At(year{2025} / month{7} / day{15}, 12h));
  // Southern zones save daylight in January.
  EXPECT_EQ(std::chrono::minutes{-zone.DaylightBias},
            std::chrono::abs(july - january));
  const std::chrono::seconds now = clock.OffsetAt(clock.UtcNow());
  EXPECT_TRUE(now == january || now == july) << now.count();
}

// Zones whose rules are fixed in law; the test run names one in TZ, which Wine
// follows.
struct ZoneCase {
  const char* zone;
  Date date;
  std::chrono::seconds utc_time;
  std::chrono::seconds offset;
};
const ZoneCase kZoneCases[] = {
    {"Europe/Berlin", year{2025} / month{1} / day{15}, 12h, 1h},
    {"Europe/Berlin", year{2025} / month{7} / day{15}, 12h, 2h},
    {"Europe/Berlin", year{2025} / month{3} / day{30}, 59min + 59s, 1h},
    {"Europe/Berlin", year{2025} / month{3} / day{30}, 1h, 2h},
    {"Europe/Berlin", year{2025} / month{10} / day{26}, 59min + 59s, 2h},
    {"Europe/Berlin", year{2025} / month{10} / day{26}, 1h, 1h},
    {"America/New_York", year{2025} / month{1} / day{15}, 12h, -5h},
    {"America/New_York", year{2025} / month{7} / day{15}, 12h, -4h},
    {"America/New_York", year{2025} / month{3} / day{9}, 6h + 59min + 59s, -5h},
    {"America/New_York", year{2025} / month{3} / day{9}, 7h, -4h},
    // Daylight saving began on 2 April in 2006 and on 11 March from 2007 on:
    // each year needs its own rules, not this year's.
    {"America/New_York", year{2006} / month{3} / day{20}, 12h, -5h},
    {"America/New_York", year{2007} / month{3} / day{20}, 12h, -4h},
    {"Australia/Sydney", year{2025} / month{1} / day{15}, 12h, 11h},
    {"Australia/Sydney", year{2025} / month{7} / day{15}, 12h, 10h},
    {"Australia/Sydney", year{2025} / month{4} / day{5}, 15h + 59min + 59s, 11h},
    {"Australia/Sydney", year{2025} / month{4} / day{5}, 16h, 10h},
};

TEST(Win32Clock, OffsetAtFollowsTheRulesOfTheZoneNamedInTz) {
  wchar_t tz[64] = {};
  GetEnvironmentVariableW(L"TZ", tz, 64);
  const std::string zone = Narrow(tz);
  const Win32Clock clock;
  int checked = 0;
  for (const ZoneCase& c : kZoneCases) {
    if (zone != c.zone) continue;
    ++checked;
    EXPECT_EQ(c.offset, clock.OffsetAt(At(c.date, c.utc_time)))
        << c.zone << " " << IsoMoment(LocalTime{At(c.date, c.utc_time).time_since_epoch()});
  }
  if (checked == 0) GTEST_SKIP() << "no known zone in TZ (\"" << zone << "\")";
}

TEST(Win32Clock, OffsetAtOutsideTheCalendarOfWindowsIsTheOffsetOfNow) {
  const Win32Clock clock;
  const std::chrono::seconds now = clock.OffsetAt(clock.UtcNow());
  EXPECT_EQ(now, clock.OffsetAt(At(year{1500} / month{1} / day{1}, 0h)));
  EXPECT_EQ(now, clock.OffsetAt(UtcTime{std::chrono::milliseconds::max()}));
}

// The scheduler converts many moments in a row; reading the zone's rules from
// the registry each time takes near a millisecond apiece under Wine.
TEST(Win32Clock, OffsetAtOfManyMomentsTakesLittleTime) {
  const Win32Clock clock;
  const UtcTime from = At(year{2025} / month{1} / day{1}, 0h);
  const auto start = std::chrono::steady_clock::now();
  std::chrono::seconds sum{0};
  for (int i = 0; i < 20000; ++i) sum += clock.OffsetAt(from + std::chrono::hours{i * 2});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, 2s) << sum.count();
}

// Against the performance counter, read around each reading of the clock so a
// busy machine cannot make either bound wrong.
TEST(Win32Clock, MonotonicNeverGoesBackAndKeepsPaceWithElapsedTime) {
  LARGE_INTEGER frequency{};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  auto counter = [&] {
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    return std::chrono::milliseconds{c.QuadPart * 1000 / frequency.QuadPart};
  };
  const Win32Clock clock;
  const auto outer_start = counter();
  const std::chrono::milliseconds start = clock.Monotonic();
  const auto inner_start = counter();
  std::chrono::milliseconds last = start;
  auto inner_end = inner_start;
  while (inner_end - inner_start < 300ms) {
    const std::chrono::milliseconds m = clock.Monotonic();
    ASSERT_GE(m, last);
    last = m;
    inner_end = counter();
  }
  const std::chrono::milliseconds end = clock.Monotonic();
  const auto outer_end = counter();
  // The tick count moves in steps of up to some 16 ms.
  EXPECT_GE(end - start, inner_end - inner_start - 40ms);
  EXPECT_LE(end - start, outer_end - outer_start + 40ms);
}

// The system's tick count goes on while the computer sleeps (the unbiased
// interrupt time does not), and the wall clock may be set at any time.
TEST(Win32Clock, MonotonicCountsWithTheSystemsTickCount) {
  const Win32Clock clock;
  const auto before = std::chrono::milliseconds{GetTickCount64()};
  const std::chrono::milliseconds monotonic = clock.Monotonic();
  const auto after = std::chrono::milliseconds{GetTickCount64()};
  EXPECT_GE(monotonic, before);
  EXPECT_LE(monotonic, after);
}

// -------------------------------------------------------------- message boxes
// Only the mapping is checked: a real box would wait for a click.

TEST(Win32MessageBoxes, ButtonSetsAndIconsBecomeTheirStyles) {
  struct Case {
    MsgBoxButtons buttons;
    UINT type;
  };
  for (const Case& c :
       {Case{MsgBoxButtons::OK, MB_OK}, Case{MsgBoxButtons::OKCancel, MB_OKCANCEL},
        Case{MsgBoxButtons::OKCancelSafe, MB_OKCANCEL}, Case{MsgBoxButtons::YesNo, MB_YESNO},
        Case{MsgBoxButtons::AbortRetryIgnore, MB_ABORTRETRYIGNORE}}) {
    const UINT style = MessageBoxStyle(c.buttons, MsgBoxIcon::None);
    EXPECT_EQ(c.type, style & MB_TYPEMASK);
    EXPECT_EQ(0u, style & MB_ICONMASK);
    EXPECT_TRUE(style & MB_SETFOREGROUND);
    // Only the safe set makes Cancel the default: Enter then performs nothing.
    EXPECT_EQ(c.buttons == MsgBoxButtons::OKCancelSafe ? static_cast<UINT>(MB_DEFBUTTON2) : 0u,
              style & MB_DEFMASK);
  }
  struct IconCase {
    MsgBoxIcon icon;
    UINT flag;
  };
  for (const IconCase& c : {IconCase{MsgBoxIcon::Information, MB_ICONINFORMATION},
                            IconCase{MsgBoxIcon::Exclamation, MB_ICONEXCLAMATION},
                            IconCase{MsgBoxIcon::Critical, MB_ICONERROR},
                            IconCase{MsgBoxIcon::Question, MB_ICONQUESTION}}) {
    const UINT style = MessageBoxStyle(MsgBoxButtons::YesNo, c.icon);
    EXPECT_EQ(c.flag, style & MB_ICONMASK);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), style & MB_TYPEMASK);
    EXPECT_EQ(0u, style & (MB_SYSTEMMODAL | MB_TASKMODAL | MB_DEFBUTTON2 | MB_DEFBUTTON3));
  }
}

TEST(Win32MessageBoxes, PressedButtonsBecomeTheirAnswers) {
  EXPECT_EQ(MsgBoxResult::OK, MessageBoxAnswer(IDOK, MsgBoxButtons::OK));
  EXPECT_EQ(MsgBoxResult::OK, MessageBoxAnswer(IDOK, MsgBoxButtons::OKCancel));
  EXPECT_EQ(MsgBoxResult::Cancel, MessageBoxAnswer(IDCANCEL, MsgBoxButtons::OKCancel));
  EXPECT_EQ(MsgBoxResult::Yes, MessageBoxAnswer(IDYES, MsgBoxButtons::YesNo));
  EXPECT_EQ(MsgBoxResult::No, MessageBoxAnswer(IDNO, MsgBoxButtons::YesNo));
  EXPECT_EQ(MsgBoxResult::Abort, MessageBoxAnswer(IDABORT, MsgBoxButtons::AbortRetryIgnore));
  EXPECT_EQ(MsgBoxResult::Retry, MessageBoxAnswer(IDRETRY, MsgBoxButtons::AbortRetryIgnore));
  EXPECT_EQ(MsgBoxResult::Ignore, MessageBoxAnswer(IDIGNORE, MsgBoxButtons::AbortRetryIgnore));
}

TEST(Win32MessageBoxes, NoBoxMeansTheAnswerThatLetsNothingHappen) {
  EXPECT_EQ(MsgBoxResult::OK, MessageBoxAnswer(0, MsgBoxButtons::OK));
  EXPECT_EQ(MsgBoxResult::Cancel, MessageBoxAnswer(0, MsgBoxButtons::OKCancel));
  EXPECT_EQ(MsgBoxResult::No, MessageBoxAnswer(0, MsgBoxButtons::YesNo));
  EXPECT_EQ(MsgBoxResult::Abort, MessageBoxAnswer(0, MsgBoxButtons::AbortRetryIgnore));
  EXPECT_EQ(MsgBoxResult::No, MessageBoxAnswer(IDOK, MsgBoxButtons::YesNo));
}

// The owner check of a command-line request, from the processes' tokens: this
// process and a child of it are this user's in this session; the id of no
// process is not. (Wine runs every process as one user: another user's
// copy is refused in the native RequestTargetsTest, over a double.)
TEST(Win32ProcessOwnersTest, OurOwnProcessesAreOursAndOthersAreNot) {
  const Win32ProcessOwners owners;
  EXPECT_TRUE(owners.SameUserAndSession(GetCurrentProcessId()));
  wchar_t cmd[MAX_PATH + 16] = {};
  ASSERT_NE(0u, GetSystemDirectoryW(cmd, MAX_PATH));
  std::wstring line = std::wstring(L"\"") + cmd + L"\\cmd.exe\" /c exit 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                             CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                             &child));
  EXPECT_TRUE(owners.SameUserAndSession(child.dwProcessId));
  TerminateProcess(child.hProcess, 0);
  WaitForSingleObject(child.hProcess, 10000);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  EXPECT_FALSE(owners.SameUserAndSession(0));
  EXPECT_FALSE(owners.SameUserAndSession(0x7FFFFFF0u));
}

}  // namespace
}  // namespace norvale
