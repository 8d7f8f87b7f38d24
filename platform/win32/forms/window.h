#pragma once
// A native window owned by a C++ object: the class's procedure is a static thunk
// that finds the object stored at WM_NCCREATE and hands every message to it.
#include <windows.h>

#include "platform/win32/forms/dispatch.h"

namespace norvale::win32 {

class Window {
 public:
  explicit Window(ErrorSink& errors) : errors_(errors) {}
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class once per process; every class shares the thunk.
  static void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, UINT style,
                                HBRUSH background);
  HWND CreateNative(HINSTANCE instance, const wchar_t* class_name, const wchar_t* title,
                    DWORD style, DWORD ex_style, RECT bounds, HWND parent);
  // Destroys the window without handing it any more messages.
  void DestroyNative();

  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
  ErrorSink& errors() const { return errors_; }

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  ErrorSink& errors_;
  HWND hwnd_ = nullptr;
};

}  // namespace norvale::win32
