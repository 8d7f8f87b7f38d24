#pragma once
// The startup tool's window: adds the main program (the largest ".exe" beside
// the tool) to the logon Run list of this user or of all users, or removes it.
#include <string>

#include "platform/accounts.h"
#include "platform/file_system.h"
#include "platform/forms/form.h"
#include "platform/forms/toolkit.h"
#include "platform/process_launcher.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace norvale {

struct KestrupContext {
  Toolkit& kit;
  FileSystem& fs;
  Registry& registry;
  ProcessLauncher& launcher;
  const SystemInfo& system;
  std::string company_name;
  const Accounts& accounts;
};

// The file name with every ".exe" removed, in any letter case.
std::string WithoutExe(std::string name);

class Form1 : public Form {
 public:
  explicit Form1(KestrupContext& k) : Form(k.kit, "Form1"), k_(k) {}

  Label* Label1 = nullptr;
  CommandButton* Command1 = nullptr;
  CommandButton* Command2 = nullptr;
  CommandButton* Command3 = nullptr;
  CommandButton* Command4 = nullptr;
  CommandButton* Command5 = nullptr;
  TextBox* txtName = nullptr;
  TextBox* txtPath = nullptr;
  ListBox* File1 = nullptr;

  void File1_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();

  std::string Title() const;

 protected:
  void BuildLayout() override;
  void Form_Load() override;
  // The tool ends with its window.
  void Form_Unload(int&) override { Kit().Quit(); }

 private:
  // Removes any earlier entry of the name, then adds it for one scope.
  void AddEntry(bool all_users);
  // The program txtPath names, with ".exe" added as it is registered.
  std::string ProgramPath() const;
  // Why `program` must not start at every account's logon; empty when only
  // administrators can change it and its folder.
  std::string WhyNotForAllUsers(const std::string& program) const;
  // "the account NAME" when an administrator's logon runs this tool over
  // another user's desktop, so that its own list is not mistaken for theirs.
  std::string ThisUsersList() const;
  void Tell(const std::string& text, MsgBoxIcon icon);
  // The Run entries as they are now; a mismatch with what was asked is told.
  bool Verify(bool want_user, bool want_machine, const std::string& path);

  KestrupContext& k_;
};

}  // namespace norvale
