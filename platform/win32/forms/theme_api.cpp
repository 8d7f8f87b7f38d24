#include "platform/win32/forms/theme_api.h"

#include "platform/win32/system_library.h"

namespace norvale::uxtheme {
namespace {

struct Calls {
  decltype(&::OpenThemeData) open = nullptr;
  decltype(&::CloseThemeData) close = nullptr;
  decltype(&::DrawThemeBackground) background = nullptr;
  decltype(&::DrawThemeText) text = nullptr;
  decltype(&::SetWindowTheme) set = nullptr;
};

template <typename Fn>
void Take(HMODULE module, const char* name, Fn& fn) {
  fn = ProcOf<Fn>(module, name);
}

const Calls& Uxtheme() {
  static const Calls calls = [] {
    Calls c;
    const HMODULE module = LoadSystemLibrary(L"uxtheme.dll");
    Take(module, "OpenThemeData", c.open);
    Take(module, "CloseThemeData", c.close);
    Take(module, "DrawThemeBackground", c.background);
    Take(module, "DrawThemeText", c.text);
    Take(module, "SetWindowTheme", c.set);
    // A theme that could not be drawn or closed is none.
    if (!c.close || !c.background || !c.text) c.open = nullptr;
    return c;
  }();
  return calls;
}

}  // namespace

HTHEME OpenThemeData(HWND window, LPCWSTR classes) {
  return Uxtheme().open ? Uxtheme().open(window, classes) : nullptr;
}
HRESULT CloseThemeData(HTHEME theme) {
  return Uxtheme().close ? Uxtheme().close(theme) : E_NOTIMPL;
}
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                            const RECT* clip) {
  return Uxtheme().background ? Uxtheme().background(theme, dc, part, state, rect, clip)
                              : E_NOTIMPL;
}
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect) {
  return Uxtheme().text ? Uxtheme().text(theme, dc, part, state, text, length, flags, flags2, rect)
                        : E_NOTIMPL;
}
HRESULT SetWindowTheme(HWND window, LPCWSTR app_name, LPCWSTR id_list) {
  return Uxtheme().set ? Uxtheme().set(window, app_name, id_list) : E_NOTIMPL;
}

}  // namespace norvale::uxtheme
