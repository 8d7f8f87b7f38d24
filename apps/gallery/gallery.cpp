// One control of every kind on one window, to look at the native side of the
// form runtime at any DPI:  Gallery.exe [--seconds N]  (closes itself after N s).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>

#include "platform/forms/form.h"
#include "platform/forms/toolkit.h"
#include "platform/win32/forms/win32_toolkit.h"
#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

constexpr int kClientWidth = 9600;
constexpr int kClientHeight = 6420;

class GalleryForm final : public Form {
 public:
  GalleryForm(Toolkit& kit, int seconds) : Form(kit, "frmGallery"), seconds_(seconds) {}

 protected:
  void BuildLayout() override {
    SetCaption("Norvale Gallery");
    SetIconResource("AAA");
    Move(300, 300, kClientWidth, kClientHeight);

    // Left column: fields with their labels, one access key each.
    Row("&Name:", 120);
    Add<TextBox>("txtName", -1, "Evening shutdown", nullptr, 1200, 90, 2640, 330)
        .SetToolTipText("A text box");
    Row("&Password:", 540);
    Add<TextBox>("txtPassword", -1, "secret", nullptr, 1200, 510, 2640, 330).SetPasswordChar("*");
    Row("&Action:", 960);
    auto& action = Add<ComboBox>("cboAction", -1, "", nullptr, 1200, 930, 2640, 330);
    action.SetComboStyle(ComboBox::kDropdownList);
    for (const char* a : {"Shut down", "Restart", "Log off", "Sleep", "Hibernate"}) {
      action.AddItem(a);
    }
    action.SetListIndex(0);
    Row("De&lay:", 1380);
    auto& delay = Add<ComboBox>("cboDelay", -1, "", nullptr, 1200, 1350, 2640, 330);
    for (const char* d : {"Now", "5 minutes", "15 minutes", "1 hour"}) delay.AddItem(d);
    delay.SetText("10 minutes");
    Row("Da&te:", 1800);
    auto& date = Add<DTPicker>("dtpDate", -1, "", nullptr, 1200, 1770, 2640, 330);
    Row("T&ime:", 2220);
    auto& time = Add<DTPicker>("dtpTime", -1, "", nullptr, 1200, 2190, 2640, 330);
    time.SetPickerFormat(DTPicker::kTime);
    const LocalTime now = Kit().Time().Now();
    date.SetValue(now);
    time.SetValue(now);

    Frame& when = Add<Frame>("fraWhen", -1, "Repeat", nullptr, 120, 2700, 3720, 1380);
    const char* repeats[] = {"&Once", "Dail&y", "&Weekly"};
    for (int i = 0; i < 3; ++i) {
      Add<OptionButton>("optRepeat", i, repeats[i], &when, 180, 300 + 330 * i, 3360, 300);
    }
    static_cast<OptionButton*>(Find("optRepeat", 1))->SetValue(true);
    Add<CheckBox>("chkForce", -1, "Forc&e programs to close", nullptr, 120, 4200, 3720, 300);
    Add<CheckBox>("chkWarn", -1, "Wa&rn me first", nullptr, 120, 4530, 3720, 300).SetValue(1);
    Add<CheckBox>("chkMixed", -1, "Some schedules (mi&xed)", nullptr, 120, 4860, 3720, 300)
        .SetValue(2);

    // Right column: the lists.
    Add<Label>("lblSchedules", -1, "&Schedules:", nullptr, 4080, 120, 3000, 270);
    auto& list = Add<ListView>("lvSchedules", -1, "", nullptr, 4080, 420, 5400, 1920);
    list.AddColumn("Schedule", 1890);
    list.AddColumn("Action", 1380);
    list.AddColumn("Next run", 1890);
    list.SetItems({{"Every evening", {"Shut down", "Today 18:00"}},
                   {"Weeknights", {"Log off", "Mon 22:30"}},
                   {"Monthly reboot", {"Restart", "Jan 1 03:00"}},
                   {"New Year", {"Shut down", "Jan 1 00:00"}}});
    list.SetSelectedItem(0);
    Add<Label>("lblDays", -1, "Wee&kdays:", nullptr, 4080, 2460, 2580, 270);
    auto& days = Add<TreeView>("tvDays", -1, "", nullptr, 4080, 2760, 2580, 1860);
    const char* names[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                           "Friday", "Saturday", "Sunday"};
    for (int i = 0; i < 7; ++i) {
      days.AddNode(names[i], names[i]);
      days.SetChecked(static_cast<size_t>(i), i < 5);
    }
    Add<Label>("lblLog", -1, "Lo&g:", nullptr, 6900, 2460, 2580, 270);
    log_ = &Add<ListBox>("lstLog", -1, "", nullptr, 6900, 2760, 2580, 1860);
    log_->AddItem("Gallery started");

    Add<SkinLabel>("lblClockCaption", -1, "Time now:", nullptr, 4080, 4770, 1200, 270);
    clock_ = &Add<SkinLabel>("lblClock", -1, "", nullptr, 5340, 4770, 1320, 270);
    PictureBox& picture = Add<PictureBox>("picSwatch", -1, "", nullptr, 6900, 4740, 2580, 660);
    picture.SetColors(std::nullopt, 0xE8D8C0);  // light blue, as 0xBBGGRR
    Add<Label>("lblSwatch", -1, "Inside a picture box", &picture, 120, 180, 2340, 270)
        .SetColors(0x7A3A10, 0xE8D8C0);

    Add<Line>("linRule", -1, "", nullptr, 120, 5670, kClientWidth - 240, 30);
    auto& popup = Add<CommandButton>("cmdMenu", -1, "Tray &menu...", nullptr, 120, 5880, 1800, 390);
    popup.Click = [this] { Kit().PopupMenu(*this, *tray_menu_); };
    auto& ok = Add<CommandButton>("cmdOK", -1, "OK", nullptr, 6900, 5880, 1200, 390);
    ok.Default = true;
    ok.Click = [this] { Note("OK pressed"); };
    auto& close = Add<CommandButton>("cmdClose", -1, "&Close", nullptr, 8280, 5880, 1200, 390);
    close.Cancel = true;
    close.Click = [this] { Unload(); };

    tick_ = &Add<Timer>("tmrClock");
    tick_->SetInterval(1000);
    tick_->Tick = [this] { ShowTime(); };
    if (seconds_ > 0) {
      Timer& stop = Add<Timer>("tmrStop");
      stop.SetInterval(seconds_ * 1000);
      stop.Tick = [this] { Unload(); };
    }

    Menu& file = Add<Menu>("mnuFile", -1, "&File", nullptr, 0, 0, 0, 0);
    Add<Menu>("mnuFileNew", -1, "&New schedule", &file, 0, 0, 0, 0).Click = [this] {
      Note("File > New schedule");
    };
    Add<Menu>("mnuFileOpen", -1, "&Open...", &file, 0, 0, 0, 0).Click = [this] {
      Note("File > Open");
    };
    Add<Menu>("mnuFileSep", -1, "-", &file, 0, 0, 0, 0);
    Add<Menu>("mnuFileExit", -1, "E&xit", &file, 0, 0, 0, 0).Click = [this] { Unload(); };
    Menu& view = Add<Menu>("mnuView", -1, "&View", nullptr, 0, 0, 0, 0);
    Menu& wrap = Add<Menu>("mnuViewLog", -1, "&Log messages", &view, 0, 0, 0, 0);
    wrap.SetChecked(true);
    wrap.Click = [&wrap] { wrap.SetChecked(!wrap.Checked()); };
    Add<Menu>("mnuViewGrayed", -1, "&Unavailable", &view, 0, 0, 0, 0).SetEnabled(false);
    tray_menu_ = &Add<Menu>("mnuTray", -1, "Tray", nullptr, 0, 0, 0, 0);
    tray_menu_->SetVisible(false);
    Add<Menu>("mnuTrayShow", -1, "&Show Gallery", tray_menu_, 0, 0, 0, 0).Click = [this] {
      Show();
      SetWindowState(WindowState::Normal);
      Activate();
    };
    Add<Menu>("mnuTraySep", -1, "-", tray_menu_, 0, 0, 0, 0);
    Add<Menu>("mnuTrayExit", -1, "E&xit", tray_menu_, 0, 0, 0, 0).Click = [this] { Unload(); };

    SetClientSize(kClientWidth, kClientHeight);
  }

  void Form_Load() override {
    ShowTime();
    TrayIcon& tray = Kit().Tray();
    tray.OnEvent = [this](TrayEvent e) {
      if (e == TrayEvent::RightUp) Kit().PopupMenu(*this, *tray_menu_);
      if (e == TrayEvent::LeftDoubleClick) {
        Show();
        Activate();
      }
    };
    Note(tray.Add(*this, "Norvale Gallery") ? "Tray icon added" : "No notification area");
  }

  void Form_Unload(int& /*cancel*/) override {
    Kit().Tray().Delete();
    Kit().Tray().OnEvent = nullptr;
    Kit().Quit();
  }

 private:
  void Row(const char* caption, int top) {
    Add<Label>("lblRow", rows_++, caption, nullptr, 120, top, 1020, 270);
  }
  void Note(const std::string& text) {
    log_->AddItem(text);
    log_->SetListIndex(log_->ListCount() - 1);
  }
  void ShowTime() {
    const auto tod = Kit().Time().TimeOfDay();
    const long long s = std::chrono::duration_cast<std::chrono::seconds>(tod).count();
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    clock_->SetCaption(text);
  }

  const int seconds_;
  int rows_ = 0;
  ListBox* log_ = nullptr;
  SkinLabel* clock_ = nullptr;
  Timer* tick_ = nullptr;
  Menu* tray_menu_ = nullptr;
};

int SecondsFromCommandLine() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  int seconds = 0;
  for (int i = 1; argv && i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], L"--seconds") == 0) seconds = std::max(0, _wtoi(argv[i + 1]));
  }
  LocalFree(argv);
  return seconds;
}

}  // namespace
}  // namespace norvale

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace norvale;
  try {
    Win32Toolkit kit(instance);
    GalleryForm gallery(kit, SecondsFromCommandLine());
    gallery.Show();
    return kit.Run();
  } catch (const std::exception& e) {
    Win32MessageBoxes().MsgBox(e.what(), MsgBoxButtons::OK, MsgBoxIcon::Critical,
                               "Norvale Gallery");
    return 1;
  }
}
