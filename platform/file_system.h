#pragma once
// Files as the schedule store and the rest of the program see them: whole-file
// reads, atomic replacement, Windows' case-blind name matching on every platform.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace norvale {

// Error numbers and descriptions in the form users of this kind of program know
// from its message boxes ("Error 76 - Path not found").
enum class FileErrorKind {
  NotFound,
  PathNotFound,
  AccessDenied,
  DiskFull,
  AlreadyExists,
  BadName,
  Other
};

class FileError : public std::runtime_error {
 public:
  FileError(FileErrorKind kind, std::string path);
  FileErrorKind kind() const { return kind_; }
  int number() const;
  std::string description() const;
  // "Error <number> - <description>", as the program's messages show it.
  std::string Message() const {
    return "Error " + std::to_string(number()) + " - " + description();
  }
  const std::string& path() const { return path_; }

 private:
  FileErrorKind kind_;
  std::string path_;
};

// What tells one version of a file from another without reading it.
struct FileStamp {
  uint64_t size = 0;
  int64_t written = 0;  // the last write, in the file system's own units
  bool operator==(const FileStamp&) const = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Ordinary files (no folders) of `folder` whose names match `pattern` ("*.sch"),
  // ignoring case, in the order the listing returns them. A missing folder lists
  // nothing.
  virtual std::vector<std::string> ListFiles(const std::string& folder,
                                             std::string_view pattern) const = 0;
  // The whole file in one piece, bytes as stored. Throws FileError.
  virtual std::string ReadAll(const std::string& path) const = 0;
  // Writes `bytes` to a temporary file beside `path` and moves it over `path`, so
  // the old file survives whole when anything fails. Throws FileError.
  virtual void ReplaceWhole(const std::string& path, std::string_view bytes) = 0;
  virtual void RemoveFile(const std::string& path) = 0;  // throws FileError
  virtual bool FolderExists(const std::string& path) const = 0;
  virtual void CreateFolder(const std::string& path) = 0;  // throws FileError
  // True when the first entry matching `path` (hidden, system and read-only
  // included) has the path's file name, compared ignoring case. Never throws.
  virtual bool FileExists(const std::string& path) const = 0;
  // The size of an ordinary file in bytes; nullopt when it cannot be told.
  virtual std::optional<uint64_t> FileSize(const std::string& path) const = 0;
  // Size and time of the last write; nullopt when they cannot be told (the
  // file must then be read to know it).
  virtual std::optional<FileStamp> Stamp(const std::string& /*path*/) const { return std::nullopt; }
  // The folder of the running program, without a trailing separator.
  virtual std::string ProgramFolder() const = 0;
  // This user's own folder for program data kept on this computer
  // (%LOCALAPPDATA%); "" where the system has none.
  virtual std::string LocalAppDataFolder() const { return {}; }
};

}  // namespace norvale
