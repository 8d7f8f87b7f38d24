#include "tests/fakes/fakes.h"

#include "platform/path.h"

namespace norvale::fakes {

MsgBoxResult ScriptedMessageBoxes::MsgBox(const std::string& text, MsgBoxButtons buttons,
                                          MsgBoxIcon icon, const std::string& title) {
  shown_.push_back({text, buttons, icon, title});
  if (!answers_.empty()) {
    const MsgBoxResult r = answers_.front();
    answers_.pop_front();
    return r;
  }
  switch (buttons) {
    case MsgBoxButtons::OK:
      return MsgBoxResult::OK;
    case MsgBoxButtons::OKCancel:
      return MsgBoxResult::Cancel;
    case MsgBoxButtons::YesNo:
      return MsgBoxResult::No;
    case MsgBoxButtons::AbortRetryIgnore:
      return MsgBoxResult::Abort;
  }
  return MsgBoxResult::Cancel;
}

}  // namespace norvale::fakes
