// The form runtime's native side against real windows (under Wine here): what the
// model says must be what the native controls show, and what the user does to a
// native control must reach the model. Nothing here touches power management.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/form.h"
#include "platform/win32/forms/win32_toolkit.h"
#include "platform/win32/remote_request.h"
#include "platform/win32/utf.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;

// ---------------------------------------------------------------- helpers
// Read back with plain Win32 calls, never through the code under test.

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return name;
}

bool ClassIs(HWND h, const wchar_t* expected) {
  return _wcsicmp(ClassOf(h).c_str(), expected) == 0;
}

std::string TextOf(HWND h) {
  wchar_t text[512] = {};
  GetWindowTextW(h, text, 512);
  return Narrow(text);
}

LONG_PTR StyleOf(HWND h) {
  return GetWindowLongPtrW(h, GWL_STYLE);
}

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int Px(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

UINT DpiOf(HWND h) {
  using Fn = UINT(WINAPI*)(HWND);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn) return fn(h);
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return static_cast<UINT>(dpi);
}

// Lets the window system run for a while, as the program's loop would.
void PumpFor(Win32Toolkit& kit, std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  while (std::chrono::steady_clock::now() < end) {
    kit.DoEvents();
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

bool PumpUntil(Win32Toolkit& kit, const std::function<bool()>& done,
               std::chrono::milliseconds limit = 3s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    kit.DoEvents();
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

// A thread timer that runs `f` once from inside whatever loop runs then (a modal
// window's, a menu's, a message box's).
std::function<void()>& PendingOnce() {
  static std::function<void()> f;
  return f;
}
void CALLBACK RunOnce(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto f = std::move(PendingOnce());
  PendingOnce() = nullptr;
  if (f) f();
}
void AfterMs(UINT ms, std::function<void()> f) {
  PendingOnce() = std::move(f);
  SetTimer(nullptr, 0, ms, &RunOnce);
}

// One control of every kind, in a layout of multiples of 30 twips (whole pixels
// at 96, 144 and 192 DPI).
class KitchenForm : public Form {
 public:
  using Form::Form;
  Label* label = nullptr;
  SkinLabel* skin = nullptr;
  TextBox* name = nullptr;
  Frame* frame = nullptr;
  OptionButton* option[3] = {};
  PictureBox* picture = nullptr;
  Label* inner = nullptr;
  CheckBox* check = nullptr;
  TextBox* password = nullptr;
  ComboBox* combo = nullptr;
  ComboBox* droplist = nullptr;
  ListBox* list = nullptr;
  ListView* view = nullptr;
  TreeView* tree = nullptr;
  DTPicker* date = nullptr;
  DTPicker* time = nullptr;
  Line* line = nullptr;
  CommandButton* ok = nullptr;
  CommandButton* cancel = nullptr;
  Timer* timer = nullptr;
  Menu* file = nullptr;
  Menu* open = nullptr;
  Menu* separator = nullptr;
  Menu* exit = nullptr;
  Menu* wrap = nullptr;
  Menu* recent = nullptr;
  Menu* tray = nullptr;
  Menu* tray_show = nullptr;
  Menu* tray_quit = nullptr;

  std::vector<std::string> events;
  int cancel_query = 0;
  int last_mode = -1;
  int resizes = 0;
  std::optional<WindowState> state_at_resize;

 protected:
  void BuildLayout() override {
    Move(600, 600, 9000, 7200);
    SetCaption("Kitchen");
    label = &Add<Label>("lblName", -1, "&Name:", nullptr, 120, 120, 900, 270);
    name = &Add<TextBox>("txtName", -1, "", nullptr, 1080, 90, 2400, 330);
    skin = &Add<SkinLabel>("lblSkin", -1, "Skin", nullptr, 3600, 120, 1200, 270);
    frame = &Add<Frame>("fraMode", -1, "Mode", nullptr, 120, 540, 3000, 1350);
    for (int i = 0; i < 3; ++i) {
      option[i] = &Add<OptionButton>("optMode", i, "Mode " + std::to_string(i), frame, 150,
                                     270 + 330 * i, 2400, 300);
    }
    picture = &Add<PictureBox>("picBox", -1, "", nullptr, 3300, 540, 2400, 900);
    inner = &Add<Label>("lblInner", -1, "Inside", picture, 90, 90, 1500, 270);
    check = &Add<CheckBox>("chkOn", -1, "&Enabled", nullptr, 3300, 1560, 2400, 300);
    password = &Add<TextBox>("txtPassword", -1, "secret", nullptr, 120, 2010, 2400, 330);
    password->SetPasswordChar("*");
    combo = &Add<ComboBox>("cboEdit", -1, "", nullptr, 2640, 2010, 2400, 330);
    droplist = &Add<ComboBox>("cboList", -1, "", nullptr, 5160, 2010, 2400, 330);
    droplist->SetComboStyle(ComboBox::kDropdownList);
    for (const char* item : {"Shut down", "Restart", "Log off"}) {
      combo->AddItem(item);
      droplist->AddItem(item);
    }
    droplist->SetListIndex(1);
    list = &Add<ListBox>("lstDays", -1, "", nullptr, 120, 2460, 2400, 1200);
    for (const char* item : {"Monday", "Tuesday", "Wednesday"}) list->AddItem(item);
    view = &Add<ListView>("lvSchedules", -1, "", nullptr, 2640, 2460, 4800, 1500);
    view->AddColumn("Name", 1800);
    view->AddColumn("Action", 1200);
    view->AddColumn("Next run", 1500);
    view->SetItems({{"Evening", {"Shut down", "18:00"}}, {"Weekly", {"Restart", "Mon"}}});
    tree = &Add<TreeView>("tvWeek", -1, "", nullptr, 120, 3780, 2400, 1500);
    for (const char* day : {"Monday", "Tuesday", "Wednesday"}) tree->AddNode(day, day);
    tree->SetChecked(1, true);
    date = &Add<DTPicker>("dtpDate", -1, "", nullptr, 2640, 4080, 1800, 330);
    time = &Add<DTPicker>("dtpTime", -1, "", nullptr, 4560, 4080, 1800, 330);
    time->SetPickerFormat(DTPicker::kTime);
    using namespace std::chrono;
    date->SetValue(LocalTime{local_days{year{2026} / 12 / 24}} + hours{18} + minutes{30});
    time->SetValue(LocalTime{local_days{year{2026} / 12 / 24}} + hours{7} + minutes{45});
    line = &Add<Line>("linRule", -1, "", nullptr, 0, 5250, 9000, 30);
    ok = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 5040, 5400, 1200, 390);
    ok->Default = true;
    cancel = &Add<CommandButton>("cmdCancel", -1, "Cancel", nullptr, 6360, 5400, 1200, 390);
    cancel->Cancel = true;
    timer = &Add<Timer>("tmrTick");
    file = &Add<Menu>("mnuFile", -1, "&File", nullptr, 0, 0, 0, 0);
    open = &Add<Menu>("mnuOpen", -1, "&Open", file, 0, 0, 0, 0);
    separator = &Add<Menu>("mnuSep", -1, "-", file, 0, 0, 0, 0);
    exit = &Add<Menu>("mnuExit", -1, "E&xit", file, 0, 0, 0, 0);
    wrap = &Add<Menu>("mnuWrap", -1, "&Wrap", file, 0, 0, 0, 0);
    wrap->SetChecked(true);
    recent = &Add<Menu>("mnuRecent", -1, "&Recent", file, 0, 0, 0, 0);
    Add<Menu>("mnuRecentItem", 0, "&1 Evening.sch", recent, 0, 0, 0, 0);
    Add<Menu>("mnuRecentItem", 1, "&2 Weekly.sch", recent, 0, 0, 0, 0);
    tray = &Add<Menu>("mnuTray", -1, "Tray", nullptr, 0, 0, 0, 0);
    tray->SetVisible(false);  // a pop-up menu only
    tray_show = &Add<Menu>("mnuTrayShow", -1, "&Show", tray, 0, 0, 0, 0);
    tray_quit = &Add<Menu>("mnuTrayQuit", -1, "&Quit", tray, 0, 0, 0, 0);
  }
  void Form_Load() override { events.push_back("load"); }
  void Form_QueryUnload(int& cancel, int mode) override {
    events.push_back("query");
    last_mode = mode;
    cancel = cancel_query;
  }
  void Form_Resize() override {
    ++resizes;
    state_at_resize = GetWindowState();
  }
};

class Win32FormsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    KillPending();
    if (form.Loaded()) form.Unload();
  }
  static void KillPending() { PendingOnce() = nullptr; }

  HWND W(const Control* c) const { return Win32Toolkit::WindowOf(*c); }
  HWND Hwnd() const { return Win32Toolkit::WindowOf(form); }
  int Dpi() const { return static_cast<int>(DpiOf(Hwnd())); }
  // What the user's click on a control sends its window.
  void Click(const Control* c) { SendMessageW(W(c), BM_CLICK, 0, 0); }

  Win32Toolkit kit{GetModuleHandleW(nullptr)};
  KitchenForm form{kit, "frmKitchen"};
};

// ---------------------------------------------------------------- the manifest

template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

TEST(Win32ManifestTest, SelectsTheVersion6ControlsAndPerMonitorDpi) {
  // The manifest linked into this test program is the applications' one.
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(nullptr, comctl);
  // Version 6 lives side by side (Wine's copy answers DllGetVersion with 5.81 all the same).
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(comctl, path, MAX_PATH);
  std::wstring lower = path;
  CharLowerW(lower.data());
  EXPECT_NE(std::wstring::npos, lower.find(L"common-controls_6595b64144ccf1df_6.")) << Narrow(path);

  // Declared by the headers only for newer targets than this build's.
  using ContextFn = HANDLE(WINAPI*)();
  using AwarenessFn = int(WINAPI*)(HANDLE);
  constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
  auto context = User32Function<ContextFn>("GetThreadDpiAwarenessContext");
  auto awareness = User32Function<AwarenessFn>("GetAwarenessFromDpiAwarenessContext");
  if (context && awareness) {
    EXPECT_EQ(kPerMonitorAware, awareness(context()));
  } else {
    EXPECT_TRUE(IsProcessDPIAware());
  }
}

// ---------------------------------------------------------------- the windows

TEST_F(Win32FormsTest, EveryKindGetsItsNativeWindowClass) {
  form.Load();
  ASSERT_NE(nullptr, Hwnd());
  EXPECT_TRUE(ClassIs(Hwnd(), L"NorvaleForm"));
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd(), GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  const std::vector<std::pair<const Control*, const wchar_t*>> expected = {
      {form.label, L"Static"},
      {form.skin, L"Static"},
      {form.name, L"Edit"},
      {form.frame, L"Button"},
      {form.option[0], L"Button"},
      {form.picture, L"Static"},
      {form.inner, L"Static"},
      {form.check, L"Button"},
      {form.password, L"Edit"},
      {form.combo, L"ComboBox"},
      {form.droplist, L"ComboBox"},
      {form.list, L"ListBox"},
      {form.view, L"SysListView32"},
      {form.tree, L"SysTreeView32"},
      {form.date, L"SysDateTimePick32"},
      {form.time, L"SysDateTimePick32"},
      {form.ok, L"Button"},
      {form.cancel, L"Button"},
      {form.line, L"Static"}};
  for (const auto& [control, window_class] : expected) {
    HWND h = W(control);
    ASSERT_NE(nullptr, h) << control->Name();
    EXPECT_TRUE(ClassIs(h, window_class)) << control->Name() << " is " << Narrow(ClassOf(h));
    // Controls in a frame or picture box are children of the form itself.
    EXPECT_EQ(Hwnd(), GetParent(h)) << control->Name();
  }
  EXPECT_EQ(nullptr, W(form.timer));
  EXPECT_EQ(nullptr, W(form.file));
}

TEST_F(Win32FormsTest, NativeStylesFollowTheModel) {
  form.Load();
  EXPECT_EQ(BS_GROUPBOX, StyleOf(W(form.frame)) & BS_TYPEMASK);
  // Not clipped out of the form's background, so its inside gets painted.
  EXPECT_TRUE(GetWindowLongPtrW(W(form.frame), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(SS_ETCHEDHORZ, StyleOf(W(form.line)) & SS_TYPEMASK);
  EXPECT_EQ(BS_RADIOBUTTON, StyleOf(W(form.option[1])) & BS_TYPEMASK);
  EXPECT_EQ(BS_3STATE, StyleOf(W(form.check)) & BS_TYPEMASK);
  EXPECT_EQ(BS_DEFPUSHBUTTON, StyleOf(W(form.ok)) & BS_TYPEMASK);
  EXPECT_EQ(BS_PUSHBUTTON, StyleOf(W(form.cancel)) & BS_TYPEMASK);
  // One group per run of option buttons, with one tab stop.
  EXPECT_TRUE(StyleOf(W(form.option[0])) & WS_GROUP);
  EXPECT_FALSE(StyleOf(W(form.option[1])) & WS_GROUP);
  EXPECT_FALSE(StyleOf(W(form.option[2])) & WS_GROUP);
  EXPECT_TRUE(StyleOf(W(form.option[0])) & WS_TABSTOP);
  EXPECT_FALSE(StyleOf(W(form.option[1])) & WS_TABSTOP);
  form.option[2]->SetValue(true);
  EXPECT_TRUE(StyleOf(W(form.option[2])) & WS_TABSTOP);
  EXPECT_FALSE(StyleOf(W(form.option[0])) & WS_TABSTOP);
  EXPECT_TRUE(StyleOf(W(form.name)) & WS_TABSTOP);
  EXPECT_FALSE(StyleOf(W(form.label)) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongPtrW(W(form.name), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(StyleOf(W(form.name)) & ES_AUTOHSCROLL);
  EXPECT_TRUE(StyleOf(W(form.password)) & ES_PASSWORD);
  EXPECT_FALSE(StyleOf(W(form.name)) & ES_PASSWORD);
  EXPECT_EQ(CBS_DROPDOWN, StyleOf(W(form.combo)) & 3);
  EXPECT_EQ(CBS_DROPDOWNLIST, StyleOf(W(form.droplist)) & 3);
  EXPECT_EQ(LVS_REPORT, StyleOf(W(form.view)) & LVS_TYPEMASK);
  EXPECT_TRUE(StyleOf(W(form.view)) & LVS_SINGLESEL);
  EXPECT_TRUE(StyleOf(W(form.view)) & LVS_SHOWSELALWAYS);
  const LRESULT ex = SendMessageW(W(form.view), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(ex & LVS_EX_DOUBLEBUFFER);
  EXPECT_TRUE(StyleOf(W(form.tree)) & TVS_CHECKBOXES);
  EXPECT_EQ(DTS_TIMEFORMAT, StyleOf(W(form.time)) & DTS_TIMEFORMAT);
  EXPECT_EQ(0, StyleOf(W(form.date)) & DTS_TIMEFORMAT);
}

TEST_F(Win32FormsTest, TabOrderIsTheCollectionOrder) {
  form.Load();
  // Z-order of the form's children follows creation; the picture box alone sits at
  // the bottom so it never paints over what it contains.
  std::vector<HWND> expected;
  for (const auto& c : form.Controls()) {
    HWND h = W(c.get());
    if (h && c.get() != form.picture) expected.push_back(h);
  }
  std::vector<HWND> actual;
  for (HWND h = GetWindow(Hwnd(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h != W(form.picture)) actual.push_back(h);
  }
  EXPECT_EQ(expected, actual);
  EXPECT_EQ(W(form.picture), GetWindow(GetWindow(Hwnd(), GW_CHILD), GW_HWNDLAST));
  // Tab walks the tab stops in that order.
  EXPECT_EQ(W(form.name), GetNextDlgTabItem(Hwnd(), nullptr, FALSE));
  EXPECT_EQ(W(form.option[0]), GetNextDlgTabItem(Hwnd(), W(form.name), FALSE));
  EXPECT_EQ(W(form.check), GetNextDlgTabItem(Hwnd(), W(form.option[0]), FALSE));
}

TEST_F(Win32FormsTest, CaptionsTextsAndValuesReachTheNativeControls) {
  form.Load();
  EXPECT_EQ("&Name:", TextOf(W(form.label)));
  EXPECT_EQ("Mode 2", TextOf(W(form.option[2])));
  EXPECT_EQ("Mode", TextOf(W(form.frame)));
  EXPECT_EQ("&Enabled", TextOf(W(form.check)));
  EXPECT_EQ("secret", TextOf(W(form.password)));
  EXPECT_EQ("Kitchen", TextOf(Hwnd()));

  form.SetCaption("Kitchen \xE2\x80\x93 Zoë");  // non-ASCII survives the round trip
  form.label->SetCaption("&Vorname:");
  form.name->SetText("Ünïcode");
  form.ok->SetCaption("&Save");
  EXPECT_EQ("Kitchen \xE2\x80\x93 Zoë", TextOf(Hwnd()));
  EXPECT_EQ("&Vorname:", TextOf(W(form.label)));
  EXPECT_EQ("Ünïcode", TextOf(W(form.name)));
  EXPECT_EQ("&Save", TextOf(W(form.ok)));

  EXPECT_EQ(BST_UNCHECKED, SendMessageW(W(form.check), BM_GETCHECK, 0, 0));
  form.check->SetValue(1);
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.check), BM_GETCHECK, 0, 0));
  form.check->SetValue(2);
  EXPECT_EQ(BST_INDETERMINATE, SendMessageW(W(form.check), BM_GETCHECK, 0, 0));
  form.option[1]->SetValue(true);
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.option[1]), BM_GETCHECK, 0, 0));
  form.option[2]->SetValue(true);
  EXPECT_EQ(BST_UNCHECKED, SendMessageW(W(form.option[1]), BM_GETCHECK, 0, 0));
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.option[2]), BM_GETCHECK, 0, 0));

  EXPECT_EQ(3, SendMessageW(W(form.droplist), CB_GETCOUNT, 0, 0));
  EXPECT_EQ(1, SendMessageW(W(form.droplist), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(-1, SendMessageW(W(form.combo), CB_GETCURSEL, 0, 0));
  form.combo->SetListIndex(2);
  EXPECT_EQ(2, SendMessageW(W(form.combo), CB_GETCURSEL, 0, 0));
  EXPECT_EQ("Log off", TextOf(W(form.combo)));
  form.combo->AddItem("Hibernate");
  EXPECT_EQ(4, SendMessageW(W(form.combo), CB_GETCOUNT, 0, 0));
  EXPECT_EQ(2, SendMessageW(W(form.combo), CB_GETCURSEL, 0, 0));  // kept across the refill
  wchar_t entry[64] = {};
  SendMessageW(W(form.combo), CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(entry));
  EXPECT_EQ(L"Hibernate", std::wstring(entry));
  form.combo->SetText("typed");
  EXPECT_EQ("typed", TextOf(W(form.combo)));

  EXPECT_EQ(3, SendMessageW(W(form.list), LB_GETCOUNT, 0, 0));
  form.list->SetListIndex(1);
  EXPECT_EQ(1, SendMessageW(W(form.list), LB_GETCURSEL, 0, 0));
  form.list->RemoveItem(0);
  EXPECT_EQ(2, SendMessageW(W(form.list), LB_GETCOUNT, 0, 0));
  EXPECT_EQ(0, SendMessageW(W(form.list), LB_GETCURSEL, 0, 0));

  SYSTEMTIME st{};
  ASSERT_EQ(GDT_VALID,
            SendMessageW(W(form.date), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)));
  EXPECT_EQ(2026, st.wYear);
  EXPECT_EQ(12, st.wMonth);
  EXPECT_EQ(24, st.wDay);
  ASSERT_EQ(GDT_VALID,
            SendMessageW(W(form.time), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)));
  EXPECT_EQ(7, st.wHour);
  EXPECT_EQ(45, st.wMinute);
  using namespace std::chrono;
  form.date->SetValue(LocalTime{local_days{year{2027} / 2 / 28}});
  SendMessageW(W(form.date), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(2027, st.wYear);
  EXPECT_EQ(2, st.wMonth);
  EXPECT_EQ(28, st.wDay);
  EXPECT_EQ(0, st.wDayOfWeek);  // a Sunday
}

TEST_F(Win32FormsTest, EnabledAndVisibleReachTheWindowsAndContainersPassThemOn) {
  form.Load();
  form.name->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(W(form.name)));
  form.name->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(W(form.name)));
  form.skin->SetVisible(false);
  EXPECT_FALSE(StyleOf(W(form.skin)) & WS_VISIBLE);
  form.skin->SetVisible(true);
  EXPECT_TRUE(StyleOf(W(form.skin)) & WS_VISIBLE);

  form.frame->SetVisible(false);
  for (auto* option : form.option) EXPECT_FALSE(StyleOf(W(option)) & WS_VISIBLE);
  EXPECT_TRUE(StyleOf(W(form.check)) & WS_VISIBLE);
  form.frame->SetVisible(true);
  for (auto* option : form.option) EXPECT_TRUE(StyleOf(W(option)) & WS_VISIBLE);
  form.option[1]->SetVisible(false);
  form.frame->SetEnabled(false);
  for (auto* option : form.option) EXPECT_FALSE(IsWindowEnabled(W(option)));
  form.frame->SetEnabled(true);
  for (auto* option : form.option) EXPECT_TRUE(IsWindowEnabled(W(option)));
  EXPECT_FALSE(StyleOf(W(form.option[1])) & WS_VISIBLE);  // its own setting still holds
}

TEST_F(Win32FormsTest, GeometryIsInTwipsAtTheWindowsDpi) {
  form.Load();
  const int dpi = Dpi();
  RECT outer{};
  GetWindowRect(Hwnd(), &outer);
  EXPECT_EQ(Px(600, dpi), outer.left);
  EXPECT_EQ(Px(600, dpi), outer.top);
  EXPECT_EQ(Px(9000, dpi), outer.right - outer.left);
  EXPECT_EQ(Px(7200, dpi), outer.bottom - outer.top);
  // ScaleWidth/ScaleHeight are the client area, smaller than the outer bounds.
  RECT client{};
  GetClientRect(Hwnd(), &client);
  EXPECT_NEAR(client.right, Px(form.ScaleWidth(), dpi), 1);
  EXPECT_NEAR(client.bottom, Px(form.ScaleHeight(), dpi), 1);
  EXPECT_LT(form.ScaleWidth(), 9000);
  EXPECT_LT(form.ScaleHeight(), 7200 - 300);  // the caption and the menu bar

  const RECT name = ChildRect(W(form.name));
  EXPECT_EQ(Px(1080, dpi), name.left);
  EXPECT_EQ(Px(90, dpi), name.top);
  EXPECT_EQ(Px(2400, dpi), name.right - name.left);
  EXPECT_EQ(Px(330, dpi), name.bottom - name.top);
  // Inside a frame or picture box: the container's offset plus the control's own.
  const RECT option = ChildRect(W(form.option[2]));
  EXPECT_EQ(Px(120 + 150, dpi), option.left);
  EXPECT_EQ(Px(540 + 270 + 660, dpi), option.top);
  const RECT inner = ChildRect(W(form.inner));
  EXPECT_EQ(Px(3300 + 90, dpi), inner.left);
  EXPECT_EQ(Px(540 + 90, dpi), inner.top);

  form.name->Move(1200, 150, 3000, 360);
  const RECT moved = ChildRect(W(form.name));
  EXPECT_EQ(Px(1200, dpi), moved.left);
  EXPECT_EQ(Px(3000, dpi), moved.right - moved.left);
  form.frame->Move(300, 600, 3000, 1350);  // what it contains moves with it
  EXPECT_EQ(Px(300 + 150, dpi), ChildRect(W(form.option[2])).left);
  EXPECT_EQ(Px(600 + 270 + 660, dpi), ChildRect(W(form.option[2])).top);

  form.Move(900, 900, 9600, 7500);
  GetWindowRect(Hwnd(), &outer);
  EXPECT_EQ(Px(900, dpi), outer.left);
  EXPECT_EQ(Px(9600, dpi), outer.right - outer.left);
}

class SizedForm : public Form {
 public:
  using Form::Form;

 protected:
  void BuildLayout() override {
    Move(300, 300, 3000, 3000);
    Add<Menu>("mnuFile", -1, "&File", nullptr, 0, 0, 0, 0);
    Add<Menu>("mnuFileExit", -1, "E&xit", Find("mnuFile"), 0, 0, 0, 0);
    SetClientSize(6000, 4500);
  }
};

TEST_F(Win32FormsTest, AClientSizeSizesTheWindowAroundIt) {
  SizedForm sized{kit, "frmSized"};
  sized.Load();
  HWND h = Win32Toolkit::WindowOf(sized);
  const int dpi = static_cast<int>(DpiOf(h));
  RECT client{};
  GetClientRect(h, &client);
  EXPECT_NEAR(Px(6000, dpi), client.right, 1);
  EXPECT_NEAR(Px(4500, dpi), client.bottom, 1);
  EXPECT_EQ(std::nullopt, sized.RequestedClientSize());
  EXPECT_GT(sized.Bounds().height, 4500 + 300);  // caption and menu bar on top
  EXPECT_EQ(300, sized.Bounds().left);
  sized.SetClientSize(4500, 3000);
  GetClientRect(h, &client);
  EXPECT_NEAR(Px(4500, dpi), client.right, 1);
  EXPECT_NEAR(Px(3000, dpi), client.bottom, 1);
  EXPECT_NEAR(4500, sized.ScaleWidth(), 15);
}

TEST_F(Win32FormsTest, ResizingTheWindowReportsOuterTwipsAndFiresResize) {
  form.Show();
  const int dpi = Dpi();
  const int before = form.resizes;
  EXPECT_GT(before, 0);  // showing it laid it out once
  // As the user would drag the border.
  SetWindowPos(Hwnd(), nullptr, 0, 0, Px(10500, dpi) + 1, Px(8100, dpi), SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_GT(form.resizes, before);
  EXPECT_EQ(MulDiv(Px(10500, dpi) + 1, 1440, dpi), form.Bounds().width);
  EXPECT_EQ(8100, form.Bounds().height);
  EXPECT_EQ(600, form.Bounds().left);
}

TEST_F(Win32FormsTest, WindowStateMinimizesRestoresAndWaitsForAHiddenWindow) {
  form.Show();
  form.SetWindowState(WindowState::Minimized);
  EXPECT_TRUE(IsIconic(Hwnd()));
  EXPECT_EQ(WindowState::Minimized, form.GetWindowState());
  // The program learns of it in Form_Resize (to hide to the tray, say).
  EXPECT_EQ(WindowState::Minimized, form.state_at_resize);
  form.SetWindowState(WindowState::Normal);
  EXPECT_FALSE(IsIconic(Hwnd()));
  EXPECT_EQ(WindowState::Normal, form.GetWindowState());
  form.Hide();
  form.SetWindowState(WindowState::Maximized);
  EXPECT_FALSE(IsWindowVisible(Hwnd()));
  EXPECT_EQ(WindowState::Maximized, form.GetWindowState());
  form.Show();
  EXPECT_TRUE(IsZoomed(Hwnd()));
  EXPECT_EQ(WindowState::Maximized, form.GetWindowState());
}

// ---------------------------------------------------------------- list view, tree

TEST_F(Win32FormsTest, ListViewShowsColumnsInTwipsAndRowsWithSubItems) {
  form.Load();
  HWND lv = W(form.view);
  const int dpi = Dpi();
  HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(3, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  const int widths[] = {1800, 1200, 1500};
  const wchar_t* titles[] = {L"Name", L"Action", L"Next run"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Px(widths[i], dpi), SendMessageW(lv, LVM_GETCOLUMNWIDTH, i, 0)) << i;
    wchar_t text[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 64;
    SendMessageW(lv, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(std::wstring(titles[i]), text);
  }
  auto cell = [&](int row, int column) {
    wchar_t text[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(lv, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return Narrow(text);
  };
  ASSERT_EQ(2, SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ("Evening", cell(0, 0));
  EXPECT_EQ("Shut down", cell(0, 1));
  EXPECT_EQ("18:00", cell(0, 2));
  EXPECT_EQ("Mon", cell(1, 2));

  form.view->AddItem({"Monthly", {"Log off"}});
  form.view->SetSubItem(0, 2, "19:00");
  form.view->SetColumnWidth(1, 2100);
  EXPECT_EQ(3, SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ("Monthly", cell(2, 0));
  EXPECT_EQ("", cell(2, 2));
  EXPECT_EQ("19:00", cell(0, 2));
  EXPECT_EQ(Px(2100, dpi), SendMessageW(lv, LVM_GETCOLUMNWIDTH, 1, 0));

  form.view->SetSelectedItem(1);
  EXPECT_EQ(1, SendMessageW(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  form.view->SetItems({{"Only", {"Restart", "now"}}});
  EXPECT_EQ(1, SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ("now", cell(0, 2));
  EXPECT_EQ(-1, SendMessageW(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

TEST_F(Win32FormsTest, ListViewReportsTheUsersColumnWidthsAndRowChoices) {
  form.Show();
  HWND lv = W(form.view);
  const int dpi = Dpi();
  std::vector<size_t> clicked;
  form.view->ItemClick = [&](size_t row) { clicked.push_back(row); };

  // The user drags the second column's border: the header tells the list view.
  HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  item.cxy = 151;
  SendMessageW(header, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(MulDiv(151, 1440, dpi), form.view->ColumnHeaders()[1].Width);
  EXPECT_EQ(1800, form.view->ColumnHeaders()[0].Width);  // untouched columns keep their twips

  // A click on the second row.
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(lv, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  const LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
  SendMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(lv, WM_LBUTTONUP, 0, at);
  PumpFor(kit, 100ms);
  ASSERT_EQ(std::vector<size_t>{1}, clicked);
  EXPECT_EQ(1u, form.view->SelectedItem());

  // The keyboard moves the selection (the list view changes it itself).
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(lv, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ((std::vector<size_t>{1, 0}), clicked);
  EXPECT_EQ(0u, form.view->SelectedItem());
  // The program's own selection fires nothing.
  form.view->SetSelectedItem(1);
  EXPECT_EQ((std::vector<size_t>{1, 0}), clicked);
}

TEST_F(Win32FormsTest, TreeViewShowsChecksAndReportsTheUsersToggles) {
  form.Show();
  HWND tv = W(form.tree);
  std::vector<HTREEITEM> items;
  for (HTREEITEM i = TreeView_GetRoot(tv); i; i = TreeView_GetNextSibling(tv, i))
    items.push_back(i);
  ASSERT_EQ(3u, items.size());
  wchar_t text[64] = {};
  TVITEMW info{};
  info.mask = TVIF_TEXT;
  info.hItem = items[2];
  info.pszText = text;
  info.cchTextMax = 64;
  TreeView_GetItem(tv, &info);
  EXPECT_EQ(std::wstring(L"Wednesday"), text);
  EXPECT_EQ(0u, TreeView_GetCheckState(tv, items[0]));
  EXPECT_EQ(1u, TreeView_GetCheckState(tv, items[1]));
  form.tree->SetChecked(0, true);
  form.tree->SetChecked(1, false);
  EXPECT_EQ(1u, TreeView_GetCheckState(tv, items[0]));
  EXPECT_EQ(0u, TreeView_GetCheckState(tv, items[1]));

  std::vector<size_t> checked;
  form.tree->NodeCheck = [&](size_t node) { checked.push_back(node); };
  // The user clicks the box of the third node.
  RECT r{};
  // TVM_GETITEMRECT takes the item in the rectangle's place.
  std::memcpy(&r, &items[2], sizeof items[2]);
  ASSERT_TRUE(SendMessageW(tv, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
  HIMAGELIST states = TreeView_GetImageList(tv, TVSIL_STATE);
  int cx = 16, cy = 16;
  if (states) ImageList_GetIconSize(states, &cx, &cy);
  const POINT box{r.left - cx / 2 - 1, (r.top + r.bottom) / 2};
  const LPARAM at = MAKELPARAM(box.x, box.y);
  TVHITTESTINFO hit{};
  hit.pt = box;
  SendMessageW(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  ASSERT_TRUE(hit.flags & TVHT_ONITEMSTATEICON);
  SendMessageW(tv, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(tv, WM_LBUTTONUP, 0, at);
  ASSERT_TRUE(PumpUntil(kit, [&] { return !checked.empty(); }));
  EXPECT_EQ(std::vector<size_t>{2}, checked);
  EXPECT_TRUE(form.tree->Nodes()[2].Checked);
  EXPECT_EQ(1u, TreeView_GetCheckState(tv, items[2]));
  // The program's own change fires nothing.
  form.tree->SetChecked(2, false);
  PumpFor(kit, 50ms);
  EXPECT_EQ(std::vector<size_t>{2}, checked);
  EXPECT_EQ(0u, TreeView_GetCheckState(tv, items[2]));

  // The space bar toggles the selected node's box.
  SetFocus(tv);
  TreeView_SelectItem(tv, items[1]);
  SendMessageW(tv, WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(tv, WM_CHAR, L' ', 0x00390001);
  SendMessageW(tv, WM_KEYUP, VK_SPACE, 0xC0390001);
  ASSERT_TRUE(PumpUntil(kit, [&] { return checked.size() == 2; }));
  EXPECT_EQ((std::vector<size_t>{2, 1}), checked);
  EXPECT_TRUE(form.tree->Nodes()[1].Checked);
}

// A click on a node's text toggles its box where the program asks for it, and only
// selects it where it does not.
TEST_F(Win32FormsTest, ATreeViewsLabelClickTogglesWhereAsked) {
  form.Show();
  HWND tv = W(form.tree);
  HTREEITEM first = TreeView_GetRoot(tv);
  RECT r{};
  std::memcpy(&r, &first, sizeof first);
  ASSERT_TRUE(SendMessageW(tv, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
  POINT label{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  TVHITTESTINFO hit{};
  hit.pt = label;
  SendMessageW(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  ASSERT_TRUE(hit.flags & TVHT_ONITEMLABEL);
  // The tree asks where the click was as a real click tells it: the message's position.
  POINT screen = label;
  ClientToScreen(tv, &screen);
  ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
  std::vector<size_t> checked;
  form.tree->NodeCheck = [&](size_t node) { checked.push_back(node); };
  const auto click = [&] {
    PostMessageW(tv, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.x, label.y));
    PostMessageW(tv, WM_LBUTTONUP, 0, MAKELPARAM(label.x, label.y));
  };
  click();
  ASSERT_TRUE(PumpUntil(kit, [&] { return TreeView_GetSelection(tv) == first; }));
  PumpFor(kit, 50ms);
  EXPECT_TRUE(checked.empty());
  EXPECT_FALSE(form.tree->Nodes()[0].Checked);

  form.tree->SetLabelClickToggles(true);
  click();
  ASSERT_TRUE(PumpUntil(kit, [&] { return !checked.empty(); }));
  EXPECT_EQ(std::vector<size_t>{0}, checked);
  EXPECT_TRUE(form.tree->Nodes()[0].Checked);
  EXPECT_EQ(1u, TreeView_GetCheckState(tv, first));
}

// ---------------------------------------------------------------- user actions

TEST_F(Win32FormsTest, ClickingACheckBoxTogglesTheModelOnce) {
  form.Show();
  int clicks = 0;
  form.check->Click = [&] { ++clicks; };
  Click(form.check);
  EXPECT_EQ(1, form.check->Value());
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.check), BM_GETCHECK, 0, 0));
  Click(form.check);
  EXPECT_EQ(0, form.check->Value());
  EXPECT_EQ(2, clicks);
  EXPECT_EQ(BST_UNCHECKED, SendMessageW(W(form.check), BM_GETCHECK, 0, 0));
  form.check->SetValue(2);
  Click(form.check);  // from grayed, a click ticks it
  EXPECT_EQ(1, form.check->Value());
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.check), BM_GETCHECK, 0, 0));
}

TEST_F(Win32FormsTest, ClickingButtonsAndOptionsFiresTheirClick) {
  form.Show();
  std::vector<std::string> seen;
  form.ok->Click = [&] { seen.push_back("ok"); };
  form.option[1]->Click = [&] { seen.push_back("opt1"); };
  form.inner->Click = [&] { seen.push_back("inner"); };
  Click(form.ok);
  Click(form.option[1]);
  EXPECT_TRUE(form.option[1]->Value());
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.option[1]), BM_GETCHECK, 0, 0));
  Click(form.option[0]);
  EXPECT_FALSE(form.option[1]->Value());
  EXPECT_EQ(BST_UNCHECKED, SendMessageW(W(form.option[1]), BM_GETCHECK, 0, 0));
  EXPECT_EQ(BST_CHECKED, SendMessageW(W(form.option[0]), BM_GETCHECK, 0, 0));
  // A label's click comes as STN_CLICKED.
  SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(W(form.inner)), STN_CLICKED),
               reinterpret_cast<LPARAM>(W(form.inner)));
  EXPECT_EQ((std::vector<std::string>{"ok", "opt1", "inner"}), seen);
}

TEST_F(Win32FormsTest, ListSelectionsByTheUserReachTheModel) {
  form.Show();
  int clicks = 0;
  form.droplist->Click = [&] { ++clicks; };
  HWND cb = W(form.droplist);
  SendMessageW(cb, CB_SETCURSEL, 2, 0);
  SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cb), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(cb));
  EXPECT_EQ(2, form.droplist->ListIndex());
  EXPECT_EQ("Log off", form.droplist->Text());
  EXPECT_EQ(1, clicks);

  HWND lb = W(form.list);
  SendMessageW(lb, LB_SETCURSEL, 2, 0);
  SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(lb), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(lb));
  EXPECT_EQ(2, form.list->ListIndex());
}

TEST_F(Win32FormsTest, TypingAndTheProgramsTextEachFireChangeOnce) {
  form.Show();
  int changes = 0;
  form.name->Change = [&] { ++changes; };
  SendMessageW(W(form.name), WM_CHAR, 'h', 0);
  SendMessageW(W(form.name), WM_CHAR, 'i', 0);
  EXPECT_EQ("hi", form.name->Text());
  EXPECT_EQ(2, changes);
  // The program's text fires Change itself; the control's echo of it does not again.
  form.name->SetText("set by the program");
  EXPECT_EQ("set by the program", TextOf(W(form.name)));
  EXPECT_EQ(3, changes);
  form.name->SetText("set by the program");
  EXPECT_EQ(3, changes);

  EXPECT_EQ(L'*', SendMessageW(W(form.password), EM_GETPASSWORDCHAR, 0, 0));
  form.password->SetPasswordChar("");
  EXPECT_EQ(0, SendMessageW(W(form.password), EM_GETPASSWORDCHAR, 0, 0));
  form.name->SetPasswordChar("#");
  EXPECT_EQ(L'#', SendMessageW(W(form.name), EM_GETPASSWORDCHAR, 0, 0));
}

TEST_F(Win32FormsTest, ComboKeyPressSeesEveryKeyAndMaySwallowOrChangeIt) {
  form.Show();
  std::vector<int> keys;
  form.combo->KeyPress = [&](int& key) {
    keys.push_back(key);
    if (key == 'x') key = 0;
    if (key == 'a') key = 'b';
  };
  int changes = 0;
  form.combo->Change = [&] { ++changes; };
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(W(form.combo), &info));
  ASSERT_NE(nullptr, info.hwndItem);
  SendMessageW(info.hwndItem, WM_CHAR, 'a', 0);
  SendMessageW(info.hwndItem, WM_CHAR, 'x', 0);
  SendMessageW(info.hwndItem, WM_CHAR, 'c', 0);
  SendMessageW(info.hwndItem, WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ((std::vector<int>{'a', 'x', 'c', 13}), keys);
  EXPECT_EQ("bc", TextOf(info.hwndItem));
  EXPECT_EQ("bc", form.combo->Text());  // typing in the edit part is the user's text
  EXPECT_EQ(2, changes);
  // Enter reaches the key handler rather than the default button.
  MSG enter{info.hwndItem, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_TRUE(
      SendMessageW(info.hwndItem, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
      DLGC_WANTALLKEYS);
}

TEST_F(Win32FormsTest, ChangingAFixedStyleRecreatesTheControlInItsPlace) {
  form.Load();
  HWND before = GetWindow(W(form.combo), GW_HWNDPREV);
  form.combo->SetListIndex(1);
  form.combo->SetComboStyle(ComboBox::kDropdownList);
  HWND cb = W(form.combo);
  EXPECT_EQ(CBS_DROPDOWNLIST, StyleOf(cb) & 3);
  EXPECT_EQ(before, GetWindow(cb, GW_HWNDPREV));  // same place in the tab order
  EXPECT_EQ(3, SendMessageW(cb, CB_GETCOUNT, 0, 0));
  EXPECT_EQ(1, SendMessageW(cb, CB_GETCURSEL, 0, 0));
  int clicks = 0;
  form.combo->Click = [&] { ++clicks; };
  SendMessageW(cb, CB_SETCURSEL, 0, 0);
  SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cb), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(cb));
  EXPECT_EQ(0, form.combo->ListIndex());
  EXPECT_EQ(1, clicks);

  form.date->SetPickerFormat(DTPicker::kTime);
  EXPECT_EQ(DTS_TIMEFORMAT, StyleOf(W(form.date)) & DTS_TIMEFORMAT);
  SYSTEMTIME st{};
  SendMessageW(W(form.date), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(18, st.wHour);
  EXPECT_EQ(2026, st.wYear);
}

TEST_F(Win32FormsTest, PickerReportsTheDateTheUserPicked) {
  form.Show();
  int changes = 0;
  form.date->Change = [&] { ++changes; };
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = W(form.date);
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(W(form.date)));
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  change.st = SYSTEMTIME{2027, 3, 0, 9, 6, 5, 4, 0};
  SendMessageW(Hwnd(), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  using namespace std::chrono;
  EXPECT_EQ(LocalTime{local_days{year{2027} / 3 / 9}} + hours{6} + minutes{5} + seconds{4},
            form.date->Value());
  EXPECT_EQ(1, changes);
}

// ---------------------------------------------------------------- menus

TEST_F(Win32FormsTest, TheMenuBarFollowsTheMenuControls) {
  form.Load();
  HMENU bar = GetMenu(Hwnd());
  ASSERT_NE(nullptr, bar);
  ASSERT_EQ(1, GetMenuItemCount(bar));  // the hidden tray menu is not on the bar
  wchar_t text[64] = {};
  GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(L"&File"), text);
  HMENU sub = GetSubMenu(bar, 0);
  ASSERT_NE(nullptr, sub);
  ASSERT_EQ(5, GetMenuItemCount(sub));
  auto info = [&](int i) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    GetMenuItemInfoW(GetSubMenu(GetMenu(Hwnd()), 0), static_cast<UINT>(i), TRUE, &item);
    return item;
  };
  auto caption = [&](int i) {
    wchar_t s[64] = {};
    GetMenuStringW(GetSubMenu(GetMenu(Hwnd()), 0), static_cast<UINT>(i), s, 64, MF_BYPOSITION);
    return std::wstring(s);
  };
  EXPECT_EQ(L"&Open", caption(0));
  EXPECT_TRUE(info(1).fType & MFT_SEPARATOR);
  EXPECT_FALSE(info(0).fType & MFT_SEPARATOR);
  EXPECT_EQ(L"E&xit", caption(2));
  EXPECT_TRUE(info(3).fState & MFS_CHECKED);
  EXPECT_FALSE(info(2).fState & MFS_CHECKED);
  // An item with items of its own opens a submenu.
  EXPECT_EQ(nullptr, GetSubMenu(sub, 0));
  HMENU nested = GetSubMenu(sub, 4);
  ASSERT_NE(nullptr, nested);
  ASSERT_EQ(2, GetMenuItemCount(nested));
  GetMenuStringW(nested, 1, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(L"&2 Weekly.sch"), text);

  form.exit->SetEnabled(false);
  form.open->SetCaption("&Open...");
  form.wrap->SetChecked(false);
  EXPECT_TRUE(info(2).fState & MFS_GRAYED);
  EXPECT_EQ(L"&Open...", caption(0));
  EXPECT_FALSE(info(3).fState & MFS_CHECKED);
  form.separator->SetVisible(false);
  EXPECT_EQ(4, GetMenuItemCount(GetSubMenu(GetMenu(Hwnd()), 0)));

  std::vector<std::string> chosen;
  form.open->Click = [&] { chosen.push_back("open"); };
  form.exit->Click = [&] { chosen.push_back("exit"); };
  SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(info(0).wID, 0), 0);
  SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(info(1).wID, 0), 0);  // grayed: nothing
  EXPECT_EQ(std::vector<std::string>{"open"}, chosen);

  form.file->SetVisible(false);
  EXPECT_EQ(nullptr, GetMenu(Hwnd()));
}

TEST_F(Win32FormsTest, APopupMenuChoiceFiresThatItemsClick) {
  form.Show();
  std::vector<std::string> chosen;
  form.tray_show->Click = [&] { chosen.push_back("show"); };
  form.tray_quit->Click = [&] { chosen.push_back("quit"); };
  HWND hwnd = Hwnd();
  // The user goes down to the second item and presses Enter.
  AfterMs(300, [hwnd] {
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
      PostMessageW(hwnd, WM_KEYDOWN, key, 0);
      PostMessageW(hwnd, WM_KEYUP, key, 0xC0000000);
    }
  });
  kit.PopupMenu(form, *form.tray);
  EXPECT_EQ(std::vector<std::string>{"quit"}, chosen);
  EXPECT_EQ(nullptr, PendingOnce());
}

// ---------------------------------------------------------------- timers

TEST_F(Win32FormsTest, TimersTickWhileArmedAndStopWithTheirWindow) {
  form.Load();
  int ticks = 0;
  form.timer->Tick = [&] { ++ticks; };
  PumpFor(kit, 300ms);
  EXPECT_EQ(0, ticks);  // no interval yet
  form.timer->SetInterval(100);
  PumpFor(kit, 1000ms);
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 11);
  form.timer->SetEnabled(false);
  const int stopped = ticks;
  PumpFor(kit, 300ms);
  EXPECT_EQ(stopped, ticks);
  form.timer->SetEnabled(true);
  PumpFor(kit, 350ms);
  EXPECT_GT(ticks, stopped);
  form.Unload();
  const int unloaded = ticks;
  PumpFor(kit, 300ms);
  EXPECT_EQ(unloaded, ticks);
}

TEST_F(Win32FormsTest, ATickThatShowsAModalWindowIsNotEnteredAgain) {
  form.Load();
  int entered = 0;
  int depth = 0, deepest = 0;
  form.timer->SetInterval(50);
  form.timer->Tick = [&] {
    ++entered;
    ++depth;
    deepest = std::max(deepest, depth);
    if (entered == 1) PumpFor(kit, 400ms);  // its own tick comes due meanwhile
    --depth;
  };
  PumpFor(kit, 700ms);
  EXPECT_EQ(1, deepest);
  EXPECT_GE(entered, 2);
}

// ---------------------------------------------------------------- tray

NOTIFYICONDATAW Probe(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = Win32Toolkit::kTrayIconId;
  data.uFlags = NIF_TIP;
  wcscpy(data.szTip, L"probe");
  return data;
}

TEST_F(Win32FormsTest, TrayCallsReportWhatTheShellAnswered) {
  form.SetIconResource("AAA");
  form.Load();
  NOTIFYICONDATAW probe = Probe(kit.TrayWindow());
  EXPECT_FALSE(kit.Tray().Modify("before"));  // nothing to modify yet
  const bool added = kit.Tray().Add(form, "Norvale test");
  RecordProperty("shell_accepted_icon", added ? "yes" : "no");
  // The icon exists exactly when Add said so: the shell accepts a change to it.
  EXPECT_EQ(added, Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE);
  // With a taskbar there (Wine's virtual desktop, Windows) the icon must be added.
  if (FindWindowW(L"Shell_TrayWnd", nullptr)) {
    EXPECT_TRUE(added);
  }
  EXPECT_EQ(added, kit.Tray().Modify("Norvale test 2"));
  EXPECT_EQ(added, kit.Tray().Delete());
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
  EXPECT_FALSE(kit.Tray().Modify("after"));
  EXPECT_FALSE(kit.Tray().Delete());
}

TEST_F(Win32FormsTest, TrayIconLostWithoutABroadcastIsAddedAgain) {
  form.Load();
  NOTIFYICONDATAW probe = Probe(kit.TrayWindow());
  if (!kit.Tray().Add(form, "Norvale test")) GTEST_SKIP() << "no notification area";
  Shell_NotifyIconW(NIM_DELETE, &probe);
  EXPECT_FALSE(kit.Tray().Modify("gone"));
  EXPECT_TRUE(kit.Tray().Add(form, "Norvale test"));  // as the main window does on a refusal
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
  kit.Tray().Delete();
}

TEST_F(Win32FormsTest, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
  form.Load();
  NOTIFYICONDATAW probe = Probe(kit.TrayWindow());
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  const bool added = kit.Tray().Add(form, "Norvale test");
  // As when Explorer restarts: the icon is gone, then the broadcast comes.
  Shell_NotifyIconW(NIM_DELETE, &probe);
  SendMessageW(kit.TrayWindow(), taskbar_created, 0, 0);
  EXPECT_EQ(added, Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE);
  // Once the program deleted it, the broadcast leaves it deleted.
  kit.Tray().Delete();
  SendMessageW(kit.TrayWindow(), taskbar_created, 0, 0);
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(Win32FormsTest, TrayTaskbarCreatedIsPassedToTheProgramWhileItWantsTheIcon) {
  form.Load();
  NOTIFYICONDATAW probe = Probe(kit.TrayWindow());
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  if (!kit.Tray().Add(form, "Norvale test")) GTEST_SKIP() << "no notification area";
  int told = 0;
  bool added_again = false;
  kit.Tray().TaskbarCreated = [&] {
    ++told;
    added_again = kit.Tray().Add(form, "Norvale test");
  };
  Shell_NotifyIconW(NIM_DELETE, &probe);
  SendMessageW(kit.TrayWindow(), taskbar_created, 0, 0);
  EXPECT_EQ(1, told);
  EXPECT_TRUE(added_again);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
  // Deleted by the program: nobody is told, nothing comes back.
  kit.Tray().Delete();
  SendMessageW(kit.TrayWindow(), taskbar_created, 0, 0);
  EXPECT_EQ(1, told);
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
  kit.Tray().TaskbarCreated = nullptr;
}

TEST_F(Win32FormsTest, TrayMouseMessagesBecomeTrayEvents) {
  std::vector<TrayEvent> seen;
  kit.Tray().OnEvent = [&](TrayEvent e) { seen.push_back(e); };
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                 WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONUP}) {
    SendMessageW(kit.TrayWindow(), Win32Toolkit::kTrayCallbackMessage, Win32Toolkit::kTrayIconId,
                 m);
  }
  // The newer layout puts the icon's id above the message.
  SendMessageW(kit.TrayWindow(), Win32Toolkit::kTrayCallbackMessage, 0,
               MAKELPARAM(WM_RBUTTONUP, Win32Toolkit::kTrayIconId));
  EXPECT_EQ((std::vector<TrayEvent>{TrayEvent::MouseMove, TrayEvent::LeftDown, TrayEvent::LeftUp,
                                    TrayEvent::RightDown, TrayEvent::RightUp,
                                    TrayEvent::LeftDoubleClick, TrayEvent::RightUp}),
            seen);
}

// ---------------------------------------------------------------- the form's messages

TEST_F(Win32FormsTest, TheMessageHookAnswersFirstAndTheWindowHandlesTheRest) {
  form.Load();
  HWND h = Hwnd();
  int powers = 0;
  std::vector<uint32_t> seen;
  form.SetMessageHook([&](const WindowMessage& m) -> std::optional<intptr_t> {
    seen.push_back(m.message);
    if (m.message == WM_POWERBROADCAST) {
      ++powers;
      if (m.wparam == PBT_APMQUERYSUSPEND) return BROADCAST_QUERY_DENY;
    }
    if (m.message == WM_CLOSE) return 0;  // answered: the window never sees it
    return std::nullopt;
  });
  EXPECT_EQ(BROADCAST_QUERY_DENY, SendMessageW(h, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0));
  EXPECT_EQ(1, powers);
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.Loaded());
  EXPECT_EQ(std::vector<std::string>{"load"}, form.events);  // no Form_QueryUnload
  SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Hooked"));
  EXPECT_EQ("Hooked", TextOf(h));  // not answered: handled as usual
  EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), WM_SETTEXT));

  form.ClearMessageHook();
  EXPECT_NE(BROADCAST_QUERY_DENY, SendMessageW(h, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0));
  EXPECT_EQ(1, powers);
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Loaded());
}

TEST_F(Win32FormsTest, CloseAndEndOfSessionAskQueryUnloadWithTheirModes) {
  form.Show();
  form.cancel_query = 1;
  SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(vbFormControlMenu, form.last_mode);
  EXPECT_TRUE(form.Loaded());
  EXPECT_TRUE(IsWindow(Hwnd()));
  // Kept by the program: the session may not end.
  EXPECT_EQ(FALSE, SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0));
  EXPECT_EQ(vbAppWindows, form.last_mode);
  EXPECT_TRUE(form.Loaded());
  form.cancel_query = 0;
  HWND h = Hwnd();
  EXPECT_EQ(TRUE, SendMessageW(h, WM_QUERYENDSESSION, 0, 0));
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(IsWindow(h));

  form.Show();
  SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(vbFormControlMenu, form.last_mode);
  EXPECT_FALSE(form.Loaded());
}

TEST_F(Win32FormsTest, UnloadingFromInsideItsOwnButtonsClickIsSafe) {
  form.Show();
  HWND h = Hwnd();
  HWND button = W(form.ok);
  bool after = false;
  form.ok->Click = [&] {
    form.Unload();
    after = true;
  };
  SendMessageW(button, BM_CLICK, 0, 0);
  PumpFor(kit, 100ms);
  EXPECT_TRUE(after);
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(IsWindow(button));
  EXPECT_EQ(nullptr, W(form.ok));
  form.Show();  // and it loads again with fresh windows
  EXPECT_TRUE(IsWindow(Hwnd()));
  EXPECT_EQ("OK", TextOf(W(form.ok)));
}

TEST_F(Win32FormsTest, AFormObjectGoingAwayWhileLoadedTakesItsWindowsWithIt) {
  HWND h = nullptr, button = nullptr;
  {
    KitchenForm temporary{kit, "frmTemporary"};
    temporary.Show();
    temporary.timer->SetInterval(10);
    h = Win32Toolkit::WindowOf(temporary);
    button = Win32Toolkit::WindowOf(*temporary.ok);
    ASSERT_TRUE(IsWindow(h));
  }
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(IsWindow(button));
  PumpFor(kit, 100ms);  // no tick of the gone timer arrives anywhere
}

TEST_F(Win32FormsTest, ExceptionsInHandlersReachTheLoopNotTheSystem) {
  form.Show();
  form.ok->Click = [] { throw std::runtime_error("from a handler"); };
  SendMessageW(W(form.ok), BM_CLICK, 0, 0);  // returns: the exception did not unwind USER32
  EXPECT_THROW(kit.DoEvents(), std::runtime_error);
  EXPECT_NO_THROW(kit.DoEvents());  // reported once
  EXPECT_TRUE(form.Loaded());
}

class DialogForm : public Form {
 public:
  using Form::Form;
  Timer* timer = nullptr;
  CommandButton* close = nullptr;

 protected:
  void BuildLayout() override {
    SetCaption("Dialog");
    Move(1200, 1200, 4800, 3000);
    close = &Add<CommandButton>("cmdClose", -1, "Close", nullptr, 120, 120, 1200, 390);
    timer = &Add<Timer>("tmrClose");
  }
};

TEST_F(Win32FormsTest, ShowModalReturnsOnceTheDialogIsHiddenAndFreesTheOtherWindows) {
  form.Show();
  DialogForm dialog{kit, "frmDialog"};
  dialog.Load();
  bool main_enabled_meanwhile = true;
  bool modal_meanwhile = false;
  dialog.timer->Tick = [&] {
    main_enabled_meanwhile = IsWindowEnabled(Hwnd()) != FALSE;
    modal_meanwhile = dialog.IsModal();
    dialog.Hide();
  };
  dialog.timer->SetInterval(200);
  dialog.ShowModal();
  EXPECT_FALSE(main_enabled_meanwhile);
  EXPECT_TRUE(modal_meanwhile);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_TRUE(dialog.Loaded());
  EXPECT_FALSE(dialog.IsModal());
  EXPECT_TRUE(IsWindowEnabled(Hwnd()));

  // Unloading ends it too, here from the dialog's own button.
  dialog.timer->SetEnabled(false);
  dialog.close->Click = [&] { dialog.Unload(); };
  HWND close = W(dialog.close);
  AfterMs(200, [close] { SendMessageW(close, BM_CLICK, 0, 0); });
  dialog.ShowModal();
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_TRUE(IsWindowEnabled(Hwnd()));
}

TEST_F(Win32FormsTest, EnterAndEscPressTheDefaultAndCancelButtons) {
  form.Show();
  std::vector<std::string> pressed;
  form.ok->Click = [&] { pressed.push_back("ok"); };
  form.cancel->Click = [&] { pressed.push_back("cancel"); };
  SetFocus(W(form.name));
  MSG enter{W(form.name), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  MSG esc{W(form.name), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageW(Hwnd(), &enter));
  EXPECT_TRUE(IsDialogMessageW(Hwnd(), &esc));
  EXPECT_EQ((std::vector<std::string>{"ok", "cancel"}), pressed);
  form.ok->SetEnabled(false);  // a disabled default button is not pressed
  IsDialogMessageW(Hwnd(), &enter);
  EXPECT_EQ((std::vector<std::string>{"ok", "cancel"}), pressed);
}

TEST_F(Win32FormsTest, ALabelsAccessKeyFocusesTheControlAfterIt) {
  form.Show();
  SetFocus(W(form.check));
  ASSERT_EQ(W(form.check), GetFocus());
  MSG alt_n{W(form.check), WM_SYSCHAR, 'n', 1 << 29, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageW(Hwnd(), &alt_n));
  EXPECT_EQ(W(form.name), GetFocus());
}

TEST_F(Win32FormsTest, ADpiChangeScalesEveryControlAndItsFont) {
  form.Load();
  form.Move(300, 300, 4800, 3600);  // twice as large still fits the screen
  const int dpi = Dpi();
  auto font_height = [](HWND h) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
  };
  const int height_before = font_height(W(form.name));
  ASSERT_GT(height_before, 0);
  const int twice = dpi * 2;
  RECT suggested{0, 0, Px(4800, twice), Px(3600, twice)};
  SendMessageW(Hwnd(), WM_DPICHANGED, MAKEWPARAM(twice, twice),
               reinterpret_cast<LPARAM>(&suggested));
  RECT outer{};
  GetWindowRect(Hwnd(), &outer);
  EXPECT_EQ(Px(4800, twice), outer.right - outer.left);
  const RECT name = ChildRect(W(form.name));
  EXPECT_EQ(Px(1080, twice), name.left);
  EXPECT_EQ(Px(2400, twice), name.right - name.left);
  EXPECT_EQ(Px(150 + 120, twice), ChildRect(W(form.option[0])).left);
  EXPECT_EQ(Px(1800, twice), SendMessageW(W(form.view), LVM_GETCOLUMNWIDTH, 0, 0));
  EXPECT_NEAR(2 * height_before, font_height(W(form.name)), 2);
  EXPECT_EQ(font_height(W(form.name)), font_height(W(form.ok)));
  // The model's twips stay what they were.
  EXPECT_EQ(4800, form.Bounds().width);
  RECT client{};
  GetClientRect(Hwnd(), &client);
  EXPECT_NEAR(client.right, Px(form.ScaleWidth(), twice), 1);
}

TEST_F(Win32FormsTest, IconsComeFromTheNamedResourceAndAMissingOneIsNoError) {
  auto icon_width = [](HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return static_cast<int>(bitmap.bmWidth);
  };
  form.SetIconResource("NOSUCHICON");
  form.Load();
  EXPECT_EQ(0, SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0));
  form.SetIconResource("AAA");
  auto big = reinterpret_cast<HICON>(SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0));
  auto small = reinterpret_cast<HICON>(SendMessageW(Hwnd(), WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(nullptr, big);
  ASSERT_NE(nullptr, small);
  EXPECT_EQ(GetSystemMetrics(SM_CXICON), icon_width(big));
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), icon_width(small));
  form.SetIconResource("");
  EXPECT_EQ(0, SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0));
}

TEST_F(Win32FormsTest, TheWindowRegionFollowsTheModel) {
  form.Load();
  const int dpi = Dpi();
  RECT box{};
  EXPECT_EQ(ERROR, GetWindowRgnBox(Hwnd(), &box));
  form.SetRegion(TwipsRect{300, 150, 3000, 1500});
  ASSERT_NE(ERROR, GetWindowRgnBox(Hwnd(), &box));
  EXPECT_EQ(Px(300, dpi), box.left);
  EXPECT_EQ(Px(150, dpi), box.top);
  EXPECT_EQ(Px(300, dpi) + Px(3000, dpi), box.right);
  EXPECT_EQ(Px(150, dpi) + Px(1500, dpi), box.bottom);
  form.SetRegion(std::nullopt);
  EXPECT_EQ(ERROR, GetWindowRgnBox(Hwnd(), &box));
}

BOOL CALLBACK FindTip(HWND h, LPARAM lparam) {
  auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(lparam);
  if (ClassIs(h, TOOLTIPS_CLASSW) && GetWindow(h, GW_OWNER) == found->first) {
    found->second = h;
    return FALSE;
  }
  return TRUE;
}

TEST_F(Win32FormsTest, ToolTipsAreRegisteredForTheirControls) {
  form.Load();
  form.check->SetToolTipText("Turns it on");
  form.name->SetToolTipText("Your name");
  std::pair<HWND, HWND> found{Hwnd(), nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindTip, reinterpret_cast<LPARAM>(&found));
  HWND tip = found.second;
  ASSERT_NE(nullptr, tip);
  auto text_of = [&](HWND tool) {
    wchar_t text[80] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = Hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return std::wstring(text);
  };
  EXPECT_EQ(2, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ(L"Turns it on", text_of(W(form.check)));
  EXPECT_EQ(L"Your name", text_of(W(form.name)));
  form.check->SetToolTipText("");
  EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(Win32FormsTest, ColoursAnswerTheControlColourMessages) {
  form.Load();
  HDC dc = CreateCompatibleDC(nullptr);
  auto brush_colour = [](LRESULT brush) {
    LOGBRUSH info{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof info, &info);
    return info.lbColor;
  };
  form.label->SetColors(0x0000FF, 0x00FF00);
  LRESULT brush = SendMessageW(Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(W(form.label)));
  EXPECT_EQ(0x00FF00u, brush_colour(brush));
  EXPECT_EQ(0x0000FFu, GetTextColor(dc));
  EXPECT_EQ(0x00FF00u, GetBkColor(dc));
  form.label->SetColors(std::nullopt, std::nullopt);
  brush = SendMessageW(Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(W(form.label)));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), brush_colour(brush));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), GetTextColor(dc));
  form.name->SetColors(0x102030, std::nullopt);
  brush = SendMessageW(Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(W(form.name)));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), brush_colour(brush));
  EXPECT_EQ(0x102030u, GetTextColor(dc));
  DeleteDC(dc);
  // Lists paint their own background: the system's window colour until told otherwise.
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), SendMessageW(W(form.view), LVM_GETBKCOLOR, 0, 0));
  form.view->SetColors(std::nullopt, 0x203040);
  EXPECT_EQ(0x203040, SendMessageW(W(form.view), LVM_GETBKCOLOR, 0, 0));
  form.view->SetColors(std::nullopt, std::nullopt);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), SendMessageW(W(form.view), LVM_GETBKCOLOR, 0, 0));
}

// ---------------------------------------------------------------- the toolkit

TEST_F(Win32FormsTest, ActivateByTitleFindsOnlyTheExactTitle) {
  const std::string title = "Norvale test " + std::to_string(GetCurrentProcessId());
  form.Show();
  form.SetCaption(title);
  EXPECT_TRUE(kit.ActivateByTitle(title));
  EXPECT_FALSE(kit.ActivateByTitle(title + " 2"));
  EXPECT_FALSE(kit.ActivateByTitle(""));
  form.Unload();
  EXPECT_FALSE(kit.ActivateByTitle(title));
}

BOOL CALLBACK FindBox(HWND h, LPARAM lparam) {
  if (ClassOf(h) == L"#32770" && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(lparam) = h;
    return FALSE;
  }
  return TRUE;
}

TEST_F(Win32FormsTest, AMessageBoxIsOwnedByTheActiveFormAndReportsTheButton) {
  form.Show();
  SetActiveWindow(Hwnd());
  HWND owner = nullptr;
  std::string title;
  AfterMs(300, [&] {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    owner = GetWindow(box, GW_OWNER);
    title = TextOf(box);
    SendMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
  });
  const MsgBoxResult answer =
      kit.Boxes().MsgBox("Sure?", MsgBoxButtons::YesNo, MsgBoxIcon::Question, "Norvale test");
  EXPECT_EQ(MsgBoxResult::No, answer);
  EXPECT_EQ(Hwnd(), owner);
  EXPECT_EQ("Norvale test", title);
}

// ------------------------------------------------ requests of a second copy

// The window a second copy names for the reply, as it makes one.
struct ReplyWindow {
  ReplyWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NorvaleTestReply";
    RegisterClassW(&wc);  // once per process; later calls fail harmlessly
    hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                           nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ReplyWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  static LRESULT CALLBACK Proc(HWND h, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (message == WM_COPYDATA && self && data && data->dwData == win32::kReplyData) {
      self->reply = std::string(static_cast<const char*>(data->lpData), data->cbData);
      return TRUE;
    }
    return DefWindowProcW(h, message, wparam, lparam);
  }
  HWND hwnd = nullptr;
  std::optional<std::string> reply;
};

struct Request {
  explicit Request(std::string text) : text(std::move(text)) {
    data.dwData = win32::kRequestData;
    data.cbData = static_cast<DWORD>(this->text.size());
    data.lpData = this->text.data();
  }
  LPARAM lparam() { return reinterpret_cast<LPARAM>(&data); }
  std::string text;
  COPYDATASTRUCT data{};
};

TEST_F(Win32FormsTest, ARequestFromAnotherWindowOfTheSameUserIsAnswered) {
  std::vector<std::string> heard;
  kit.Requested = [&](const std::string& request) {
    heard.push_back(request);
    return std::string("0\nEvening 18:00\n");
  };
  HWND target = kit.TrayWindow();
  std::atomic<bool> done{false};
  DWORD_PTR taken = FALSE;
  std::optional<std::string> reply;
  // On a thread of its own, waiting as a second copy waits: the answer must reach
  // it while it waits.
  std::thread sender([&] {
    ReplyWindow window;
    Request request("/list");
    SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(window.hwnd),
                        request.lparam(), SMTO_ABORTIFHUNG, 15000, &taken);
    reply = window.reply;
    done = true;
  });
  const bool answered = PumpUntil(kit, [&] { return done.load(); }, 30s);
  sender.join();
  ASSERT_TRUE(answered);
  EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), taken);
  EXPECT_EQ(std::vector<std::string>{"/list"}, heard);
  EXPECT_EQ("0\nEvening 18:00\n", reply.value_or("<no reply>"));
}

TEST_F(Win32FormsTest, ASenderThatStopsListeningCannotHoldTheProgram) {
  std::vector<std::string> heard;
  kit.Requested = [&](const std::string& request) {
    heard.push_back(request);
    return std::string("0\n");
  };
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND sender = nullptr;
  // Its window lives on a thread that then waits without pumping messages; the
  // window goes with the thread, never having read a message.
  std::thread blocker([&] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NorvaleTestDeaf";
    RegisterClassW(&wc);
    sender = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, wc.hInstance, nullptr);
    SetEvent(ready);
    WaitForSingleObject(release, 30000);
  });
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 10000));
  ASSERT_TRUE(IsWindow(sender));

  Request request("/cancel");
  const auto start = std::chrono::steady_clock::now();
  const LRESULT taken = SendMessageW(kit.TrayWindow(), WM_COPYDATA,
                                     reinterpret_cast<WPARAM>(sender), request.lparam());
  const auto took = std::chrono::steady_clock::now() - start;
  SetEvent(release);
  blocker.join();
  CloseHandle(ready);
  CloseHandle(release);

  EXPECT_LT(took, 10s);
  // Carried out all the same: asking again would cancel twice.
  EXPECT_EQ(TRUE, taken);
  EXPECT_EQ(std::vector<std::string>{"/cancel"}, heard);
}

TEST_F(Win32FormsTest, ARequestNamingNoWindowOrOfAnotherKindIsNotHeard) {
  int heard = 0;
  kit.Requested = [&](const std::string&) {
    ++heard;
    return std::string("0\n");
  };
  ReplyWindow window;
  Request other("/list");
  other.data.dwData = win32::kReplyData;
  EXPECT_EQ(FALSE, SendMessageW(kit.TrayWindow(), WM_COPYDATA,
                                reinterpret_cast<WPARAM>(window.hwnd), other.lparam()));
  Request nobody("/list");
  EXPECT_EQ(FALSE, SendMessageW(kit.TrayWindow(), WM_COPYDATA, 0, nobody.lparam()));
  EXPECT_EQ(0, heard);
  Request mine("/list");
  EXPECT_EQ(TRUE, SendMessageW(kit.TrayWindow(), WM_COPYDATA,
                               reinterpret_cast<WPARAM>(window.hwnd), mine.lparam()));
  EXPECT_EQ(1, heard);
  EXPECT_EQ("0\n", window.reply.value_or("<no reply>"));
}

TEST_F(Win32FormsTest, QuitEndsRunWithTheLoopsExitCode) {
  form.Show();
  form.timer->SetInterval(100);
  int ticks = 0;
  form.timer->Tick = [&] {
    if (++ticks == 3) kit.Quit();
  };
  EXPECT_EQ(0, kit.Run());
  EXPECT_EQ(3, ticks);
}


// ------------------------------------------------- texts the system would clip

// Wine's Tahoma draws some Cyrillic letters past the width it measures them at,
// and the system's group box, header and menu bar clip their texts there.
class CyrillicForm : public Form {
 public:
  using Form::Form;
  Frame* frame = nullptr;
  ListView* view = nullptr;

 protected:
  void BuildLayout() override {
    Move(600, 600, 7200, 4800);
    SetCaption("Cyrillic");
    frame = &Add<Frame>("fraMail", -1, "Настройка электронной почты", nullptr, 120, 120, 4800,
                        1200);
    view = &Add<ListView>("lvHistory", -1, "", nullptr, 120, 1500, 6000, 1800);
    view->AddColumn("Дата и время", 300);  // narrower than its header
    view->AddColumn("Действие", 2400);
    Add<Menu>("mnuAction", -1, "&Действие", nullptr, 0, 0, 0, 0);
    Add<Menu>("mnuActionGo", -1, "&Пуск", Find("mnuAction"), 0, 0, 0, 0);
  }
};

// The leftmost and rightmost column of `dc`'s `area` with a pixel unlike `back`,
// leaving out the rows `skip` names (a frame's border); {0, -1} without any.
template <typename Skip>
std::pair<int, int> InkColumns(HDC dc, const RECT& area, COLORREF back, Skip skip) {
  std::pair<int, int> ink{0, -1};
  bool any = false;
  for (int x = area.left; x < area.right; ++x) {
    for (int y = area.top; y < area.bottom; ++y) {
      if (skip(y) || GetPixel(dc, x, y) == back) continue;
      if (!any) ink.first = x;
      any = true;
      ink.second = x;
      break;
    }
  }
  return ink;
}

// A bitmap `size` wide and high in a memory DC, filled with `back`.
struct Canvas {
  Canvas(int width, int height, COLORREF back) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

// How many columns `text` inks in `font`, in the rows `skip` leaves.
template <typename Skip>
int InkWidth(HFONT font, const std::wstring& text, Skip skip) {
  Canvas canvas(1000, 100, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(canvas.dc, font);
  SetBkMode(canvas.dc, TRANSPARENT);
  SetTextColor(canvas.dc, RGB(0, 0, 0));
  TextOutW(canvas.dc, 10, 0, text.c_str(), static_cast<int>(text.size()));
  SelectObject(canvas.dc, old);
  const auto ink = InkColumns(canvas.dc, RECT{0, 0, 1000, 100}, RGB(255, 255, 255), skip);
  return ink.second - ink.first + 1;
}

TEST_F(Win32FormsTest, CaptionsHeadersAndBarItemsTheSystemWouldClipDrawWhole) {
  CyrillicForm cyrillic{kit, "frmCyrillic"};
  cyrillic.Show();
  PumpFor(kit, 100ms);
  const auto none = [](int) { return false; };

  // The frame's caption, painted into a bitmap: as many columns of ink as the text has.
  HWND frame = W(cyrillic.frame);
  RECT client{};
  GetClientRect(frame, &client);
  auto* frame_font = reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0));
  HDC measure = GetDC(frame);
  HGDIOBJ was = SelectObject(measure, frame_font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(measure, &metrics);
  SelectObject(measure, was);
  ReleaseDC(frame, measure);
  const int line = metrics.tmHeight / 2;
  const auto border = [line](int y) { return y >= line - 1 && y <= line + 2; };
  {
    const COLORREF back = GetSysColor(COLOR_BTNFACE);
    Canvas canvas(client.right, client.bottom, back);
    SendMessageW(frame, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    const RECT caption{3, 0, client.right - 3, metrics.tmHeight};
    // Only the caption inks the band above and below the border's line, left of its end.
    const int want = InkWidth(frame_font, L"Настройка электронной почты", border);
    RECT text_band = caption;
    text_band.right = std::min<LONG>(caption.right, metrics.tmAveCharWidth + want + 1);
    const auto ink = InkColumns(canvas.dc, text_band, back, border);
    EXPECT_GE(ink.second - ink.first + 1, want) << "the frame's caption is cut";
  }

  // The column is as wide as its header draws, and the header shows all of it.
  HWND lv = W(cyrillic.view);
  HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
  auto* header_font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
  const int header_text = InkWidth(header_font, L"Дата и время", none);
  RECT item{};
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_GE(item.right - item.left, header_text + 6 * GetSystemMetrics(SM_CXEDGE));
  {
    RECT header_client{};
    GetClientRect(header, &header_client);
    const COLORREF back = RGB(1, 2, 3);
    Canvas canvas(header_client.right, header_client.bottom, back);
    SendMessageW(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    // Inside the item's edges, on the colour the header filled it with.
    const RECT inside{item.left + 2, item.top + 2, item.right - 3, item.bottom - 3};
    const COLORREF fill = GetPixel(canvas.dc, inside.left, inside.top);
    const auto ink = InkColumns(canvas.dc, inside, fill, none);
    EXPECT_GE(ink.second - ink.first + 1, header_text) << "the column header is cut";
  }

  // The bar's item, as the window shows it.
  HWND form_window = Win32Toolkit::WindowOf(cyrillic);
  HMENU bar = GetMenu(form_window);
  ASSERT_NE(nullptr, bar);
  RECT bar_item{}, window{};
  ASSERT_TRUE(GetMenuItemRect(form_window, bar, 0, &bar_item));
  GetWindowRect(form_window, &window);
  OffsetRect(&bar_item, -window.left, -window.top);
  NONCLIENTMETRICSW nc{};
  nc.cbSize = sizeof nc;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0));
  HFONT menu_font = CreateFontIndirectW(&nc.lfMenuFont);
  const int bar_text = InkWidth(menu_font, L"Действие", none);
  DeleteObject(menu_font);
  EXPECT_GE(bar_item.right - bar_item.left, bar_text + 2);
  RedrawWindow(form_window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  HDC window_dc = GetWindowDC(form_window);
  // The access key's underline may run under the first letter only: the letters count.
  const RECT letters{bar_item.left + 1, bar_item.top + 1, bar_item.right - 1,
                     bar_item.bottom - 1};
  const COLORREF fill = GetPixel(window_dc, letters.left, letters.top);
  const auto ink = InkColumns(window_dc, letters, fill, none);
  ReleaseDC(form_window, window_dc);
  EXPECT_GE(ink.second - ink.first + 1, bar_text) << "the menu bar's item is cut";
  cyrillic.Unload();
}
}  // namespace
}  // namespace norvale
