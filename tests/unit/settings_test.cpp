#include <gtest/gtest.h>

#include "settings/add_remove.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"

namespace norvale {
namespace {

using fakes::MemoryRegistry;
using fakes::StrictMessageBoxes;

class SettingsTest : public ::testing::Test {
 protected:
  MemoryRegistry reg;
  StrictMessageBoxes boxes;
  SettingsStore store{reg, boxes, "Norvale Labs", "Norvale"};

  std::string Read(const std::string& key, const std::string& def = "dflt") {
    return store.ReadSetting("Norvale", "Settings", key, def);
  }
};

TEST_F(SettingsTest, MissingKeyOrValueReadsTheDefault) {
  EXPECT_EQ("dflt", Read("chkMin"));
  store.WriteSetting("Norvale", "Settings", "chkNoShow", "1");
  EXPECT_EQ("dflt", Read("chkMin"));
  EXPECT_EQ("1", Read("chkNoShow"));
  EXPECT_TRUE(reg.HasKey(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs\\Norvale\\Settings"));
}

TEST_F(SettingsTest, AnEmptyValueReadsBackEmpty) {
  store.WriteSetting("Norvale", "Settings", "txtFTPfolder", "");
  EXPECT_EQ("", Read("txtFTPFolder"));
}

TEST_F(SettingsTest, ValueNamesIgnoreCaseAndNamesAreTrimmed) {
  store.WriteSetting("Norvale", "Settings", "txtport", "1025");
  EXPECT_EQ("1025", Read("txtPort"));
  EXPECT_EQ("1025", store.ReadSetting("  Norvale ", " Settings  ", "txtPort", "25"));
  SettingsStore spaced{reg, boxes, " Norvale Labs ", "Norvale"};
  EXPECT_EQ("1025", spaced.ReadSetting("Norvale", "Settings", "txtPort", "25"));
  // The value name itself is used unchanged.
  EXPECT_EQ("25", store.ReadSetting("Norvale", "Settings", " txtPort", "25"));
}

TEST_F(SettingsTest, EmptyNamesFailInOrderWithTheirNumbers) {
  try {
    store.ReadSetting(" ", "", "", "x");
    FAIL();
  } catch (const SettingsError& e) {
    EXPECT_EQ(-2147220504, e.number());
    EXPECT_EQ("AppName may not be empty", e.description());
  }
  try {
    store.ReadSetting("Norvale", "  ", "", "x");
    FAIL();
  } catch (const SettingsError& e) {
    EXPECT_EQ(-2147220503, e.number());
  }
  try {
    store.ReadSetting("Norvale", "Settings", " ", "x");
    FAIL();
  } catch (const SettingsError& e) {
    EXPECT_EQ(-2147220502, e.number());
    EXPECT_EQ("Key may not be empty", e.description());
  }
}

TEST_F(SettingsTest, NonStringValuesAndUnreadableKeysFail) {
  reg.Put(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs\\Norvale\\Settings", "chkMin",
          {kRegDword, std::string("\1\0\0\0", 4)});
  try {
    Read("chkMin");
    FAIL();
  } catch (const SettingsError& e) {
    EXPECT_EQ(static_cast<int32_t>(0x800407D0 + 4), e.number());
    EXPECT_EQ("Registry data not a string", e.description());
  }
  reg.Deny(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs", true);
  try {
    Read("chkMin");
    FAIL();
  } catch (const SettingsError& e) {
    EXPECT_EQ(static_cast<int32_t>(0x800407D0 + 5), e.number());
    EXPECT_EQ("Could not open registry section", e.description());
  }
}

TEST_F(SettingsTest, RefusedWriteAsksAndAbortLeavesNothingWritten) {
  reg.Deny(RegRoot::LocalMachine, "SOFTWARE");
  reg.Deny(RegRoot::CurrentUser, kPerUserRoot);
  boxes.Expect(SettingsStore::PermissionDeniedText("Norvale"), MsgBoxResult::Abort);
  store.WriteSetting("Norvale", "Settings", "chkMin", "1");
  ASSERT_EQ(1u, boxes.shown().size());
  EXPECT_EQ("Permission Denied", boxes.shown()[0].title);
  EXPECT_EQ(MsgBoxButtons::AbortRetryIgnore, boxes.shown()[0].buttons);
  EXPECT_EQ(0u, reg.WriteCount());
}

TEST_F(SettingsTest, RetryCompletesTheWriteOnceTheCauseIsGone) {
  reg.Deny(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs");
  reg.Deny(RegRoot::CurrentUser, kPerUserRoot);
  boxes.Expect("", MsgBoxResult::Retry);
  boxes.Expect("", MsgBoxResult::Retry);
  int asked = 0;
  // The administrator fixes the permissions while the second box is up.
  struct Fixer : MessageBoxes {
    StrictMessageBoxes& inner;
    MemoryRegistry& reg;
    int& asked;
    Fixer(StrictMessageBoxes& i, MemoryRegistry& r, int& a) : inner(i), reg(r), asked(a) {}
    MsgBoxResult MsgBox(const std::string& t, MsgBoxButtons b, MsgBoxIcon i,
                        const std::string& title) override {
      if (++asked == 2) reg.Allow(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs");
      return inner.MsgBox(t, b, i, title);
    }
  } fixer(boxes, reg, asked);
  SettingsStore fixed{reg, fixer, "Norvale Labs", "Norvale"};
  fixed.WriteSetting("Norvale", "Settings", "chkMin", "1");
  EXPECT_EQ(2, asked);
  EXPECT_EQ("1", Read("chkMin"));
}

TEST_F(SettingsTest, IgnoreSilencesTheDialogForGood) {
  reg.Deny(RegRoot::LocalMachine, "SOFTWARE");
  reg.Deny(RegRoot::CurrentUser, std::string(kPerUserRoot) + "\\Norvale-1");
  boxes.Expect("", MsgBoxResult::Ignore);
  store.WriteSetting("Norvale-1", "Settings", "chkRunAtStart", "1");
  EXPECT_EQ("1", store.GetUserSetting("Norvale", "Settings", "IgnorePermissionDeniedError", "0"));
  store.WriteSetting("Norvale-1", "Settings", "chkRunAtStart", "0");  // no second box
  EXPECT_EQ(1u, boxes.shown().size());
  EXPECT_TRUE(
      reg.HasKey(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings"));
}

TEST_F(SettingsTest, StartHiddenKeepsTheStoreSilent) {
  reg.Deny(RegRoot::LocalMachine, "SOFTWARE");
  reg.Deny(RegRoot::CurrentUser, kPerUserRoot);
  store.StartHidden = true;
  store.WriteSetting("Norvale", "Settings", "chkMin", "1");
  EXPECT_TRUE(boxes.shown().empty());
}

// A standard user, or a portable copy: the machine-wide key refuses writes.
TEST_F(SettingsTest, ARefusedMachineWideWriteIsKeptForTheUserWithoutADialog) {
  store.WriteSetting("Norvale", "Settings", "chkLog", "1");  // the administrator's choice
  reg.Deny(RegRoot::LocalMachine, "SOFTWARE");
  store.WriteSetting("Norvale", "Settings", "chkMin", "1");
  store.WriteSetting("Norvale", "Settings", "chkLog", "0");
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ("1", Read("chkMin"));
  EXPECT_EQ("0", Read("CHKLOG"));
  EXPECT_EQ("1", store.GetUserSetting("Norvale", "Settings", "chkMin", "x"));
  // The machine-wide value is untouched, and read again once the user's copy
  // gives way to a write that reaches it.
  reg.Allow(RegRoot::LocalMachine, "SOFTWARE");
  RegValue machine;
  ASSERT_EQ(kRegOk, reg.QueryValue(RegRoot::LocalMachine,
                                   "SOFTWARE\\Norvale Labs\\Norvale\\Settings", "chkLog", machine));
  EXPECT_EQ("1", machine.data);
  store.WriteSetting(" Norvale", "Settings ", "chkMin", "0");
  EXPECT_EQ("x", store.GetUserSetting("Norvale", "Settings", "chkMin", "x"));
  EXPECT_EQ("0", Read("chkMin"));
  EXPECT_EQ("0", Read("chkLog"));
}

TEST_F(SettingsTest, PerUserSettingsRoundTripWithDefaults) {
  EXPECT_EQ("", store.GetUserSetting("Norvale", "Settings", "Language", ""));
  store.SaveUserSetting("Norvale", "Settings", "Language", "Deutsch");
  EXPECT_EQ("Deutsch", store.GetUserSetting("Norvale", "Settings", "language", "English"));
  RegValue v;
  EXPECT_EQ(kRegOk, reg.QueryValue(RegRoot::CurrentUser,
                                   "Software\\VB and VBA Program Settings\\Norvale\\Settings",
                                   "Language", v));
}

class AddRemoveTest : public ::testing::Test {
 protected:
  MemoryRegistry reg;
  AddRemove ar{reg, "Norvale Labs"};
};

TEST_F(AddRemoveTest, RunEntriesPerUserAndForAllUsers) {
  ar.AddToRun("Tool", "C:\\T\\tool.exe");
  ar.AddToRun2("Tool", "C:\\T\\tool.exe");
  EXPECT_EQ("C:\\T\\tool.exe", ar.GetString(RegRoot::CurrentUser, kRunKey, "tool"));
  EXPECT_EQ("C:\\T\\tool.exe", ar.GetString(RegRoot::LocalMachine, kRunKey, "Tool"));
  ar.RemoveFromRun2("Tool");
  EXPECT_EQ(std::nullopt, ar.GetString(RegRoot::LocalMachine, kRunKey, "Tool"));
  EXPECT_TRUE(ar.GetString(RegRoot::CurrentUser, kRunKey, "Tool"));
  ar.RemoveFromRun("Tool");
  ar.RemoveFromRun("Tool");  // missing: nothing happens
  EXPECT_EQ(std::nullopt, ar.GetString(RegRoot::CurrentUser, kRunKey, "Tool"));
}

TEST_F(AddRemoveTest, UninstallEntryIsWrittenAndRemovedWhole) {
  ar.AddToList("Norvale", "C:\\N\\uninstall.exe");
  const std::string key = std::string(kUninstallKey) + "Norvale";
  EXPECT_EQ("Norvale", ar.GetString(RegRoot::LocalMachine, key, "DisplayName"));
  EXPECT_EQ("C:\\N\\uninstall.exe", ar.GetString(RegRoot::LocalMachine, key, "UninstallString"));
  ar.RemoveFromList("Norvale");
  EXPECT_FALSE(reg.HasKey(RegRoot::LocalMachine, key));
}

TEST_F(AddRemoveTest, CustomSettingsFallBackForMissingEmptyOrOneBlank) {
  EXPECT_EQ("d", ar.GetStringSettingCustom("Norvale", "Opts", "x", "d"));
  ar.doSaveSetCustom("Norvale", "Opts", "x", " ");
  EXPECT_EQ("d", ar.GetStringSettingCustom("Norvale", "Opts", "x", "d"));
  ar.doSaveSetCustom("Norvale", "Opts", "x", "");
  EXPECT_EQ("d", ar.GetStringSettingCustom("Norvale", "Opts", "x", "d"));
  ar.doSaveSetCustom("Norvale", "Opts", "x", "  ");
  EXPECT_EQ("  ", ar.GetStringSettingCustom("Norvale", "Opts", "x", "d"));
  reg.Put(RegRoot::LocalMachine, "Software\\Norvale Labs\\Norvale\\Opts", "n", {kRegDword, "1234"});
  EXPECT_EQ("d", ar.GetStringSettingCustom("Norvale", "Opts", "n", "d"));
  reg.Put(RegRoot::LocalMachine, "Software\\Norvale Labs\\Norvale\\Opts", "z",
          {kRegSz, std::string("ab\0cd", 5)});
  EXPECT_EQ("ab", ar.GetStringSettingCustom("Norvale", "Opts", "z", "d"));
}

TEST_F(AddRemoveTest, RegistryFailuresAreIgnored) {
  reg.Deny(RegRoot::LocalMachine, kRunKey, true);
  ar.AddToRun2("Tool", "x");
  ar.RemoveFromRun2("Tool");
  EXPECT_EQ(std::nullopt, ar.GetString(RegRoot::LocalMachine, kRunKey, "Tool"));
  EXPECT_EQ(0u, reg.WriteCount());
}

TEST(RunValue, NameAndDataFollowTheProgram) {
  EXPECT_EQ("Norvale-1", RunValueName("Norvale"));
  EXPECT_EQ("\"C:\\Program Files\\Norvale\\Norvale.exe\"",
            RunValueData("C:\\Program Files\\Norvale", "Norvale"));
  EXPECT_EQ("\"D:\\tools.EXE.d\\Norvale\"", RunValueData("D:\\tools.EXE.d", "Norvale"));
  // A command the user typed: the program part quoted, arguments kept.
  EXPECT_EQ("\"C:\\My Tools\\app.exe\" /min", QuotedCommand("C:\\My Tools\\app.exe /min"));
  EXPECT_EQ("\"C:\\x y\\app.exe\"", QuotedCommand("\"C:\\x y\\app.exe\""));
}

}  // namespace
}  // namespace norvale
