#include "platform/win32/win32_secret_protector.h"

#include <windows.h>
#include <dpapi.h>

namespace norvale {
namespace {

// Told apart from any other program's secrets kept by the same user.
constexpr wchar_t kPurpose[] = L"Norvale preferences";

std::optional<std::string> Taken(DATA_BLOB& out) {
  std::string bytes(reinterpret_cast<const char*>(out.pbData), out.cbData);
  SecureZeroMemory(out.pbData, out.cbData);
  LocalFree(out.pbData);
  return bytes;
}

}  // namespace

std::optional<std::string> Win32SecretProtector::Protect(std::string_view secret) const {
  DATA_BLOB in{static_cast<DWORD>(secret.size()),
               reinterpret_cast<BYTE*>(const_cast<char*>(secret.data()))};
  DATA_BLOB out{};
  // Without CRYPTPROTECT_LOCAL_MACHINE: the user's own key, no other account's.
  if (!CryptProtectData(&in, kPurpose, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                        &out)) {
    return std::nullopt;
  }
  return Taken(out);
}

std::optional<std::string> Win32SecretProtector::Unprotect(std::string_view bytes) const {
  DATA_BLOB in{static_cast<DWORD>(bytes.size()),
               reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
  DATA_BLOB out{};
  if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out)) {
    return std::nullopt;
  }
  return Taken(out);
}

}  // namespace norvale
