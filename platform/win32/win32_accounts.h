#pragma once
// Accounts and file permissions through the security descriptors of files and
// the tokens of this process and of the desktop's shell.
#include "platform/accounts.h"

namespace norvale {

class Win32Accounts final : public Accounts {
 public:
  PathChangers WhoMayChange(const std::string& path, bool folder) const override;
  std::string ProcessUser() const override;
  std::string SessionUser() const override;
};

}  // namespace norvale
