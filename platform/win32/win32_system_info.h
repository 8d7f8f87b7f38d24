#pragma once
// The running system and the program's own executable.
#include <optional>
#include <string>

#include "platform/system_info.h"

namespace norvale {

class Win32SystemInfo final : public SystemInfo {
 public:
  Win32SystemInfo() = default;

  // RtlGetVersion: GetVersionEx reports an old Windows to programs whose
  // manifest does not name the newer ones.
  std::optional<OsVersion> Version() const override;
  // The VERSIONINFO resource of the running executable.
  VersionInfo ProgramVersion() const override;
  std::string ExeName() const override;
  std::string SystemFolder() const override;
};

// The version information of any file: the strings of its first listed
// translation that has them, the major and minor of its file version. A file
// without the resource (or no file at all) gives empty strings and zeros.
VersionInfo ReadVersionInfo(const std::string& file_path);

// The running executable's full path.
std::string ExecutablePath();

}  // namespace norvale
