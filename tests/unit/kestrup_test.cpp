#include <gtest/gtest.h>

#include "settings/add_remove.h"
#include "startup_tool/form1.h"
#include "startup_tool/module1.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"

namespace norvale {
namespace {

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
  KestrupContext k{kit, fs, reg, launcher, system, "Norvale Labs"};

  void SetUp() override { system.exe = "Kestrup"; }
  void Exe(const std::string& name, size_t size) {
    fs.Put("C:\\Apps\\Norvale\\" + name, std::string(size, 'x'));
  }
  std::optional<std::string> Run(RegRoot root, const std::string& name) {
    return AddRemove(reg, "Norvale Labs").GetString(root, kRunKey, name);
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
  kit.Script().Expect("", MsgBoxResult::OK);
  form.Command3->UserClick();
  EXPECT_EQ("\"D:\\X.EXE.d\\run\"", Run(RegRoot::LocalMachine, "Norvale"));
  EXPECT_EQ(std::nullopt, Run(RegRoot::CurrentUser, "Norvale"));
  EXPECT_EQ("Kestrup - Startup Tool", kit.Script().shown().back().title);
}

TEST_F(KestrupTest, RemovingWithoutAnEntryStillConfirms) {
  Exe("Norvale.exe", 10);
  Form1 form(k);
  form.Show();
  kit.Script().Expect("This program has been removed from the startup list for all accounts.",
                      MsgBoxResult::OK);
  form.Command2->UserClick();
  EXPECT_TRUE(kit.Script().AllAnswered());
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
