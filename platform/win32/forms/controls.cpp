#include "platform/win32/forms/controls.h"

#include <vssym32.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/form.h"
#include "platform/win32/forms/dispatch.h"
#include "platform/win32/forms/dpi.h"
#include "platform/win32/forms/drawn_text.h"
#include "platform/win32/forms/form_window.h"
#include "platform/win32/forms/theme_api.h"
#include "platform/win32/forms/paint.h"
#include "platform/win32/forms/toolkit_core.h"
#include "platform/win32/utf.h"

namespace norvale::win32 {

FormChild::FormChild(FormWindow& form, Control& control)
    : form_(&form), control_(control), id_(form.NewId()) {
  form.Adopt(this);
}

FormChild::~FormChild() {
  if (form_) form_->Release(this);
}

namespace {

std::wstring WindowText(HWND h) {
  const int length = GetWindowTextLengthW(h);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(h, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

// Marks the peer's own changes to its window, whose notifications are not the user's.
class Updating {
 public:
  explicit Updating(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Updating() { flag_ = was_; }
  Updating(const Updating&) = delete;
  Updating& operator=(const Updating&) = delete;

 private:
  bool& flag_;
  bool was_;
};

SYSTEMTIME ToSystemTime(LocalTime t) {
  using namespace std::chrono;
  const local_days day = floor<days>(t);
  const year_month_day date{day};
  const hh_mm_ss<milliseconds> time{t - day};
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(static_cast<int>(date.year()));
  st.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  st.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  st.wDayOfWeek = static_cast<WORD>(weekday{day}.c_encoding());
  st.wHour = static_cast<WORD>(time.hours().count());
  st.wMinute = static_cast<WORD>(time.minutes().count());
  st.wSecond = static_cast<WORD>(time.seconds().count());
  st.wMilliseconds = static_cast<WORD>(time.subseconds().count());
  return st;
}

LocalTime FromSystemTime(const SYSTEMTIME& st) {
  using namespace std::chrono;
  const local_days day{year{st.wYear} / month{st.wMonth} / std::chrono::day{st.wDay}};
  return LocalTime{day} + hours{st.wHour} + minutes{st.wMinute} + seconds{st.wSecond} +
         milliseconds{st.wMilliseconds};
}

// ------------------------------------------------------------------ windows

// A control with a child window of the form.
class NativeControl : public FormChild {
 public:
  using FormChild::FormChild;
  ~NativeControl() override {
    if (form_ && window_) form_->SetToolTip(window_.get(), {});
  }

  HWND hwnd() const override { return window_.get(); }

  void Detach() override {
    // The window went with the form's; its handle may already name another window.
    window_.release();
    back_brush_.reset();
    FormChild::Detach();
  }

  void Changed(Prop what) override {
    if (!form_ || !hwnd()) return;
    switch (what) {
      case Prop::Caption:
        ApplyCaption();
        break;
      case Prop::Enabled:
      case Prop::Visible:
        ApplyShownEnabled();
        break;
      case Prop::Geometry: {
        HDWP none = nullptr;
        Relayout(none);
        break;
      }
      case Prop::Colors:
        ApplyColors();
        break;
      case Prop::Style:
        ApplyToolTip();
        break;
      default:
        break;
    }
    OnChanged(what);
  }

  void Refresh() override {
    if (!hwnd()) return;
    InvalidateRect(hwnd(), nullptr, TRUE);
    UpdateWindow(hwnd());
  }

  void SetFocus() override {
    if (hwnd()) ::SetFocus(hwnd());
  }

  void Relayout(HDWP& batch) override {
    if (!form_ || !hwnd()) return;
    const RECT r = WindowRect();
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (batch) {
      batch = DeferWindowPos(batch, hwnd(), nullptr, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, kFlags);
    }
    if (!batch) {
      SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, kFlags);
    }
  }

  void ApplyShownEnabled() override {
    if (!form_ || !hwnd()) return;
    const bool enabled = form_->EnabledWithContainers(control_);
    if ((IsWindowEnabled(hwnd()) != FALSE) != enabled) EnableWindow(hwnd(), enabled);
    const bool shown = form_->ShownWithContainers(control_);
    const bool has_visible_style = (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != has_visible_style) ShowWindow(hwnd(), shown ? SW_SHOWNA : SW_HIDE);
  }

  void ApplyFont() override {
    if (form_ && hwnd()) {
      SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(form_->font()), TRUE);
    }
  }

  HBRUSH OnCtlColor(HDC dc, HBRUSH system_brush) override {
    if (const auto fore = control_.ForeColor()) SetTextColor(dc, *fore);
    if (control_.BackColor() && back_brush_) {
      SetBkColor(dc, *control_.BackColor());
      return back_brush_.get();
    }
    return system_brush;
  }

 protected:
  // Creates the window in its place, with the form's font, colours and tip.
  void Create(const wchar_t* window_class, DWORD style, DWORD ex_style = 0) {
    const RECT r = WindowRect();
    style |= WS_CHILD;
    if (form_->ShownWithContainers(control_)) style |= WS_VISIBLE;
    if (!form_->EnabledWithContainers(control_)) style |= WS_DISABLED;
    const std::wstring text = Widen(InitialText());
    HWND h = CreateWindowExW(ex_style, window_class, text.c_str(), style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, form_->hwnd(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)),
                             form_->core().instance(), nullptr);
    if (!h) {
      throw std::runtime_error("cannot create the window of " + control_.TypeName() + " " +
                               control_.Name());
    }
    window_.reset(h);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(form_->font()), FALSE);
    ApplyColors();
    ApplyToolTip();
    // New windows go below their siblings; picture boxes must stay below everything.
    form_->LowerBackdrops();
  }

  // Destroys the window so a new one with other fixed styles takes its place in the tab order.
  HWND DestroyForRecreate() {
    HWND after = GetWindow(hwnd(), GW_HWNDPREV);
    form_->SetToolTip(hwnd(), {});
    window_.reset();
    return after;
  }
  void PlaceAfter(HWND after) {
    SetWindowPos(hwnd(), after ? after : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  virtual std::string InitialText() const { return control_.Caption(); }
  virtual RECT WindowRect() const { return form_->PixelRect(control_); }
  virtual void OnChanged(Prop /*what*/) {}

  virtual void ApplyCaption() {
    const std::wstring want = Widen(control_.Caption());
    if (WindowText(hwnd()) == want) return;
    Updating updating(updating_);
    SetWindowTextW(hwnd(), want.c_str());
  }

  virtual void ApplyColors() {
    back_brush_.reset();
    if (const auto back = control_.BackColor()) back_brush_.reset(CreateSolidBrush(*back));
    // Themed check boxes, option buttons and group boxes draw their text in the
    // theme's colour whatever the program asks; coloured ones are drawn classic.
    const std::string& type = control_.TypeName();
    if ((control_.ForeColor() || control_.BackColor()) &&
        (type == "CheckBox" || type == "OptionButton" || type == "Frame")) {
      uxtheme::SetWindowTheme(hwnd(), L"", L"");
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

  void ApplyToolTip() { form_->SetToolTip(hwnd(), control_.ToolTipText()); }

  // Runs `f` (a call into the program) and reports whether this peer survived it.
  template <typename F>
  bool CallProgram(F&& f) {
    const auto watch = life_.Watch();
    std::forward<F>(f)();
    return !watch.expired() && form_ != nullptr;
  }

  UniqueWindow window_;
  UniqueBrush back_brush_;
  bool updating_ = false;
};

// Controls that are the group: every other kind starts a group of its own, so
// the arrow keys stay within a run of option buttons.
constexpr DWORD kGroup = WS_GROUP;

class StaticPeer final : public NativeControl {
 public:
  StaticPeer(FormWindow& form, Control& control) : NativeControl(form, control) {
    // An "&" marks the access key, which moves to the next control in tab order.
    Create(L"STATIC", SS_LEFT | SS_NOTIFY | kGroup);
  }
  bool OnCommand(UINT code) override {
    if (code != STN_CLICKED) return false;
    control_.UserClick();
    return true;
  }
};

class LinePeer final : public NativeControl {
 public:
  LinePeer(FormWindow& form, Control& control) : NativeControl(form, control) {
    Create(L"STATIC", SS_ETCHEDHORZ | kGroup);
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
};

class IconPeer final : public NativeControl {
 public:
  IconPeer(FormWindow& form, Control& control) : NativeControl(form, control) {
    Create(L"STATIC", SS_ICON | SS_REALSIZECONTROL | kGroup);
    ApplyIcon();
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
  void OnChanged(Prop what) override {
    if (what == Prop::Geometry) ApplyIcon();
  }

 private:
  void ApplyIcon() {
    if (!hwnd()) return;
    const RECT r = form_->PixelRect(control_);
    const int size = std::max<int>(16, r.right - r.left);
    // A missing resource leaves the control empty, as it does the window.
    icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                              Widen(control_.Parent().IconResource()).c_str(),
                                              IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    SendMessageW(hwnd(), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  }
  UniqueIcon icon_;
};

// Frames and picture boxes: what they contain is placed and shown relative to them.
class ContainerPeer : public NativeControl {
 public:
  using NativeControl::NativeControl;

 protected:
  void OnChanged(Prop what) override {
    if (what == Prop::Geometry || what == Prop::Visible || what == Prop::Enabled) {
      form_->ContainerChanged(control_);
    }
  }
};

class FramePeer final : public ContainerPeer {
 public:
  FramePeer(FormWindow& form, Control& control) : ContainerPeer(form, control) {
    // A group box paints only its frame; transparent, it is not clipped out of the
    // form's background, which would otherwise leave its inside unpainted.
    Create(L"BUTTON", BS_GROUPBOX | kGroup, WS_EX_TRANSPARENT);
    SetWindowSubclass(hwnd(), &FramePeer::FrameProc, id_, reinterpret_cast<DWORD_PTR>(this));
  }
  ~FramePeer() override {
    if (hwnd()) RemoveWindowSubclass(hwnd(), &FramePeer::FrameProc, id_);
  }

 private:
  // Every frame draws its own caption, as wide as its letters draw: the system's
  // group box clips it at the measured width (Wine's Tahoma draws some Cyrillic
  // letters wider) and paints it in the theme's colour (Windows) or black (Wine)
  // whatever a skin asks.
  static LRESULT CALLBACK FrameProc(HWND h, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR /*id*/, DWORD_PTR self) {
    auto* peer = reinterpret_cast<FramePeer*>(self);
    if (message == WM_PAINT) {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(h, &ps);
      peer->Paint(dc);
      EndPaint(h, &ps);
      return 0;
    }
    if (message == WM_PRINTCLIENT) {
      peer->Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    }
    return DefSubclassProc(h, message, wparam, lparam);
  }

  void Paint(HDC dc) {
    const int saved = SaveDC(dc);
    RECT r{};
    GetClientRect(hwnd(), &r);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // The parent's colours for the caption, as the system's group box asks them.
    auto* brush = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(hwnd()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(hwnd())));
    const std::wstring text = WindowText(hwnd());
    const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
    const UINT flags = DT_SINGLELINE | DT_NOCLIP | (ShowsAccessKeys(hwnd()) ? 0 : DT_HIDEPREFIX);
    RECT label{r.left + metrics.tmAveCharWidth, r.top, r.left + metrics.tmAveCharWidth,
               r.top + metrics.tmHeight};
    if (!text.empty()) label.right += DrawnTextWidth(dc, WithoutAccessMarks(text));
    const RECT gap = text.empty() ? RECT{} : RECT{label.left - 2, r.top, label.right + 2, label.bottom};
    if (brush && !text.empty()) FillRect(dc, &gap, brush);  // an earlier, longer caption goes
    RECT border = r;
    border.top += metrics.tmHeight / 2;
    HTHEME theme = uxtheme::OpenThemeData(hwnd(), L"BUTTON");
    const bool skinned = control_.ForeColor() && control_.BackColor();
    if (skinned) {
      const COLORREF fore = *control_.ForeColor();
      const COLORREF back = *control_.BackColor();
      HPEN pen = CreatePen(PS_SOLID, 1, Blend(back, fore, 40));
      HGDIOBJ old_pen = SelectObject(dc, pen);
      const int gap_left = text.empty() ? r.left : gap.left;
      const int gap_right = text.empty() ? r.left : gap.right;
      MoveToEx(dc, gap_left, border.top, nullptr);
      LineTo(dc, r.left, border.top);
      LineTo(dc, r.left, r.bottom - 1);
      LineTo(dc, r.right - 1, r.bottom - 1);
      LineTo(dc, r.right - 1, border.top);
      LineTo(dc, gap_right, border.top);
      SelectObject(dc, old_pen);
      DeleteObject(pen);
      SetTextColor(dc, enabled ? fore : Blend(back, fore, 50));
    } else {
      const int clipped = SaveDC(dc);
      if (!text.empty()) ExcludeClipRect(dc, gap.left, gap.top, gap.right, gap.bottom);
      if (theme) {
        uxtheme::DrawThemeBackground(theme, dc, BP_GROUPBOX, enabled ? GBS_NORMAL : GBS_DISABLED,
                                     &border, nullptr);
      } else {
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
      }
      RestoreDC(dc, clipped);
      if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    if (!text.empty()) {
      SetBkMode(dc, TRANSPARENT);
      if (theme && !skinned) {
        uxtheme::DrawThemeText(theme, dc, BP_GROUPBOX, enabled ? GBS_NORMAL : GBS_DISABLED,
                               text.c_str(), -1, flags, 0, &label);
      } else {
        DrawTextW(dc, text.c_str(), -1, &label, flags);
      }
    }
    if (theme) uxtheme::CloseThemeData(theme);
    RestoreDC(dc, saved);
  }
};

class PicturePeer final : public ContainerPeer {
 public:
  PicturePeer(FormWindow& form, Control& control) : ContainerPeer(form, control) {
    // At the bottom and clipped by its siblings, so it never paints over what it contains.
    Create(L"STATIC", SS_NOTIFY | WS_CLIPSIBLINGS | kGroup);
  }
  bool IsBackdrop() const override { return true; }
  bool OnCommand(UINT code) override {
    if (code != STN_CLICKED) return false;
    control_.UserClick();
    return true;
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
};

// Buttons, check boxes and option buttons: a click goes to the model.
class ClickPeer : public NativeControl {
 public:
  using NativeControl::NativeControl;
  bool OnCommand(UINT code) override {
    if (code != BN_CLICKED) return false;
    control_.UserClick();
    return true;
  }
};

class ButtonPeer final : public ClickPeer {
 public:
  ButtonPeer(FormWindow& form, CommandButton& button) : ClickPeer(form, button), button_(button) {
    Create(L"BUTTON", ButtonStyle() | WS_TABSTOP | kGroup);
  }
  // A dark skin's button is drawn here: the system's stays light whatever its colours.
  bool OnNotify(const NMHDR& header, LRESULT& result) override {
    if (header.code != NM_CUSTOMDRAW || !IsDark(control_.BackColor())) return false;
    const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
    // Wine asks nothing more once the erase is skipped; Windows goes on to the paint.
    if (draw.dwDrawStage == CDDS_PREERASE || draw.dwDrawStage == CDDS_PREPAINT) {
      Paint(draw.hdc, draw.rc, draw.uItemState);
    }
    result = CDRF_SKIPDEFAULT;
    return true;
  }

 protected:
  void OnChanged(Prop) override {
    // Default is a plain field of the model: brought up to date with any change.
    const DWORD type = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE)) & BS_TYPEMASK;
    if (type != ButtonStyle()) SendMessageW(hwnd(), BM_SETSTYLE, ButtonStyle(), TRUE);
  }

 private:
  DWORD ButtonStyle() const { return button_.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

  void Paint(HDC dc, RECT r, UINT state) {
    const COLORREF back = *control_.BackColor();
    const COLORREF light = RGB(240, 240, 240);
    const COLORREF fore =
        control_.ForeColor() && !IsDark(control_.ForeColor()) ? *control_.ForeColor() : light;
    const bool pressed =
        (state & CDIS_SELECTED) != 0 || (SendMessageW(hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    const bool disabled = (state & CDIS_DISABLED) != 0 || !IsWindowEnabled(hwnd());
    const COLORREF face = pressed              ? Blend(back, light, 6)
                          : (state & CDIS_HOT) ? Blend(back, light, 12)
                                               : back;
    const bool stressed = button_.Default || GetFocus() == hwnd();
    HBRUSH fill = CreateSolidBrush(face);
    FillRect(dc, &r, fill);
    DeleteObject(fill);
    HBRUSH edge = CreateSolidBrush(Blend(back, light, stressed ? 60 : 30));
    FrameRect(dc, &r, edge);
    if (stressed) {
      RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
      FrameRect(dc, &inner, edge);
    }
    DeleteObject(edge);
    const std::wstring text = WindowText(hwnd());
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? Blend(back, fore, 45) : fore);
    RECT label = r;
    if (pressed) OffsetRect(&label, 1, 1);
    DrawTextW(
        dc, text.c_str(), -1, &label,
        DT_CENTER | DT_VCENTER | DT_SINGLELINE | (ShowsAccessKeys(hwnd()) ? 0 : DT_HIDEPREFIX));
    SelectObject(dc, old);
    if (GetFocus() == hwnd() &&
        (SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
      RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
      SetTextColor(dc, light);
      SetBkColor(dc, face);
      DrawFocusRect(dc, &focus);
    }
  }
  CommandButton& button_;
};

// Check boxes and option buttons are not automatic: a click asks the model, and
// the box shows what the model decided. Long captions wrap inside the box's
// height instead of being cut off.
class BoxPeer : public ClickPeer {
 protected:
  BoxPeer(FormWindow& form, Control& control, DWORD style) : ClickPeer(form, control) {
    Create(L"BUTTON", style | BS_MULTILINE | WS_TABSTOP);
  }
  void OnChanged(Prop what) override {
    if (what == Prop::Value) ApplyValue();
  }
  void ApplyValue() {
    SendMessageW(hwnd(), BM_SETCHECK, State(), 0);
    ValueShown();
  }
  virtual WPARAM State() const = 0;
  virtual void ValueShown() {}
};

class CheckPeer final : public BoxPeer {
 public:
  CheckPeer(FormWindow& form, CheckBox& check)
      : BoxPeer(form, check, BS_3STATE | kGroup), check_(check) {
    ApplyValue();
  }

 private:
  WPARAM State() const override {
    return check_.Value() == 2   ? BST_INDETERMINATE
           : check_.Value() == 1 ? BST_CHECKED
                                 : BST_UNCHECKED;
  }
  CheckBox& check_;
};

class OptionPeer final : public BoxPeer {
 public:
  OptionPeer(FormWindow& form, OptionButton& option)
      : BoxPeer(form, option, BS_RADIOBUTTON | (StartsGroup(form, option) ? WS_GROUP : 0)),
        option_(option) {
    ApplyValue();
  }

 private:
  // The first of a run of option buttons of one container starts the group.
  static bool StartsGroup(const FormWindow& form, const Control& option) {
    const Control* previous = nullptr;
    for (const auto& c : form.form().Controls()) {
      if (c.get() == &option) break;
      if (c->TypeName() != "Timer" && c->TypeName() != "Menu") previous = c.get();
    }
    return !previous || previous->TypeName() != "OptionButton" ||
           previous->Container() != option.Container();
  }
  WPARAM State() const override { return option_.Value() ? BST_CHECKED : BST_UNCHECKED; }
  void ValueShown() override { form_->UpdateOptionTabStops(control_.Container()); }
  OptionButton& option_;
};

class TextPeer final : public NativeControl {
 public:
  TextPeer(FormWindow& form, TextBox& text) : NativeControl(form, text), text_(text) {
    Updating updating(updating_);
    Create(L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | kGroup | (Masked() ? ES_PASSWORD : 0),
           WS_EX_CLIENTEDGE);
    ApplyPasswordChar();
  }
  bool OnCommand(UINT code) override {
    if (code != EN_CHANGE) return false;
    if (updating_) return true;
    std::string typed = Narrow(WindowText(hwnd()));
    if (typed != text_.Text()) text_.UserType(std::move(typed));
    return true;
  }
  void ShowTip(const std::string& title, const std::string& text) override {
    if (!hwnd()) return;
    // The caret after what is kept, so typing goes on from there.
    const LRESULT length = SendMessageW(hwnd(), WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(length), length);
    const std::wstring wide_title = Widen(title), wide_text = Widen(text);
    EDITBALLOONTIP tip{sizeof tip, wide_title.c_str(), wide_text.c_str(), TTI_WARNING};
    SendMessageW(hwnd(), EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
  }

 protected:
  void OnChanged(Prop what) override {
    if (what == Prop::Style) ApplyPasswordChar();
  }

 private:
  bool Masked() const { return !text_.PasswordChar().empty(); }
  void ApplyPasswordChar() {
    const std::wstring mask = Widen(text_.PasswordChar());
    SendMessageW(hwnd(), EM_SETPASSWORDCHAR, mask.empty() ? 0 : mask[0], 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
  TextBox& text_;
};

// Combo boxes and list boxes: the entries, then the selection.
class ComboPeer final : public NativeControl {
 public:
  ComboPeer(FormWindow& form, ComboBox& combo) : NativeControl(form, combo), combo_(combo) {
    Build();
  }
  ~ComboPeer() override {
    if (form_ && info_.hwndItem) form_->SetToolTip(info_.hwndItem, {});
    Unhook();
  }

  bool Owns(HWND h) const override {
    return h && (h == hwnd() || h == info_.hwndItem || h == info_.hwndList);
  }
  void Detach() override {
    info_ = COMBOBOXINFO{};
    keys_ = nullptr;
    NativeControl::Detach();
  }

  bool OnCommand(UINT code) override {
    if (updating_) return code == CBN_SELCHANGE || code == CBN_EDITCHANGE;
    if (code == CBN_SELCHANGE) {
      const int selected = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
      if (selected != combo_.ListIndex() && selected < combo_.ListCount()) {
        combo_.UserSelect(selected);
      }
      return true;
    }
    if (code == CBN_EDITCHANGE) {
      std::string typed = Narrow(WindowText(hwnd()));
      if (typed != combo_.Text()) combo_.UserType(std::move(typed));
      return true;
    }
    return false;
  }

 protected:
  RECT WindowRect() const override {
    // A combo box's window also holds its dropped-down list.
    RECT r = form_->PixelRect(control_);
    r.bottom += TwipsToPx(2400, form_->dpi());
    return r;
  }
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {
    if (combo_.ComboStyle() == ComboBox::kDropdownList) return;  // shows the selection only
    NativeControl::ApplyCaption();
  }
  void OnChanged(Prop what) override {
    if (what == Prop::Items) ApplyItems();
    if (what == Prop::Items || what == Prop::Selection) ApplySelection();
    if (what != Prop::Style) return;
    if (Style() != created_style_) {
      if (info_.hwndItem) form_->SetToolTip(info_.hwndItem, {});
      HWND after = DestroyForRecreate();
      Build();
      PlaceAfter(after);
    } else if (info_.hwndItem) {
      form_->SetToolTip(info_.hwndItem, control_.ToolTipText());
    }
  }

 private:
  DWORD Style() const {
    return combo_.ComboStyle() == ComboBox::kDropdownList ? CBS_DROPDOWNLIST
                                                          : CBS_DROPDOWN | CBS_AUTOHSCROLL;
  }

  void Build() {
    Updating updating(updating_);
    created_style_ = Style();
    Create(L"COMBOBOX", created_style_ | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP | kGroup);
    info_ = COMBOBOXINFO{};
    info_.cbSize = sizeof info_;
    GetComboBoxInfo(hwnd(), &info_);
    ApplyItems();
    ApplySelection();
    NativeControl::ApplyCaption();
    if (combo_.ComboStyle() == ComboBox::kDropdownList) {
      info_.hwndItem = nullptr;
    } else if (info_.hwndItem) {
      form_->SetToolTip(info_.hwndItem, control_.ToolTipText());
    }
    // Keys arrive at the edit field, or at the box itself when it has none.
    keys_ = info_.hwndItem ? info_.hwndItem : hwnd();
    SetWindowSubclass(keys_, &ComboPeer::KeyProc, id_, reinterpret_cast<DWORD_PTR>(this));
  }

  void Unhook() {
    if (keys_ && IsWindow(keys_)) RemoveWindowSubclass(keys_, &ComboPeer::KeyProc, id_);
    keys_ = nullptr;
  }

  void ApplyItems() {
    Updating updating(updating_);
    SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : combo_.Items()) {
      SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
  }

  void ApplySelection() {
    Updating updating(updating_);
    SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(combo_.ListIndex()), 0);
    if (combo_.ListIndex() < 0) NativeControl::ApplyCaption();
  }

  // Runs the program's KeyPress first; a key it sets to 0 never reaches the box.
  static LRESULT CALLBACK KeyProc(HWND h, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                  DWORD_PTR ref) {
    auto* self = reinterpret_cast<ComboPeer*>(ref);
    switch (message) {
      case WM_NCDESTROY:
        RemoveWindowSubclass(h, &ComboPeer::KeyProc, id);
        if (self->keys_ == h) self->keys_ = nullptr;
        break;
      case WM_GETDLGCODE: {
        // Enter goes to the program's KeyPress rather than to the default button.
        const auto* msg = reinterpret_cast<const MSG*>(lparam);
        if (self->combo_.KeyPress && msg && msg->message == WM_KEYDOWN &&
            msg->wParam == VK_RETURN) {
          return DefSubclassProc(h, message, wparam, lparam) | DLGC_WANTALLKEYS;
        }
        break;
      }
      case WM_CHAR: {
        if (!self->form_ || !self->combo_.KeyPress) break;
        ErrorSink& errors = self->form_->errors();
        int key = static_cast<int>(wparam);
        // UserKeyPress keeps the key to itself; the handler's change of it is needed here.
        const bool alive = Guarded(
            errors, false, [&] { return self->CallProgram([&] { self->combo_.KeyPress(key); }); });
        if (!alive || !IsWindow(h) || key == 0) return 0;
        wparam = static_cast<WPARAM>(key);
        break;
      }
      default:
        break;
    }
    return DefSubclassProc(h, message, wparam, lparam);
  }

  ComboBox& combo_;
  COMBOBOXINFO info_{};
  HWND keys_ = nullptr;
  DWORD created_style_ = 0;
};

class ListBoxPeer final : public NativeControl {
 public:
  ListBoxPeer(FormWindow& form, ListBox& list) : NativeControl(form, list), list_(list) {
    Create(L"LISTBOX",
           LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | kGroup,
           WS_EX_CLIENTEDGE);
    ApplyItems();
    ApplySelection();
  }
  bool OnCommand(UINT code) override {
    if (code != LBN_SELCHANGE) return false;
    if (updating_) return true;
    const int selected = static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0));
    if (selected != list_.ListIndex() && selected < list_.ListCount()) list_.UserSelect(selected);
    return true;
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
  void OnChanged(Prop what) override {
    if (what == Prop::Items) ApplyItems();
    if (what == Prop::Items || what == Prop::Selection) ApplySelection();
  }

 private:
  void ApplyItems() {
    Updating updating(updating_);
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
    for (const std::string& item : list_.Items()) {
      SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
  void ApplySelection() {
    Updating updating(updating_);
    SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(list_.ListIndex()), 0);
  }
  ListBox& list_;
};

class ListViewPeer final : public NativeControl {
 public:
  ListViewPeer(FormWindow& form, ListView& list) : NativeControl(form, list), list_(list) {
    // Owner data: the list asks the model for the cells it paints, so a change of
    // the rows costs one message, not one per cell.
    Create(WC_LISTVIEWW,
           LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP | kGroup,
           WS_EX_CLIENTEDGE);
    SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    header_ = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0));
    SetWindowSubclass(hwnd(), &ListViewPeer::ListProc, id_, reinterpret_cast<DWORD_PTR>(this));
    ApplyColors();
    ApplyColumns();
    ApplyItems();
  }
  ~ListViewPeer() override {
    if (form_ && hwnd()) RemoveWindowSubclass(hwnd(), &ListViewPeer::ListProc, id_);
  }

  bool Owns(HWND h) const override { return h && (h == hwnd() || h == header_); }
  void Detach() override {
    header_ = nullptr;
    NativeControl::Detach();
  }

  bool OnNotify(const NMHDR& header, LRESULT& result) override {
    if (header.hwndFrom != hwnd()) return false;
    result = 0;
    if (header.code == LVN_GETDISPINFOW) {
      auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
      LVITEMW& item = info.item;
      const ListItems& items = list_.Items();
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        item.pszText[0] = L'\0';
        if (item.iItem >= 0 && static_cast<size_t>(item.iItem) < items.size()) {
          const ListItem& row = items[static_cast<size_t>(item.iItem)];
          const std::wstring text = Widen(list_.Shown(row, static_cast<size_t>(item.iSubItem)));
          const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
          text.copy(item.pszText, n);
          item.pszText[n] = L'\0';
        }
      }
      return true;
    }
    if (header.code == NM_CLICK) {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (activate.iItem >= 0 && static_cast<size_t>(activate.iItem) < list_.Items().size()) {
        list_.UserClickItem(static_cast<size_t>(activate.iItem));
      }
      return true;
    }
    if (header.code == LVN_ITEMACTIVATE) {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (activate.iItem >= 0) list_.UserActivateItem(static_cast<size_t>(activate.iItem));
      return true;
    }
    if (header.code == LVN_ITEMCHANGED) {
      // The keyboard's selection; a click reports through NM_CLICK instead.
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      const bool selected_now = (change.uChanged & LVIF_STATE) &&
                                (change.uNewState & LVIS_SELECTED) &&
                                !(change.uOldState & LVIS_SELECTED);
      if (!updating_ && !mouse_ && selected_now && change.iItem >= 0 &&
          static_cast<size_t>(change.iItem) < list_.Items().size()) {
        list_.UserClickItem(static_cast<size_t>(change.iItem));
      }
      return true;
    }
    return false;
  }

  void Relayout(HDWP& batch) override {
    NativeControl::Relayout(batch);
    if (form_ && hwnd()) ApplyColumns();  // widths in twips, so in pixels at this DPI
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
  void OnChanged(Prop what) override {
    if (what == Prop::Columns) {
      ApplyColumns();
      ApplyItems();  // the sub-items follow the columns
    } else if (what == Prop::Items) {
      ApplyItems();
    } else if (what == Prop::Selection) {
      ApplySelection();
    }
  }
  void ApplyColors() override {
    const auto fore = control_.ForeColor();
    const auto back = control_.BackColor();
    // Left alone until the program sets colours, so the list follows the system's.
    if (!fore && !back && !coloured_) return;
    coloured_ = true;
    SendMessageW(hwnd(), LVM_SETBKCOLOR, 0, back ? *back : GetSysColor(COLOR_WINDOW));
    SendMessageW(hwnd(), LVM_SETTEXTBKCOLOR, 0, back ? *back : CLR_DEFAULT);
    SendMessageW(hwnd(), LVM_SETTEXTCOLOR, 0, fore ? *fore : GetSysColor(COLOR_WINDOWTEXT));
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

 private:
  void ApplyColumns() {
    Updating updating(updating_);
    const auto& columns = list_.ColumnHeaders();
    const int have = header_ ? static_cast<int>(SendMessageW(header_, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (size_t i = 0; i < columns.size(); ++i) {
      std::wstring text = Widen(columns[i].Text);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = text.data();
      // Never narrower than its header as drawn, whatever the language.
      column.cx = std::max(TwipsToPx(columns[i].Width, form_->dpi()), HeaderWidth(text));
      const UINT message = static_cast<int>(i) < have ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW;
      SendMessageW(hwnd(), message, i, reinterpret_cast<LPARAM>(&column));
      // The header's own drawing clips its text at the measured width: drawn here.
      HDITEMW item{};
      item.mask = HDI_FORMAT;
      if (header_ && SendMessageW(header_, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) &&
          !(item.fmt & HDF_OWNERDRAW)) {
        item.fmt |= HDF_OWNERDRAW;
        SendMessageW(header_, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
      }
    }
    for (int i = have - 1; i >= static_cast<int>(columns.size()); --i) {
      SendMessageW(hwnd(), LVM_DELETECOLUMN, static_cast<WPARAM>(i), 0);
    }
  }

  // The header keeps three edges' room either side of a text.
  static int HeaderMargin() { return 3 * GetSystemMetrics(SM_CXEDGE); }

  int HeaderWidth(const std::wstring& text) const {
    if (!header_ || text.empty()) return 0;
    HDC dc = GetDC(header_);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header_, WM_GETFONT, 0, 0)));
    const int width = DrawnTextWidth(dc, text);
    SelectObject(dc, old);
    ReleaseDC(header_, dc);
    return width + 2 * HeaderMargin();
  }

  // A header item's text, on the background the header drew for it.
  bool DrawHeaderItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_HEADER || item.hwndItem != header_) return false;
    const auto& columns = list_.ColumnHeaders();
    if (item.itemID >= columns.size()) return false;
    const std::wstring text = Widen(columns[item.itemID].Text);
    HDC dc = item.hDC;
    const int saved = SaveDC(dc);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header_, WM_GETFONT, 0, 0)));
    IntersectClipRect(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right,
                      item.rcItem.bottom);
    SIZE measured{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &measured);
    // Shortened with an ellipsis only where the letters as drawn do not fit.
    const int overhang = DrawnTextWidth(dc, text) - static_cast<int>(measured.cx);
    RECT r = item.rcItem;
    r.left += HeaderMargin();
    r.right -= HeaderMargin() - std::min(overhang, HeaderMargin());
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | DT_NOCLIP;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    SetBkMode(dc, TRANSPARENT);
    if (HTHEME theme = uxtheme::OpenThemeData(header_, L"HEADER")) {
      uxtheme::DrawThemeText(theme, dc, HP_HEADERITEM, pressed ? HIS_PRESSED : HIS_NORMAL,
                             text.c_str(), -1, flags, 0, &r);
      uxtheme::CloseThemeData(theme);
    } else {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawTextW(dc, text.c_str(), -1, &r, flags);
    }
    RestoreDC(dc, saved);
    return true;
  }

  void ApplyItems() {
    Updating updating(updating_);
    const int want = static_cast<int>(list_.Items().size());
    const int have = static_cast<int>(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
    if (want != have) {
      SendMessageW(hwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(want), LVSICF_NOSCROLL);
    }
    // Only what shows is painted again, asking the model for its cells.
    InvalidateRect(hwnd(), nullptr, FALSE);
    ApplySelection();
  }

  void ApplySelection() {
    Updating updating(updating_);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (const auto row = list_.SelectedItem()) {
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(hwnd(), LVM_SETITEMSTATE, *row, reinterpret_cast<LPARAM>(&state));
      SendMessageW(hwnd(), LVM_ENSUREVISIBLE, *row, FALSE);
    } else {
      state.stateMask = LVIS_SELECTED;
      SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    }
  }

  // The user dragged a column border: the model learns the width in twips.
  void ReportColumnWidths() {
    const auto& columns = list_.ColumnHeaders();
    for (size_t i = 0; i < columns.size(); ++i) {
      const int px = static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, i, 0));
      if (px != TwipsToPx(columns[i].Width, form_->dpi())) {
        list_.UserResizeColumn(i, PxToTwips(px, form_->dpi()));
      }
    }
  }

  static bool ChangesWidth(UINT code) {
    return code == HDN_ITEMCHANGEDW || code == HDN_ITEMCHANGEDA || code == HDN_ENDTRACKW ||
           code == HDN_ENDTRACKA || code == HDN_DIVIDERDBLCLICKW || code == HDN_DIVIDERDBLCLICKA;
  }

  static LRESULT CALLBACK ListProc(HWND h, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                   DWORD_PTR ref) {
    auto* self = reinterpret_cast<ListViewPeer*>(ref);
    switch (message) {
      case WM_NCDESTROY:
        RemoveWindowSubclass(h, &ListViewPeer::ListProc, id);
        break;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        const auto watch = self->life_.Watch();
        self->mouse_ = true;
        const LRESULT result = DefSubclassProc(h, message, wparam, lparam);
        if (!watch.expired()) self->mouse_ = false;
        return result;
      }
      case WM_DRAWITEM:
        if (self->form_ && Guarded(self->form_->errors(), false, [&] {
              return self->DrawHeaderItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            })) {
          return TRUE;
        }
        break;
      case WM_NOTIFY: {
        // The header tells the list view, not the form, that a column was resized.
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (!header || header->hwndFrom != self->header_ || !ChangesWidth(header->code)) break;
        const LRESULT result = DefSubclassProc(h, message, wparam, lparam);
        if (self->form_ && !self->updating_) {
          Guarded(self->form_->errors(), [&] { self->ReportColumnWidths(); });
        }
        return result;
      }
      default:
        break;
    }
    return DefSubclassProc(h, message, wparam, lparam);
  }

  ListView& list_;
  HWND header_ = nullptr;
  bool mouse_ = false;
  bool coloured_ = false;
};

class TreeViewPeer final : public NativeControl {
 public:
  TreeViewPeer(FormWindow& form, TreeView& tree) : NativeControl(form, tree), tree_(tree) {
    Create(WC_TREEVIEWW, TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_TABSTOP | kGroup,
           WS_EX_CLIENTEDGE);
    // Check boxes must be switched on after creation, or the state images are missing.
    const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, style | TVS_CHECKBOXES);
    ApplyColors();
    ApplyNodes();
  }

  void Detach() override {
    items_.clear();
    NativeControl::Detach();
  }

  bool OnNotify(const NMHDR& header, LRESULT& result) override {
    if (header.hwndFrom != hwnd()) return false;
    result = 0;
    // The box toggles after these notifications return: read it once it has.
    const bool may_toggle = header.code == NM_CLICK || header.code == TVN_ITEMCHANGEDW ||
                            header.code == TVN_ITEMCHANGEDA ||
                            (header.code == TVN_KEYDOWN &&
                             reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_SPACE);
    if (header.code == NM_CLICK && !updating_) label_clicked_ = LabelAtCursor();
    if (may_toggle && !updating_) {
      PostMessageW(form_->hwnd(), kMsgSyncFromNative, id_, 0);
    }
    return header.code == NM_CLICK || header.code == TVN_KEYDOWN;
  }

  void OnSyncFromNative() override {
    std::vector<std::pair<size_t, bool>> toggled;
    const auto& nodes = tree_.Nodes();
    for (size_t i = 0; i < items_.size() && i < nodes.size(); ++i) {
      const bool checked = NativeChecked(items_[i]);
      if (checked != nodes[i].Checked) toggled.emplace_back(i, checked);
    }
    for (const auto& [node, checked] : toggled) {
      if (!CallProgram([&] { tree_.UserCheckNode(node, checked); })) return;
    }
    if (const auto label = std::exchange(label_clicked_, std::nullopt)) {
      CallProgram([&] { tree_.UserClickLabel(*label); });
    }
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
  void OnChanged(Prop what) override {
    if (what == Prop::Items) ApplyNodes();
    if (what == Prop::Value) ApplyChecks();
  }
  void ApplyColors() override {
    const auto fore = control_.ForeColor();
    const auto back = control_.BackColor();
    SendMessageW(hwnd(), TVM_SETBKCOLOR, 0, back ? static_cast<LPARAM>(*back) : -1);
    SendMessageW(hwnd(), TVM_SETTEXTCOLOR, 0, fore ? static_cast<LPARAM>(*fore) : -1);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

 private:
  // The node whose text (not its box) is under the mouse.
  std::optional<size_t> LabelAtCursor() const {
    TVHITTESTINFO hit{};
    const DWORD at = GetMessagePos();
    hit.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(hwnd(), &hit.pt);
    const auto item =
        reinterpret_cast<HTREEITEM>(SendMessageW(hwnd(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!item || !(hit.flags & TVHT_ONITEMLABEL)) return std::nullopt;
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i] == item) return i;
    }
    return std::nullopt;
  }

  bool NativeChecked(HTREEITEM item) const {
    TVITEMW native{};
    native.mask = TVIF_HANDLE | TVIF_STATE;
    native.hItem = item;
    native.stateMask = TVIS_STATEIMAGEMASK;
    SendMessageW(hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&native));
    return (native.state >> 12) == 2;
  }

  void ApplyNodes() {
    Updating updating(updating_);
    const auto& nodes = tree_.Nodes();
    if (items_.size() != nodes.size()) {
      SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
      SendMessageW(hwnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
      items_.clear();
      for (const TreeNode& node : nodes) {
        std::wstring text = Widen(node.Text);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = text.data();
        items_.push_back(reinterpret_cast<HTREEITEM>(
            SendMessageW(hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
      }
      SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
      InvalidateRect(hwnd(), nullptr, TRUE);
    } else {
      for (size_t i = 0; i < nodes.size(); ++i) {
        std::wstring text = Widen(nodes[i].Text);
        TVITEMW native{};
        native.mask = TVIF_HANDLE | TVIF_TEXT;
        native.hItem = items_[i];
        native.pszText = text.data();
        SendMessageW(hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&native));
      }
    }
    ApplyChecks();
  }

  void ApplyChecks() {
    Updating updating(updating_);
    const auto& nodes = tree_.Nodes();
    for (size_t i = 0; i < items_.size() && i < nodes.size(); ++i) {
      TVITEMW native{};
      native.mask = TVIF_HANDLE | TVIF_STATE;
      native.hItem = items_[i];
      native.stateMask = TVIS_STATEIMAGEMASK;
      native.state = INDEXTOSTATEIMAGEMASK(nodes[i].Checked ? 2 : 1);
      SendMessageW(hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&native));
    }
  }

  TreeView& tree_;
  std::vector<HTREEITEM> items_;
  std::optional<size_t> label_clicked_;
};

class PickerPeer final : public NativeControl {
 public:
  PickerPeer(FormWindow& form, DTPicker& picker) : NativeControl(form, picker), picker_(picker) {
    Build();
  }

  bool OnNotify(const NMHDR& header, LRESULT& result) override {
    if (header.hwndFrom != hwnd() || header.code != DTN_DATETIMECHANGE) return false;
    result = 0;
    const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
    if (!updating_ && change.dwFlags == GDT_VALID) {
      const LocalTime picked = FromSystemTime(change.st);
      if (picked != picker_.Value()) picker_.UserPick(picked);
    }
    return true;
  }

 protected:
  std::string InitialText() const override { return {}; }
  void ApplyCaption() override {}
  void OnChanged(Prop what) override {
    if (what == Prop::Value) ApplyValue();
    if (what == Prop::Style && Style() != created_style_) {
      HWND after = DestroyForRecreate();
      Build();
      PlaceAfter(after);
    }
  }

 private:
  DWORD Style() const {
    return picker_.PickerFormat() == DTPicker::kTime ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT;
  }
  void Build() {
    created_style_ = Style();
    Create(DATETIMEPICK_CLASSW, created_style_ | WS_TABSTOP | kGroup);
    ApplyValue();
  }
  void ApplyValue() {
    Updating updating(updating_);
    SYSTEMTIME st = ToSystemTime(picker_.Value());
    SendMessageW(hwnd(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }
  DTPicker& picker_;
  DWORD created_style_ = 0;
};

// ------------------------------------------------------------ no windows

// Ticks arrive as WM_TIMER at the form's window, one timer id per control.
class TimerPeer final : public FormChild {
 public:
  TimerPeer(FormWindow& form, Timer& timer) : FormChild(form, timer), timer_(timer) { Rearm(); }
  ~TimerPeer() override {
    if (form_ && form_->hwnd()) KillTimer(form_->hwnd(), id_);
  }

  void Changed(Prop what) override {
    if (what == Prop::Timer || what == Prop::Enabled) Rearm();
  }

  void OnTimer() override {
    // A tick that is still running (showing a message box, say) is not entered again.
    if (firing_) return;
    const auto watch = life_.Watch();
    firing_ = true;
    ErrorSink& errors = form_->errors();
    Guarded(errors, [&] { timer_.Fire(); });
    if (!watch.expired()) firing_ = false;
  }

 private:
  void Rearm() {
    if (!form_ || !form_->hwnd()) return;
    if (timer_.Armed() && timer_.Parent().Loaded()) {
      StartCoalescableTimer(form_->hwnd(), id_, static_cast<UINT>(timer_.Interval()));
    } else {
      KillTimer(form_->hwnd(), id_);
    }
  }
  Timer& timer_;
  bool firing_ = false;
};

class MenuPeer final : public FormChild {
 public:
  MenuPeer(FormWindow& form, Menu& menu) : FormChild(form, menu) { form.MenusChanged(); }

  void Changed(Prop) override {
    if (form_) form_->MenusChanged();
  }
  bool IsMenu() const override { return true; }
  bool OnCommand(UINT) override {
    control_.UserClick();
    return true;
  }
};

// A kind this toolkit does not know: kept in the model, shown nowhere.
class NullPeer final : public FormChild {
 public:
  using FormChild::FormChild;
  void Changed(Prop) override {}
};

}  // namespace

std::unique_ptr<FormChild> CreateControlPeer(FormWindow& form, Control& control) {
  const std::string& type = control.TypeName();
  if (type == "Label" || type == "SkinLabel") return std::make_unique<StaticPeer>(form, control);
  if (type == "Line") return std::make_unique<LinePeer>(form, control);
  if (type == "Frame") return std::make_unique<FramePeer>(form, control);
  if (type == "PictureBox") return std::make_unique<PicturePeer>(form, control);
  if (type == "IconBox") return std::make_unique<IconPeer>(form, control);
  if (auto* c = dynamic_cast<CommandButton*>(&control)) {
    return std::make_unique<ButtonPeer>(form, *c);
  }
  if (auto* c = dynamic_cast<CheckBox*>(&control)) return std::make_unique<CheckPeer>(form, *c);
  if (auto* c = dynamic_cast<OptionButton*>(&control)) {
    return std::make_unique<OptionPeer>(form, *c);
  }
  if (auto* c = dynamic_cast<TextBox*>(&control)) return std::make_unique<TextPeer>(form, *c);
  if (auto* c = dynamic_cast<ComboBox*>(&control)) return std::make_unique<ComboPeer>(form, *c);
  if (auto* c = dynamic_cast<ListBox*>(&control)) return std::make_unique<ListBoxPeer>(form, *c);
  if (auto* c = dynamic_cast<ListView*>(&control)) {
    return std::make_unique<ListViewPeer>(form, *c);
  }
  if (auto* c = dynamic_cast<TreeView*>(&control)) {
    return std::make_unique<TreeViewPeer>(form, *c);
  }
  if (auto* c = dynamic_cast<DTPicker*>(&control)) return std::make_unique<PickerPeer>(form, *c);
  if (auto* c = dynamic_cast<Timer*>(&control)) return std::make_unique<TimerPeer>(form, *c);
  if (auto* c = dynamic_cast<Menu*>(&control)) return std::make_unique<MenuPeer>(form, *c);
  return std::make_unique<NullPeer>(form, control);
}

}  // namespace norvale::win32
