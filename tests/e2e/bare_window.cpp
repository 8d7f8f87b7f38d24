// The floor the real program is measured against: a bare Win32 window with an
// empty report list view, built with the same flags, doing nothing.
#include <windows.h>
#include <commctrl.h>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(h, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);
  WNDCLASSW cls{};
  cls.lpfnWndProc = Proc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  cls.lpszClassName = L"NorvaleBareWindow";
  RegisterClassW(&cls);
  HWND window =
      CreateWindowExW(0, cls.lpszClassName, L"Norvale bare window", WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, CW_USEDEFAULT, 680, 490, nullptr, nullptr, instance, nullptr);
  CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                  WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 8, 120, 650, 320, window,
                  nullptr, instance, nullptr);
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
