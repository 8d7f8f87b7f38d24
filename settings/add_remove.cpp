#include "settings/add_remove.h"

#include <cctype>

namespace norvale {

void AddRemove::SaveKey(RegRoot hKey, const std::string& strPath) {
  registry_.CreateKey(hKey, strPath);
}

void AddRemove::SaveString(RegRoot hKey, const std::string& strPath, const std::string& strValue,
                           const std::string& strData) {
  if (registry_.CreateKey(hKey, strPath) == kRegOk) {
    registry_.SetString(hKey, strPath, strValue, strData);
  }
}

std::optional<std::string> AddRemove::GetString(RegRoot hKey, const std::string& strPath,
                                                const std::string& strValue) const {
  if (registry_.OpenKey(hKey, strPath) != kRegOk) return std::nullopt;
  RegValue value;
  if (registry_.QueryValue(hKey, strPath, strValue, value) != kRegOk) return std::nullopt;
  if (value.type != kRegSz) return std::nullopt;
  return value.data.substr(0, value.data.find('\0'));
}

void AddRemove::DeleteValue(RegRoot hKey, const std::string& strPath, const std::string& strValue) {
  if (registry_.OpenKey(hKey, strPath) == kRegOk) registry_.DeleteValue(hKey, strPath, strValue);
}

void AddRemove::DeleteKey(RegRoot hKey, const std::string& strPath) {
  registry_.DeleteKey(hKey, strPath);
}

void AddRemove::doSaveSetCustom(const std::string& strProduct, const std::string& strKey,
                                const std::string& strKeyValue, const std::string& strValue) {
  SaveString(RegRoot::LocalMachine, "Software\\" + company_ + "\\" + strProduct + "\\" + strKey,
             strKeyValue, strValue);
}

std::string AddRemove::GetStringSettingCustom(const std::string& strProduct,
                                              const std::string& strKey,
                                              const std::string& strKeyValue,
                                              const std::string& strDefault) const {
  const auto v =
      GetString(RegRoot::LocalMachine, "Software\\" + company_ + "\\" + strProduct + "\\" + strKey,
                strKeyValue);
  if (!v || v->empty() || *v == " ") return strDefault;
  return *v;
}

void AddRemove::AddToRun(const std::string& ProgramName, const std::string& FileToRun) {
  SaveString(RegRoot::CurrentUser, kRunKey, ProgramName, FileToRun);
}

void AddRemove::RemoveFromRun(const std::string& ProgramName) {
  DeleteValue(RegRoot::CurrentUser, kRunKey, ProgramName);
}

void AddRemove::AddToRun2(const std::string& ProgramName, const std::string& FileToRun) {
  SaveString(RegRoot::LocalMachine, kRunKey, ProgramName, FileToRun);
}

void AddRemove::RemoveFromRun2(const std::string& ProgramName) {
  DeleteValue(RegRoot::LocalMachine, kRunKey, ProgramName);
}

void AddRemove::AddToList(const std::string& ProgramName, const std::string& UninstallCommand) {
  const std::string path = kUninstallKey + ProgramName;
  SaveString(RegRoot::LocalMachine, path, "DisplayName", ProgramName);
  SaveString(RegRoot::LocalMachine, path, "UninstallString", UninstallCommand);
}

void AddRemove::RemoveFromList(const std::string& ProgramName) {
  DeleteKey(RegRoot::LocalMachine, kUninstallKey + ProgramName);
}

std::string RunValueName(const std::string& product_name) {
  return product_name + "-1";
}

std::string RunValueData(const std::string& program_folder, const std::string& exe_base_name) {
  std::string path = program_folder + "\\" + exe_base_name;
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.find(".exe") == std::string::npos) path += ".exe";
  return "\"" + path + "\"";
}

std::string QuotedCommand(const std::string& command) {
  if (command.empty() || command.front() == '"') return command;
  std::string lower = command;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t at = lower.find(".exe"); at != std::string::npos; at = lower.find(".exe", at + 1)) {
    const size_t end = at + 4;
    if (end == command.size()) break;
    if (command[end] == ' ') {
      return "\"" + command.substr(0, end) + "\"" + command.substr(end);
    }
  }
  return "\"" + command + "\"";
}

}  // namespace norvale
