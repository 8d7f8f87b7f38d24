#include "platform/win32/forms/toolkit_core.h"

#include <algorithm>

#include "platform/win32/forms/form_window.h"

namespace norvale::win32 {

void ToolkitCore::AddForm(FormWindow* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void ToolkitCore::RemoveForm(FormWindow* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

FormWindow* ToolkitCore::FormOf(HWND top_level) const {
  if (!top_level) return nullptr;
  for (FormWindow* form : forms_) {
    if (form->hwnd() == top_level) return form;
  }
  return nullptr;
}

void ToolkitCore::Dispatch(MSG& msg) {
  if (msg.hwnd) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    // IsDialogMessage dispatches whatever it does not take itself.
    if (FormOf(root) && IsDialogMessageW(root, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace norvale::win32
