#pragma once
// The meeting of our button sets and icons with MessageBoxW, kept apart from the
// call so it can be checked without a box on the screen.
#include "platform/msgbox.h"

namespace norvale {

// MB_* flags for MessageBoxW.
unsigned MessageBoxStyle(MsgBoxButtons buttons, MsgBoxIcon icon);
// The answer for MessageBoxW's return value. When no box could be shown (0) or
// the value fits no button of the set, the answer is the one that lets nothing
// happen: Cancel, No or Abort.
MsgBoxResult MessageBoxAnswer(int pressed, MsgBoxButtons buttons);

}  // namespace norvale
