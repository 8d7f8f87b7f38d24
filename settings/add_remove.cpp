#include "settings/add_remove.h"

#include <cctype>

#include "platform/path.h"

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

std::string ProgramOfCommand(const std::string& command) {
  const size_t begin = command.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  if (command[begin] == '"') {
    const size_t end = command.find('"', begin + 1);
    return command.substr(begin + 1, end == std::string::npos ? std::string::npos : end - begin - 1);
  }
  std::string lower = command;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t at = lower.find(".exe", begin); at != std::string::npos;
       at = lower.find(".exe", at + 1)) {
    const size_t end = at + 4;
    if (end == command.size() || command[end] == ' ' || command[end] == '\t') {
      return command.substr(begin, end - begin);
    }
  }
  const size_t blank = command.find_first_of(" \t", begin);
  return command.substr(begin, blank == std::string::npos ? std::string::npos : blank - begin);
}

namespace {

std::string NormalName(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) {
    // A leading "\\" is a network share and stays.
    if (path[i] == '\\' && !out.empty() && out.back() == '\\' && i > 1) continue;
    out += path[i];
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  return out;
}

bool EndsWithExe(const std::string& path) {
  return path.size() >= 4 && EqualsIgnoringCase(std::string_view(path).substr(path.size() - 4),
                                                ".exe");
}

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) {
  return EqualsIgnoringCase(NormalName(a), NormalName(b));
}

bool StartsProgram(const std::string& command, const std::string& program) {
  const std::string started = ProgramOfCommand(command);
  if (started.empty()) return false;
  if (SameFileName(started, program)) return true;
  // Windows adds ".exe" to a program named without an extension.
  return EndsWithExe(program) && !EndsWithExe(started) &&
         FileNameOf(started).find('.') == std::string_view::npos &&
         SameFileName(started + ".exe", program);
}

std::vector<RunEntry> RunEntriesStarting(const Registry& registry, const std::string& program) {
  std::vector<RunEntry> found;
  for (const RegRoot list : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    std::vector<std::string> names;
    if (registry.ValueNames(list, kRunKey, names) != kRegOk) continue;
    for (const std::string& name : names) {
      RegValue value;
      if (registry.QueryValue(list, kRunKey, name, value) != kRegOk) continue;
      if (value.type != kRegSz && value.type != kRegExpandSz) continue;
      if (StartsProgram(value.data, program)) found.push_back({list, name, value.data});
    }
  }
  return found;
}

RunRemoval RemoveRunEntries(Registry& registry, const std::vector<RunEntry>& entries) {
  RunRemoval result;
  for (const RunEntry& entry : entries) {
    const long rc = registry.DeleteValue(entry.list, kRunKey, entry.name);
    if (rc == kRegOk || rc == kRegNotFound) {
      result.removed.push_back(entry);
    } else {
      result.refused.emplace_back(entry, rc);
    }
  }
  return result;
}

}  // namespace norvale
