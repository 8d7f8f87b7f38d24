#pragma once
// Secrets sealed for one named user, for headless runs and tests: the bytes
// carry that user's name and the secret turned, so they never equal the
// secret, and another user's instance cannot open them.
#include <string>

#include "platform/secret_protector.h"

namespace norvale::headless {

class SealedSecrets final : public SecretProtector {
 public:
  explicit SealedSecrets(std::string user = "user") : user_(std::move(user)) {}

  std::optional<std::string> Protect(std::string_view secret) const override {
    if (refuse) return std::nullopt;
    return Tag() + Turn(secret);
  }
  std::optional<std::string> Unprotect(std::string_view bytes) const override {
    if (bytes.substr(0, Tag().size()) != Tag()) return std::nullopt;
    return Turn(bytes.substr(Tag().size()));
  }
  bool refuse = false;  // the system says no

 private:
  std::string Tag() const { return "sealed for " + user_ + ":"; }
  static std::string Turn(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(c ^ 0x5A);
    return out;
  }
  std::string user_;
};

}  // namespace norvale::headless
