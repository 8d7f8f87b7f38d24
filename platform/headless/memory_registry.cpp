#include "platform/headless/memory_registry.h"

#include "platform/path.h"

namespace norvale::headless {

std::string MemoryRegistry::Fold(RegRoot root, const std::string& path) {
  std::string k = root == RegRoot::CurrentUser ? "hkcu" : "hklm";
  std::string trimmed = path;
  while (!trimmed.empty() && trimmed.front() == '\\') trimmed.erase(0, 1);
  while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
  if (!trimmed.empty()) k += "\\" + trimmed;
  for (char& c : k) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return k;
}

bool MemoryRegistry::Denied(RegRoot root, const std::string& path, bool read) const {
  const std::string k = Fold(root, path);
  for (const auto& [prefix, reads] : denied_) {
    if ((k == prefix || k.rfind(prefix + "\\", 0) == 0) && (!read || reads)) return true;
  }
  return false;
}

MemoryRegistry::Key* MemoryRegistry::Find(RegRoot root, const std::string& path) {
  auto it = keys_.find(Fold(root, path));
  return it == keys_.end() ? nullptr : &it->second;
}

const MemoryRegistry::Key* MemoryRegistry::Find(RegRoot root, const std::string& path) const {
  auto it = keys_.find(Fold(root, path));
  return it == keys_.end() ? nullptr : &it->second;
}

long MemoryRegistry::CreateKey(RegRoot root, const std::string& path) {
  if (Denied(root, path, false)) return kRegAccessDenied;
  // Parents come into being with their child, as in the registry.
  std::string partial;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') {
      if (!partial.empty()) keys_.try_emplace(Fold(root, partial), Key{partial, {}});
    }
    if (i < path.size()) partial += path[i];
  }
  return kRegOk;
}

long MemoryRegistry::OpenKey(RegRoot root, const std::string& path) const {
  if (Denied(root, path, true)) return kRegAccessDenied;
  return Find(root, path) ? kRegOk : kRegNotFound;
}

long MemoryRegistry::SetString(RegRoot root, const std::string& path, const std::string& name,
                               const std::string& text) {
  return Set(root, path, name, {kRegSz, text});
}

long MemoryRegistry::SetBinary(RegRoot root, const std::string& path, const std::string& name,
                               const std::string& bytes) {
  return Set(root, path, name, {kRegBinary, bytes});
}

long MemoryRegistry::Set(RegRoot root, const std::string& path, const std::string& name,
                         RegValue value) {
  if (Denied(root, path, false)) return kRegAccessDenied;
  Key* key = Find(root, path);
  if (!key) return kRegNotFound;
  ++writes_;
  for (auto& [n, v] : key->values) {
    if (EqualsIgnoringCase(n, name)) {
      v = std::move(value);
      return kRegOk;
    }
  }
  key->values.emplace_back(name, std::move(value));
  return kRegOk;
}

long MemoryRegistry::ValueNames(RegRoot root, const std::string& path,
                                std::vector<std::string>& out) const {
  out.clear();
  if (Denied(root, path, true)) return kRegAccessDenied;
  const Key* key = Find(root, path);
  if (!key) return kRegNotFound;
  for (const auto& [n, v] : key->values) out.push_back(n);
  return kRegOk;
}

long MemoryRegistry::QueryValue(RegRoot root, const std::string& path, const std::string& name,
                                RegValue& out) const {
  if (Denied(root, path, true)) return kRegAccessDenied;
  const Key* key = Find(root, path);
  if (!key) return kRegNotFound;
  for (const auto& [n, v] : key->values) {
    if (EqualsIgnoringCase(n, name)) {
      out = v;
      return kRegOk;
    }
  }
  return kRegNotFound;
}

long MemoryRegistry::DeleteValue(RegRoot root, const std::string& path, const std::string& name) {
  if (Denied(root, path, false)) return kRegAccessDenied;
  Key* key = Find(root, path);
  if (!key) return kRegNotFound;
  for (auto it = key->values.begin(); it != key->values.end(); ++it) {
    if (EqualsIgnoringCase(it->first, name)) {
      key->values.erase(it);
      ++writes_;
      return kRegOk;
    }
  }
  return kRegNotFound;
}

long MemoryRegistry::DeleteKey(RegRoot root, const std::string& path) {
  if (Denied(root, path, false)) return kRegAccessDenied;
  const std::string k = Fold(root, path);
  if (!keys_.count(k)) return kRegNotFound;
  for (const auto& [other, key] : keys_) {
    if (other.rfind(k + "\\", 0) == 0) return kRegAccessDenied;  // has subkeys
  }
  keys_.erase(k);
  ++writes_;
  return kRegOk;
}

void MemoryRegistry::Put(RegRoot root, const std::string& path, const std::string& name,
                         RegValue value) {
  CreateKey(root, path);
  Key* key = Find(root, path);
  for (auto& [n, v] : key->values) {
    if (EqualsIgnoringCase(n, name)) {
      v = std::move(value);
      return;
    }
  }
  key->values.emplace_back(name, std::move(value));
}

void MemoryRegistry::Deny(RegRoot root, const std::string& path, bool reads) {
  denied_[Fold(root, path)] = reads;
}

void MemoryRegistry::Allow(RegRoot root, const std::string& path) {
  denied_.erase(Fold(root, path));
}

bool MemoryRegistry::HasKey(RegRoot root, const std::string& path) const {
  return Find(root, path) != nullptr;
}

std::vector<std::string> MemoryRegistry::Dump() const {
  std::vector<std::string> out;
  for (const auto& [k, key] : keys_) {
    for (const auto& [n, v] : key.values) out.push_back(k + "\\" + n + "=" + v.data);
  }
  return out;
}

}  // namespace norvale::headless
