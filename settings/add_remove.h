#pragma once
// Registry entries by path: the logon Run lists and the uninstall list. Both
// programs carry this class; failures are ignored, as nothing here reports.
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace norvale {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class AddRemove {
 public:
  AddRemove(Registry& registry, std::string company_name)
      : registry_(registry), company_(std::move(company_name)) {}

  void SaveKey(RegRoot hKey, const std::string& strPath);
  void SaveString(RegRoot hKey, const std::string& strPath, const std::string& strValue,
                  const std::string& strData);
  std::optional<std::string> GetString(RegRoot hKey, const std::string& strPath,
                                       const std::string& strValue) const;
  void DeleteValue(RegRoot hKey, const std::string& strPath, const std::string& strValue);
  void DeleteKey(RegRoot hKey, const std::string& strPath);
  void doSaveSetCustom(const std::string& strProduct, const std::string& strKey,
                       const std::string& strKeyValue, const std::string& strValue);
  std::string GetStringSettingCustom(const std::string& strProduct, const std::string& strKey,
                                     const std::string& strKeyValue,
                                     const std::string& strDefault) const;

  void AddToRun(const std::string& ProgramName, const std::string& FileToRun);
  void RemoveFromRun(const std::string& ProgramName);
  void AddToRun2(const std::string& ProgramName, const std::string& FileToRun);
  void RemoveFromRun2(const std::string& ProgramName);
  void AddToList(const std::string& ProgramName, const std::string& UninstallCommand);
  void RemoveFromList(const std::string& ProgramName);

 private:
  Registry& registry_;
  std::string company_;
};

// The value name the main program registers itself under: product name + "-1".
std::string RunValueName(const std::string& product_name);
// Folder + "\" + executable name, with ".exe" added unless the path already holds
// it anywhere (any letter case).
std::string RunValueData(const std::string& program_folder, const std::string& exe_base_name);
// A command for the Run list with its program in quotes, so that a path with
// blanks starts that program: the text up to the first ".exe" that ends a word,
// or the whole text; arguments after it are kept. Quoted text stays as it is.
std::string QuotedCommand(const std::string& command);

// The program a Run-list command starts: the text in its leading quotes, else
// the text up to the first ".exe" that ends a word, else up to the first blank.
std::string ProgramOfCommand(const std::string& command);
// Two paths naming one file as Windows compares names: letter case ignored,
// "/" as "\", doubled separators and trailing dots or blanks dropped.
bool SameFileName(const std::string& a, const std::string& b);
// True when the Run-list command starts `program` (a full path), quoted or not,
// with arguments or not, with or without its ".exe".
bool StartsProgram(const std::string& command, const std::string& program);

// One logon value of a Run list.
struct RunEntry {
  RegRoot list = RegRoot::CurrentUser;
  std::string name;
  std::string command;
};
// Every value of the two Run lists (this user's first) that starts `program`.
std::vector<RunEntry> RunEntriesStarting(const Registry& registry, const std::string& program);
// What deleting found entries did: those gone, and those Windows kept with its reason.
struct RunRemoval {
  std::vector<RunEntry> removed;
  std::vector<std::pair<RunEntry, long>> refused;
};
RunRemoval RemoveRunEntries(Registry& registry, const std::vector<RunEntry>& entries);

}  // namespace norvale
