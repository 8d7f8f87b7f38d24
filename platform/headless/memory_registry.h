#pragma once
// The registry in memory: keys and value names compared ignoring case, values
// typed, and any key made to refuse access.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace norvale::headless {

class MemoryRegistry final : public Registry {
 public:
  long CreateKey(RegRoot root, const std::string& path) override;
  long OpenKey(RegRoot root, const std::string& path) const override;
  long SetString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) override;
  long QueryValue(RegRoot root, const std::string& path, const std::string& name,
                  RegValue& out) const override;
  long SetBinary(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& bytes) override;
  long ValueNames(RegRoot root, const std::string& path,
                  std::vector<std::string>& out) const override;
  long DeleteValue(RegRoot root, const std::string& path, const std::string& name) override;
  long DeleteKey(RegRoot root, const std::string& path) override;

  // Test set-up: any value type, as another program might have written it.
  void Put(RegRoot root, const std::string& path, const std::string& name, RegValue value);
  // Writes under this key (and its subkeys) fail with access denied; opens too
  // when `reads` is set.
  void Deny(RegRoot root, const std::string& path, bool reads = false);
  void Allow(RegRoot root, const std::string& path);
  bool HasKey(RegRoot root, const std::string& path) const;
  size_t WriteCount() const { return writes_; }
  // Every value as "HKLM\path\name=data" lines, for comparing whole stores.
  std::vector<std::string> Dump() const;

 private:
  struct Key {
    std::string path;  // as first written
    std::vector<std::pair<std::string, RegValue>> values;
  };
  long Set(RegRoot root, const std::string& path, const std::string& name, RegValue value);
  static std::string Fold(RegRoot root, const std::string& path);
  bool Denied(RegRoot root, const std::string& path, bool read) const;
  Key* Find(RegRoot root, const std::string& path);
  const Key* Find(RegRoot root, const std::string& path) const;

  std::map<std::string, Key> keys_;     // by folded root + path
  std::map<std::string, bool> denied_;  // folded prefix -> reads too
  size_t writes_ = 0;
};

}  // namespace norvale::headless
