#pragma once
// Starting a program under another account.
#include <cstdint>
#include <string>

namespace norvale {

struct LogonRequest {
  std::string user;
  std::string password;
  std::string domain;
  std::string command_line;
  std::string current_directory;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // CreateProcessWithLogonW with the user's profile: 0, or the system error code.
  virtual uint32_t WithLogon(const LogonRequest& r) = 0;
  enum class Step { kLogonUser, kCreateProcessAsUser };
  // LogonUserW, then CreateProcessAsUserW with that token: 0, or the error code
  // of the step named in `failed`. Every handle is closed either way.
  virtual uint32_t WithToken(const LogonRequest& r, Step& failed) = 0;
};

}  // namespace norvale
