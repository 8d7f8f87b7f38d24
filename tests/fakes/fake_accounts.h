#pragma once
// Accounts and permissions as a test sets them: Wine keeps no real ACLs.
#include <map>
#include <string>

#include "platform/accounts.h"

namespace norvale::fakes {

class FakeAccounts final : public Accounts {
 public:
  // Who may change each path; a path not named may be changed by administrators only.
  std::map<std::string, PathChangers> changers;
  std::string process_user = "PC\\ann";
  std::string session_user = "PC\\ann";
  mutable std::vector<std::string> asked;  // "file PATH" or "folder PATH"

  PathChangers WhoMayChange(const std::string& path, bool folder) const override {
    asked.push_back((folder ? "folder " : "file ") + path);
    const auto it = changers.find(path);
    return it == changers.end() ? PathChangers{} : it->second;
  }
  std::string ProcessUser() const override { return process_user; }
  std::string SessionUser() const override { return session_user; }
};

}  // namespace norvale::fakes
