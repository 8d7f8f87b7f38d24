#pragma once
// Passwords kept so that only the user who stored them can read them back.
#include <optional>
#include <string>
#include <string_view>

namespace norvale {

class SecretProtector {
 public:
  virtual ~SecretProtector() = default;
  // Bytes that only this user, on this computer, can turn back into `secret`;
  // nullopt when the system refuses.
  virtual std::optional<std::string> Protect(std::string_view secret) const = 0;
  // The secret again; nullopt for bytes another user (or nobody) protected.
  virtual std::optional<std::string> Unprotect(std::string_view bytes) const = 0;
};

}  // namespace norvale
