#pragma once
// The native side of each control kind. Peers without a window (timers, menus)
// share the base so the form can find, route to and detach all of them alike.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "platform/forms/control.h"
#include "platform/win32/forms/handles.h"

namespace norvale::win32 {

class FormWindow;

class FormChild : public ControlPeer {
 public:
  FormChild(FormWindow& form, Control& control);
  ~FormChild() override;
  FormChild(const FormChild&) = delete;
  FormChild& operator=(const FormChild&) = delete;

  Control& control() const { return control_; }
  UINT id() const { return id_; }
  // The form's window is going: forget it and every handle that went with it.
  virtual void Detach() { form_ = nullptr; }

  virtual HWND hwnd() const { return nullptr; }
  // Also true for windows inside the control (a combo box's edit field).
  virtual bool Owns(HWND h) const { return h && h == hwnd(); }

  // Messages the form routes here; false when not handled.
  virtual bool OnCommand(UINT /*code*/) { return false; }
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  virtual HBRUSH OnCtlColor(HDC /*dc*/, HBRUSH system_brush) { return system_brush; }
  virtual void OnTimer() {}
  virtual void OnSyncFromNative() {}
  virtual bool IsMenu() const { return false; }
  // Painted behind everything else of the form (a picture box under its contents).
  virtual bool IsBackdrop() const { return false; }

  // Position, visibility, enabled state and font again: a container changed or the DPI did.
  virtual void Relayout(HDWP& /*batch*/) {}
  virtual void ApplyShownEnabled() {}
  virtual void ApplyFont() {}

 protected:
  FormWindow* form_;
  Control& control_;
  const UINT id_;
  LifeToken life_;
};

std::unique_ptr<FormChild> CreateControlPeer(FormWindow& form, Control& control);

}  // namespace norvale::win32
