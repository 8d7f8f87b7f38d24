#pragma once
// Libraries loaded at run time come from the system folder only, never from
// the program's own folder, where anyone who can write there could drop one.
#include <windows.h>

#include <string>

namespace norvale {

// A call of a library loaded at run time; nullptr when the library or the call is missing.
template <typename Fn>
Fn ProcOf(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// The first thing a program does: the folders searched for every later load
// (implicit ones included) are the system folder alone. Windows 7 has the call
// only with its 2011 update, so it is looked up rather than imported.
inline void SearchSystemFolderOnly() {
  using SetDirs = BOOL(WINAPI*)(DWORD);
  if (const auto set =
          ProcOf<SetDirs>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")) {
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

// A system DLL by name, from the system folder. Where the flag is unknown
// (that same old Windows 7), by its full path in the system folder.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  wchar_t folder[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return LoadLibraryExW((std::wstring(folder) + L"\\" + name).c_str(), nullptr,
                        LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace norvale
