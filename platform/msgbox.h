#pragma once
// Message boxes with the button sets the program uses; the title is always a
// fixed literal of the caller.
#include <string>

namespace norvale {

// OKCancelSafe: OK and Cancel with Cancel as the default button, for questions
// whose OK does something that cannot be taken back.
enum class MsgBoxButtons { OK, OKCancel, YesNo, AbortRetryIgnore, OKCancelSafe };
enum class MsgBoxIcon { None, Information, Exclamation, Critical, Question };
enum class MsgBoxResult { OK, Cancel, Yes, No, Abort, Retry, Ignore };

// The answer a box gives when nobody chooses: the safe one (OK, Cancel, No, Abort).
MsgBoxResult DefaultAnswer(MsgBoxButtons buttons);

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                              const std::string& title) = 0;
};

}  // namespace norvale
