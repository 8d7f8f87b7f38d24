#include "platform/win32/forms/window.h"

namespace norvale::win32 {

Window::~Window() {
  DestroyNative();
}

void Window::RegisterClassOnce(HINSTANCE instance, const wchar_t* name, UINT style,
                               HBRUSH background) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &Window::Thunk;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

HWND Window::CreateNative(HINSTANCE instance, const wchar_t* class_name, const wchar_t* title,
                          DWORD style, DWORD ex_style, RECT bounds, HWND parent) {
  return CreateWindowExW(ex_style, class_name, title, style, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr,
                         instance, this);
}

void Window::DestroyNative() {
  if (!hwnd_) return;
  HWND hwnd = hwnd_;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  DestroyWindow(hwnd);
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  // The sink outlives every window; `self` may be gone once HandleMessage returns.
  ErrorSink& errors = self->errors_;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    Guarded(errors, [&] { self->HandleMessage(message, wparam, lparam); });
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return Guarded<LRESULT>(errors, 0, [&] { return self->HandleMessage(message, wparam, lparam); });
}

}  // namespace norvale::win32
