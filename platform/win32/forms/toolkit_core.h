#pragma once
// What the toolkit shares with its windows: the module, the exception sink, the
// loaded forms, and the one way messages are dispatched.
#include <windows.h>

#include <vector>

#include "platform/win32/forms/dispatch.h"

namespace norvale::win32 {

class FormWindow;

// Private messages of our own windows.
constexpr UINT kMsgSyncFromNative = WM_APP + 0x100;  // wParam: the control's id

class ToolkitCore {
 public:
  explicit ToolkitCore(HINSTANCE instance) : instance_(instance) {}
  ToolkitCore(const ToolkitCore&) = delete;
  ToolkitCore& operator=(const ToolkitCore&) = delete;

  HINSTANCE instance() const { return instance_; }
  ErrorSink& errors() { return errors_; }

  void AddForm(FormWindow* form);
  void RemoveForm(FormWindow* form);
  FormWindow* FormOf(HWND top_level) const;
  const std::vector<FormWindow*>& forms() const { return forms_; }

  // Gives the dialog manager (Tab, Enter, Esc, access keys) its chance first.
  void Dispatch(MSG& msg);

 private:
  HINSTANCE instance_;
  ErrorSink errors_;
  std::vector<FormWindow*> forms_;
};

}  // namespace norvale::win32
