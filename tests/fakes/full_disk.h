#pragma once
// A disk that fills up: reads and listings go to the files beneath, and while
// full every write is refused with "Disk full", as a full volume refuses them.
#include "platform/file_system.h"

namespace norvale::fakes {

class FullDisk final : public FileSystem {
 public:
  explicit FullDisk(FileSystem& files) : files_(files) {}
  bool full = false;
  size_t refused = 0;

  std::vector<std::string> ListFiles(const std::string& folder,
                                     std::string_view pattern) const override {
    return files_.ListFiles(folder, pattern);
  }
  std::string ReadAll(const std::string& path) const override { return files_.ReadAll(path); }
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    Refuse(path);
    files_.ReplaceWhole(path, bytes);
  }
  void RemoveFile(const std::string& path) override { files_.RemoveFile(path); }
  bool FolderExists(const std::string& path) const override { return files_.FolderExists(path); }
  void CreateFolder(const std::string& path) override {
    Refuse(path);
    files_.CreateFolder(path);
  }
  bool FileExists(const std::string& path) const override { return files_.FileExists(path); }
  std::optional<uint64_t> FileSize(const std::string& path) const override {
    return files_.FileSize(path);
  }
  std::optional<FileStamp> Stamp(const std::string& path) const override {
    return files_.Stamp(path);
  }
  std::string ProgramFolder() const override { return files_.ProgramFolder(); }
  std::string LocalAppDataFolder() const override { return files_.LocalAppDataFolder(); }

 private:
  void Refuse(const std::string& path) {
    if (!full) return;
    ++refused;
    throw FileError(FileErrorKind::DiskFull, path);
  }
  FileSystem& files_;
};

}  // namespace norvale::fakes
