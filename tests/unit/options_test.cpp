#include <gtest/gtest.h>

#include "platform/headless/sealed_secrets.h"
#include "settings/add_remove.h"
#include "settings/frm_options.h"
#include "settings/warn_seconds.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"

namespace norvale {
namespace {

using fakes::FakeClock;
using fakes::FakeShell;
using fakes::FakeSystemInfo;
using fakes::FakeToolkit;
using fakes::MemoryFileSystem;
using fakes::MemoryRegistry;
using fakes::RecordingPowerControl;

class OptionsTest : public ::testing::Test {
 protected:
  FakeClock clock{FakeClock::At(2026, 12, 4, 10, 0)};
  FakeToolkit kit{clock};
  MemoryFileSystem fs{"C:\\Program Files\\Norvale"};
  Cp1252Codec codec;
  PatternLocale locale = PatternLocale::Iso();
  MemoryRegistry reg;
  headless::SealedSecrets secrets{"ann"};
  SettingsStore settings{reg, kit.Boxes(), "Norvale Labs", "Norvale", &secrets};
  RecordingPowerControl power;
  FakeShell shell;
  FakeSystemInfo system;
  AppContext app{kit,   fs,    codec,  locale,    reg,           settings,
                 power, shell, system, "Norvale", "Norvale Labs"};

  FakeSystemInfo& XP() {
    system.version = OsVersion{2, 5, 1};
    return system;
  }
  std::string UserSkin() {
    return settings.GetUserSetting("Norvale", "Settings", "Skin", "<none>");
  }
  std::string Stored(const std::string& key, const std::string& program = "Norvale") {
    return settings.ReadSetting(program, "Settings", key, "<missing>");
  }
  std::optional<std::string> MachineRun() {
    return AddRemove(reg, "Norvale Labs").GetString(RegRoot::LocalMachine, kRunKey, "Norvale-1");
  }
  static constexpr const char* kMachine = "SOFTWARE\\Norvale Labs\\Norvale\\Settings";
  static constexpr const char* kUser = "Software\\VB and VBA Program Settings\\Norvale\\Settings";
  std::optional<RegValue> Raw(RegRoot root, const std::string& path, const std::string& name) {
    RegValue v;
    if (reg.QueryValue(root, path, name, v) != kRegOk) return std::nullopt;
    return v;
  }
  void PutRun(RegRoot root, const std::string& name, const std::string& command) {
    AddRemove(reg, "Norvale Labs").SaveString(root, kRunKey, name, command);
  }
};

TEST_F(OptionsTest, OpeningOnAFreshSystemWritesNothingAndShowsTheDefaults) {
  frmOptions form(app);
  form.Show();
  EXPECT_EQ(0u, reg.WriteCount());
  EXPECT_EQ("25", form.txtPort->Text());
  EXPECT_EQ("/", form.txtFTPFolder->Text());
  EXPECT_EQ(kPlaceholderAddress, form.txtEmailFrom->Text());
  EXPECT_EQ("*", form.txtPassword2->PasswordChar());
  EXPECT_EQ("*", form.txtFTPPassword->PasswordChar());
  EXPECT_EQ("General Preferences", form.Caption());
  EXPECT_EQ(0, form.chkRunAtStart->Value());
}

// The look is each user's own; "Windows" is no skin file, so the system's look.
TEST_F(OptionsTest, TheSkinChoiceShowsAndStoresEachUsersLook) {
  frmOptions form(app);
  form.Show();
  EXPECT_EQ((std::vector<std::string>{"Light", "Dark", "Windows"}), form.cmbSkin->Items());
  EXPECT_EQ("Light", form.cmbSkin->Text());
  EXPECT_EQ("<none>", UserSkin());  // showing the default stores nothing
  form.cmbSkin->UserSelect(1);
  EXPECT_EQ("Dark", UserSkin());
  form.cmbSkin->UserSelect(2);
  EXPECT_EQ("None", UserSkin());
  form.Unload();
  frmOptions again(app);
  again.Show();
  EXPECT_EQ("Windows", again.cmbSkin->Text());
}

TEST_F(OptionsTest, EveryChangeIsStoredUnderItsKey) {
  frmOptions form(app);
  form.Show();
  form.txtPort->UserType("1025");
  form.txtFTPFolder->UserType("/backups");
  form.txtServer->UserType("smtp.example.org");
  form.chkMin->UserClick();
  form.chkAlwaysExit->UserClick();
  form.chkAlwaysExit->UserClick();
  EXPECT_EQ("1025", Stored("txtport"));
  EXPECT_EQ("/backups", Stored("txtFTPfolder"));
  EXPECT_EQ("smtp.example.org", Stored("txtServer"));
  EXPECT_EQ("1", Stored("chkMin"));
  EXPECT_EQ("0", Stored("chkAlwaysExit"));
  // "Send as Attachment" and "Test" store nothing.
  const size_t writes = reg.WriteCount();
  form.chkAttachment->UserClick();
  form.cmdSend->UserClick();
  EXPECT_EQ(writes, reg.WriteCount());
}

TEST_F(OptionsTest, ReopeningShowsWhatWasStoredIncludingEmptyTexts) {
  {
    frmOptions form(app);
    form.Show();
    form.txtPort->UserType("587");
    form.txtFTPFolder->UserType("");
    form.chkNoShow->UserClick();
    form.Unload();
  }
  frmOptions again(app);
  again.Show();
  EXPECT_EQ("587", again.txtPort->Text());
  EXPECT_EQ("", again.txtFTPFolder->Text());  // the default applies only to a missing value
  EXPECT_EQ(1, again.chkNoShow->Value());
}

// The box keeps only a lead time the warning uses: what it shows is what is stored
// and what acts, and a refused key press comes back with a note at once.
TEST_F(OptionsTest, WarnBeforeActingTakesZeroToThirtySixHundredSecondsOnly) {
  settings.WriteSetting("Norvale", "Settings", "txtWarn", "soon");
  frmOptions form(app);
  form.Show();
  EXPECT_EQ("60", form.txtWarn->Text());  // the stored text was never used
  EXPECT_EQ("", form.txtWarn->TipShown());

  form.txtWarn->UserType("90");
  EXPECT_EQ("90", Stored("txtWarn"));
  for (const char* refused : {"90x", "-5", "3601", "1e3", "12 ", "99999999999"}) {
    form.txtWarn->UserType(refused);
    EXPECT_EQ("90", form.txtWarn->Text()) << refused;
    EXPECT_EQ("90", Stored("txtWarn")) << refused;
  }
  EXPECT_EQ("Enter a number of seconds from 0 to 3600.", form.txtWarn->TipShown());
  form.txtWarn->UserType("");  // cleared to type anew: nothing stored yet
  EXPECT_EQ("90", Stored("txtWarn"));
  form.txtWarn->UserType("3600");
  EXPECT_EQ("3600", Stored("txtWarn"));
  form.txtWarn->UserType("0");
  EXPECT_EQ("0", Stored("txtWarn"));
}

TEST(WarnSeconds, AStoredValueGivesTheLeadTimeTheBoxShows) {
  EXPECT_EQ(0, WarnSecondsOf("0"));
  EXPECT_EQ(3600, WarnSecondsOf("3600"));
  EXPECT_EQ(3600, WarnSecondsOf("7200"));  // set beside the window: held to the range
  for (const char* odd : {"", "abc", "-1", " 30", "30s", "+30", "3.5"}) {
    EXPECT_EQ(kDefaultWarnSeconds, WarnSecondsOf(odd)) << odd;
  }
}

TEST_F(OptionsTest, PasswordsAreKeptProtectedForThisUserOnlyAndShownAsTyped) {
  EXPECT_EQ("\xC3\xA1\xC3\xA2\xC3\xA3", ScrambleText("abc", codec));  // codes 225, 226, 227
  EXPECT_EQ("abc", ScrambleText("\xC3\xA1\xC3\xA2\xC3\xA3", codec));
  EXPECT_EQ("\xE2\x82\xAC", ScrambleText("\xE2\x82\xAC", codec));  // code 128 stays
  {
    frmOptions form(app);
    form.Show();
    form.txtPassword2->UserType("s3cret!");
    form.txtFTPPassword->UserType("Zo\xC3\xA9");  // "Zoé"
  }
  // Nothing machine-wide; per user, only bytes this user's protector opens.
  EXPECT_EQ(std::nullopt, Raw(RegRoot::LocalMachine, kMachine, "txtPassword2"));
  EXPECT_EQ(std::nullopt, Raw(RegRoot::LocalMachine, kMachine, "txtFTPPassword"));
  const auto kept = Raw(RegRoot::CurrentUser, kUser, "txtPassword2");
  ASSERT_TRUE(kept);
  EXPECT_EQ(kRegBinary, kept->type);
  EXPECT_EQ(std::string::npos, kept->data.find("s3cret!"));
  EXPECT_EQ("s3cret!", secrets.Unprotect(kept->data));
  EXPECT_EQ(std::nullopt, headless::SealedSecrets("bob").Unprotect(kept->data));
  frmOptions again(app);
  const size_t writes = reg.WriteCount();
  again.Show();
  EXPECT_EQ("s3cret!", again.txtPassword2->Text());
  EXPECT_EQ("Zo\xC3\xA9", again.txtFTPPassword->Text());
  EXPECT_EQ(writes, reg.WriteCount());  // showing them rewrites nothing
  again.txtPassword2->UserType("");
  EXPECT_EQ(std::nullopt, Raw(RegRoot::CurrentUser, kUser, "txtPassword2"));
}

TEST_F(OptionsTest, AnOlderVersionsScrambledPasswordsAreMovedToThisUserOnce) {
  // Machine-wide, as older versions kept them; and one kept for this user
  // where the machine-wide key refused, which is the newer.
  reg.Put(RegRoot::LocalMachine, kMachine, "txtPassword2", {kRegSz, ScrambleText("mail pw", codec)});
  reg.Put(RegRoot::LocalMachine, kMachine, "txtFTPPassword", {kRegSz, ScrambleText("old", codec)});
  reg.Put(RegRoot::CurrentUser, kUser, "txtFTPPassword", {kRegSz, ScrambleText("Zo\xC3\xA9", codec)});
  reg.Put(RegRoot::LocalMachine, kMachine, "txtServer", {kRegSz, kPlaceholderServer});
  {
    frmOptions form(app);
    form.Show();
    EXPECT_EQ("mail pw", form.txtPassword2->Text());
    EXPECT_EQ("Zo\xC3\xA9", form.txtFTPPassword->Text());
  }
  EXPECT_EQ(std::nullopt, Raw(RegRoot::LocalMachine, kMachine, "txtPassword2"));
  EXPECT_EQ(std::nullopt, Raw(RegRoot::LocalMachine, kMachine, "txtFTPPassword"));
  EXPECT_TRUE(Raw(RegRoot::LocalMachine, kMachine, "txtServer"));  // only the passwords move
  for (const char* key : {"txtPassword2", "txtFTPPassword"}) {
    const auto kept = Raw(RegRoot::CurrentUser, kUser, key);
    ASSERT_TRUE(kept) << key;
    EXPECT_EQ(kRegBinary, kept->type) << key;
  }
  const size_t writes = reg.WriteCount();
  frmOptions again(app);
  again.Show();
  EXPECT_EQ("mail pw", again.txtPassword2->Text());
  EXPECT_EQ(writes, reg.WriteCount());  // moved once

  // A protector that refuses keeps the old value where it was rather than lose it.
  reg.Put(RegRoot::LocalMachine, kMachine, "txtPassword2", {kRegSz, ScrambleText("x", codec)});
  reg.DeleteValue(RegRoot::CurrentUser, kUser, "txtPassword2");
  secrets.refuse = true;
  EXPECT_EQ("x", settings.ReadSecret("txtPassword2", codec));
  EXPECT_TRUE(Raw(RegRoot::LocalMachine, kMachine, "txtPassword2"));
  // Without a protector no password is kept at all.
  SettingsStore bare{reg, kit.Boxes(), "Norvale Labs", "Norvale"};
  EXPECT_FALSE(bare.WriteSecret("txtPassword2", "y"));
  EXPECT_EQ("", bare.ReadSecret("txtPassword2", codec));
}

TEST_F(OptionsTest, FolderChoiceFillsTheBoxAndCancelChangesNothing) {
  frmOptions form(app);
  form.Show();
  form.txtLanFolder->UserType("D:\\old");
  shell.folder_to_pick = "";
  form.cmdBrowse->UserClick();
  EXPECT_EQ("D:\\old", form.txtLanFolder->Text());
  EXPECT_EQ("D:\\old", Stored("txtLanFolder"));
  shell.folder_to_pick = "E:\\Backups";
  form.cmdBrowse->UserClick();
  EXPECT_EQ("E:\\Backups", Stored("txtLanFolder"));
}

TEST_F(OptionsTest, AnUnreadableValueShowsTheDefaultAndTheWindowStillOpens) {
  reg.Put(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs\\Norvale\\Settings", "chkMin",
          {kRegDword, std::string("\1\0\0\0", 4)});
  reg.Put(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs\\Norvale\\Settings", "txtServer",
          {kRegBinary, "xx"});
  frmOptions form(app);
  form.Show();
  EXPECT_TRUE(form.Loaded());
  EXPECT_EQ(0, form.chkMin->Value());
  EXPECT_EQ(kPlaceholderServer, form.txtServer->Text());
}

TEST_F(OptionsTest, RunAtStartBeforeVistaWritesThePreferenceAndTheRunValue) {
  XP();
  frmOptions form(app);
  form.Show();
  form.chkRunAtStart->UserClick();
  EXPECT_EQ("1", Stored("chkRunAtStart", "Norvale-1"));
  EXPECT_EQ("\"C:\\Program Files\\Norvale\\Norvale.exe\"", MachineRun());
  form.chkRunAtStart->UserClick();
  EXPECT_EQ("0", Stored("chkRunAtStart", "Norvale-1"));
  EXPECT_EQ(std::nullopt, MachineRun());
  form.chkRunAtStart->UserClick();
  form.chkRunAtStart->UserClick();  // unticking without an entry reports nothing
  EXPECT_TRUE(kit.Script().AllAnswered());
}

TEST_F(OptionsTest, RunAtStartOnVistaExplainsTheToolAndTouchesNoRegistry) {
  frmOptions form(app);
  form.Show();
  kit.Script().Expect("", MsgBoxResult::Cancel);
  form.chkRunAtStart->UserClick();
  EXPECT_TRUE(shell.commands.empty());
  EXPECT_EQ("Vista Detected", kit.Script().shown().back().title);
  form.chkRunAtStart->UserClick();  // unticking without an entry asks nothing
  EXPECT_TRUE(kit.Script().AllAnswered());
  kit.Script().Expect("", MsgBoxResult::OK);
  kit.Script().Expect("", MsgBoxResult::OK);
  form.chkRunAtStart->UserClick();
  EXPECT_EQ("Startup Tool", kit.Script().shown().back().title);
  ASSERT_EQ(1u, shell.commands.size());
  EXPECT_EQ("explorer \"C:\\Program Files\\Norvale\"", shell.commands[0]);
  EXPECT_EQ(0u, reg.WriteCount());
}

TEST_F(OptionsTest, RunAtStartShowsAnyEntryThatStartsThisProgramAndOpensSilently) {
  // The installer's entry for all users, under a name of its own.
  PutRun(RegRoot::LocalMachine, "Norvale-1", "\"C:\\Program Files\\Norvale\\Norvale.exe\"");
  {
    frmOptions form(app);
    form.Show();
    EXPECT_EQ(1, form.chkRunAtStart->Value());
    EXPECT_TRUE(kit.Script().shown().empty());  // showing it asks nothing
  }
  AddRemove(reg, "Norvale Labs").RemoveFromRun2("Norvale-1");
  PutRun(RegRoot::CurrentUser, "Norvale", "c:\\program files\\norvale\\NORVALE.EXE /tray");
  PutRun(RegRoot::LocalMachine, "Other", "\"C:\\Program Files\\Other\\Norvale.exe\"");
  {
    frmOptions form(app);
    form.Show();
    EXPECT_EQ(1, form.chkRunAtStart->Value());
  }
  AddRemove(reg, "Norvale Labs").RemoveFromRun("Norvale");
  frmOptions form(app);
  form.Show();
  EXPECT_EQ(0, form.chkRunAtStart->Value());  // another copy's entry is not this program's
  // The preference once stored no longer ticks the box by itself.
  settings.WriteSetting("Norvale-1", "Settings", "chkRunAtStart", "1");
  frmOptions again(app);
  again.Show();
  EXPECT_EQ(0, again.chkRunAtStart->Value());
  EXPECT_TRUE(kit.Script().AllAnswered());
}

TEST_F(OptionsTest, UntickingRemovesTheEntryFoundOrSendsTheUserToKestrup) {
  PutRun(RegRoot::LocalMachine, "Norvale-1", "\"C:\\Program Files\\Norvale\\Norvale.exe\"");
  PutRun(RegRoot::CurrentUser, "Norvale", "\"C:\\Program Files\\Norvale\\Norvale.exe\" /tray");
  reg.Deny(RegRoot::LocalMachine, kRunKey);  // a standard user
  frmOptions form(app);
  form.Show();
  ASSERT_EQ(1, form.chkRunAtStart->Value());
  kit.Script().Expect(
      "Norvale starts at the logon of every user of this computer, and only an administrator can "
      "change that.  Right-click Kestrup.exe in the program folder, choose \"Run as "
      "administrator\" and press \"Remove program from the startup list\".",
      MsgBoxResult::OK);
  form.chkRunAtStart->UserClick();
  EXPECT_TRUE(kit.Script().AllAnswered());
  EXPECT_EQ(1, form.chkRunAtStart->Value());  // still ticked: the entry is still there
  EXPECT_EQ(std::nullopt, AddRemove(reg, "Norvale Labs").GetString(RegRoot::CurrentUser, kRunKey, "Norvale"));
  reg.Allow(RegRoot::LocalMachine, kRunKey);
  EXPECT_EQ("\"C:\\Program Files\\Norvale\\Norvale.exe\"", MachineRun());
  // Where the list for all users may be written, the entry just goes.
  form.chkRunAtStart->UserClick();
  EXPECT_EQ(0, form.chkRunAtStart->Value());
  EXPECT_EQ(std::nullopt, MachineRun());
  EXPECT_TRUE(kit.Script().AllAnswered());
}

TEST_F(OptionsTest, RunValueKeepsAnExeAlreadyInThePath) {
  XP();
  fakes::MemoryFileSystem odd{"D:\\tools.exe.d"};
  AppContext other{kit,   odd,   codec,  locale,    reg,           settings,
                   power, shell, system, "Norvale", "Norvale Labs"};
  ApplyRunAtStart(other, true);
  EXPECT_EQ("\"D:\\tools.exe.d\\Norvale\"", MachineRun());
}

}  // namespace
}  // namespace norvale
