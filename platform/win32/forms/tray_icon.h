#pragma once
// The notification-area icon, owned by the toolkit's hidden window. The icon is
// added again when Explorer restarts and announces "TaskbarCreated".
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/forms/toolkit.h"
#include "platform/win32/forms/handles.h"
#include "platform/win32/forms/toolkit_core.h"

namespace norvale::win32 {

class Win32Tray final : public TrayIcon {
 public:
  Win32Tray(ToolkitCore& core, UINT id, UINT callback_message)
      : core_(core), id_(id), callback_message_(callback_message) {}
  ~Win32Tray() override;
  Win32Tray(const Win32Tray&) = delete;
  Win32Tray& operator=(const Win32Tray&) = delete;

  void SetWindow(HWND hwnd) { hwnd_ = hwnd; }
  // Takes the icon away while its window still exists (the toolkit is closing).
  void Remove();

  bool Add(Form& owner, const std::string& tip) override;
  bool Modify(const std::string& tip) override;
  bool Delete() override;
  bool ShowBalloon(const std::string& title, const std::string& text) override;

  // The callback message's lParam: the mouse message itself.
  void OnCallback(LPARAM lparam);
  void OnTaskbarCreated();

 private:
  NOTIFYICONDATAW Data(UINT flags) const;
  void SetTip(const std::string& tip);

  ToolkitCore& core_;
  const UINT id_;
  const UINT callback_message_;
  HWND hwnd_ = nullptr;
  UniqueIcon owned_icon_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool added_ = false;
  bool wanted_ = false;  // the program asked for the icon and has not deleted it
};

}  // namespace norvale::win32
