#include "tests/fakes/fakes.h"

#include "platform/path.h"

namespace norvale::fakes {

std::chrono::seconds CentralEuropeanZone::OffsetAt(UtcTime t) const {
  using namespace std::chrono;
  if (t < year_begins_ || t >= year_ends_) {  // the change instants of t's year, once
    const year y = year_month_day{floor<days>(t)}.year();
    year_begins_ = sys_days{y / January / 1};
    year_ends_ = sys_days{(y + years{1}) / January / 1};
    summer_begins_ = sys_days{y / March / Sunday[last]} + hours{1};
    summer_ends_ = sys_days{y / October / Sunday[last]} + hours{1};
  }
  return t >= summer_begins_ && t < summer_ends_ ? hours{2} : hours{1};
}

MsgBoxResult ScriptedMessageBoxes::MsgBox(const std::string& text, MsgBoxButtons buttons,
                                          MsgBoxIcon icon, const std::string& title) {
  shown_.push_back({text, buttons, icon, title});
  if (!answers_.empty()) {
    const MsgBoxResult r = answers_.front();
    answers_.pop_front();
    return r;
  }
  return DefaultAnswer(buttons);
}

}  // namespace norvale::fakes
