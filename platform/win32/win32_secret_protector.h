#pragma once
// Secrets through the Data Protection API, for the current user only.
#include "platform/secret_protector.h"

namespace norvale {

class Win32SecretProtector final : public SecretProtector {
 public:
  std::optional<std::string> Protect(std::string_view secret) const override;
  std::optional<std::string> Unprotect(std::string_view bytes) const override;
};

}  // namespace norvale
