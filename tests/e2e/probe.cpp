// Looks at and works the running Norvale.exe from outside, as another program
// on the desktop can, for the end-to-end tests (NORVALE_DESKTOP names the
// desktop it runs on):
//   norvale_probe rows          prints each row of the schedule list, cells
//                               separated by tabs; exit 1 while there is none
//   norvale_probe count         prints the number of rows of the schedule list and
//                               whether its window shows (1) or not (0)
//   norvale_probe go INDEX      picks entry INDEX of the delay list and presses Go
//   norvale_probe warning       exit 0 while the warning before an action shows
//   norvale_probe postpone INDEX
//                               in the warning before an action, picks entry INDEX
//                               of the postpone list and presses Postpone; exit 1
//                               while no warning shows
//   norvale_probe fill TITLE TEXT
//                               types TEXT into the first text box of the window
//                               titled TITLE; exit 1 while there is none
//   norvale_probe press TITLE CAPTION
//                               presses the button (or check box) CAPTION of the
//                               window titled TITLE; exit 1 while there is none
//   norvale_probe shown TITLE   exit 0 once a window of this program titled TITLE
//                               ("*": any) shows and its program waits for input
//   norvale_probe layout        lists every text cut by its control (buttons, check
//                               boxes, option buttons, labels, frame captions, list
//                               column headers, menu bar items) and every control
//                               outside its window's client area, in the program's
//                               shown windows, then how many of each it checked;
//                               exit 1 when there is any
//   norvale_probe windows       prints how many of the program's windows show
//   norvale_probe tray          exit 0 while the program's tray icon is there
//   norvale_probe tray-delete   deletes that icon behind the program's back
//   norvale_probe taskbar-created
//                               announces "TaskbarCreated" to every top-level
//                               window of the desktop, as a restarted Explorer does
//   norvale_probe place TITLE X Y
//                               moves the window titled TITLE to X,Y of the desktop
//                               and prints its size, for a screenshot of several
//                               windows side by side
//   norvale_probe choose TITLE TEXT
//                               picks TEXT in the first list box of the window
//                               titled TITLE, as a click on it does; exit 1
//                               while there is none
//   norvale_probe texts TITLE   prints the text of every label of the windows
//                               titled TITLE (message boxes too); exit 1 while
//                               there is none
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/forms/menu_bar_query.h"

namespace {

struct Found {
  HWND form = nullptr;
  HWND list = nullptr;
  std::vector<HWND> combos;
  HWND go = nullptr;
};

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return name;
}

BOOL CALLBACK Child(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  const std::wstring cls = ClassOf(h);
  if (cls == WC_LISTVIEWW) f->list = h;
  if (cls == WC_COMBOBOXW && GetParent(h) == f->form) f->combos.push_back(h);
  wchar_t text[32] = {};
  GetWindowTextW(h, text, 32);
  if (cls == WC_BUTTONW && std::wcscmp(text, L"&Go") == 0) f->go = h;
  return TRUE;
}

// The warning before an action: the visible top-level window with a "&Postpone" button.
struct Warning {
  HWND top = nullptr;
  HWND combo = nullptr;
  HWND postpone = nullptr;
};

BOOL CALLBACK WarningChild(HWND h, LPARAM lp) {
  auto* w = reinterpret_cast<Warning*>(lp);
  wchar_t text[32] = {};
  GetWindowTextW(h, text, 32);
  if (ClassOf(h) == WC_COMBOBOXW) w->combo = h;
  if (ClassOf(h) == WC_BUTTONW && std::wcscmp(text, L"&Postpone") == 0) w->postpone = h;
  return TRUE;
}

BOOL CALLBACK WarningTop(HWND h, LPARAM lp) {
  // Its own style, not IsWindowVisible: from another desktop Wine reads that as hidden.
  if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) return TRUE;
  Warning here;
  EnumChildWindows(h, WarningChild, reinterpret_cast<LPARAM>(&here));
  if (!here.postpone || !here.combo) return TRUE;
  here.top = h;
  *reinterpret_cast<Warning*>(lp) = here;
  return FALSE;
}

// A control of a visible top-level window, by the window's title and the
// control's class and (when given) its text.
struct Wanted {
  const wchar_t* title;
  const wchar_t* cls;
  const wchar_t* text;
  HWND found = nullptr;
};

BOOL CALLBACK WantedChild(HWND h, LPARAM lp) {
  auto* w = reinterpret_cast<Wanted*>(lp);
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  if (ClassOf(h) != w->cls || (w->text && std::wcscmp(text, w->text) != 0)) return TRUE;
  w->found = h;
  return FALSE;
}

BOOL CALLBACK WantedTop(HWND h, LPARAM lp) {
  auto* w = reinterpret_cast<Wanted*>(lp);
  wchar_t title[256] = {};
  GetWindowTextW(h, title, 256);
  if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) || std::wcscmp(title, w->title) != 0) {
    return TRUE;
  }
  EnumChildWindows(h, WantedChild, lp);
  return w->found ? FALSE : TRUE;
}

BOOL CALLBACK TopLevel(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  wchar_t title[128] = {};
  GetWindowTextW(h, title, 128);
  if (std::wcsncmp(title, L"Norvale", 7) != 0) return TRUE;
  Found here;
  here.form = h;
  EnumChildWindows(h, Child, reinterpret_cast<LPARAM>(&here));
  if (!here.list) return TRUE;
  *f = here;
  return FALSE;
}

std::string Utf8(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}

int Rows(const Found& f) {
  DWORD pid = 0;
  GetWindowThreadProcessId(f.list, &pid);
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!proc) return 2;
  // The list's process must hold the item and its text buffer.
  constexpr size_t kChars = 512;
  char* remote = static_cast<char*>(VirtualAllocEx(
      proc, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return 2;
  const auto rows = SendMessageW(f.list, LVM_GETITEMCOUNT, 0, 0);
  HWND header = reinterpret_cast<HWND>(SendMessageW(f.list, LVM_GETHEADER, 0, 0));
  const auto columns = header ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 1;
  for (LRESULT r = 0; r < rows; ++r) {
    std::string line;
    for (LRESULT c = 0; c < columns; ++c) {
      LVITEMW item{};
      item.iSubItem = static_cast<int>(c);
      item.cchTextMax = kChars;
      item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
      wchar_t text[kChars] = {};
      WriteProcessMemory(proc, remote, &item, sizeof item, nullptr);
      WriteProcessMemory(proc, remote + sizeof(LVITEMW), text, sizeof(wchar_t), nullptr);
      SendMessageW(f.list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r),
                   reinterpret_cast<LPARAM>(remote));
      ReadProcessMemory(proc, remote + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t),
                        nullptr);
      if (c) line += '\t';
      line += Utf8(text);
    }
    std::printf("%s\n", line.c_str());
  }
  VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
  return 0;
}

// Every top-level window to `visit`, on Norvale's desktop (NORVALE_DESKTOP: Wine's
// virtual desktop is a desktop of its own) or on this one.
void EachTopLevel(WNDENUMPROC visit, LPARAM state) {
  const wchar_t* desktop = _wgetenv(L"NORVALE_DESKTOP");
  HDESK desk =
      desktop ? OpenDesktopW(desktop, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE) : nullptr;
  if (desk) {
    EnumDesktopWindows(desk, visit, state);
    CloseDesktop(desk);
  } else {
    EnumWindows(visit, state);
  }
}

}  // namespace

// A shown window of this program (class NorvaleForm), by title or any.
struct Shown {
  const wchar_t* title;
  HWND found = nullptr;
};

BOOL CALLBACK ShownTop(HWND h, LPARAM lp) {
  auto* w = reinterpret_cast<Shown*>(lp);
  wchar_t title[256] = {};
  GetWindowTextW(h, title, 256);
  RECT r{};
  GetWindowRect(h, &r);
  if (ClassOf(h) != L"NorvaleForm" || !(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) ||
      r.right <= r.left ||
      (std::wcscmp(w->title, L"*") != 0 && std::wcscmp(title, w->title) != 0)) {
    return TRUE;
  }
  w->found = h;
  return FALSE;
}

int ShownAndIdle(const wchar_t* title) {
  Shown w{title};
  EachTopLevel(ShownTop, reinterpret_cast<LPARAM>(&w));
  if (!w.found) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(w.found, &pid);
  HANDLE proc = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
  if (!proc) return 1;
  // Painted: its messages, WM_PAINT among them, are all handled.
  const DWORD idle = WaitForInputIdle(proc, 0);
  CloseHandle(proc);
  if (idle != 0) return 1;
  RECT r{};
  GetWindowRect(w.found, &r);
  std::printf("%ldx%ld\n", r.right - r.left, r.bottom - r.top);
  return 0;
}

// What a control shows, as it draws it: "&&" one ampersand, "&x" the access key.
std::wstring Shown(const wchar_t* text) {
  std::wstring out;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p == L'&' && p[1]) ++p;
    out += *p;
  }
  return out;
}

struct LayoutCheck {
  HWND form = nullptr;
  RECT client{};  // of the form, in screen coordinates
  // The desktop's message font, which the program's windows use: a font handle
  // of another process means nothing here.
  HFONT font = nullptr;
  int faults = 0;
  // What was checked, so the output shows every kind of check ran.
  int controls = 0, frames = 0, headers = 0, bar_items = 0;
  int windows = 0;
};

// A letter may draw a pixel past its measured width and still show whole.
constexpr int kOverhangTolerance = 1;

int MeasuredWidth(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return static_cast<int>(size.cx);
}

// How wide a text is as drawn, not only as measured: some fonts (Wine's Tahoma in
// Cyrillic) draw letters wider than GetTextExtentPoint32 says, and a control that
// clips at the measured width cuts the last letter.
int DrawnWidth(HFONT font, const std::wstring& text) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old_font = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int width = static_cast<int>(size.cx) + 4 * metrics.tmAveCharWidth + 8;
  const int height = metrics.tmHeight;
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  ExtTextOutW(dc, 0, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  int ink = 0;
  for (int x = width - 1; x >= 0 && ink == 0; --x) {
    for (int y = 0; y < height; ++y) {
      if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
        ink = x + 1;
        break;
      }
    }
  }
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  SelectObject(dc, old_font);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return std::max<int>(static_cast<int>(size.cx), ink);
}

// The list view's column headers: each text fits its column, as drawn.
void CheckHeaders(HWND list, LayoutCheck& check, const wchar_t* title) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (!header) return;
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!proc) return;
  constexpr size_t kChars = 256;
  char* remote = static_cast<char*>(VirtualAllocEx(
      proc, nullptr, sizeof(HDITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  const auto count = SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; remote && i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(HDITEMW));
    WriteProcessMemory(proc, remote, &item, sizeof item, nullptr);
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(proc, remote, &item, sizeof item, nullptr);
    wchar_t text[kChars] = {};
    ReadProcessMemory(proc, remote + sizeof(HDITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
    if (!text[0]) continue;
    ++check.headers;
    // The header keeps three edges' room on either side of its text.
    const int drawn = DrawnWidth(check.font, text);
    const int need = drawn + 6 * GetSystemMetrics(SM_CXEDGE);
    const int measured = MeasuredWidth(check.font, text);
    // The header's own drawing clips its text at the measured width.
    const bool clipped =
        !(item.fmt & HDF_OWNERDRAW) && drawn > measured + kOverhangTolerance;
    if (need > item.cxy || clipped) {
      std::printf("%s | %s | column header %d px drawn (%d measured%s) in %d px\n",
                  Utf8(title).c_str(), Utf8(text).c_str(), need, measured,
                  clipped ? ", drawn by the header, which clips it there" : "", item.cxy);
      ++check.faults;
    }
  }
  if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
}

BOOL CALLBACK CheckControl(HWND h, LPARAM lp) {
  auto* check = reinterpret_cast<LayoutCheck*>(lp);
  if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) return TRUE;
  wchar_t text[512] = {};
  GetWindowTextW(h, text, 512);
  wchar_t title[256] = {};
  GetWindowTextW(check->form, title, 256);
  RECT r{};
  GetWindowRect(h, &r);
  if (r.left < check->client.left - 1 || r.top < check->client.top - 1 ||
      r.right > check->client.right + 1 || r.bottom > check->client.bottom + 1) {
    std::printf("%s | %s | outside the client area\n", Utf8(title).c_str(), Utf8(text).c_str());
    ++check->faults;
  }
  const std::wstring cls = ClassOf(h);
  if (cls == WC_LISTVIEWW) CheckHeaders(h, *check, title);
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  const LONG_PTR type = style & BS_TYPEMASK;
  const bool group = cls == WC_BUTTONW && type == BS_GROUPBOX;
  const bool button = cls == WC_BUTTONW && !group;
  const bool label = cls == WC_STATICW && (style & SS_TYPEMASK) <= SS_RIGHT;
  const std::wstring shown = Shown(text);
  if ((!button && !label && !group) || shown.empty()) return TRUE;
  ++(group ? check->frames : check->controls);
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, check->font);
  SIZE size{};
  GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  const bool box = button && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON;
  // A frame's caption sits one character in and needs as much before the border.
  const int room = width - (group    ? 2 * (metrics.tmAveCharWidth + 2)
                            : box    ? GetSystemMetrics(SM_CXMENUCHECK) + 3
                            : button ? 6
                                     : 0);
  if (!group && height >= 2 * metrics.tmHeight) {
    // Text of more than one line wraps: all its lines must fit the height.
    RECT wrapped{0, 0, room, 0};
    dc = GetDC(h);
    old = SelectObject(dc, check->font);
    DrawTextW(dc, shown.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    if (wrapped.bottom > height) {
      std::printf("%s | %s | %ld px of lines in %d px\n", Utf8(title).c_str(), Utf8(text).c_str(),
                  wrapped.bottom, height);
      ++check->faults;
    }
    return TRUE;
  }
  size.cx = DrawnWidth(check->font, shown);
  if (size.cx > room) {
    std::printf("%s | %s | %s %ld px in %d px\n", Utf8(title).c_str(), Utf8(text).c_str(),
                group ? "frame caption" : "text", size.cx, room);
    ++check->faults;
  }
  return TRUE;
}

// The form's menu bar: each item's text, as drawn in the menu font, fits the
// item. Menus belong to their process, so the form tells where its items are.
void CheckMenuBar(LayoutCheck& check) {
  static const UINT query = RegisterWindowMessageW(norvale::win32::kMenuBarItemMessage);
  DWORD pid = 0;
  GetWindowThreadProcessId(check.form, &pid);
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!proc) return;
  using Query = norvale::win32::MenuBarItemQuery;
  void* remote = VirtualAllocEx(proc, nullptr, sizeof(Query), MEM_COMMIT, PAGE_READWRITE);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
  wchar_t title[256] = {};
  GetWindowTextW(check.form, title, 256);
  for (WPARAM i = 0; remote && SendMessageW(check.form, query, i, reinterpret_cast<LPARAM>(remote));
       ++i) {
    Query item{};
    ReadProcessMemory(proc, remote, &item, sizeof item, nullptr);
    item.text[std::size(item.text) - 1] = L'\0';
    const std::wstring shown = Shown(item.text);
    if (shown.empty()) continue;
    ++check.bar_items;
    const int drawn = DrawnWidth(font, shown);
    const int measured = MeasuredWidth(font, shown);
    const int width = item.rect.right - item.rect.left;
    // Wine's own bar items clip their text at the measured width.
    const bool clipped = !item.drawn_here && drawn > measured + kOverhangTolerance;
    // A pixel of the item either side of the text.
    if (drawn + 2 > width || clipped) {
      std::printf("%s | %s | menu bar item %d px drawn (%d measured%s) in %d px\n",
                  Utf8(title).c_str(), Utf8(item.text).c_str(), drawn, measured,
                  clipped ? ", drawn by the system, which clips it there" : "", width);
      ++check.faults;
    }
  }
  DeleteObject(font);
  if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
}

BOOL CALLBACK CheckForm(HWND h, LPARAM lp) {
  if (ClassOf(h) != L"NorvaleForm" || !(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) return TRUE;
  auto& all = *reinterpret_cast<LayoutCheck*>(lp);
  LayoutCheck check;
  check.form = h;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return TRUE;
  check.font = CreateFontIndirectW(&metrics.lfMessageFont);
  GetClientRect(h, &check.client);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&check.client), 2);
  EnumChildWindows(h, CheckControl, reinterpret_cast<LPARAM>(&check));
  CheckMenuBar(check);
  DeleteObject(check.font);
  all.faults += check.faults;
  all.controls += check.controls;
  all.frames += check.frames;
  all.headers += check.headers;
  all.bar_items += check.bar_items;
  ++all.windows;
  return TRUE;
}

// The program's tray icon, as the shell of its desktop knows it: uFlags 0 asks
// without changing anything.
int Tray(bool remove) {
  HWND owner = nullptr;
  EachTopLevel(
      [](HWND h, LPARAM lp) -> BOOL {
        if (ClassOf(h) != L"NorvaleToolkit") return TRUE;
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&owner));
  if (!owner) return 2;
  // Shell_NotifyIcon finds the notification area on this thread's desktop.
  if (const wchar_t* desktop = _wgetenv(L"NORVALE_DESKTOP")) {
    if (HDESK desk = OpenDesktopW(desktop, 0, FALSE, GENERIC_ALL)) SetThreadDesktop(desk);
  }
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = 1;
  return Shell_NotifyIconW(remove ? NIM_DELETE : NIM_MODIFY, &data) ? 0 : 1;
}

// What a restarted Explorer sends every top-level window once its notification
// area is up again.
struct Announcement {
  UINT message;
  int sent = 0;
};

BOOL CALLBACK Announce(HWND h, LPARAM lp) {
  auto* a = reinterpret_cast<Announcement*>(lp);
  if (PostMessageW(h, a->message, 0, 0)) ++a->sent;
  return TRUE;
}

int TaskbarCreated() {
  Announcement a{RegisterWindowMessageW(L"TaskbarCreated")};
  if (!a.message) return 1;
  EachTopLevel(Announce, reinterpret_cast<LPARAM>(&a));
  return a.sent > 0 ? 0 : 1;
}

// The labels of every visible top-level window titled `title`, one a line.
struct Texts {
  const wchar_t* title;
  std::string out;
  bool found = false;
};

BOOL CALLBACK TextsChild(HWND h, LPARAM lp) {
  if (ClassOf(h) != L"Static") return TRUE;
  wchar_t text[2048] = {};
  GetWindowTextW(h, text, 2048);
  if (text[0]) reinterpret_cast<Texts*>(lp)->out += Utf8(text) + "\n";
  return TRUE;
}

BOOL CALLBACK TextsTop(HWND h, LPARAM lp) {
  auto* t = reinterpret_cast<Texts*>(lp);
  wchar_t title[256] = {};
  GetWindowTextW(h, title, 256);
  if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) || std::wcscmp(title, t->title) != 0) {
    return TRUE;
  }
  t->found = true;
  EnumChildWindows(h, TextsChild, lp);
  return TRUE;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"texts") == 0) {
    Texts t{argv[2], {}, false};
    EachTopLevel(TextsTop, reinterpret_cast<LPARAM>(&t));
    std::fputs(t.out.c_str(), stdout);
    return t.found ? 0 : 1;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"shown") == 0) return ShownAndIdle(argv[2]);
  if (argc == 2 && std::wcscmp(argv[1], L"windows") == 0) {
    int shown = 0;
    EachTopLevel(
        [](HWND h, LPARAM lp) -> BOOL {
          if (ClassOf(h) == L"NorvaleForm" && (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) {
            ++*reinterpret_cast<int*>(lp);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    std::printf("%d\n", shown);
    return 0;
  }
  if (argc == 2 && std::wcscmp(argv[1], L"layout") == 0) {
    LayoutCheck all;
    EachTopLevel(CheckForm, reinterpret_cast<LPARAM>(&all));
    std::printf("checked %d windows: %d texts, %d frame captions, %d column headers,"
                " %d menu bar items; %d cut\n",
                all.windows, all.controls, all.frames, all.headers, all.bar_items,
                all.faults);
    return all.faults == 0 ? 0 : 1;
  }
  if (argc == 5 && std::wcscmp(argv[1], L"place") == 0) {
    struct Shown w{argv[2]};
    EachTopLevel(ShownTop, reinterpret_cast<LPARAM>(&w));
    if (!w.found) return 1;
    SetWindowPos(w.found, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r{};
    GetWindowRect(w.found, &r);
    std::printf("%ldx%ld\n", r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (argc == 4 && std::wcscmp(argv[1], L"choose") == 0) {
    Wanted w{argv[2], WC_COMBOBOXW, nullptr};
    EachTopLevel(WantedTop, reinterpret_cast<LPARAM>(&w));
    if (!w.found) return 1;
    const LRESULT at = SendMessageW(w.found, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(argv[3]));
    if (at == CB_ERR) return 1;
    SendMessageW(w.found, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    // Posted: the choice retranslates every window, and the probe must not wait for it.
    PostMessageW(GetParent(w.found), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w.found), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(w.found));
    return 0;
  }
  if (argc == 2 && std::wcscmp(argv[1], L"tray") == 0) return Tray(false);
  if (argc == 2 && std::wcscmp(argv[1], L"tray-delete") == 0) return Tray(true);
  if (argc == 2 && std::wcscmp(argv[1], L"taskbar-created") == 0) return TaskbarCreated();
  const bool postpone = argc == 3 && std::wcscmp(argv[1], L"postpone") == 0;
  if (postpone || (argc == 2 && std::wcscmp(argv[1], L"warning") == 0)) {
    Warning w;
    EachTopLevel(WarningTop, reinterpret_cast<LPARAM>(&w));
    if (!w.postpone) return 1;
    if (!postpone) {
      RECT r{};
      GetWindowRect(w.top, &r);
      std::printf("warning at %ld,%ld %ldx%ld\n", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
      return 0;
    }
    SendMessageW(w.combo, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[2])), 0);
    SendMessageW(GetParent(w.combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w.combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(w.combo));
    SendMessageW(w.postpone, BM_CLICK, 0, 0);
    return 0;
  }
  if (argc == 4 && (std::wcscmp(argv[1], L"fill") == 0 || std::wcscmp(argv[1], L"press") == 0)) {
    const bool fill = argv[1][0] == L'f';
    Wanted w{argv[2], fill ? L"Edit" : WC_BUTTONW, fill ? nullptr : argv[3]};
    EachTopLevel(WantedTop, reinterpret_cast<LPARAM>(&w));
    if (!w.found) return 1;
    if (fill) {
      SendMessageW(w.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
      SendMessageW(GetParent(w.found), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w.found), EN_CHANGE),
                   reinterpret_cast<LPARAM>(w.found));
    } else {
      // Posted: the press may open a modal box, which would hold the probe.
      PostMessageW(w.found, BM_CLICK, 0, 0);
    }
    return 0;
  }
  Found f;
  EachTopLevel(TopLevel, reinterpret_cast<LPARAM>(&f));
  if (!f.list) return 1;
  if (argc == 2 && std::wcscmp(argv[1], L"rows") == 0) return Rows(f);
  if (argc == 2 && std::wcscmp(argv[1], L"count") == 0) {
    std::printf("%ld %d\n", static_cast<long>(SendMessageW(f.list, LVM_GETITEMCOUNT, 0, 0)),
                (GetWindowLongPtrW(f.form, GWL_STYLE) & WS_VISIBLE) ? 1 : 0);
    return 0;
  }
  if ((argc == 3 || argc == 4) && std::wcscmp(argv[1], L"go") == 0) {
    // The delay list is the second combo box of the quick-action row, the action list the first.
    if (f.combos.size() < 2 || !f.go) return 2;
    if (argc == 4) {
      HWND actions = f.combos[0];
      const LRESULT at = SendMessageW(actions, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(argv[3]));
      if (at == CB_ERR) return 1;
      SendMessageW(actions, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
      SendMessageW(f.form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(actions), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(actions));
    }
    HWND delays = f.combos[1];
    SendMessageW(delays, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[2])), 0);
    SendMessageW(f.form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(delays), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(delays));
    SendMessageW(f.go, BM_CLICK, 0, 0);
    return 0;
  }
  std::fprintf(stderr,
               "usage: norvale_probe rows | count | go INDEX [ACTION] | warning | postpone INDEX |"
               " fill TITLE TEXT | press TITLE CAPTION | shown TITLE | layout | windows |"
               " tray | tray-delete\n");
  return 2;
}
