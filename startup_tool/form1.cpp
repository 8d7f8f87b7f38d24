#include "startup_tool/form1.h"

#include <cctype>

#include "platform/path.h"
#include "settings/add_remove.h"
#include "startup_tool/module1.h"

namespace norvale {
namespace {

constexpr int kCollapsedClientWidth = 5445;
constexpr int kCollapsedClientHeight = 3945;
constexpr int kExpandedOuterHeight = 7800;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string WithoutExe(std::string name) {
  for (size_t at = Lower(name).find(".exe"); at != std::string::npos;
       at = Lower(name).find(".exe")) {
    name.erase(at, 4);
  }
  return name;
}

std::string Form1::Title() const {
  return k_.system.ExeName() + " - Startup Tool";
}

void Form1::BuildLayout() {
  SetDialog(true);
  SetCaption(Title());
  Label1 = &Add<Label>("Label1", -1,
                       "In order for this tool to run properly you must have right clicked the "
                       "file Kestrup.exe and selected \"Run As Administrator\".  This tool is only "
                       "necessary on Vista systems.  ",
                       nullptr, 120, 60, 5205, 675);
  Add<Label>("Label2", -1,
             "Note that the \"run at startup\" checkbox in the main program shows ticked while "
             "an entry of either startup list starts the program, whatever its name.",
             nullptr, 120, 780, 5205, 675);
  Add<Label>("Label6", -1,
             "In order to remove a program from the run at startup list you will need to run this "
             "tool as an administrator again.",
             nullptr, 120, 1500, 5205, 495);
  Command1 = &Add<CommandButton>("Command1", -1, "Add program to the startup list for this &user",
                                 nullptr, 120, 2160, 5205, 405);
  Command3 = &Add<CommandButton>("Command3", -1, "Add program to the startup list for &all users",
                                 nullptr, 120, 2640, 5205, 405);
  Command2 = &Add<CommandButton>("Command2", -1, "&Remove program from the startup list", nullptr,
                                 120, 3120, 5205, 405);
  Command5 = &Add<CommandButton>("Command5", -1, "Ad&vanced >>", nullptr, 3765, 3570, 1560, 345);
  Add<Line>("Line1", -1, "", nullptr, 0, 3960, kCollapsedClientWidth, 15);
  Add<Label>("Label7", -1,
             "The following information will be added/removed from the run at startup list:",
             nullptr, 120, 4080, 5205, 315);
  Add<Label>("Label5", -1,
             "If the below information is not correct, please select the EXE file you want to run "
             "at startup from the list below.  You will not usually need to edit this information.",
             nullptr, 120, 4440, 5205, 675);
  Add<Label>("Label3", -1, "&Name:", nullptr, 120, 5205, 600, 255);
  txtName = &Add<TextBox>("txtName", -1, "", nullptr, 780, 5160, 4545, 315);
  Add<Label>("Label4", -1, "&File:", nullptr, 120, 5565, 600, 255);
  txtPath = &Add<TextBox>("txtPath", -1, "", nullptr, 780, 5520, 4545, 315);
  File1 = &Add<ListBox>("File1", -1, "", nullptr, 120, 5880, 5205, 1200);
  // Lies beyond the right edge of the window, as it always has; hidden, so that
  // Tab cannot put the focus on a button nobody sees.
  Command4 =
      &Add<CommandButton>("Command4", -1, "Launch another copy of this program with admin rights",
                          nullptr, 10860, 2280, 5205, 405);
  Command4->SetVisible(false);
  SetClientSize(kCollapsedClientWidth, kCollapsedClientHeight);

  File1->Click = [this] { File1_Click(); };
  Command1->Click = [this] { Command1_Click(); };
  Command2->Click = [this] { Command2_Click(); };
  Command3->Click = [this] { Command3_Click(); };
  Command4->Click = [this] { Command4_Click(); };
  Command5->Click = [this] { Command5_Click(); };
}

void Form1::Form_Load() {
  const std::string folder = k_.fs.ProgramFolder();
  for (const std::string& name : k_.fs.ListFiles(folder, "*.exe")) File1->AddItem(name);
  // The largest file is the main program; ties go to the one listed first.
  uint64_t largest = 0;
  int kept = 0;
  for (int i = 0; i < File1->ListCount(); ++i) {
    const uint64_t size = k_.fs.FileSize(JoinPath(folder, File1->List(i))).value_or(0);
    if (size > largest) {
      largest = size;
      kept = i;
    }
  }
  if (File1->ListCount() == 0) return;
  txtName->SetText(WithoutExe(File1->List(kept)));
  txtPath->SetText(folder + "\\" + File1->List(kept));
}

void Form1::File1_Click() {
  if (File1->ListIndex() < 0) return;
  const std::string& file = File1->List(File1->ListIndex());
  txtName->SetText(WithoutExe(file));
  txtPath->SetText(k_.fs.ProgramFolder() + "\\" + file);
}

std::string Form1::ProgramPath() const {
  std::string path = txtPath->Text();
  if (Lower(path).find(".exe") == std::string::npos) path += ".exe";
  return ProgramOfCommand(QuotedCommand(path));
}

std::string Form1::WhyNotForAllUsers(const std::string& program) const {
  if (!k_.fs.FileExists(program)) return "There is no file " + program + ".";
  std::string why;
  const std::string folder(FolderOf(program));
  for (const auto& [path, is_folder] : {std::pair{program, false}, std::pair{folder, true}}) {
    const PathChangers who = k_.accounts.WhoMayChange(path, is_folder);
    if (who.error != 0) {
      why += "The permissions of " + path + " could not be read (error " +
             std::to_string(who.error) + ").\r\n";
      continue;
    }
    for (const std::string& account : who.accounts) {
      why += account + " may change " + (is_folder ? "the folder " : "") + path + ".\r\n";
    }
  }
  return why;
}

std::string Form1::ThisUsersList() const {
  const std::string runs_as = k_.accounts.ProcessUser();
  const std::string signed_in = k_.accounts.SessionUser();
  if (runs_as.empty() || signed_in.empty() || EqualsIgnoringCase(runs_as, signed_in)) {
    return "the current account";
  }
  return "the account " + runs_as + ", which this tool runs as (not " + signed_in +
         ", who is signed in)";
}

void Form1::Tell(const std::string& text, MsgBoxIcon icon) {
  Kit().Boxes().MsgBox(text, MsgBoxButtons::OK, icon, Title());
}

void Form1::AddEntry(bool all_users) {
  std::string path = txtPath->Text();
  if (Lower(path).find(".exe") == std::string::npos) path += ".exe";
  path = QuotedCommand(path);
  if (all_users) {
    // Every account runs it at logon, administrators' included: anyone else who
    // could replace the file would have their program run with those rights.
    const std::string program = ProgramOfCommand(path);
    const std::string why = WhyNotForAllUsers(program);
    if (!why.empty()) {
      Tell("Nothing was added to the startup list for all users.\r\n\r\n" + why +
               "\r\nA program that starts for every account must be one that only administrators "
               "can change, such as a copy installed in Program Files by its setup.  You can "
               "still add this copy to the startup list for this user.",
           MsgBoxIcon::Exclamation);
      return;
    }
  }
  AddRemove run(k_.registry, k_.company_name);
  run.RemoveFromRun(txtName->Text());
  run.RemoveFromRun2(txtName->Text());
  if (all_users) {
    run.AddToRun2(txtName->Text(), path);
  } else {
    run.AddToRun(txtName->Text(), path);
  }
  if (!Verify(!all_users, all_users, path)) return;
  Tell(all_users ? "This program has been added to the startup list for the all accounts."
                 : "This program has been added to the startup list for " + ThisUsersList() + ".",
       MsgBoxIcon::Information);
}

bool Form1::Verify(bool want_user, bool want_machine, const std::string& path) {
  AddRemove run(k_.registry, k_.company_name);
  const auto user = run.GetString(RegRoot::CurrentUser, kRunKey, txtName->Text());
  const auto machine = run.GetString(RegRoot::LocalMachine, kRunKey, txtName->Text());
  const bool ok = (want_user ? user == path : !user) && (want_machine ? machine == path : !machine);
  if (!ok) {
    Tell("The startup list could not be changed as asked: Windows refused the change.  Please "
         "close this tool, right click the file Kestrup.exe, select \"Run As Administrator\" and "
         "try again.",
         MsgBoxIcon::Exclamation);
  }
  return ok;
}

void Form1::Command1_Click() {
  AddEntry(false);
}
void Form1::Command3_Click() {
  AddEntry(true);
}

void Form1::Command2_Click() {
  const std::string program = ProgramPath();
  const RunRemoval done = RemoveRunEntries(k_.registry, RunEntriesStarting(k_.registry, program));
  if (done.removed.empty() && done.refused.empty()) {
    Tell("Nothing was removed: no entry of the startup lists starts " + program + ".",
         MsgBoxIcon::Information);
    return;
  }
  const auto list_name = [this](RegRoot list) {
    return list == RegRoot::LocalMachine ? std::string("the startup list for all accounts")
                                         : "the startup list for " + ThisUsersList();
  };
  std::string text;
  for (const RegRoot list : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    std::string names;
    for (const RunEntry& e : done.removed) {
      if (e.list == list) names += (names.empty() ? "\"" : ", \"") + e.name + "\"";
    }
    if (!names.empty()) text += "Removed from " + list_name(list) + ": " + names + ".\r\n";
  }
  for (const auto& [e, rc] : done.refused) {
    text += "Not removed from " + list_name(e.list) + ": \"" + e.name + "\" (Windows refused, error " +
            std::to_string(rc) + ").\r\n";
  }
  if (!done.refused.empty()) {
    text += "\r\nPlease close this tool, right click the file Kestrup.exe, select \"Run As "
            "Administrator\" and try again.";
  }
  Tell(text, done.refused.empty() ? MsgBoxIcon::Information : MsgBoxIcon::Exclamation);
}

void Form1::Command4_Click() {
  Module1::LaunchAsUser(k_.launcher, k_.system, Kit().Boxes(),
                        {"Administrator", "", "", k_.system.ExeName(), k_.fs.ProgramFolder()},
                        Title());
}

void Form1::Command5_Click() {
  const TwipsRect b = Bounds();
  Move(b.left, b.top, b.width, kExpandedOuterHeight);
}

}  // namespace norvale
