#include "platform/win32/forms/form_window.h"
#include "platform/win32/forms/theme_api.h"

#include "platform/win32/forms/paint.h"

#include <commctrl.h>
#include <vssym32.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "platform/win32/forms/dpi.h"
#include "platform/win32/forms/drawn_text.h"
#include "platform/win32/forms/menu_bar_query.h"
#include "platform/win32/forms/menus.h"
#include "platform/win32/forms/paint.h"
#include "platform/win32/utf.h"

namespace norvale::win32 {
namespace {

constexpr UINT_PTR kHookId = 1;
// Deeper nesting than this is a cycle the program made by mistake.
constexpr int kMaxContainerDepth = 32;

bool IsContainer(const Control& c) {
  return c.TypeName() == "Frame" || c.TypeName() == "PictureBox";
}

bool InContainer(const Control& control, const Control& container) {
  int depth = 0;
  for (const Control* c = control.Container(); c && depth < kMaxContainerDepth;
       c = c->Container(), ++depth) {
    if (c == &container) return true;
  }
  return false;
}

}  // namespace

FormWindow::FormWindow(ToolkitCore& core, Form& form)
    : Window(core.errors()), core_(core), form_(form), dpi_(SystemDpi()) {
  RegisterClassOnce(core.instance(), kClassName, CS_DBLCLKS,
                    reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
  const std::wstring caption = Widen(form.Caption());
  const DWORD style = form.Floating() || form.Dialog() ? WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN
                                                       : WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_CONTROLPARENT | (form.Floating() ? WS_EX_TOPMOST : 0);
  if (!CreateNative(core.instance(), kClassName, caption.c_str(), style, ex_style, BoundsPx(),
                    nullptr)) {
    throw std::runtime_error("cannot create the window of " + form.Name());
  }
  // The window may have opened on a monitor of another DPI than the system's.
  const int actual = WindowDpi(hwnd());
  if (actual != dpi_) {
    dpi_ = actual;
    ApplyGeometry();
  }
  font_ = MessageFont(dpi_);
  SetWindowSubclass(hwnd(), &FormWindow::HookProc, kHookId, reinterpret_cast<DWORD_PTR>(this));
  ApplyIcons();
  ApplyRegion();
  core_.AddForm(this);
  creating_ = false;
}

FormWindow::~FormWindow() {
  Destroy();
}

void FormWindow::Destroy() {
  // Taking the menu bar away resizes the client area; nothing is reported any more.
  destroying_ = true;
  for (FormChild* child : children_) child->Detach();
  children_.clear();
  core_.RemoveForm(this);
  tooltip_ = nullptr;
  saved_focus_ = nullptr;
  activated_from_ = nullptr;
  if (hwnd()) {
    RemoveWindowSubclass(hwnd(), &FormWindow::HookProc, kHookId);
    // DestroyWindow would take the menu bar with it; it is ours to free.
    SetMenu(hwnd(), nullptr);
  }
  menu_bar_.reset();
  DestroyNative();
}

// ------------------------------------------------------------------ FormPeer

void FormWindow::Changed(Prop what) {
  if (!hwnd()) return;
  switch (what) {
    case Prop::Caption:
      SetWindowTextW(hwnd(), Widen(form_.Caption()).c_str());
      break;
    case Prop::Visible:
      ApplyVisible();
      break;
    case Prop::Geometry:
      if (form_.RequestedClientSize()) {
        ApplyClientSize();  // moves the form, which comes back here
      } else {
        ApplyGeometry();
      }
      break;
    case Prop::Style:
      ApplyIcons();
      ApplyRegion();
      break;
    case Prop::Colors:
      ApplyLook();
      break;
    default:
      break;
  }
}

// The skin's colours for the window itself, and a dark title bar where Windows
// draws one (DWMWA_USE_IMMERSIVE_DARK_MODE: 20, 19 on early Windows 10 builds).
void FormWindow::ApplyLook() {
  back_brush_.reset();
  if (const auto back = form_.BackColor()) back_brush_.reset(CreateSolidBrush(*back));
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  if (HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    if (auto set = reinterpret_cast<SetAttribute>(
            reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))) {
      const BOOL dark = form_.DarkTitleBar() ? TRUE : FALSE;
      if (FAILED(set(hwnd(), 20, &dark, sizeof dark))) set(hwnd(), 19, &dark, sizeof dark);
    }
    FreeLibrary(dwm);
  }
  // The bar's items follow the window's colours.
  if (menu_bar_) RebuildMenuBar();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

std::unique_ptr<ControlPeer> FormWindow::CreatePeer(Control& control) {
  return CreateControlPeer(*this, control);
}

void FormWindow::SetWindowState(WindowState state) {
  if (!hwnd()) return;
  if (!IsWindowVisible(hwnd())) {
    pending_state_ = state;  // shown that way when the window appears
    return;
  }
  pending_state_.reset();
  switch (state) {
    case WindowState::Minimized:
      ShowWindow(hwnd(), SW_MINIMIZE);
      break;
    case WindowState::Maximized:
      ShowWindow(hwnd(), SW_MAXIMIZE);
      break;
    case WindowState::Normal:
      ShowWindow(hwnd(), SW_SHOWNORMAL);
      break;
  }
}

WindowState FormWindow::GetWindowState() const {
  if (!hwnd()) return WindowState::Normal;
  if (pending_state_ && !IsWindowVisible(hwnd())) return *pending_state_;
  if (IsIconic(hwnd())) return WindowState::Minimized;
  if (IsZoomed(hwnd())) return WindowState::Maximized;
  return WindowState::Normal;
}

// Measures a control's caption as the control draws it: in its own font (a skin
// may give it another), "&&" as one ampersand, a single one marking the access key.
template <typename Measure>
std::optional<int> FormWindow::MeasureCaption(const Control& control, Measure measure) const {
  if (!hwnd() || !font_) return std::nullopt;
  const auto* child = dynamic_cast<const FormChild*>(control.Peer());
  HWND window = child && child->hwnd() ? child->hwnd() : hwnd();
  auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (!font) font = font_.get();
  std::wstring text;
  const std::wstring wide = Widen(control.Caption());
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'&' && i + 1 < wide.size()) ++i;
    text += wide[i];
  }
  HDC dc = GetDC(window);
  if (!dc) return std::nullopt;
  HGDIOBJ old = SelectObject(dc, font);
  const std::optional<int> px = measure(dc, text);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  if (!px) return std::nullopt;
  return PxToTwips(*px, dpi_);
}

std::optional<int> FormWindow::TextWidth(const Control& control) const {
  // As drawn: some fonts draw letters past their measured width.
  return MeasureCaption(control, [](HDC dc, const std::wstring& text) -> std::optional<int> {
    return DrawnTextWidth(dc, text);
  });
}

std::optional<int> FormWindow::TextHeight(const Control& control, int width) const {
  const int px = width >= kOneLine ? 1 << 20 : std::max(1, TwipsToPx(width, dpi_));
  return MeasureCaption(control, [px](HDC dc, const std::wstring& text) -> std::optional<int> {
    RECT r{0, 0, px, 0};
    if (!DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX)) {
      return std::nullopt;
    }
    return static_cast<int>(r.bottom);
  });
}

int FormWindow::ScaleWidth() const {
  RECT client{};
  if (hwnd()) GetClientRect(hwnd(), &client);
  return PxToTwips(client.right - client.left, dpi_);
}

int FormWindow::ScaleHeight() const {
  RECT client{};
  if (hwnd()) GetClientRect(hwnd(), &client);
  return PxToTwips(client.bottom - client.top, dpi_);
}

void FormWindow::Repaint() {
  // The places controls left stay painted otherwise, inside frames above all.
  if (hwnd()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::Activate() {
  if (!hwnd()) return;
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  SetForegroundWindow(hwnd());
  SetActiveWindow(hwnd());
}

// ------------------------------------------------------------ for the peers

void FormWindow::Adopt(FormChild* child) {
  children_.push_back(child);
}

void FormWindow::Release(FormChild* child) {
  children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

FormChild* FormWindow::ChildOf(const Control& control) const {
  for (FormChild* child : children_) {
    if (&child->control() == &control) return child;
  }
  return nullptr;
}

FormChild* FormWindow::ChildByWindow(HWND h) const {
  // Inner windows (a combo box's edit field, a list view's header) count as the control.
  for (HWND w = h; w && w != hwnd(); w = GetParent(w)) {
    for (FormChild* child : children_) {
      if (child->Owns(w)) return child;
    }
  }
  return nullptr;
}

FormChild* FormWindow::ChildById(UINT id) const {
  for (FormChild* child : children_) {
    if (child->id() == id) return child;
  }
  return nullptr;
}

RECT FormWindow::PixelRect(const Control& control) const {
  int left = control.Left(), top = control.Top();
  int depth = 0;
  for (const Control* c = control.Container(); c && depth < kMaxContainerDepth;
       c = c->Container(), ++depth) {
    if (!IsContainer(*c)) break;
    left += c->Left();
    top += c->Top();
  }
  const int x = TwipsToPx(left, dpi_), y = TwipsToPx(top, dpi_);
  return RECT{x, y, x + TwipsToPx(control.Width(), dpi_), y + TwipsToPx(control.Height(), dpi_)};
}

bool FormWindow::ShownWithContainers(const Control& control) const {
  int depth = 0;
  for (const Control* c = &control; c && depth < kMaxContainerDepth; c = c->Container(), ++depth) {
    if (!c->Visible()) return false;
  }
  return true;
}

bool FormWindow::EnabledWithContainers(const Control& control) const {
  int depth = 0;
  for (const Control* c = &control; c && depth < kMaxContainerDepth; c = c->Container(), ++depth) {
    if (!c->Enabled()) return false;
  }
  return true;
}

void FormWindow::ContainerChanged(const Control& container) {
  HDWP batch = BeginDeferWindowPos(static_cast<int>(children_.size()));
  for (FormChild* child : children_) {
    if (!InContainer(child->control(), container)) continue;
    child->Relayout(batch);
    child->ApplyShownEnabled();
  }
  if (batch) EndDeferWindowPos(batch);
}

void FormWindow::MenusChanged() {
  if (hwnd()) RebuildMenuBar();
}

void FormWindow::RebuildMenuBar() {
  UniqueMenu bar(CreateMenu());
  if (!bar) return;
  AppendMenuItems(bar.get(), form_, nullptr, [this](const Menu& m) -> UINT {
    FormChild* child = ChildOf(m);
    return child ? child->id() : 0;
  });
  const bool any = GetMenuItemCount(bar.get()) > 0;
  bar_texts_.clear();
  if (any) DrawBarItemsHere(bar.get());
  // A hidden window is still being built: its client area settles before it shows.
  quiet_size_ = !IsWindowVisible(hwnd());
  SetMenu(hwnd(), any ? bar.get() : nullptr);
  quiet_size_ = false;
  // The old bar goes only now that the window no longer uses it.
  menu_bar_ = any ? std::move(bar) : UniqueMenu();
  DrawMenuBar(hwnd());
}

// The bar's items are drawn here: the system draws them in light colours
// whatever the window's, and Wine clips a text at its measured width, where its
// Tahoma draws some Cyrillic letters wider ("Действие" loses its last letter).
void FormWindow::DrawBarItemsHere(HMENU bar) {
  const int count = GetMenuItemCount(bar);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 255;
    if (!GetMenuItemInfoW(bar, static_cast<UINT>(i), TRUE, &info)) continue;
    bar_texts_.emplace_back(text);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType = MFT_OWNERDRAW;
    info.dwItemData = bar_texts_.size();  // 1-based: 0 is no item of the bar
    SetMenuItemInfoW(bar, static_cast<UINT>(i), TRUE, &info);
  }
  if (!DarkBar()) return;
  MENUINFO look{};
  look.cbSize = sizeof look;
  look.fMask = MIM_BACKGROUND;
  look.hbrBack = back_brush_.get();
  SetMenuInfo(bar, &look);
}

bool FormWindow::DarkBar() const { return back_brush_ && IsDark(form_.BackColor()); }

bool FormWindow::MeasureBarItem(MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_MENU || item.itemData == 0 || item.itemData > bar_texts_.size()) {
    return false;
  }
  const std::wstring& text = bar_texts_[item.itemData - 1];
  HDC dc = GetDC(hwnd());
  UniqueFont font = MenuFont(dpi_);
  HGDIOBJ old = SelectObject(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
  RECT r{};
  DrawTextW(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
  const int drawn = std::max<int>(r.right, DrawnTextWidth(dc, WithoutAccessMarks(text)));
  SelectObject(dc, old);
  ReleaseDC(hwnd(), dc);
  // Less the room Windows adds for a check mark, as it does for its own items.
  item.itemWidth = static_cast<UINT>(
      std::max<int>(0, drawn + MulDiv(12, dpi_, 96) - GetSystemMetrics(SM_CXMENUCHECK) + 1));
  item.itemHeight = static_cast<UINT>(r.bottom);
  return true;
}

bool FormWindow::DrawBarItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_MENU || item.itemData == 0 || item.itemData > bar_texts_.size()) {
    return false;
  }
  const bool lit = (item.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  const bool grey = (item.itemState & (ODS_GRAYED | ODS_DISABLED | ODS_INACTIVE)) != 0;
  const std::wstring& text = bar_texts_[item.itemData - 1];
  UniqueFont font = MenuFont(dpi_);
  HGDIOBJ old = SelectObject(item.hDC, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(item.hDC, TRANSPARENT);
  RECT r = item.rcItem;
  const UINT flags = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP |
                     ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  HTHEME theme = DarkBar() ? nullptr : uxtheme::OpenThemeData(hwnd(), L"MENU");
  if (DarkBar()) {
    const COLORREF back = *form_.BackColor();
    const COLORREF fore = form_.ForeColor() ? *form_.ForeColor() : RGB(240, 240, 240);
    HBRUSH fill = CreateSolidBrush(lit ? Blend(back, fore, 18) : back);
    FillRect(item.hDC, &item.rcItem, fill);
    DeleteObject(fill);
    SetTextColor(item.hDC, grey ? Blend(back, fore, 50) : fore);
    DrawTextW(item.hDC, text.c_str(), -1, &r, flags);
  } else if (theme) {
    // The look of the system's own bar items.
    const int state = (item.itemState & ODS_SELECTED) ? (grey ? MBI_DISABLEDPUSHED : MBI_PUSHED)
                      : lit                           ? (grey ? MBI_DISABLEDHOT : MBI_HOT)
                      : grey                          ? MBI_DISABLED
                                                      : MBI_NORMAL;
    uxtheme::DrawThemeBackground(theme, item.hDC, MENU_BARBACKGROUND,
                        GetActiveWindow() == hwnd() ? MB_ACTIVE : MB_INACTIVE, &item.rcItem,
                        nullptr);
    uxtheme::DrawThemeBackground(theme, item.hDC, MENU_BARITEM, state, &item.rcItem, nullptr);
    uxtheme::DrawThemeText(theme, item.hDC, MENU_BARITEM, state, text.c_str(), -1, flags, 0, &r);
    uxtheme::CloseThemeData(theme);
  } else {
    BOOL flat = FALSE;
    SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
    const int back = lit ? (flat ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT)
                         : (flat ? COLOR_MENUBAR : COLOR_MENU);
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(back));
    SetTextColor(item.hDC, GetSysColor(grey  ? COLOR_GRAYTEXT
                                       : lit ? COLOR_HIGHLIGHTTEXT
                                             : COLOR_MENUTEXT));
    DrawTextW(item.hDC, text.c_str(), -1, &r, flags);
  }
  SelectObject(item.hDC, old);
  return true;
}

// Where each item of the bar is and what it shows, for a program that asks
// (menu_bar_query.h).
LRESULT FormWindow::AnswerMenuBarQuery(WPARAM index, LPARAM query) {
  auto* answer = reinterpret_cast<MenuBarItemQuery*>(query);
  HMENU bar = GetMenu(hwnd());
  if (!answer || !bar || index >= static_cast<WPARAM>(std::max(0, GetMenuItemCount(bar)))) {
    return 0;
  }
  *answer = {};
  const UINT at = static_cast<UINT>(index);
  if (!GetMenuItemRect(hwnd(), bar, at, &answer->rect)) return 0;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  GetMenuItemInfoW(bar, at, TRUE, &info);
  const bool here = (info.fType & MFT_OWNERDRAW) && info.dwItemData > 0 &&
                    info.dwItemData <= bar_texts_.size();
  answer->drawn_here = here ? 1 : 0;
  if (here) {
    bar_texts_[info.dwItemData - 1].copy(answer->text, std::size(answer->text) - 1);
  } else {
    GetMenuStringW(bar, at, answer->text, static_cast<int>(std::size(answer->text)), MF_BYPOSITION);
  }
  return 1;
}

// Alt and a letter: Windows does not know the access keys of items drawn here.
LRESULT FormWindow::BarAccessKey(wchar_t key) {
  const wchar_t wanted = static_cast<wchar_t>(
      reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(key)))));
  for (size_t i = 0; i < bar_texts_.size(); ++i) {
    const std::wstring& text = bar_texts_[i];
    for (size_t at = 0; at + 1 < text.size(); ++at) {
      if (text[at] != L'&') continue;
      if (text[at + 1] == L'&') {
        ++at;
        continue;
      }
      const auto mark = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
          CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(text[at + 1])))));
      if (mark == wanted) return MAKELRESULT(i, MNC_EXECUTE);
      break;
    }
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

void FormWindow::SetToolTip(HWND tool, const std::string& text) {
  if (!hwnd() || !tool) return;
  if (!tooltip_) {
    if (text.empty()) return;
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, core_.instance(), nullptr);
    if (!tooltip_) return;
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, TwipsToPx(4800, dpi_));
  }
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (text.empty()) return;
  std::wstring wide = Widen(text);
  info.lpszText = wide.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void FormWindow::UpdateOptionTabStops(const Control* container) {
  std::vector<std::pair<const OptionButton*, HWND>> group;
  for (const auto& c : form_.Controls()) {
    auto* option = dynamic_cast<const OptionButton*>(c.get());
    if (!option || option->Container() != container) continue;
    FormChild* child = ChildOf(*option);
    if (child && child->hwnd()) group.emplace_back(option, child->hwnd());
  }
  if (group.empty()) return;
  HWND stop = group.front().second;
  for (const auto& [option, h] : group) {
    if (option->Value()) {
      stop = h;
      break;
    }
  }
  for (const auto& [option, h] : group) {
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    const LONG_PTR want = h == stop ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
    if (want != style) SetWindowLongPtrW(h, GWL_STYLE, want);
  }
}

CommandButton* FormWindow::ButtonWith(bool CommandButton::*flag) const {
  for (const auto& c : form_.Controls()) {
    auto* button = dynamic_cast<CommandButton*>(c.get());
    if (button && button->*flag && ShownWithContainers(*button) && EnabledWithContainers(*button) &&
        ChildOf(*button)) {
      return button;
    }
  }
  return nullptr;
}

// ------------------------------------------------------------------ geometry

RECT FormWindow::BoundsPx() const {
  const TwipsRect b = form_.Bounds();
  const int x = TwipsToPx(b.left, dpi_), y = TwipsToPx(b.top, dpi_);
  return RECT{x, y, x + TwipsToPx(b.width, dpi_), y + TwipsToPx(b.height, dpi_)};
}

void FormWindow::ApplyGeometry() {
  if (!hwnd()) return;
  const RECT r = BoundsPx();
  if (IsIconic(hwnd()) || IsZoomed(hwnd())) {
    // Moving a minimized or maximized window moves where it is restored to.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd(), &placement);
    placement.rcNormalPosition = r;
    if (!IsWindowVisible(hwnd())) placement.showCmd = SW_HIDE;
    SetWindowPlacement(hwnd(), &placement);
    return;
  }
  SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyClientSize() {
  const auto size = form_.RequestedClientSize();
  form_.ClientSizeApplied();
  if (!size || !hwnd()) return;
  RECT outer{}, client{};
  GetWindowRect(hwnd(), &outer);
  GetClientRect(hwnd(), &client);
  // The borders, caption and menu bar as they are now, wrapped menu lines included.
  int frame_x = (outer.right - outer.left) - client.right;
  int frame_y = (outer.bottom - outer.top) - client.bottom;
  if (IsIconic(hwnd()) || client.right <= 0) {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE)),
                       GetMenu(hwnd()) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
    frame_x = r.right - r.left;
    frame_y = r.bottom - r.top;
  }
  const TwipsRect b = form_.Bounds();
  form_.Move(b.left, b.top, PxToTwips(TwipsToPx(size->first, dpi_) + frame_x, dpi_),
             PxToTwips(TwipsToPx(size->second, dpi_) + frame_y, dpi_));
}

void FormWindow::LowerBackdrops() {
  for (FormChild* child : children_) {
    if (child->IsBackdrop() && child->hwnd()) {
      SetWindowPos(child->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void FormWindow::ApplyVisible() {
  if (!form_.Visible()) {
    ShowWindow(hwnd(), SW_HIDE);
    return;
  }
  const bool was_visible = IsWindowVisible(hwnd()) != FALSE;
  if (!placed_) {
    placed_ = true;
    CenterIfUnplaced();
  }
  if (form_.Floating()) {
    // Above every window, and the keyboard stays where the user is typing.
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (!was_visible) ReportBounds();
    return;
  }
  int command = SW_SHOW;
  if (pending_state_) {
    command = *pending_state_ == WindowState::Minimized   ? SW_SHOWMINIMIZED
              : *pending_state_ == WindowState::Maximized ? SW_SHOWMAXIMIZED
                                                          : SW_SHOWNORMAL;
    pending_state_.reset();
  }
  ShowWindow(hwnd(), command);
  // The program lays out its controls in Form_Resize, which also runs when the window appears.
  if (!was_visible) ReportBounds();
}

// A window the program never placed opens in the middle of the work area of the
// monitor the active window is on, not in the corner of the screen.
void FormWindow::CenterIfUnplaced() {
  const TwipsRect b = form_.Bounds();
  if (b.left != 0 || b.top != 0 || b.width <= 0 || b.height <= 0) return;
  HWND active = GetForegroundWindow();
  HMONITOR monitor = MonitorFromWindow(active ? active : hwnd(), MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return;
  const RECT& work = info.rcWork;
  const int w = TwipsToPx(b.width, dpi_), h = TwipsToPx(b.height, dpi_);
  const int x = work.left + std::max(0, static_cast<int>((work.right - work.left - w) / 2));
  const int y = work.top + std::max(0, static_cast<int>((work.bottom - work.top - h) / 2));
  form_.Move(PxToTwips(x, dpi_), PxToTwips(y, dpi_), b.width, b.height);
}

void FormWindow::ReportBounds() {
  if (!hwnd() || !form_.Loaded()) return;
  RECT r{};
  if (IsIconic(hwnd())) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd(), &placement);
    r = placement.rcNormalPosition;
  } else {
    GetWindowRect(hwnd(), &r);
  }
  TwipsRect bounds = form_.Bounds();
  const RECT model = BoundsPx();
  // Kept as the program set them when they still round to the same pixels.
  if (!EqualRect(&model, &r)) {
    bounds = TwipsRect{PxToTwips(r.left, dpi_), PxToTwips(r.top, dpi_),
                       PxToTwips(r.right - r.left, dpi_), PxToTwips(r.bottom - r.top, dpi_)};
  }
  Guarded(errors(), [&] { form_.NotifyResized(bounds); });
}

void FormWindow::OnSize(WPARAM kind) {
  if (creating_ || destroying_ || quiet_size_ || !form_.Loaded()) return;
  if (!IsWindowVisible(hwnd()) && kind != SIZE_MINIMIZED) return;
  ReportBounds();
}

void FormWindow::RelayoutAll() {
  HDWP batch = BeginDeferWindowPos(static_cast<int>(children_.size()));
  for (FormChild* child : children_) {
    child->ApplyFont();
    child->Relayout(batch);
  }
  if (batch) EndDeferWindowPos(batch);
}

void FormWindow::OnDpiChanged(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  // The old font stays selected in the controls until each has the new one.
  UniqueFont old = std::move(font_);
  font_ = MessageFont(dpi_);
  RelayoutAll();
  form_.FitTexts();  // the new font may need more room
  if (tooltip_) {
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, TwipsToPx(4800, dpi_));
  }
  ApplyIcons();
  ApplyRegion();
  if (suggested) {
    SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void FormWindow::ApplyIcons() {
  if (!hwnd()) return;
  const std::string& name = form_.IconResource();
  if (name == icon_name_ && dpi_ == icon_dpi_) return;
  icon_name_ = name;
  icon_dpi_ = dpi_;
  UniqueIcon big, small;
  if (!name.empty()) {
    const std::wstring resource = Widen(name);
    // A missing resource leaves the window without an icon; that is not an error.
    big.reset(static_cast<HICON>(LoadImageW(core_.instance(), resource.c_str(), IMAGE_ICON,
                                            MetricForDpi(SM_CXICON, dpi_),
                                            MetricForDpi(SM_CYICON, dpi_), LR_DEFAULTCOLOR)));
    small.reset(static_cast<HICON>(LoadImageW(core_.instance(), resource.c_str(), IMAGE_ICON,
                                              MetricForDpi(SM_CXSMICON, dpi_),
                                              MetricForDpi(SM_CYSMICON, dpi_), LR_DEFAULTCOLOR)));
  }
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  big_icon_ = std::move(big);
  small_icon_ = std::move(small);
}

void FormWindow::ApplyRegion() {
  if (!hwnd()) return;
  const std::optional<TwipsRect>& region = form_.Region();
  if (!region) {
    SetWindowRgn(hwnd(), nullptr, TRUE);
    return;
  }
  const int x = TwipsToPx(region->left, dpi_), y = TwipsToPx(region->top, dpi_);
  HRGN rgn =
      CreateRectRgn(x, y, x + TwipsToPx(region->width, dpi_), y + TwipsToPx(region->height, dpi_));
  // On success the window owns the region.
  if (rgn && !SetWindowRgn(hwnd(), rgn, TRUE)) DeleteObject(rgn);
}

// ------------------------------------------------------------------ messages

LRESULT CALLBACK FormWindow::HookProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR id, DWORD_PTR ref) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &FormWindow::HookProc, id);
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }
  auto* self = reinterpret_cast<FormWindow*>(ref);
  // Seen before any hook: the power hook answers power broadcasts itself.
  if (message == WM_TIMECHANGE ||
      (message == WM_POWERBROADCAST &&
       (wparam == PBT_APMRESUMEAUTOMATIC || wparam == PBT_APMRESUMESUSPEND))) {
    const SystemChange change =
        message == WM_TIMECHANGE ? SystemChange::kTimeChanged : SystemChange::kResumed;
    Guarded(self->errors(), [&] { self->form_.NotifySystemChange(change); });
  }
  if (self->form_.HasMessageHook()) {
    const std::optional<intptr_t> answer =
        Guarded<std::optional<intptr_t>>(self->errors(), std::nullopt, [&] {
          return self->form_.OfferMessage(WindowMessage{message, wparam, lparam});
        });
    if (answer) return *answer;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  static const UINT menu_bar_query = RegisterWindowMessageW(kMenuBarItemMessage);
  if (message == menu_bar_query && menu_bar_query) return AnswerMenuBarQuery(wparam, lparam);
  switch (message) {
    case WM_ERASEBKGND:
      if (back_brush_) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wparam), &client, back_brush_.get());
        return 1;
      }
      break;
    case WM_COMMAND:
      return OnCommand(wparam, lparam);
    case WM_MEASUREITEM:
      if (MeasureBarItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_DRAWITEM:
      if (DrawBarItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_MENUCHAR:
      if (!bar_texts_.empty() && reinterpret_cast<HMENU>(lparam) == menu_bar_.get()) {
        return BarAccessKey(LOWORD(wparam));
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (FormChild* child = header ? ChildByWindow(header->hwndFrom) : nullptr) {
        LRESULT result = 0;
        if (Guarded(errors(), false, [&] { return child->OnNotify(*header, result); })) {
          return result;
        }
      }
      break;
    }
    case WM_TIMER:
      if (FormChild* child = ChildById(static_cast<UINT>(wparam))) {
        Guarded(errors(), [&] { child->OnTimer(); });
        return 0;
      }
      break;
    case kMsgSyncFromNative:
      if (FormChild* child = ChildById(static_cast<UINT>(wparam))) {
        Guarded(errors(), [&] { child->OnSyncFromNative(); });
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return OnCtlColor(message, wparam, lparam);
    case DM_GETDEFID:
      // Asked by the dialog manager when Enter is pressed.
      if (CommandButton* button = ButtonWith(&CommandButton::Default)) {
        return MAKELRESULT(ChildOf(*button)->id(), DC_HASDEFID);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) saved_focus_ = focus;
        break;
      }
      activated_from_ = reinterpret_cast<HWND>(lparam);
      if (HIWORD(wparam)) break;  // activated while minimized: nothing to focus
      if (saved_focus_ && IsWindow(saved_focus_) && IsChild(hwnd(), saved_focus_) &&
          IsWindowEnabled(saved_focus_) && IsWindowVisible(saved_focus_)) {
        SetFocus(saved_focus_);
        return 0;
      }
      if (HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE)) {
        SetFocus(first);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      // What the dialog manager sends for an access key of a label or frame.
      HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                                   : GetNextDlgTabItem(hwnd(), GetFocus(), wparam != 0);
      if (target) SetFocus(target);
      return 0;
    }
    case WM_SIZE:
      OnSize(wparam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETNONCLIENTMETRICS) {
        UniqueFont old = std::move(font_);
        font_ = MessageFont(dpi_);
        RelayoutAll();
        form_.FitTexts();
      }
      break;
    case WM_CLOSE:
      Guarded(errors(), [&] { form_.RequestClose(vbFormControlMenu); });
      return 0;
    case WM_QUERYENDSESSION: {
      // The program's Form_QueryUnload may keep the window, and so the session.
      const auto watch = life_.Watch();
      Guarded(errors(), [&] { form_.RequestClose(vbAppWindows); });
      if (watch.expired()) return TRUE;
      return form_.Loaded() ? FALSE : TRUE;
    }
    case WM_ENDSESSION:
      if (wparam && form_.Loaded()) {
        Guarded(errors(), [&] { form_.RequestClose(vbAppWindows); });
      }
      return 0;
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

LRESULT FormWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  const UINT code = HIWORD(wparam);
  const UINT id = LOWORD(wparam);
  HWND from = reinterpret_cast<HWND>(lparam);
  if (from) {
    if (FormChild* child = ChildByWindow(from)) {
      Guarded(errors(), [&] { child->OnCommand(code); });
      return 0;
    }
  }
  if (id == IDCANCEL) {
    // Esc, from the dialog manager.
    if (CommandButton* button = ButtonWith(&CommandButton::Cancel)) {
      Guarded(errors(), [&] { button->UserClick(); });
    }
    return 0;
  }
  if (!from && code == 0) {
    FormChild* child = ChildById(id);
    if (child && child->IsMenu()) {
      Guarded(errors(), [&] { child->OnCommand(code); });
      return 0;
    }
  }
  return Default(WM_COMMAND, wparam, lparam);
}

LRESULT FormWindow::OnCtlColor(UINT message, WPARAM wparam, LPARAM lparam) {
  // The system colours first; a control with colours of its own overrides them.
  const LRESULT system = Default(message, wparam, lparam);
  FormChild* child = ChildByWindow(reinterpret_cast<HWND>(lparam));
  if (!child) return system;
  auto* brush = reinterpret_cast<HBRUSH>(system);
  return reinterpret_cast<LRESULT>(Guarded<HBRUSH>(
      errors(), brush, [&] { return child->OnCtlColor(reinterpret_cast<HDC>(wparam), brush); }));
}

}  // namespace norvale::win32
