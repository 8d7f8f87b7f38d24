#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <vector>

#include "platform/win32/utf.h"

namespace norvale {
namespace {

// The shell's verbs and dialogs want a single-threaded apartment. A thread
// that already joined one keeps it; this only undoes what it did itself.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  // False when the thread was already in the multithreaded apartment.
  bool Apartment() const { return hr_ != RPC_E_CHANGED_MODE; }

 private:
  HRESULT hr_;
};

// Releases one COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** Receive() { return &p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

// nullopt when this dialog cannot be used here; "" when the user cancelled.
std::optional<std::string> PickWithFileDialog(HWND owner, const std::wstring& title) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, reinterpret_cast<void**>(dialog.Receive())))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(dialog->GetOptions(&options)) ||
      FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM))) {
    return std::nullopt;
  }
  if (!title.empty()) dialog->SetTitle(title.c_str());
  const HRESULT shown = dialog->Show(owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::string();
  if (FAILED(shown)) return std::nullopt;
  ComPtr<IShellItem> item;
  if (FAILED(dialog->GetResult(item.Receive()))) return std::string();
  PWSTR path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::string();
  std::string result = Narrow(path);
  CoTaskMemFree(path);
  return result;
}

std::string PickWithBrowseDialog(HWND owner, const std::wstring& title, bool new_style) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  // The new style needs an apartment-threaded caller; without one the old
  // style still works.
  info.ulFlags =
      BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_EDITBOX | (new_style ? BIF_NEWDIALOGSTYLE : 0u);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return {};
  std::vector<wchar_t> path(32768, L'\0');
  const bool ok = SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()),
                                        GPFIDL_DEFAULT) != FALSE;
  CoTaskMemFree(chosen);
  return ok ? Narrow(path.data()) : std::string();
}

}  // namespace

bool Win32Shell::OpenDocument(const std::string& path_or_url) {
  if (path_or_url.empty()) return false;
  ComScope com;
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", Widen(path_or_url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::StartCommand(const std::string& command_line) {
  if (command_line.empty()) return false;
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring line = Widen(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  // The new window may take the focus although this program's window has it.
  AllowSetForegroundWindow(process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::string Win32Shell::BrowseForFolder(const std::string& title) {
  ComScope com;
  const HWND owner = GetActiveWindow();
  const std::wstring wtitle = Widen(title);
  if (com.Apartment()) {
    if (auto picked = PickWithFileDialog(owner, wtitle)) return *picked;
  }
  return PickWithBrowseDialog(owner, wtitle, com.Apartment());
}

}  // namespace norvale
