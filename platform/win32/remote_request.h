#pragma once
// How a second copy hands its command line to the running program: WM_COPYDATA
// to the running program's hidden toolkit window, whose reply comes back the
// same way to the window named in wParam.
#include <windows.h>

namespace norvale::win32 {

inline constexpr ULONG_PTR kRequestData = 0x4E565251;  // "NVRQ"
inline constexpr ULONG_PTR kReplyData = 0x4E565250;    // "NVRP"
inline constexpr const wchar_t* kToolkitWindowClass = L"NorvaleToolkit";

}  // namespace norvale::win32
