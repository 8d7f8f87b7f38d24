#pragma once
// The form runtime on the Windows desktop. A program makes one Win32Toolkit with
// its module handle, loads and shows its forms through it, then calls Run:
//
//   int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
//     norvale::Win32Toolkit kit(instance);
//     MainForm main(kit, "frmMain");
//     main.Show();
//     return kit.Run();
//   }
//
// Link the application manifest (norvale_app_manifest) for the common controls
// version 6 and per-monitor DPI awareness.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/forms/toolkit.h"

namespace norvale {

class Win32Toolkit final : public Toolkit {
 public:
  // `instance` holds the program's resources (the icons forms name); nullptr is
  // the executable's own module.
  explicit Win32Toolkit(HINSTANCE instance = nullptr);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  std::unique_ptr<FormPeer> CreatePeer(Form& form) override;
  void RunModal(Form& form) override;
  void DoEvents() override;
  MessageBoxes& Boxes() override;
  TrayIcon& Tray() override;
  void PopupMenu(Form& owner, Menu& menu) override;
  void ClosePopupMenu() override;
  bool ActivateByTitle(const std::string& title) override;
  void Quit() override;
  const Clock& Time() const override;

  // The program's message loop: returns the exit code once Quit was called. An
  // exception that escaped an event handler continues from here (and from
  // DoEvents and modal windows), never through the system's frames.
  int Run();
  HINSTANCE Instance() const;

  // The native windows, for code that must reach them; nullptr when the form is
  // not loaded or the control has no window of its own (timers, menus).
  static HWND WindowOf(const Form& form);
  static HWND WindowOf(const Control& control);
  // The hidden window that owns the notification-area icon and its messages.
  HWND TrayWindow() const;
  static constexpr UINT kTrayIconId = 1;
  static constexpr UINT kTrayCallbackMessage = WM_APP + 1;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace norvale
