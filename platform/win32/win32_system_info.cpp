#include "platform/win32/win32_system_info.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/utf.h"

namespace norvale {
namespace {

// version.dll is no known system DLL: imported, it would be looked for beside the
// program first, so it is loaded from the system folder when first needed.
struct VersionApi {
  using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  SizeFn size = nullptr;
  InfoFn info = nullptr;
  QueryFn query = nullptr;
  bool Loaded() const { return size && info && query; }
};

const VersionApi& VersionDll() {
  static const VersionApi api = [] {
    const HMODULE module = LoadSystemLibrary(L"version.dll");
    return VersionApi{ProcOf<VersionApi::SizeFn>(module, "GetFileVersionInfoSizeW"),
                      ProcOf<VersionApi::InfoFn>(module, "GetFileVersionInfoW"),
                      ProcOf<VersionApi::QueryFn>(module, "VerQueryValueW")};
  }();
  return api;
}

std::wstring ModulePath() {
  // The path may be longer than MAX_PATH; a full buffer means it was cut.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    if (buffer.size() >= 65536) return {};
    buffer.resize(buffer.size() * 2);
  }
}

// "040704e4" style names of the string tables to look in: the ones the file
// lists, then those most files carry when the list is missing.
std::vector<std::wstring> StringTables(const std::vector<BYTE>& block) {
  std::vector<std::wstring> tables;
  struct Translation {
    WORD language;
    WORD code_page;
  };
  void* data = nullptr;
  UINT length = 0;
  if (VersionDll().query(block.data(), L"\\VarFileInfo\\Translation", &data, &length) && data) {
    const auto* list = static_cast<const Translation*>(data);
    for (UINT i = 0; i < length / sizeof(Translation); ++i) {
      wchar_t name[9];
      swprintf(name, 9, L"%04x%04x", list[i].language, list[i].code_page);
      tables.emplace_back(name);
    }
  }
  for (const wchar_t* fallback : {L"040904b0", L"040904e4", L"000004b0"})
    tables.emplace_back(fallback);
  return tables;
}

std::string StringValue(const std::vector<BYTE>& block, const std::vector<std::wstring>& tables,
                        const wchar_t* field) {
  for (const std::wstring& table : tables) {
    const std::wstring query = L"\\StringFileInfo\\" + table + L"\\" + field;
    void* data = nullptr;
    UINT length = 0;
    if (VersionDll().query(block.data(), query.c_str(), &data, &length) && data) {
      const auto* text = static_cast<const wchar_t*>(data);
      return Narrow(std::wstring_view(text, wcsnlen(text, length)));
    }
  }
  return {};
}

}  // namespace

std::string ExecutablePath() {
  return Narrow(ModulePath());
}

std::optional<OsVersion> Win32SystemInfo::Version() const {
  using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return std::nullopt;
  const auto get_version = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (!get_version) return std::nullopt;
  RTL_OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (get_version(&info) != 0) return std::nullopt;
  return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

VersionInfo ReadVersionInfo(const std::string& file_path) {
  VersionInfo info;
  const std::wstring path = Widen(file_path);
  if (!VersionDll().Loaded()) return info;
  DWORD unused = 0;
  const DWORD size = VersionDll().size(path.c_str(), &unused);
  if (size == 0) return info;
  std::vector<BYTE> block(size);
  if (!VersionDll().info(path.c_str(), 0, size, block.data())) return info;

  void* data = nullptr;
  UINT length = 0;
  if (VersionDll().query(block.data(), L"\\", &data, &length) && data &&
      length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    if (fixed->dwSignature == VS_FFI_SIGNATURE) {
      info.major = HIWORD(fixed->dwFileVersionMS);
      info.minor = LOWORD(fixed->dwFileVersionMS);
    }
  }
  const std::vector<std::wstring> tables = StringTables(block);
  info.ProductName = StringValue(block, tables, L"ProductName");
  info.CompanyName = StringValue(block, tables, L"CompanyName");
  info.Comments = StringValue(block, tables, L"Comments");
  return info;
}

VersionInfo Win32SystemInfo::ProgramVersion() const {
  const std::wstring path = ModulePath();
  if (path.empty()) return {};
  return ReadVersionInfo(Narrow(path));
}

std::string Win32SystemInfo::SystemFolder() const {
  wchar_t folder[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? Narrow(folder) : std::string();
}

std::string Win32SystemInfo::ExeName() const {
  std::wstring name = ModulePath();
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return Narrow(name);
}

}  // namespace norvale
