#pragma once
// Twips, pixels and the dots per inch of a window. The per-monitor functions
// exist from Windows 10 on; older systems get the system-wide equivalents.
#include <windows.h>

#include "platform/win32/forms/handles.h"

namespace norvale::win32 {

constexpr int kTwipsPerInch = 1440;

inline int TwipsToPx(int twips, int dpi) {
  return MulDiv(twips, dpi, kTwipsPerInch);
}
inline int PxToTwips(int px, int dpi) {
  return MulDiv(px, kTwipsPerInch, dpi);
}

int SystemDpi();
int WindowDpi(HWND hwnd);
int MetricForDpi(int index, int dpi);
// The desktop's message font at that DPI.
UniqueFont MessageFont(int dpi);
UniqueFont MenuFont(int dpi);
// A timer the system may shift a little to save power; SetTimer where unknown.
bool StartCoalescableTimer(HWND hwnd, UINT_PTR id, UINT ms);

}  // namespace norvale::win32
