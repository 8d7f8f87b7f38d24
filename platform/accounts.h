#pragma once
// Accounts and file permissions, as the startup tool asks about them: who
// besides the administrators may change a file, and whose program this is.
#include <cstdint>
#include <string>
#include <vector>

namespace norvale {

// The accounts that are not administrators (Users, Authenticated Users,
// Everyone, INTERACTIVE, and the user's own account) and may change a path:
// write or append to it, delete it, change its permissions or owner, or, for
// a folder, add or remove what is in it.
struct PathChangers {
  uint32_t error = 0;  // non-zero when the permissions could not be read
  std::vector<std::string> accounts;
};

class Accounts {
 public:
  virtual ~Accounts() = default;
  virtual PathChangers WhoMayChange(const std::string& path, bool folder) const = 0;
  // The account this program runs as, "DOMAIN\name".
  virtual std::string ProcessUser() const = 0;
  // The account signed in at this desktop (the owner of its shell), empty when
  // unknown. Differs from ProcessUser when an administrator's name and password
  // were typed in to start this program.
  virtual std::string SessionUser() const = 0;
};

}  // namespace norvale
