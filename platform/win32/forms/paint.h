#pragma once
// Colours for what the program draws itself in a dark skin.

#include <windows.h>

#include <optional>

#include "platform/forms/control.h"

namespace norvale::win32 {

// Dark when the skin gives the control a background darker than mid grey.
inline bool IsDark(std::optional<Color> back) {
  if (!back) return false;
  const Color c = *back;
  const int luma = (299 * (c & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * ((c >> 16) & 0xFF)) / 1000;
  return luma < 128;
}

inline COLORREF Blend(COLORREF a, COLORREF b, int percent_of_b) {
  auto mix = [&](int shift) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    return static_cast<COLORREF>(x + (y - x) * percent_of_b / 100) << shift;
  };
  return mix(0) | mix(8) | mix(16);
}

// Whether the window shows access-key underlines now (Windows hides them until Alt).
inline bool ShowsAccessKeys(HWND h) {
  return (SendMessageW(h, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) == 0;
}

}  // namespace norvale::win32
