#include "platform/win32/forms/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/win32/forms/dpi.h"
#include "platform/win32/utf.h"

namespace norvale::win32 {
namespace {

std::optional<TrayEvent> EventOf(UINT mouse_message) {
  switch (mouse_message) {
    case WM_MOUSEMOVE:
      return TrayEvent::MouseMove;
    case WM_LBUTTONDOWN:
      return TrayEvent::LeftDown;
    case WM_LBUTTONUP:
      return TrayEvent::LeftUp;
    case WM_RBUTTONDOWN:
      return TrayEvent::RightDown;
    case WM_RBUTTONUP:
      return TrayEvent::RightUp;
    case WM_LBUTTONDBLCLK:
      return TrayEvent::LeftDoubleClick;
    default:
      return std::nullopt;
  }
}

}  // namespace

Win32Tray::~Win32Tray() {
  Remove();
}

void Win32Tray::Remove() {
  if (added_ && hwnd_) {
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  added_ = false;
  wanted_ = false;
}

NOTIFYICONDATAW Win32Tray::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd_;
  data.uID = id_;
  data.uFlags = flags;
  data.uCallbackMessage = callback_message_;
  data.hIcon = icon_;
  // szTip holds 127 characters and the terminator.
  const size_t n = std::min(tip_.size(), std::size(data.szTip) - 1);
  tip_.copy(data.szTip, n);
  data.szTip[n] = L'\0';
  return data;
}

void Win32Tray::SetTip(const std::string& tip) {
  tip_ = Widen(tip);
}

bool Win32Tray::Add(Form& owner, const std::string& tip) {
  const int dpi = SystemDpi();
  UniqueIcon icon;
  if (!owner.IconResource().empty()) {
    icon.reset(static_cast<HICON>(LoadImageW(core_.instance(), Widen(owner.IconResource()).c_str(),
                                             IMAGE_ICON, MetricForDpi(SM_CXSMICON, dpi),
                                             MetricForDpi(SM_CYSMICON, dpi), LR_DEFAULTCOLOR)));
  }
  // Without an icon the entry would be an invisible gap: the system's stands in.
  HICON shown = icon ? icon.get() : LoadIconW(nullptr, IDI_APPLICATION);
  SetTip(tip);
  wanted_ = true;
  icon_ = shown;
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  // A second Add replaces the icon shown rather than failing as a duplicate; an
  // icon the shell lost without its "TaskbarCreated" broadcast is added anew.
  BOOL ok = added_ && Shell_NotifyIconW(NIM_MODIFY, &data);
  if (!ok) ok = Shell_NotifyIconW(NIM_ADD, &data);
  if (ok) added_ = true;
  owned_icon_ = std::move(icon);  // the old icon goes once the shell has the new one
  return ok != FALSE;
}

bool Win32Tray::Modify(const std::string& tip) {
  SetTip(tip);
  NOTIFYICONDATAW data = Data(NIF_TIP);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool Win32Tray::ShowBalloon(const std::string& title, const std::string& text) {
  NOTIFYICONDATAW data = Data(NIF_INFO);
  const std::wstring t = Widen(title).substr(0, ARRAYSIZE(data.szInfoTitle) - 1);
  const std::wstring m = Widen(text).substr(0, ARRAYSIZE(data.szInfo) - 1);
  wcsncpy(data.szInfoTitle, t.c_str(), ARRAYSIZE(data.szInfoTitle));
  wcsncpy(data.szInfo, m.c_str(), ARRAYSIZE(data.szInfo));
  data.dwInfoFlags = NIIF_INFO;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool Win32Tray::Delete() {
  NOTIFYICONDATAW data = Data(0);
  const BOOL ok = Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
  wanted_ = false;
  return ok != FALSE;
}

void Win32Tray::OnCallback(LPARAM lparam) {
  // LOWORD: also right when a shell sends the newer layout (icon id in HIWORD).
  const std::optional<TrayEvent> event = EventOf(LOWORD(lparam));
  if (!event || !OnEvent) return;
  Guarded(core_.errors(), [&] { OnEvent(*event); });
}

void Win32Tray::OnTaskbarCreated() {
  // The new notification area has no icon of ours: the next Add adds.
  added_ = false;
  if (!wanted_) return;
  if (TaskbarCreated) {
    // The program adds it, and retries if the shell is not ready yet.
    Guarded(core_.errors(), [&] { TaskbarCreated(); });
    return;
  }
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

}  // namespace norvale::win32
