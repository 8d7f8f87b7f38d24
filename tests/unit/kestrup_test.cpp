#include <gtest/gtest.h>

#include "settings/add_remove.h"
#include "startup_tool/form1.h"
#include "startup_tool/module1.h"
#include "tests/fakes/fake_accounts.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"

namespace norvale {
namespace {

using fakes::FakeAccounts;
using fakes::FakeClock;
using fakes::FakeProcessLauncher;
using fakes::FakeSystemInfo;
using fakes::FakeToolkit;
using fakes::MemoryFileSystem;
using fakes::MemoryRegistry;

class KestrupTest : public ::testing::Test {
 protected:
  FakeClock clock;
  FakeToolkit kit{clock};
  MemoryFileSystem fs{"C:\\Apps\\Norvale"};
  MemoryRegistry reg;
  FakeProcessLauncher launcher;
  FakeSystemInfo system;
  FakeAccounts accounts;
  KestrupContext k{kit, fs, reg, launcher, system, "Norvale Labs", accounts};

  void SetUp() override { system.exe = "Kestrup"; }
  void Exe(const std::string& name, size_t size) {
    fs.Put("C:\\Apps\\Norvale\\" + name, std::string(size, 'x'));
  }
  std::optional<std::string> Run(RegRoot root, const std::string& name) {
    return AddRemove(reg, "Norvale Labs").GetString(root, kRunKey, name);
  }
  void PutRun(RegRoot root, const std::string& name, const std::string& command) {
    AddRemove(reg, "Norvale Labs").SaveString(root, kRunKey, name, command);
  }
  // The one message box the last click showed.
  const fakes::ScriptedMessageBoxes::Shown& Shown() {
    EXPECT_FALSE(kit.Script().shown().empty());
    return kit.Script().shown().back();
  }
};

TEST_F(KestrupTest, TheLargestProgramIsProposedAndTiesGoToTheFirst) {
  Exe("Kestrup.exe", 300);
  Exe("Norvale.exe", 900);
  Exe("Other.EXE", 900);
  Exe("readme.txt", 5000);
  Form1 form(k);
  form.Show();
  EXPECT_EQ("Kestrup - Startup Tool", form.Caption());
  EXPECT_EQ(3, form.File1->ListCount());
  EXPECT_EQ("Norvale", form.txtName->Text());
  EXPECT_EQ("C:\\Apps\\Norvale\\Norvale.exe", form.txtPath->Text());
}

TEST_F(KestrupTest, EmptyFilesGiveTheFirstEntryAndEveryExeIsRemovedFromTheName) {
  Exe("app.exe.exe", 0);
  Exe("b.exe", 0);
  Form1 form(k);
  form.Show();
  EXPECT_EQ("app", form.txtName->Text());
  form.File1->UserSelect(1);
  EXPECT_EQ("b", form.txtName->Text());
  EXPECT_EQ("C:\\Apps\\Norvale\\b.exe", form.txtPath->Text());
  EXPECT_EQ("aB", WithoutExe("a.EXEB.Exe"));
}

TEST_F(KestrupTest, AddingForOneScopeLeavesOnlyThatEntry) {
  Exe("Norvale.exe", 10);
  Form1 form(k);
  form.Show();
  form.txtPath->UserType("C:\\Apps\\Norvale\\Norvale");  // typed without an extension
  kit.Script().Expect("This program has been added to the startup list for the all accounts.",
                      MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_EQ("\"C:\\Apps\\Norvale\\Norvale.exe\"", Run(RegRoot::LocalMachine, "Norvale"));
  kit.Script().Expect("This program has been added to the startup list for the current account.",
                      MsgBoxResult::OK);
  form.Command1->UserClick();
  EXPECT_EQ("\"C:\\Apps\\Norvale\\Norvale.exe\"", Run(RegRoot::CurrentUser, "Norvale"));
  EXPECT_EQ(std::nullopt, Run(RegRoot::LocalMachine, "Norvale"));
  form.txtPath->UserType("D:\\X.EXE.d\\run");
  fs.Put("D:\\X.EXE.d\\run", "x");
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_EQ("\"D:\\X.EXE.d\\run\"", Run(RegRoot::LocalMachine, "Norvale"));
  EXPECT_EQ(std::nullopt, Run(RegRoot::CurrentUser, "Norvale"));
  EXPECT_EQ("Kestrup - Startup Tool", kit.Script().shown().back().title);
}

TEST_F(KestrupTest, RemovingWithoutAnEntrySaysNothingWasFound) {
  Exe("Norvale.exe", 10);
  PutRun(RegRoot::CurrentUser, "Norvale", "\"C:\\Elsewhere\\Norvale.exe\"");
  Form1 form(k);
  form.Show();
  kit.Script().Expect(
      "Nothing was removed: no entry of the startup lists starts C:\\Apps\\Norvale\\Norvale.exe.",
      MsgBoxResult::OK);
  form.Command2->UserClick();
  EXPECT_TRUE(kit.Script().AllAnswered());
  EXPECT_TRUE(Run(RegRoot::CurrentUser, "Norvale"));  // another copy's entry stays
}

TEST_F(KestrupTest, RemoveTakesEveryEntryThatStartsTheProgramAndNamesThem) {
  Exe("Norvale.exe", 10);
  // The installer's entry, an older tool's, and one typed by hand.
  PutRun(RegRoot::LocalMachine, "Norvale-1", "\"C:\\Apps\\Norvale\\Norvale.exe\"");
  PutRun(RegRoot::LocalMachine, "Norvale", "C:\\APPS\\norvale\\Norvale.exe /tray");
  PutRun(RegRoot::CurrentUser, "Start it", "c:/apps/norvale//norvale /dryrun");
  PutRun(RegRoot::LocalMachine, "Helper", "\"C:\\Apps\\Norvale\\Norvale.exe.bak\"");
  PutRun(RegRoot::CurrentUser, "Other", "C:\\Apps\\Other.exe C:\\Apps\\Norvale\\Norvale.exe");
  Form1 form(k);
  form.Show();
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command2->UserClick();
  EXPECT_EQ(
      "Removed from the startup list for the current account: \"Start it\".\r\n"
      "Removed from the startup list for all accounts: \"Norvale-1\", \"Norvale\".\r\n",
      Shown().text);
  EXPECT_EQ(MsgBoxIcon::Information, Shown().icon);
  EXPECT_FALSE(Run(RegRoot::LocalMachine, "Norvale-1"));
  EXPECT_FALSE(Run(RegRoot::LocalMachine, "Norvale"));
  EXPECT_FALSE(Run(RegRoot::CurrentUser, "Start it"));
  EXPECT_TRUE(Run(RegRoot::LocalMachine, "Helper"));
  EXPECT_TRUE(Run(RegRoot::CurrentUser, "Other"));
}

TEST_F(KestrupTest, ARemovalWindowsRefusesIsToldAsAFailure) {
  Exe("Norvale.exe", 10);
  PutRun(RegRoot::LocalMachine, "Norvale-1", "\"C:\\Apps\\Norvale\\Norvale.exe\"");
  PutRun(RegRoot::CurrentUser, "Norvale", "\"C:\\Apps\\Norvale\\Norvale.exe\"");
  reg.Deny(RegRoot::LocalMachine, kRunKey);
  Form1 form(k);
  form.Show();
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command2->UserClick();
  EXPECT_EQ(MsgBoxIcon::Exclamation, Shown().icon);
  EXPECT_EQ(0u, Shown().text.find(
                    "Removed from the startup list for the current account: \"Norvale\".\r\n"
                    "Not removed from the startup list for all accounts: \"Norvale-1\" "
                    "(Windows refused, error 5).\r\n"))
      << Shown().text;
  EXPECT_EQ(std::string::npos, Shown().text.find("has been removed"));
  EXPECT_TRUE(Run(RegRoot::LocalMachine, "Norvale-1"));
}

TEST_F(KestrupTest, ForAllUsersRefusesAProgramOthersCanChangeAndSaysWhy) {
  Exe("Norvale.exe", 10);
  PutRun(RegRoot::CurrentUser, "Norvale", "\"C:\\Apps\\Norvale\\Norvale.exe\"");
  accounts.changers["C:\\Apps\\Norvale"] = {0, {"BUILTIN\\Users", "PC\\ann"}};
  Form1 form(k);
  form.Show();
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_EQ((std::vector<std::string>{"file C:\\Apps\\Norvale\\Norvale.exe",
                                      "folder C:\\Apps\\Norvale"}),
            accounts.asked);
  EXPECT_EQ(0u, Shown().text.find("Nothing was added to the startup list for all users.\r\n\r\n"
                                  "BUILTIN\\Users may change the folder C:\\Apps\\Norvale.\r\n"
                                  "PC\\ann may change the folder C:\\Apps\\Norvale.\r\n"))
      << Shown().text;
  EXPECT_EQ(MsgBoxIcon::Exclamation, Shown().icon);
  EXPECT_FALSE(Run(RegRoot::LocalMachine, "Norvale"));
  // Nothing was touched, not even the entry an add would move.
  EXPECT_TRUE(Run(RegRoot::CurrentUser, "Norvale"));

  // The file itself, permissions that cannot be read, a file that is not there.
  accounts.changers.clear();
  accounts.changers["C:\\Apps\\Norvale\\Norvale.exe"] = {0, {"Everyone"}};
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_NE(std::string::npos,
            Shown().text.find("Everyone may change C:\\Apps\\Norvale\\Norvale.exe."));
  accounts.changers.clear();
  accounts.changers["C:\\Apps\\Norvale"] = {5, {}};
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_NE(std::string::npos,
            Shown().text.find("The permissions of C:\\Apps\\Norvale could not be read (error 5)."));
  form.txtPath->UserType("C:\\Apps\\Norvale\\Gone.exe /tray");
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_NE(std::string::npos, Shown().text.find("There is no file C:\\Apps\\Norvale\\Gone.exe."));
  EXPECT_FALSE(Run(RegRoot::LocalMachine, "Norvale"));

  // Only administrators can change it: registered.
  accounts.changers.clear();
  form.txtPath->UserType("C:\\Apps\\Norvale\\Norvale.exe /tray");
  kit.Script().Expect("This program has been added to the startup list for the all accounts.",
                      MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_EQ("\"C:\\Apps\\Norvale\\Norvale.exe\" /tray", Run(RegRoot::LocalMachine, "Norvale"));
}

TEST_F(KestrupTest, AnAdministratorsLogonOverAnotherUserSaysWhoseListItIs) {
  Exe("Norvale.exe", 10);
  accounts.process_user = "PC\\admin";
  accounts.session_user = "PC\\ann";
  Form1 form(k);
  form.Show();
  kit.Script().Expect(
      "This program has been added to the startup list for the account PC\\admin, which this tool "
      "runs as (not PC\\ann, who is signed in).",
      MsgBoxResult::OK);
  form.Command1->UserClick();
  kit.Script().Expect(
      "Removed from the startup list for the account PC\\admin, which this tool runs as (not "
      "PC\\ann, who is signed in): \"Norvale\".\r\n",
      MsgBoxResult::OK);
  form.Command2->UserClick();
  EXPECT_TRUE(kit.Script().AllAnswered());
}

TEST(RunEntries, ACommandStartsTheProgramItNamesWhateverItsForm) {
  const std::string p = "C:\\Program Files\\Norvale\\Norvale.exe";
  for (const char* yes : {"\"C:\\Program Files\\Norvale\\Norvale.exe\"",
                          "\"C:\\Program Files\\Norvale\\Norvale.exe\" /tray",
                          "C:\\Program Files\\Norvale\\Norvale.exe",
                          "  C:\\PROGRAM FILES\\NORVALE\\NORVALE.EXE /tray /dryrun",
                          "C:/Program Files/Norvale/Norvale.exe", "\"C:\\Program Files\\Norvale\\Norvale\"",
                          "\"C:\\Program Files\\Norvale\\\\Norvale.exe.\""}) {
    EXPECT_TRUE(StartsProgram(yes, p)) << yes;
  }
  for (const char* no : {"", "\"\"", "\"C:\\Program Files\\Norvale\\Norvale.exe.bak\"",
                         "C:\\Program Files\\Norvale\\Norvale2.exe",
                         "C:\\Program Files\\Other.exe C:\\Program Files\\Norvale\\Norvale.exe",
                         "\"C:\\Program Files\\Norvale\\Norvale.com\"",
                         "D:\\Program Files\\Norvale\\Norvale.exe"}) {
    EXPECT_FALSE(StartsProgram(no, p)) << no;
  }
  EXPECT_EQ("C:\\A B\\x.exe", ProgramOfCommand("C:\\A B\\x.exe -y"));
  EXPECT_EQ("C:\\A\\run", ProgramOfCommand("C:\\A\\run me"));
  EXPECT_EQ("C:\\open quote", ProgramOfCommand("\"C:\\open quote"));
}

TEST_F(KestrupTest, ARefusedWriteIsReportedAsAFailureNotASuccess) {
  Exe("Norvale.exe", 10);
  reg.Deny(RegRoot::LocalMachine, kRunKey);
  Form1 form(k);
  form.Show();
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  ASSERT_EQ(1u, kit.Script().shown().size());
  EXPECT_NE(std::string::npos, kit.Script().shown()[0].text.find("could not be changed"));
  EXPECT_EQ(MsgBoxIcon::Exclamation, kit.Script().shown()[0].icon);
  // A machine-wide entry that cannot be removed makes the per-user add fail too.
  reg.Allow(RegRoot::LocalMachine, kRunKey);
  AddRemove(reg, "Norvale Labs").AddToRun2("Norvale", "old");
  reg.Deny(RegRoot::LocalMachine, kRunKey);
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command1->UserClick();
  EXPECT_NE(std::string::npos, kit.Script().shown()[1].text.find("could not be changed"));
}

TEST_F(KestrupTest, AdvancedGrowsTheWindowOnce) {
  Form1 form(k);
  form.Show();
  EXPECT_EQ(5445, form.ScaleWidth());
  EXPECT_EQ(3945, form.ScaleHeight());
  form.Command5->UserClick();
  EXPECT_EQ(7800, form.Bounds().height);
  form.Command5->UserClick();
  EXPECT_EQ(7800, form.Bounds().height);
  EXPECT_EQ("Ad&vanced >>", form.Command5->Caption());
  EXPECT_GT(form.Command4->Left(), 5445);  // out of sight, as designed
}

TEST_F(KestrupTest, RelaunchUsesTheLogonServiceOnNtFiveAndLater) {
  Form1 form(k);
  form.Show();
  form.Command4->UserClick();
  ASSERT_EQ(1u, launcher.calls.size());
  EXPECT_EQ("logon Administrator Kestrup in C:\\Apps\\Norvale", launcher.calls[0]);
  launcher.logon_error = 1326;
  kit.Script().Expect("CreateProcessWithLogonW() failed with error 1326", MsgBoxResult::OK);
  form.Command4->UserClick();
  EXPECT_TRUE(form.Loaded());
}

TEST(Module1, OlderSystemsAndFailedCallsUseALogonToken) {
  FakeProcessLauncher launcher;
  FakeSystemInfo system;
  FakeClock clock;
  FakeToolkit kit(clock);
  const LogonRequest r{"Administrator", "", "", "Kestrup", "C:\\K"};
  system.version = OsVersion{1, 4, 10};
  EXPECT_EQ(0u, Module1::LaunchAsUser(launcher, system, kit.Boxes(), r, "T"));
  system.version = std::nullopt;
  launcher.token_error = 1385;
  kit.Script().Expect("LogonUser() failed with error 1385", MsgBoxResult::OK);
  EXPECT_EQ(1385u, Module1::LaunchAsUser(launcher, system, kit.Boxes(), r, "T"));
  launcher.token_failed_step = ProcessLauncher::Step::kCreateProcessAsUser;
  launcher.token_error = 5;
  kit.Script().Expect("CreateProcessAsUser() failed with error 5", MsgBoxResult::OK);
  EXPECT_EQ(5u, Module1::LaunchWithToken(launcher, kit.Boxes(), r, "T"));
  EXPECT_EQ((std::vector<std::string>{"token Administrator Kestrup in C:\\K",
                                      "token Administrator Kestrup in C:\\K",
                                      "token Administrator Kestrup in C:\\K"}),
            launcher.calls);
}

}  // namespace
}  // namespace norvale
