#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/path.h"
#include "platform/posix/posix_services.h"

namespace norvale {
namespace {

FileError ErrorFromErrno(int err, const std::string& path) {
  switch (err) {
    case ENOENT:
      return FileError(FileErrorKind::NotFound, path);
    case ENOTDIR:
      return FileError(FileErrorKind::PathNotFound, path);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return FileError(FileErrorKind::AccessDenied, path);
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return FileError(FileErrorKind::DiskFull, path);
    case EEXIST:
      return FileError(FileErrorKind::AlreadyExists, path);
    case ENAMETOOLONG:
      return FileError(FileErrorKind::BadName, path);
    default:
      return FileError(FileErrorKind::Other, path);
  }
}

std::string FolderPart(const std::string& path) {
  const std::string_view folder = FolderOf(path);
  if (folder.empty()) return path.find('/') == 0 ? "/" : ".";
  return std::string(folder);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The first entry of `folder` matching `pattern` ignoring case, as Windows'
// first-match lookup returns it; "" when none.
std::string FirstMatch(const std::string& folder, std::string_view pattern) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* e = readdir(dir)) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    if (MatchesPattern(name, pattern)) {
      found = name;
      break;
    }
  }
  closedir(dir);
  return found;
}

// `path` with its file name replaced by the spelling already on disk, when an
// entry differs only in case; unchanged otherwise.
std::string Resolve(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) return path;
  const std::string_view name = FileNameOf(path);
  if (name.find_first_of("*?") != std::string_view::npos) return path;
  const std::string folder = FolderPart(path);
  const std::string found = FirstMatch(folder, name);
  return found.empty() ? path : JoinPath(folder, found);
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ErrorFromErrno(errno, path);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace

std::vector<std::string> PosixFileSystem::ListFiles(const std::string& folder,
                                                    std::string_view pattern) const {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  const int dir_fd = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    if (!MatchesPattern(e->d_name, pattern)) continue;
    bool regular = e->d_type == DT_REG;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st {};
      regular = fstatat(dir_fd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) names.emplace_back(e->d_name);
  }
  closedir(dir);
  return names;
}

std::string PosixFileSystem::ReadAll(const std::string& path) const {
  const std::string real = Resolve(path);
  const int fd = open(real.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT && !IsDirectory(FolderPart(path))) {
      throw FileError(FileErrorKind::PathNotFound, path);
    }
    throw ErrorFromErrno(err, path);
  }
  std::string bytes;
  struct stat st {};
  if (fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      close(fd);
      throw ErrorFromErrno(err, path);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return bytes;
}

void PosixFileSystem::ReplaceWhole(const std::string& path, std::string_view bytes) {
  const std::string target = Resolve(path);
  const std::string folder = FolderPart(target);
  if (!IsDirectory(folder)) throw FileError(FileErrorKind::PathNotFound, path);
  std::string temp = JoinPath(folder, "~" + std::string(FileNameOf(target)) + ".XXXXXX");
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw ErrorFromErrno(errno, path);
  try {
    WriteAll(fd, bytes, path);
  } catch (const FileError&) {
    close(fd);
    unlink(temp.c_str());
    throw;
  }
  int err = fsync(fd) == 0 ? 0 : errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err != 0) {
    unlink(temp.c_str());
    throw ErrorFromErrno(err, path);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    err = errno;
    unlink(temp.c_str());
    throw ErrorFromErrno(err, path);
  }
}

void PosixFileSystem::RemoveFile(const std::string& path) {
  if (unlink(Resolve(path).c_str()) != 0) throw ErrorFromErrno(errno, path);
}

bool PosixFileSystem::FolderExists(const std::string& path) const {
  return IsDirectory(path);
}

void PosixFileSystem::CreateFolder(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (mkdir(p.c_str(), 0755) != 0 && !(errno == EEXIST && IsDirectory(p))) {
    throw ErrorFromErrno(errno, path);
  }
}

bool PosixFileSystem::FileExists(const std::string& path) const {
  const std::string_view name = FileNameOf(path);
  if (name.empty()) return false;
  const std::string found = FirstMatch(FolderPart(path), name);
  return !found.empty() && EqualsIgnoringCase(found, name);
}

std::optional<uint64_t> PosixFileSystem::FileSize(const std::string& path) const {
  struct stat st {};
  if (stat(Resolve(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

std::optional<FileStamp> PosixFileSystem::Stamp(const std::string& path) const {
  struct stat st {};
  if (stat(Resolve(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<uint64_t>(st.st_size),
                   static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string PosixFileSystem::LocalAppDataFolder() const {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return {};
  return JoinPath(home, ".local/share");
}

std::string PosixFileSystem::ProgramFolder() const {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  return std::string(FolderOf(std::string_view(buf, static_cast<size_t>(n))));
}

}  // namespace norvale
