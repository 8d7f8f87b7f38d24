#pragma once
// What a form answers another program (the end-to-end layout probe) about its
// menu bar: menus belong to their process, so GetMenuItemRect from outside fails.
// The asker puts a MenuBarItemQuery in the form's process and sends the
// registered message with the item's index and the query's address there; the
// form fills it in and answers 1, or 0 past the last item.
#include <windows.h>

namespace norvale::win32 {

inline constexpr wchar_t kMenuBarItemMessage[] = L"Norvale.MenuBarItem";

struct MenuBarItemQuery {
  RECT rect;            // the item's, on the screen
  UINT drawn_here;      // 1 where the form draws the item itself
  wchar_t text[256];    // with its access-key mark
};

}  // namespace norvale::win32
