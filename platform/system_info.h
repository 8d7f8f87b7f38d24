#pragma once
// Facts about the running system and program.
#include <cstdint>
#include <optional>
#include <string>

namespace norvale {

struct OsVersion {
  uint32_t platform_id = 0;  // 2: the NT family
  uint32_t major = 0;
  uint32_t minor = 0;
};

// The program's own version information resource.
struct VersionInfo {
  std::string ProductName;
  std::string CompanyName;
  std::string Comments;  // the website address
  uint32_t major = 0;
  uint32_t minor = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // nullopt when the system would not say.
  virtual std::optional<OsVersion> Version() const = 0;
  virtual VersionInfo ProgramVersion() const = 0;
  // The running executable's file name without folder and extension ("Norvale").
  virtual std::string ExeName() const = 0;
  // The system's own program folder ("C:\\Windows\\System32"); "" where there is none.
  virtual std::string SystemFolder() const { return {}; }
};

// NT family with a major version above 5.
inline bool IsVistaOrLater(const SystemInfo& system) {
  const auto v = system.Version();
  return v && v->platform_id == 2 && v->major > 5;
}

}  // namespace norvale
