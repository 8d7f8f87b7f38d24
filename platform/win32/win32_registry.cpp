#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/utf.h"

namespace norvale {
namespace {

// Owns one opened key; every path out of a function closes it.
class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY* Receive() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

HKEY RootKey(RegRoot root) {
  return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

Win32Registry::Win32Registry(MachineView machine_view) : machine_view_(machine_view) {}

uint32_t Win32Registry::ViewFlag(RegRoot root) const {
  return root == RegRoot::LocalMachine && machine_view_ == MachineView::k32Bit ? KEY_WOW64_32KEY
                                                                               : 0;
}

long Win32Registry::CreateKey(RegRoot root, const std::string& path) {
  // The rights the store goes on to use, not KEY_ALL_ACCESS: asking for
  // WRITE_DAC or WRITE_OWNER as well would turn a key that is writable but not
  // ours into a refusal.
  ScopedKey key;
  return RegCreateKeyExW(RootKey(root), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE | ViewFlag(root), nullptr, key.Receive(), nullptr);
}

long Win32Registry::OpenKey(RegRoot root, const std::string& path) const {
  ScopedKey key;
  return RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, KEY_READ | ViewFlag(root),
                       key.Receive());
}

long Win32Registry::SetString(RegRoot root, const std::string& path, const std::string& name,
                              const std::string& text) {
  ScopedKey key;
  const long opened = RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0,
                                    KEY_SET_VALUE | ViewFlag(root), key.Receive());
  if (opened != ERROR_SUCCESS) return opened;
  const std::wstring wide = Widen(text);
  // The terminating NUL is part of the data, as every reader of REG_SZ expects.
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (bytes > MAXDWORD) return ERROR_INVALID_PARAMETER;
  return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.c_str()), static_cast<DWORD>(bytes));
}

long Win32Registry::SetBinary(RegRoot root, const std::string& path, const std::string& name,
                              const std::string& bytes) {
  ScopedKey key;
  const long opened = RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0,
                                    KEY_SET_VALUE | ViewFlag(root), key.Receive());
  if (opened != ERROR_SUCCESS) return opened;
  if (bytes.size() > MAXDWORD) return ERROR_INVALID_PARAMETER;
  return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_BINARY,
                        reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

long Win32Registry::ValueNames(RegRoot root, const std::string& path,
                               std::vector<std::string>& out) const {
  out.clear();
  ScopedKey key;
  const long opened = RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0,
                                    KEY_QUERY_VALUE | ViewFlag(root), key.Receive());
  if (opened != ERROR_SUCCESS) return opened;
  // Value names are at most 16,383 characters.
  std::wstring name(16384, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    const long rc = RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr,
                                  nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    out.push_back(Narrow(name.substr(0, length)));
  }
}

long Win32Registry::QueryValue(RegRoot root, const std::string& path, const std::string& name,
                               RegValue& out) const {
  ScopedKey key;
  long rc = RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, KEY_QUERY_VALUE | ViewFlag(root),
                          key.Receive());
  if (rc != ERROR_SUCCESS) return rc;
  const std::wstring wname = Widen(name);
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  // Size first, then the data; another program may grow the value in between,
  // so a too-small buffer asks again.
  for (int attempt = 0;; ++attempt) {
    DWORD size = 0;
    rc = RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    data.assign(size, 0);
    DWORD got = size;
    rc = RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type,
                          data.empty() ? nullptr : data.data(), &got);
    if (rc == ERROR_MORE_DATA && attempt < 4) continue;
    if (rc != ERROR_SUCCESS) return rc;
    data.resize(got);
    break;
  }
  if (IsText(type)) {
    // Other writers store no NUL, one, or a padded buffer full of them, and an
    // odd byte count leaves half a character: none of that is part of the text.
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    out = {type, Narrow(text)};
  } else {
    out = {type, std::string(data.begin(), data.end())};
  }
  return ERROR_SUCCESS;
}

long Win32Registry::DeleteValue(RegRoot root, const std::string& path, const std::string& name) {
  ScopedKey key;
  const long opened = RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0,
                                    KEY_SET_VALUE | ViewFlag(root), key.Receive());
  if (opened != ERROR_SUCCESS) return opened;
  return RegDeleteValueW(key.get(), Widen(name).c_str());
}

long Win32Registry::DeleteKey(RegRoot root, const std::string& path) {
  // An empty path would name the root itself.
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  return RegDeleteKeyExW(RootKey(root), Widen(path).c_str(), ViewFlag(root), 0);
}

}  // namespace norvale
