#include "platform/headless/memory_file_system.h"

#include <iterator>

#include "platform/path.h"

namespace norvale::headless {

MemoryFileSystem::MemoryFileSystem(std::string program_folder)
    : program_folder_(std::move(program_folder)) {
  folders_.insert(Key(program_folder_));
}

std::string MemoryFileSystem::Key(std::string_view path) {
  std::string k;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    k += c;
  }
  while (!k.empty() && k.back() == '\\') k.pop_back();
  return k;
}

const MemoryFileSystem::Entry* MemoryFileSystem::Find(const std::string& path) const {
  const auto it = index_.find(Key(path));
  return it == index_.end() ? nullptr : &*it->second;
}

void MemoryFileSystem::MaybeFail(const std::string& path) {
  const std::string key = Key(path);
  for (const std::string& folder : denied_) {
    if (key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
        key[folder.size()] == '\\') {
      throw FileError(FileErrorKind::AccessDenied, path);
    }
  }
  if (fail_write_) {
    const FileErrorKind kind = *fail_write_;
    fail_write_.reset();
    throw FileError(kind, path);
  }
}

std::vector<std::string> MemoryFileSystem::ListFiles(const std::string& folder,
                                                     std::string_view pattern) const {
  std::vector<std::string> names;
  const std::string key = Key(folder);
  for (const Entry& e : files_) {
    const std::string_view name = FileNameOf(e.path);
    if (e.folder == key && MatchesPattern(name, pattern)) names.emplace_back(name);
  }
  return names;
}

std::string MemoryFileSystem::ReadAll(const std::string& path) const {
  if (unreadable_.count(Key(path))) throw FileError(FileErrorKind::AccessDenied, path);
  ++reads_;
  const Entry* e = Find(path);
  if (!e) {
    throw FileError(FolderExists(std::string(FolderOf(path))) ? FileErrorKind::NotFound
                                                              : FileErrorKind::PathNotFound,
                    path);
  }
  return e->bytes;
}

void MemoryFileSystem::ReplaceWhole(const std::string& path, std::string_view bytes) {
  MaybeFail(path);
  if (!FolderExists(std::string(FolderOf(path))))
    throw FileError(FileErrorKind::PathNotFound, path);
  ++writes_;
  Store(path, std::string(bytes));
}

void MemoryFileSystem::Store(const std::string& path, std::string bytes) {
  const std::string key = Key(path);
  if (const auto it = index_.find(key); it != index_.end()) {
    it->second->bytes = std::move(bytes);
    it->second->written = ++generation_;
    return;
  }
  files_.push_back({path, Key(FolderOf(path)), std::move(bytes), ++generation_});
  index_.emplace(key, std::prev(files_.end()));
}

void MemoryFileSystem::RemoveFile(const std::string& path) {
  MaybeFail(path);
  if (ignore_remove_) {
    ignore_remove_ = false;
    return;
  }
  const auto it = index_.find(Key(path));
  if (it == index_.end()) throw FileError(FileErrorKind::NotFound, path);
  files_.erase(it->second);
  index_.erase(it);
}

bool MemoryFileSystem::FolderExists(const std::string& path) const {
  return folders_.count(Key(path)) > 0;
}

void MemoryFileSystem::CreateFolder(const std::string& path) {
  MaybeFail(path);
  folders_.insert(Key(path));
}

bool MemoryFileSystem::FileExists(const std::string& path) const {
  const Entry* e = Find(path);
  return e && EqualsIgnoringCase(FileNameOf(e->path), FileNameOf(path));
}

std::optional<uint64_t> MemoryFileSystem::FileSize(const std::string& path) const {
  const Entry* e = Find(path);
  if (!e) return std::nullopt;
  return e->bytes.size();
}

void MemoryFileSystem::Put(const std::string& path, std::string bytes) {
  folders_.insert(Key(FolderOf(path)));
  Store(path, std::move(bytes));
}

std::optional<FileStamp> MemoryFileSystem::Stamp(const std::string& path) const {
  const Entry* e = Find(path);
  if (!e) return std::nullopt;
  return FileStamp{e->bytes.size(), e->written};
}

std::optional<std::string> MemoryFileSystem::Get(const std::string& path) const {
  const Entry* e = Find(path);
  if (!e) return std::nullopt;
  return e->bytes;
}

}  // namespace norvale::headless
