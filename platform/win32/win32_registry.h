#pragma once
// The real registry through the W functions. Results are the LSTATUS codes
// themselves, so callers see 2 for a missing key or value and 5 for a refusal.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace norvale {

// Which half of HKEY_LOCAL_MACHINE a 64-bit Windows shows. Programs of this kind
// were 32-bit, so their machine-wide settings and Run entries lived in the
// 32-bit view (SOFTWARE\WOW6432Node seen from a 64-bit program); a caller that
// must find them passes k32Bit. A 32-bit build sees that view natively, and on
// 32-bit Windows the choice changes nothing. HKEY_CURRENT_USER\Software is
// shared by both views and is always opened natively.
enum class MachineView { kNative, k32Bit };

class Win32Registry final : public Registry {
 public:
  explicit Win32Registry(MachineView machine_view = MachineView::kNative);

  long CreateKey(RegRoot root, const std::string& path) override;
  long OpenKey(RegRoot root, const std::string& path) const override;
  long SetString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) override;
  // REG_SZ and REG_EXPAND_SZ come back as UTF-8 without the trailing NUL(s) the
  // data was stored with (unexpanded); NULs inside the text stay. Every other
  // type comes back as its raw bytes.
  long QueryValue(RegRoot root, const std::string& path, const std::string& name,
                  RegValue& out) const override;
  long SetBinary(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& bytes) override;
  long ValueNames(RegRoot root, const std::string& path,
                  std::vector<std::string>& out) const override;
  long DeleteValue(RegRoot root, const std::string& path, const std::string& name) override;
  long DeleteKey(RegRoot root, const std::string& path) override;

 private:
  // KEY_WOW64_32KEY for the machine root when asked for, else 0.
  uint32_t ViewFlag(RegRoot root) const;

  MachineView machine_view_;
};

}  // namespace norvale
