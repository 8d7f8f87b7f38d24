#include <windows.h>

#include "platform/win32/msgbox_style.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_services.h"

namespace norvale {

unsigned MessageBoxStyle(MsgBoxButtons buttons, MsgBoxIcon icon) {
  // The program asks from the tray, with no window in front; without
  // MB_SETFOREGROUND the box would open behind whatever the user works in.
  UINT style = MB_SETFOREGROUND;
  switch (buttons) {
    case MsgBoxButtons::OK:
      style |= MB_OK;
      break;
    case MsgBoxButtons::OKCancel:
      style |= MB_OKCANCEL;
      break;
    case MsgBoxButtons::OKCancelSafe:
      style |= MB_OKCANCEL | MB_DEFBUTTON2;
      break;
    case MsgBoxButtons::YesNo:
      style |= MB_YESNO;
      break;
    case MsgBoxButtons::AbortRetryIgnore:
      style |= MB_ABORTRETRYIGNORE;
      break;
  }
  switch (icon) {
    case MsgBoxIcon::None:
      break;
    case MsgBoxIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
    case MsgBoxIcon::Exclamation:
      style |= MB_ICONEXCLAMATION;
      break;
    case MsgBoxIcon::Critical:
      style |= MB_ICONERROR;
      break;
    case MsgBoxIcon::Question:
      style |= MB_ICONQUESTION;
      break;
  }
  return style;
}

MsgBoxResult MessageBoxAnswer(int pressed, MsgBoxButtons buttons) {
  switch (buttons) {
    case MsgBoxButtons::OK:
      return MsgBoxResult::OK;
    case MsgBoxButtons::OKCancel:
    case MsgBoxButtons::OKCancelSafe:
      return pressed == IDOK ? MsgBoxResult::OK : MsgBoxResult::Cancel;
    case MsgBoxButtons::YesNo:
      return pressed == IDYES ? MsgBoxResult::Yes : MsgBoxResult::No;
    case MsgBoxButtons::AbortRetryIgnore:
      if (pressed == IDRETRY) return MsgBoxResult::Retry;
      if (pressed == IDIGNORE) return MsgBoxResult::Ignore;
      return MsgBoxResult::Abort;
  }
  return MsgBoxResult::Cancel;
}

MsgBoxResult Win32MessageBoxes::MsgBox(const std::string& text, MsgBoxButtons buttons,
                                       MsgBoxIcon icon, const std::string& title) {
  const int pressed = MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(),
                                  MessageBoxStyle(buttons, icon));
  return MessageBoxAnswer(pressed, buttons);
}

}  // namespace norvale
