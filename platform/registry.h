#pragma once
// The system registry, as the settings store and the Run list use it. Results
// are the system's error codes (0 success, 2 not found, 5 access denied).
#include <cstdint>
#include <string>
#include <vector>

namespace norvale {

enum class RegRoot { CurrentUser, LocalMachine };

enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

struct RegValue {
  uint32_t type = kRegNone;
  std::string data;  // UTF-8 text without its terminating NUL for strings, raw bytes otherwise
};

inline constexpr long kRegOk = 0;
inline constexpr long kRegNotFound = 2;
inline constexpr long kRegAccessDenied = 5;

class Registry {
 public:
  virtual ~Registry() = default;
  // Creates the key (and its parents) or opens it for writing.
  virtual long CreateKey(RegRoot root, const std::string& path) = 0;
  // Opens an existing key for reading.
  virtual long OpenKey(RegRoot root, const std::string& path) const = 0;
  // Sets a REG_SZ value of an existing key (created first by the caller).
  virtual long SetString(RegRoot root, const std::string& path, const std::string& name,
                         const std::string& text) = 0;
  // Sets a REG_BINARY value of an existing key.
  virtual long SetBinary(RegRoot root, const std::string& path, const std::string& name,
                         const std::string& bytes) = 0;
  // The names of every value of an existing key, in the registry's own order.
  virtual long ValueNames(RegRoot root, const std::string& path,
                          std::vector<std::string>& out) const = 0;
  virtual long QueryValue(RegRoot root, const std::string& path, const std::string& name,
                          RegValue& out) const = 0;
  virtual long DeleteValue(RegRoot root, const std::string& path, const std::string& name) = 0;
  // Deletes a key that has no subkeys.
  virtual long DeleteKey(RegRoot root, const std::string& path) = 0;
};

}  // namespace norvale
