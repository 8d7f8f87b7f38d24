#pragma once
// Files in memory for headless runs and tests: a copy of a data folder that a
// run may change without touching the disk.
#include <list>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace norvale::headless {

// Folders and files in memory, names compared ignoring case, listing in the order
// files were first created. Any operation can be made to fail once.
class MemoryFileSystem final : public FileSystem {
 public:
  explicit MemoryFileSystem(std::string program_folder = "C:\\Program Files\\Norvale");

  std::vector<std::string> ListFiles(const std::string& folder,
                                     std::string_view pattern) const override;
  std::string ReadAll(const std::string& path) const override;
  void ReplaceWhole(const std::string& path, std::string_view bytes) override;
  void RemoveFile(const std::string& path) override;
  bool FolderExists(const std::string& path) const override;
  void CreateFolder(const std::string& path) override;
  bool FileExists(const std::string& path) const override;
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  // The size and the number of the write that made the file.
  std::optional<FileStamp> Stamp(const std::string& path) const override;
  std::string ProgramFolder() const override { return program_folder_; }
  std::string LocalAppDataFolder() const override { return local_app_data_; }
  void SetLocalAppDataFolder(std::string folder) { local_app_data_ = std::move(folder); }

  // Test set-up: a file written directly, as if by hand.
  void Put(const std::string& path, std::string bytes);
  std::optional<std::string> Get(const std::string& path) const;
  // Every ReplaceWhole / RemoveFile / CreateFolder inside `folder` is refused, as
  // Program Files refuses a standard user.
  void DenyWritesIn(const std::string& folder) { denied_.insert(Key(folder)); }
  // The next ReplaceWhole / RemoveFile / CreateFolder throws `kind`.
  void FailNextWrite(FileErrorKind kind) { fail_write_ = kind; }
  // The next RemoveFile reports success but leaves the file, as a virus scanner
  // or a sharing violation on some file systems does.
  void IgnoreNextRemove() { ignore_remove_ = true; }
  // Every ReadAll of `path` throws.
  void FailReadsOf(const std::string& path) { unreadable_.insert(Key(path)); }
  size_t WriteCount() const { return writes_; }
  size_t ReadCount() const { return reads_; }

 private:
  struct Entry {
    std::string path;  // as first written
    std::string folder;  // the key of its folder
    std::string bytes;
    int64_t written = 0;
  };
  static std::string Key(std::string_view path);
  const Entry* Find(const std::string& path) const;
  void MaybeFail(const std::string& path);
  // The file's new bytes, as a write of its own.
  void Store(const std::string& path, std::string bytes);

  std::string program_folder_;
  std::string local_app_data_ = "C:\\Users\\User\\AppData\\Local";
  std::set<std::string> denied_;  // keys
  // In the order they were first created, found by key: a data folder of
  // thousands of schedules costs each file the same.
  std::list<Entry> files_;
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
  std::set<std::string> folders_;  // keys
  std::set<std::string> unreadable_;
  std::optional<FileErrorKind> fail_write_;
  size_t writes_ = 0;
  bool ignore_remove_ = false;
  mutable size_t reads_ = 0;
  int64_t generation_ = 0;
};

}  // namespace norvale::headless
