#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <atomic>
#include <optional>

#include "platform/path.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

// Owns one handle; the traits say how it is closed, so a find handle can never
// reach CloseHandle or a file handle FindClose.
template <typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      h_ = other.Release();
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Close(); }

  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  HANDLE Release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  // False when closing failed: for a written file that can mean lost data.
  bool Close() {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    return Traits::Close(Release());
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

struct FileHandleTraits {
  static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct FindHandleTraits {
  static bool Close(HANDLE h) { return FindClose(h) != FALSE; }
};
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;

FileErrorKind KindOf(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
      return FileErrorKind::NotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return FileErrorKind::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return FileErrorKind::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileErrorKind::DiskFull;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return FileErrorKind::AlreadyExists;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return FileErrorKind::BadName;
    default:
      return FileErrorKind::Other;
  }
}

FileError ErrorFrom(DWORD err, const std::string& path) {
  return FileError(KindOf(err), path);
}
FileError LastError(const std::string& path) {
  return ErrorFrom(GetLastError(), path);
}

bool EqualsIgnoringCaseAsWindows(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The entry `path` names, when the lookup finds it under that very name and not
// only under its 8.3 alias.
std::optional<WIN32_FIND_DATAW> EntryNamed(const std::wstring& path) {
  const size_t sep = path.find_last_of(L"\\/");
  const std::wstring_view wanted =
      sep == std::wstring::npos ? std::wstring_view(path) : std::wstring_view(path).substr(sep + 1);
  if (wanted.empty() || wanted.find_first_of(L"*?") != std::wstring_view::npos) return std::nullopt;
  WIN32_FIND_DATAW data{};
  FindHandle find(
      FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  if (!find) return std::nullopt;
  if (!EqualsIgnoringCaseAsWindows(data.cFileName, wanted)) return std::nullopt;
  return data;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// WriteFile counts in DWORD; larger pieces go in several calls.
bool WriteAll(HANDLE file, std::string_view bytes) {
  constexpr size_t kChunk = 1u << 30;
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), want, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

void AppendHex(std::wstring& out, unsigned long value) {
  wchar_t digits[2 * sizeof value];
  size_t n = 0;
  do {
    digits[n++] = L"0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (n > 0) out += digits[--n];
}

// Distinct per process, per moment and per call, so two writers of the same
// file (or a crashed earlier run's leftover) never collide on CREATE_NEW.
std::wstring TempNameFor(std::wstring_view name) {
  static std::atomic<unsigned long> counter{0};
  std::wstring temp = L"~" + std::wstring(name) + L".";
  AppendHex(temp, GetCurrentProcessId());
  temp += L'-';
  AppendHex(temp, GetTickCount());
  temp += L'-';
  AppendHex(temp, counter.fetch_add(1));
  return temp + L".tmp";
}

}  // namespace

std::vector<std::string> Win32FileSystem::ListFiles(const std::string& folder,
                                                    std::string_view pattern) const {
  std::vector<std::string> names;
  const std::wstring query = Widen(JoinPath(folder, pattern));
  WIN32_FIND_DATAW data{};
  FindHandle find(
      FindFirstFileExW(query.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  if (!find) return names;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // The lookup also matches 8.3 aliases: "*.sch" finds "x.schedule" as X~1.SCH.
    std::string name = Narrow(data.cFileName);
    if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
  } while (FindNextFileW(find.get(), &data));
  return names;
}

std::string Win32FileSystem::ReadAll(const std::string& path) const {
  // Other programs may hold the file open for writing, or be replacing it; we
  // read whatever is there rather than fail.
  FileHandle file(CreateFileW(
      Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) throw LastError(path);
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    bytes.reserve(static_cast<size_t>(size.QuadPart));
  }
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) throw LastError(path);
    if (got == 0) break;
    bytes.append(buf, got);
  }
  return bytes;
}

void Win32FileSystem::ReplaceWhole(const std::string& path, std::string_view bytes) {
  std::wstring target = Widen(path);
  const size_t sep = target.find_last_of(L"\\/");
  const std::wstring folder =
      sep == std::wstring::npos ? std::wstring() : target.substr(0, sep + 1);
  // A hidden or system file stays so after its replacement.
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (const auto existing = EntryNamed(target)) {
    // Windows refuses to move over a read-only file, Wine does not; asking first
    // makes both keep what the user protected.
    if (existing->dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
      throw FileError(FileErrorKind::AccessDenied, path);
    }
    // Keep the spelling already on disk, so replacing "Night.sch" leaves "night.sch".
    target = folder + existing->cFileName;
    const DWORD kept = existing->dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (kept != 0) attributes = kept;
  }
  const std::wstring name = target.substr(folder.size());
  if (name.empty()) throw FileError(FileErrorKind::BadName, path);

  std::wstring temp;
  FileHandle file;
  for (int attempt = 0; attempt < 16 && !file; ++attempt) {
    temp = folder + TempNameFor(name);
    file = FileHandle(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
    if (file) break;
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) throw ErrorFrom(err, path);
  }
  if (!file) throw FileError(FileErrorKind::AlreadyExists, path);

  const auto fail = [&](DWORD err) {
    file.Close();
    DeleteFileW(temp.c_str());
    return ErrorFrom(err, path);
  };
  if (!WriteAll(file.get(), bytes)) throw fail(GetLastError());
  if (!FlushFileBuffers(file.get())) throw fail(GetLastError());
  if (!file.Close()) throw fail(GetLastError());
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw fail(GetLastError());
  }
}

void Win32FileSystem::RemoveFile(const std::string& path) {
  if (!DeleteFileW(Widen(path).c_str())) throw LastError(path);
}

bool Win32FileSystem::FolderExists(const std::string& path) const {
  return IsFolder(Widen(path));
}

void Win32FileSystem::CreateFolder(const std::string& path) {
  const std::wstring wide = Widen(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return;
  const DWORD err = GetLastError();
  if (err == ERROR_ALREADY_EXISTS && IsFolder(wide)) return;
  throw ErrorFrom(err, path);
}

bool Win32FileSystem::FileExists(const std::string& path) const {
  try {
    return EntryNamed(Widen(path)).has_value();
  } catch (...) {
    return false;
  }
}

std::optional<uint64_t> Win32FileSystem::FileSize(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<FileStamp> Win32FileSystem::Stamp(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return FileStamp{
      (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
      static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime)};
}

std::string Win32FileSystem::LocalAppDataFolder() const {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &path))) {
    folder = Narrow(path);
  }
  CoTaskMemFree(path);
  return folder;
}

std::string Win32FileSystem::ProgramFolder() const {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return ".";
    // A full buffer means the path was cut short (older systems set no error).
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    if (buf.size() >= 32768) return ".";
    buf.resize(buf.size() * 2);
  }
  return std::string(FolderOf(Narrow(buf)));
}

}  // namespace norvale
