#pragma once
// The real services of a native (non-Windows) build.
#include "platform/clock.h"
#include "platform/file_system.h"

namespace norvale {

class PosixClock final : public Clock {
 public:
  LocalTime Now() const override;
  UtcTime UtcNow() const override;
  std::chrono::milliseconds Monotonic() const override;  // CLOCK_BOOTTIME: sleep included
  std::chrono::seconds OffsetAt(UtcTime t) const override;
};

// Behaves as the Windows file system does for this program: names are matched
// ignoring case, so "Night.sch" finds and replaces "night.sch".
class PosixFileSystem final : public FileSystem {
 public:
  std::vector<std::string> ListFiles(const std::string& folder,
                                     std::string_view pattern) const override;
  std::string ReadAll(const std::string& path) const override;
  void ReplaceWhole(const std::string& path, std::string_view bytes) override;
  void RemoveFile(const std::string& path) override;
  bool FolderExists(const std::string& path) const override;
  void CreateFolder(const std::string& path) override;
  bool FileExists(const std::string& path) const override;
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  std::optional<FileStamp> Stamp(const std::string& path) const override;
  std::string ProgramFolder() const override;
  // $XDG_DATA_HOME, else ~/.local/share.
  std::string LocalAppDataFolder() const override;
};

}  // namespace norvale
