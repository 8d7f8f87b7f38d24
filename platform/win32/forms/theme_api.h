#pragma once
// The visual styles' drawing calls, from uxtheme.dll loaded out of the system
// folder on first use: Windows does not count it among its known DLLs, so an
// import would be looked for beside the program first. Without the library
// (or its calls) no theme opens, and the callers draw as the classic look does.
#include <windows.h>
#include <uxtheme.h>

namespace norvale::uxtheme {

HTHEME OpenThemeData(HWND window, LPCWSTR classes);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                            const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect);
HRESULT SetWindowTheme(HWND window, LPCWSTR app_name, LPCWSTR id_list);

}  // namespace norvale::uxtheme
