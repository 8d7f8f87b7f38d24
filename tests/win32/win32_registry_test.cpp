// The registry service against the real registry (Wine's here). Each test works
// under keys of its own and removes them afterwards. Checks read and write with
// plain Win32 calls, so a fault of the class cannot hide behind the same fault
// in the test's own setup.
#include <windows.h>
#include <dpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/utf.h"
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_secret_protector.h"
#include "settings/add_remove.h"
#include "settings/settings_store.h"

namespace norvale {
namespace {

// "<pid>-<suite>-<test>": unique across parallel test processes.
std::string Unique() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::to_string(GetCurrentProcessId()) + "-" + info->test_suite_name() + "-" + info->name();
}

struct Raw {
  LSTATUS status = ERROR_SUCCESS;
  DWORD type = REG_NONE;
  std::string bytes;
};

Raw ReadRaw(HKEY root, const std::string& path, const std::string& name, REGSAM view = 0) {
  Raw raw;
  HKEY key = nullptr;
  raw.status = RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_QUERY_VALUE | view, &key);
  if (raw.status != ERROR_SUCCESS) return raw;
  DWORD size = 0;
  raw.status = RegQueryValueExW(key, Widen(name).c_str(), nullptr, &raw.type, nullptr, &size);
  if (raw.status == ERROR_SUCCESS) {
    raw.bytes.assign(size, '\0');
    raw.status = RegQueryValueExW(key, Widen(name).c_str(), nullptr, &raw.type,
                                  reinterpret_cast<BYTE*>(raw.bytes.data()), &size);
    raw.bytes.resize(size);
  }
  RegCloseKey(key);
  return raw;
}

// The REG_SZ data a writer that counts the terminating NUL stores for `text`.
std::string SzBytes(const std::string& text) {
  const std::wstring wide = Widen(text);
  return std::string(reinterpret_cast<const char*>(wide.c_str()),
                     (wide.size() + 1) * sizeof(wchar_t));
}

void WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              std::string_view bytes, REGSAM view = 0) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, Widen(path).c_str(), 0, nullptr, 0,
                                           KEY_SET_VALUE | view, nullptr, &key, nullptr));
  const LSTATUS rc =
      RegSetValueExW(key, Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, rc);
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// Removes `path` with everything below it. With `and_parent`, the parent goes
// too when it is empty now (a parallel test may still be using it).
void DeleteTree(HKEY root, const std::string& path, REGSAM view = 0, bool and_parent = false) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExW(root, Widen(path).c_str(), view, 0);
  }
  const size_t slash = path.rfind('\\');
  if (and_parent && slash != std::string::npos) {
    RegDeleteKeyExW(root, Widen(path.substr(0, slash)).c_str(), view, 0);
  }
}

void DeleteRawValue(HKEY root, const std::string& path, const std::string& name, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, Widen(name).c_str());
    RegCloseKey(key);
  }
}

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

// ------------------------------------------------------- values under HKCU

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = "Software\\NorvaleTest\\" + Unique();
    DeleteTree(HKEY_CURRENT_USER, path_);
    ASSERT_EQ(kRegOk, registry_.CreateKey(RegRoot::CurrentUser, path_));
  }
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, path_, 0, true); }

  RegValue Query(const std::string& name, long expected_status = kRegOk) {
    RegValue value;
    EXPECT_EQ(expected_status, registry_.QueryValue(RegRoot::CurrentUser, path_, name, value))
        << name;
    return value;
  }

  std::string path_;
  Win32Registry registry_;
};

TEST_F(Win32RegistryTest, TextReadsBackExactlyAsWrittenWithItsTerminatingNul) {
  const std::vector<std::string> texts = {
      "1025",
      "",
      "  padded  ",
      "C:\\Program Files\\Norvale\\Norvale.exe",
      "Z\xC3\xBCrich \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80",
      std::string(100000, 'x') + "\xC3\xA9",
  };
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string name = "value" + std::to_string(i);
    ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, path_, name, texts[i]));
    const Raw raw = ReadRaw(HKEY_CURRENT_USER, path_, name);
    ASSERT_EQ(ERROR_SUCCESS, raw.status);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(SzBytes(texts[i]), raw.bytes) << name;
    const RegValue value = Query(name);
    EXPECT_EQ(static_cast<uint32_t>(kRegSz), value.type);
    EXPECT_EQ(texts[i], value.data) << name;
  }
  // The empty text is a value of its own, not a missing one.
  EXPECT_EQ(std::string(2, '\0'), ReadRaw(HKEY_CURRENT_USER, path_, "value1").bytes);
}

TEST_F(Win32RegistryTest, NulsInsideTextStayAndOnlyTrailingOnesGo) {
  const std::string embedded("a\0b", 3);
  ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, path_, "embedded", embedded));
  EXPECT_EQ(SzBytes(embedded), ReadRaw(HKEY_CURRENT_USER, path_, "embedded").bytes);
  EXPECT_EQ(embedded, Query("embedded").data);

  // Strings as other programs store them: no terminator, a padded buffer, an odd
  // byte count, the expandable kind.
  const std::wstring abc = L"abc";
  const std::string abc_bytes(reinterpret_cast<const char*>(abc.data()), 6);
  WriteRaw(HKEY_CURRENT_USER, path_, "bare", REG_SZ, abc_bytes);
  WriteRaw(HKEY_CURRENT_USER, path_, "padded", REG_SZ, abc_bytes + std::string(10, '\0'));
  WriteRaw(HKEY_CURRENT_USER, path_, "odd", REG_SZ, abc_bytes + std::string(1, 'z'));
  WriteRaw(HKEY_CURRENT_USER, path_, "expand", REG_EXPAND_SZ, SzBytes("%SystemRoot%\\x"));
  EXPECT_EQ("abc", Query("bare").data);
  EXPECT_EQ("abc", Query("padded").data);
  EXPECT_EQ("abc", Query("odd").data);
  const RegValue expand = Query("expand");
  EXPECT_EQ(static_cast<uint32_t>(kRegExpandSz), expand.type);
  EXPECT_EQ("%SystemRoot%\\x", expand.data);
}

TEST_F(Win32RegistryTest, OtherTypesComeBackAsTheirRawBytes) {
  const DWORD number = 0x12345678;
  const std::string dword(reinterpret_cast<const char*>(&number), sizeof number);
  WriteRaw(HKEY_CURRENT_USER, path_, "chkLog", REG_DWORD, dword);
  const std::string binary("\x00\x01\xFF\x00", 4);
  WriteRaw(HKEY_CURRENT_USER, path_, "blob", REG_BINARY, binary);
  const std::wstring multi(L"a\0b\0\0", 5);
  const std::string multi_bytes(reinterpret_cast<const char*>(multi.data()), 10);
  WriteRaw(HKEY_CURRENT_USER, path_, "list", REG_MULTI_SZ, multi_bytes);
  WriteRaw(HKEY_CURRENT_USER, path_, "nothing", REG_BINARY, "");

  RegValue v = Query("chkLog");
  EXPECT_EQ(static_cast<uint32_t>(kRegDword), v.type);
  EXPECT_EQ(std::string("\x78\x56\x34\x12", 4), v.data);
  v = Query("blob");
  EXPECT_EQ(static_cast<uint32_t>(kRegBinary), v.type);
  EXPECT_EQ(binary, v.data);
  v = Query("list");
  EXPECT_EQ(static_cast<uint32_t>(kRegMultiSz), v.type);
  EXPECT_EQ(multi_bytes, v.data);
  v = Query("nothing");
  EXPECT_EQ(static_cast<uint32_t>(kRegBinary), v.type);
  EXPECT_EQ("", v.data);
}

TEST_F(Win32RegistryTest, ValueNamesIgnoreLetterCase) {
  ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, path_, "txtport", "1025"));
  EXPECT_EQ("1025", Query("txtPort").data);
  ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, path_, "TXTPORT", "25"));
  EXPECT_EQ("25", Query("txtport").data);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path_).c_str(), 0, KEY_READ, &key));
  DWORD values = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(1u, values);
}

TEST_F(Win32RegistryTest, MissingKeysAndValuesAreNotFound) {
  const std::string missing = path_ + "\\missing";
  RegValue value;
  EXPECT_EQ(kRegNotFound, registry_.OpenKey(RegRoot::CurrentUser, missing));
  EXPECT_EQ(kRegNotFound, registry_.QueryValue(RegRoot::CurrentUser, missing, "x", value));
  EXPECT_EQ(kRegNotFound, registry_.QueryValue(RegRoot::CurrentUser, path_, "x", value));
  // Setting a value never creates its key.
  EXPECT_EQ(kRegNotFound, registry_.SetString(RegRoot::CurrentUser, missing, "x", "1"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, missing));
  EXPECT_EQ(kRegNotFound, registry_.DeleteValue(RegRoot::CurrentUser, path_, "x"));
  EXPECT_EQ(kRegNotFound, registry_.DeleteValue(RegRoot::CurrentUser, missing, "x"));
  EXPECT_EQ(kRegNotFound, registry_.DeleteKey(RegRoot::CurrentUser, missing));
}

TEST_F(Win32RegistryTest, CreateKeyMakesParentsAndKeepsWhatIsThere) {
  const std::string deep = path_ + "\\a\\b\\c";
  ASSERT_EQ(kRegOk, registry_.CreateKey(RegRoot::CurrentUser, deep));
  EXPECT_EQ(kRegOk, registry_.OpenKey(RegRoot::CurrentUser, path_ + "\\a"));
  EXPECT_EQ(kRegOk, registry_.OpenKey(RegRoot::CurrentUser, deep));
  ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, deep, "kept", "yes"));
  ASSERT_EQ(kRegOk, registry_.CreateKey(RegRoot::CurrentUser, deep));
  RegValue value;
  ASSERT_EQ(kRegOk, registry_.QueryValue(RegRoot::CurrentUser, deep, "kept", value));
  EXPECT_EQ("yes", value.data);
}

TEST_F(Win32RegistryTest, DeletesValuesAndLeafKeysOnly) {
  ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, path_, "gone", "1"));
  ASSERT_EQ(kRegOk, registry_.SetString(RegRoot::CurrentUser, path_, "stays", "2"));
  EXPECT_EQ(kRegOk, registry_.DeleteValue(RegRoot::CurrentUser, path_, "GONE"));
  Query("gone", kRegNotFound);
  EXPECT_EQ("2", Query("stays").data);

  const std::string parent = path_ + "\\parent";
  ASSERT_EQ(kRegOk, registry_.CreateKey(RegRoot::CurrentUser, parent + "\\child"));
  EXPECT_NE(kRegOk, registry_.DeleteKey(RegRoot::CurrentUser, parent));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, parent + "\\child"));
  EXPECT_EQ(kRegOk, registry_.DeleteKey(RegRoot::CurrentUser, parent + "\\child"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, parent + "\\child"));
  EXPECT_EQ(kRegOk, registry_.DeleteKey(RegRoot::CurrentUser, parent));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, parent));
  // Never the root itself.
  EXPECT_NE(kRegOk, registry_.DeleteKey(RegRoot::CurrentUser, ""));
}

TEST_F(Win32RegistryTest, ClosesEveryKeyItOpens) {
  const uintptr_t before = HandleHighWater();
  RegValue value;
  for (int i = 0; i < 200; ++i) {
    registry_.CreateKey(RegRoot::CurrentUser, path_ + "\\k");
    registry_.OpenKey(RegRoot::CurrentUser, path_);
    registry_.SetString(RegRoot::CurrentUser, path_, "v", "text");
    registry_.QueryValue(RegRoot::CurrentUser, path_, "v", value);
    registry_.QueryValue(RegRoot::CurrentUser, path_, "missing", value);
    registry_.DeleteValue(RegRoot::CurrentUser, path_, "v");
    registry_.DeleteKey(RegRoot::CurrentUser, path_ + "\\k");
  }
  EXPECT_LT(HandleHighWater(), before + 20);
}

// ------------------------------------------------------ the machine views

class Win32RegistryMachineTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = "SOFTWARE\\NorvaleTest\\" + Unique(); }
  void TearDown() override {
    DeleteTree(HKEY_LOCAL_MACHINE, path_, KEY_WOW64_32KEY, true);
    DeleteTree(HKEY_LOCAL_MACHINE, path_, KEY_WOW64_64KEY, true);
  }
  std::string path_;
};

TEST_F(Win32RegistryMachineTest, The32BitViewWritesUnderWow6432Node) {
  Win32Registry registry(MachineView::k32Bit);
  ASSERT_EQ(kRegOk, registry.CreateKey(RegRoot::LocalMachine, path_));
  ASSERT_EQ(kRegOk, registry.SetString(RegRoot::LocalMachine, path_, "chkMin", "1"));

  const Raw in32 = ReadRaw(HKEY_LOCAL_MACHINE, path_, "chkMin", KEY_WOW64_32KEY);
  ASSERT_EQ(ERROR_SUCCESS, in32.status);
  EXPECT_EQ(SzBytes("1"), in32.bytes);
  const std::string node = "SOFTWARE\\WOW6432Node" + path_.substr(std::string("SOFTWARE").size());
  EXPECT_EQ(SzBytes("1"), ReadRaw(HKEY_LOCAL_MACHINE, node, "chkMin", KEY_WOW64_64KEY).bytes);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, path_, KEY_WOW64_64KEY));

  RegValue value;
  ASSERT_EQ(kRegOk, registry.QueryValue(RegRoot::LocalMachine, path_, "chkMin", value));
  EXPECT_EQ("1", value.data);
  EXPECT_EQ(kRegOk, registry.OpenKey(RegRoot::LocalMachine, path_));
#ifdef _WIN64
  // A 64-bit program's own view is the other one.
  EXPECT_EQ(kRegNotFound, Win32Registry().OpenKey(RegRoot::LocalMachine, path_));
#endif
  EXPECT_EQ(kRegOk, registry.DeleteValue(RegRoot::LocalMachine, path_, "chkMin"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            ReadRaw(HKEY_LOCAL_MACHINE, path_, "chkMin", KEY_WOW64_32KEY).status);
  EXPECT_EQ(kRegOk, registry.DeleteKey(RegRoot::LocalMachine, path_));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, path_, KEY_WOW64_32KEY));
}

TEST_F(Win32RegistryMachineTest, TheNativeViewIsTheProgramsOwn) {
  Win32Registry registry;
  ASSERT_EQ(kRegOk, registry.CreateKey(RegRoot::LocalMachine, path_));
  ASSERT_EQ(kRegOk, registry.SetString(RegRoot::LocalMachine, path_, "chkMin", "0"));
  EXPECT_EQ(SzBytes("0"), ReadRaw(HKEY_LOCAL_MACHINE, path_, "chkMin").bytes);
#ifdef _WIN64
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, path_, KEY_WOW64_32KEY));
#endif
}

// ------------------------------- the settings store and Run list, for real

// No box may appear in these tests: every write is expected to succeed.
class NoBoxes final : public MessageBoxes {
 public:
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons, MsgBoxIcon,
                      const std::string& title) override {
    shown.push_back(title + ": " + text);
    return MsgBoxResult::Abort;
  }
  std::vector<std::string> shown;
};

class Win32SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unique_ = Unique();
    company_ = "NorvaleTestCo " + unique_;
    product_ = "NorvaleTest " + unique_;
  }
  void TearDown() override {
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.front();
    DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + company_);
    DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + company_, KEY_WOW64_32KEY);
    DeleteTree(HKEY_CURRENT_USER, UserPath(), 0, true);
    DeleteRawValue(HKEY_CURRENT_USER, kRunKey, product_);
    DeleteRawValue(HKEY_LOCAL_MACHINE, kRunKey, product_);
    DeleteRawValue(HKEY_LOCAL_MACHINE, kRunKey, product_, KEY_WOW64_32KEY);
  }
  std::string MachinePath(const std::string& program) const {
    return "SOFTWARE\\" + company_ + "\\" + program + "\\Settings";
  }
  std::string UserPath() const {
    return std::string(kPerUserRoot) + "\\" + product_ + "\\Settings";
  }

  std::string unique_, company_, product_;
  Win32Registry registry_;
  NoBoxes boxes_;
};

TEST_F(Win32SettingsTest, MachineSettingsRoundTripUnderTheCompanysKey) {
  // Blanks around the company name address the same key.
  SettingsStore store(registry_, boxes_, " " + company_ + " ", product_);
  store.WriteSetting(product_, "Settings", "txtport", "1025");
  store.WriteSetting(product_, "Settings", "txtFTPfolder", "");
  store.WriteSetting(product_, "Settings", "txtLanFolder", "D:\\Sicherung \u00DCbersicht");
  store.WriteSetting(RunValueName(product_), "Settings", "chkRunAtStart", "1");

  EXPECT_EQ(SzBytes("1025"), ReadRaw(HKEY_LOCAL_MACHINE, MachinePath(product_), "txtport").bytes);
  EXPECT_EQ(SzBytes("1"),
            ReadRaw(HKEY_LOCAL_MACHINE, MachinePath(product_ + "-1"), "chkRunAtStart").bytes);
  EXPECT_EQ("1025", store.ReadSetting(product_, "Settings", "txtPort", "25"));
  EXPECT_EQ("", store.ReadSetting(product_, "Settings", "txtFTPFolder", "/"));
  EXPECT_EQ("D:\\Sicherung \u00DCbersicht",
            store.ReadSetting(product_, "Settings", "txtLanFolder", ""));
  EXPECT_EQ("1", store.ReadSetting(RunValueName(product_), "Settings", "chkRunAtStart", "0"));
  EXPECT_EQ("0", store.ReadSetting(product_, "Settings", "chkMin", "0"));
  EXPECT_EQ("0", store.ReadSetting(product_ + " never", "Settings", "chkMin", "0"));

  const DWORD one = 1;
  WriteRaw(HKEY_LOCAL_MACHINE, MachinePath(product_), "chkLog", REG_DWORD,
           std::string_view(reinterpret_cast<const char*>(&one), sizeof one));
  try {
    store.ReadSetting(product_, "Settings", "chkLog", "0");
    ADD_FAILURE() << "a number value read as text";
  } catch (const SettingsError& e) {
    EXPECT_EQ(kErrRegistryBase + 4, e.number());
  }
}

TEST_F(Win32SettingsTest, UserSettingsLiveUnderVbAndVbaProgramSettings) {
  SettingsStore store(registry_, boxes_, company_, product_);
  store.SaveUserSetting(product_, "Settings", "Language", "Fran\u00E7ais");
  store.SaveUserSetting(product_, "Settings", "BackupSetColumn1", "2500");
  EXPECT_EQ(SzBytes("Fran\u00E7ais"), ReadRaw(HKEY_CURRENT_USER, UserPath(), "Language").bytes);
  EXPECT_EQ("Fran\u00E7ais", store.GetUserSetting(product_, "Settings", "language", "English"));
  EXPECT_EQ("2500", store.GetUserSetting(product_, "Settings", "BackupSetColumn1", "0"));
  EXPECT_EQ("1", store.GetUserSetting(product_, "Settings", "showHelp", "1"));
}

TEST_F(Win32SettingsTest, RunEntriesForTheUserAndTheMachine) {
  AddRemove entries(registry_, company_);
  const std::string exe = RunValueData("C:\\Program Files\\" + product_, "Norvale");
  entries.AddToRun(product_, exe);
  entries.AddToRun2(product_, exe);
  EXPECT_EQ(SzBytes(exe), ReadRaw(HKEY_CURRENT_USER, kRunKey, product_).bytes);
  EXPECT_EQ(SzBytes(exe), ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, product_).bytes);
  EXPECT_EQ(exe, entries.GetString(RegRoot::LocalMachine, kRunKey, product_));

  entries.RemoveFromRun(product_);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(HKEY_CURRENT_USER, kRunKey, product_).status);
  EXPECT_EQ(ERROR_SUCCESS, ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, product_).status);
  entries.RemoveFromRun2(product_);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, product_).status);
  entries.RemoveFromRun2(product_);  // already gone: nothing to report
  EXPECT_EQ(std::nullopt, entries.GetString(RegRoot::LocalMachine, kRunKey, product_));

  // Programs of this kind were 32-bit: their machine-wide entry, seen through
  // the 32-bit view.
  Win32Registry registry32(MachineView::k32Bit);
  AddRemove(registry32, company_).AddToRun2(product_, exe);
  EXPECT_EQ(SzBytes(exe), ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, product_, KEY_WOW64_32KEY).bytes);
  AddRemove(registry32, company_).RemoveFromRun2(product_);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, product_, KEY_WOW64_32KEY).status);
}

// The passwords: what the registry holds is protected bytes in the user's own
// key, which the system opens for this user, and the older machine-wide
// scrambled value is gone once read.
TEST_F(Win32SettingsTest, PasswordsAreProtectedForThisUserAndTheOldMachineValueMoves) {
  const Win32SecretProtector secrets;
  Cp1252Codec codec;
  SettingsStore store(registry_, boxes_, company_, product_, &secrets);
  store.WriteSetting(product_, "Settings", "txtServer", "smtp.example.org");
  WriteRaw(HKEY_LOCAL_MACHINE, MachinePath(product_), "txtPassword2", REG_SZ,
           SzBytes(ScrambleText("Geheim \u00FC1", codec)));

  EXPECT_EQ("Geheim \u00FC1", store.ReadSecret("txtPassword2", codec));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            ReadRaw(HKEY_LOCAL_MACHINE, MachinePath(product_), "txtPassword2").status);
  EXPECT_EQ(ERROR_SUCCESS, ReadRaw(HKEY_LOCAL_MACHINE, MachinePath(product_), "txtServer").status);
  const Raw kept = ReadRaw(HKEY_CURRENT_USER, UserPath(), "txtPassword2");
  ASSERT_EQ(ERROR_SUCCESS, kept.status);
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), kept.type);
  EXPECT_EQ(std::string::npos, kept.bytes.find("Geheim"));
  EXPECT_EQ(std::string::npos, kept.bytes.find(SzBytes("Geheim").substr(0, 12)));
  // The system itself opens them, with no help from the class.
  DATA_BLOB in{static_cast<DWORD>(kept.bytes.size()),
               reinterpret_cast<BYTE*>(const_cast<char*>(kept.bytes.data()))};
  DATA_BLOB out{};
  ASSERT_TRUE(CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr,
                                 CRYPTPROTECT_UI_FORBIDDEN, &out));
  EXPECT_EQ("Geheim \u00FC1", std::string(reinterpret_cast<char*>(out.pbData), out.cbData));
  LocalFree(out.pbData);

  EXPECT_TRUE(store.WriteSecret("txtFTPPassword", "ftp pass"));
  EXPECT_EQ("ftp pass", store.ReadSecret("txtFTPPassword", codec));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            ReadRaw(HKEY_LOCAL_MACHINE, MachinePath(product_), "txtFTPPassword").status);
  // Bytes that were not protected by this user open to nothing.
  EXPECT_EQ(std::nullopt, secrets.Unprotect("not protected"));
}

TEST_F(Win32SettingsTest, TheRunListsAreSearchedForEveryEntryThatStartsAProgram) {
  const std::string program = "C:\\Program Files\\" + product_ + "\\Norvale.exe";
  WriteRaw(HKEY_CURRENT_USER, kRunKey, product_, REG_SZ, SzBytes(program + " /tray"));
  WriteRaw(HKEY_LOCAL_MACHINE, kRunKey, product_, REG_SZ, SzBytes("\"" + program + "\""));
  std::vector<std::string> names;
  ASSERT_EQ(kRegOk, registry_.ValueNames(RegRoot::CurrentUser, kRunKey, names));
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), product_));
  const std::vector<RunEntry> found = RunEntriesStarting(registry_, program);
  ASSERT_EQ(2u, found.size());
  EXPECT_EQ(RegRoot::CurrentUser, found[0].list);
  EXPECT_EQ(product_, found[1].name);
  EXPECT_EQ(2u, RemoveRunEntries(registry_, found).removed.size());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(HKEY_CURRENT_USER, kRunKey, product_).status);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(HKEY_LOCAL_MACHINE, kRunKey, product_).status);
  EXPECT_EQ(kRegNotFound, registry_.ValueNames(RegRoot::CurrentUser, UserPath() + "\\none", names));
}

// Wine keeps no real permissions, so only what it can answer is checked here;
// the rules on them are tested natively over a double.
TEST(Win32Accounts, NamesThisProcesssUserAndTellsAPathItCannotRead) {
  const Win32Accounts accounts;
  EXPECT_FALSE(accounts.ProcessUser().empty());
  EXPECT_EQ(static_cast<uint32_t>(ERROR_PATH_NOT_FOUND),
            accounts.WhoMayChange("C:\\no such folder\\x.exe", false).error);
  EXPECT_EQ(0u, accounts.WhoMayChange("C:\\windows", true).error);
}

}  // namespace
}  // namespace norvale
