#include "platform/win32/forms/win32_toolkit.h"

#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/forms/form_window.h"
#include "platform/win32/forms/handles.h"
#include "platform/win32/forms/menus.h"
#include "platform/win32/forms/toolkit_core.h"
#include "platform/win32/forms/tray_icon.h"
#include "platform/win32/forms/window.h"
#include "platform/win32/msgbox_style.h"
#include "platform/win32/remote_request.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

using win32::FormWindow;
using win32::ToolkitCore;
using win32::Win32Tray;

// Who runs a process, as its token tells.
struct Identity {
  std::vector<BYTE> user;  // a TOKEN_USER
  DWORD integrity = 0;     // the last part of the mandatory label
};

std::vector<BYTE> TokenInfo(HANDLE token, TOKEN_INFORMATION_CLASS what) {
  DWORD size = 0;
  GetTokenInformation(token, what, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> info(size);
  if (!GetTokenInformation(token, what, info.data(), size, &size)) return {};
  return info;
}

std::optional<Identity> IdentityOf(HANDLE process) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
  const win32::UniqueKernelHandle token(raw);
  Identity id;
  id.user = TokenInfo(token.get(), TokenUser);
  const std::vector<BYTE> label = TokenInfo(token.get(), TokenIntegrityLevel);
  if (id.user.size() < sizeof(TOKEN_USER) || label.size() < sizeof(TOKEN_MANDATORY_LABEL)) {
    return std::nullopt;
  }
  PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  if (!IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
  id.integrity = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
  return id;
}

// A request can set the computer to shut down: only the same user's
// programs, no less trusted than this one, may make it.
bool MayAsk(HWND sender) {
  DWORD pid = 0;
  GetWindowThreadProcessId(sender, &pid);
  if (pid == 0) return false;
  const win32::UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return false;
  const std::optional<Identity> theirs = IdentityOf(process.get());
  const std::optional<Identity> ours = IdentityOf(GetCurrentProcess());
  if (!theirs || !ours) return false;
  const auto* their_user = reinterpret_cast<const TOKEN_USER*>(theirs->user.data());
  const auto* our_user = reinterpret_cast<const TOKEN_USER*>(ours->user.data());
  return EqualSid(their_user->User.Sid, our_user->User.Sid) &&
         theirs->integrity >= ours->integrity;
}

// Never shown; a top-level window rather than a message-only one, since only
// top-level windows hear the "TaskbarCreated" broadcast.
class HiddenWindow final : public win32::Window {
 public:
  HiddenWindow(ToolkitCore& core, Win32Tray& tray, Toolkit& kit)
      : Window(core.errors()),
        tray_(tray),
        kit_(kit),
        taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {
    static constexpr const wchar_t* kClass = win32::kToolkitWindowClass;
    RegisterClassOnce(core.instance(), kClass, 0, nullptr);
    CreateNative(core.instance(), kClass, L"", WS_POPUP, WS_EX_TOOLWINDOW, RECT{0, 0, 0, 0},
                 nullptr);
    // An elevated process would not hear Explorer's restart otherwise. Requests
    // stay filtered: a less trusted program must not make this one act for it.
    if (hwnd() && taskbar_created_) {
      ChangeWindowMessageFilterEx(hwnd(), taskbar_created_, MSGFLT_ALLOW, nullptr);
    }
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == Win32Toolkit::kTrayCallbackMessage) {
      tray_.OnCallback(lparam);
      return 0;
    }
    if (taskbar_created_ && message == taskbar_created_) {
      tray_.OnTaskbarCreated();
      return 0;
    }
    if (message == WM_COPYDATA) return OnRequest(reinterpret_cast<HWND>(wparam), lparam);
    return Default(message, wparam, lparam);
  }

  // FALSE tells the sender to try again (the program is not taking requests yet)
  // or that it is not one to take requests from.
  LRESULT OnRequest(HWND sender, LPARAM lparam) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (!data || data->dwData != win32::kRequestData || !kit_.Requested || !IsWindow(sender) ||
        !MayAsk(sender)) {
      return FALSE;
    }
    const std::string request(static_cast<const char*>(data->lpData), data->cbData);
    std::string reply;
    try {
      reply = kit_.Requested(request);
    } catch (const std::exception& e) {
      reply = std::string("3\nNorvale could not carry out the request: ") + e.what() + "\n";
    }
    COPYDATASTRUCT answer{};
    answer.dwData = win32::kReplyData;
    answer.cbData = static_cast<DWORD>(reply.size());
    answer.lpData = reply.data();
    // A sender that stopped reading its messages must not hold the program up.
    // The request was carried out whether or not the reply arrives: TRUE keeps
    // the sender from asking again.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd()),
                        reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                        kReplyTimeoutMs, &ignored);
    return TRUE;
  }

  static constexpr UINT kReplyTimeoutMs = 2000;

  Win32Tray& tray_;
  Toolkit& kit_;
  const UINT taskbar_created_;
};

// Owned by the active window, so the box is modal to it; task-modal without one.
class OwnedMessageBoxes final : public MessageBoxes {
 public:
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                      const std::string& title) override {
    HWND owner = GetActiveWindow();
    const UINT style = MessageBoxStyle(buttons, icon) | (owner ? 0 : MB_TASKMODAL);
    const int pressed = MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), style);
    return MessageBoxAnswer(pressed, buttons);
  }
};

FormWindow* WindowPeer(const Form& form) {
  return form.Loaded() ? dynamic_cast<FormWindow*>(form.Peer()) : nullptr;
}

struct ThreadWindows {
  HWND except;
  HWND hidden;
  ToolkitCore* core;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lparam) {
  auto* windows = reinterpret_cast<ThreadWindows*>(lparam);
  if (hwnd == windows->except || hwnd == windows->hidden || !IsWindowEnabled(hwnd)) return TRUE;
  if (GetWindow(hwnd, GW_OWNER) == windows->except) return TRUE;  // the dialog's own tips
  // Hidden helper windows (input methods, tips) stay as they are; forms are all disabled.
  if (!IsWindowVisible(hwnd) && !windows->core->FormOf(hwnd)) return TRUE;
  windows->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

struct Win32Toolkit::Impl {
  Impl(HINSTANCE instance, Toolkit& kit)
      : core(instance), tray(core, kTrayIconId, kTrayCallbackMessage), hidden(core, tray, kit) {
    tray.SetWindow(hidden.hwnd());
  }
  ~Impl() { tray.Remove(); }  // an icon left behind would stay until the mouse passes over it
  ToolkitCore core;
  Win32Clock clock;
  OwnedMessageBoxes boxes;
  Win32Tray tray;
  HiddenWindow hidden;
};

Win32Toolkit::Win32Toolkit(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                   ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
  impl_ = std::make_unique<Impl>(instance ? instance : GetModuleHandleW(nullptr), *this);
}

Win32Toolkit::~Win32Toolkit() = default;

std::unique_ptr<FormPeer> Win32Toolkit::CreatePeer(Form& form) {
  return std::make_unique<FormWindow>(impl_->core, form);
}

void Win32Toolkit::RunModal(Form& form) {
  // Whatever ends the loop (an exception included), the other windows come back.
  struct Restore {
    Form& form;
    std::vector<HWND> disabled;
    HWND previous;
    ~Restore() {
      for (auto it = disabled.rbegin(); it != disabled.rend(); ++it) {
        if (IsWindow(*it)) EnableWindow(*it, TRUE);
      }
      if (previous && IsWindow(previous) && IsWindowVisible(previous)) {
        SetForegroundWindow(previous);
        SetActiveWindow(previous);
      }
      form.EndModal();
    }
  };
  FormWindow* peer = WindowPeer(form);
  Restore restore{form, {}, peer ? peer->activated_from() : nullptr};
  if (!peer || !peer->hwnd()) return;
  HWND dialog = peer->hwnd();
  if (restore.previous == dialog) restore.previous = nullptr;

  ThreadWindows windows{dialog, impl_->hidden.hwnd(), &impl_->core, {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&windows));
  for (HWND w : windows.found) EnableWindow(w, FALSE);
  restore.disabled = std::move(windows.found);
  if (IsWindowVisible(dialog)) SetForegroundWindow(dialog);

  MSG msg;
  while (form.Loaded() && form.Visible()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside this one
      break;
    }
    if (got == -1) break;
    impl_->core.Dispatch(msg);
    impl_->core.errors().RethrowPending();
  }
}

void Win32Toolkit::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    impl_->core.Dispatch(msg);
    impl_->core.errors().RethrowPending();
  }
  impl_->core.errors().RethrowPending();
}

int Win32Toolkit::Run() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    impl_->core.Dispatch(msg);
    impl_->core.errors().RethrowPending();
  }
}

MessageBoxes& Win32Toolkit::Boxes() {
  return impl_->boxes;
}
TrayIcon& Win32Toolkit::Tray() {
  return impl_->tray;
}
const Clock& Win32Toolkit::Time() const {
  return impl_->clock;
}
HINSTANCE Win32Toolkit::Instance() const {
  return impl_->core.instance();
}
HWND Win32Toolkit::TrayWindow() const {
  return impl_->hidden.hwnd();
}

void Win32Toolkit::ClosePopupMenu() {
  EndMenu();
}

void Win32Toolkit::PopupMenu(Form& owner, Menu& menu) {
  FormWindow* peer = WindowPeer(owner);
  HWND hwnd = peer && peer->hwnd() ? peer->hwnd() : impl_->hidden.hwnd();
  Form& form = menu.Parent();
  std::vector<const Menu*> items;
  win32::UniqueMenu popup(CreatePopupMenu());
  if (!popup) return;
  win32::AppendMenuItems(popup.get(), form, &menu, [&items](const Menu& item) {
    items.push_back(&item);
    return static_cast<UINT>(items.size());
  });
  if (GetMenuItemCount(popup.get()) <= 0) return;

  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(hwnd);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenuEx(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, hwnd, nullptr));
  PostMessageW(hwnd, WM_NULL, 0, 0);
  popup.reset();
  if (chosen == 0 || chosen > items.size()) return;
  // The item must still be one of the form's: a timer may have reloaded it meanwhile.
  const Menu* item = items[chosen - 1];
  for (const auto& c : form.Controls()) {
    if (c.get() == item) {
      c->UserClick();
      return;
    }
  }
}

bool Win32Toolkit::ActivateByTitle(const std::string& title) {
  if (title.empty()) return false;
  HWND hwnd = FindWindowW(nullptr, Widen(title).c_str());
  if (!hwnd) return false;
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
  return true;
}

void Win32Toolkit::Quit() {
  PostQuitMessage(0);
}

HWND Win32Toolkit::WindowOf(const Form& form) {
  FormWindow* peer = WindowPeer(form);
  return peer ? peer->hwnd() : nullptr;
}

HWND Win32Toolkit::WindowOf(const Control& control) {
  auto* peer = dynamic_cast<win32::FormChild*>(control.Peer());
  return peer ? peer->hwnd() : nullptr;
}

}  // namespace norvale
