#include "power/power_actions.h"

#include "platform/path.h"

namespace norvale {
namespace {

using K = PowerRequest::Kind;

// The order of every list and of the Action menu.
constexpr PowerAction kActions[] = {
    {kHibernate, "MSG_HIBERNATE", "Hibernate", "&Hibernate", K::kSetSystemPowerState, 0, true, true,
     true},
    {kShutDown, "MSG_SHUTDOWN", "Shut Down", "&Shut Down", K::kExitWindows, 1, true, false, true},
    {kReboot, "MSG_REBOOT", "Reboot", "&Reboot", K::kExitWindows, 2, true, false, true},
    {kLogOff, "MSG_LOGOFF", "Log Off", "&Log Off", K::kExitWindows, 0, true, false, true},
    {kStandBy, "MSG_STANDBY", "Stand By", "Stand &By", K::kSetSystemPowerState, 1, true, false,
     true},
    {kLock, "MSG_LOCK", "Lock", "Loc&k", K::kLockWorkStation, 0, false, false, true},
    {kTurnOffDisplay, "MSG_DISPLAYOFF", "Turn Off Display", "Turn Off &Display", K::kDisplayOff, 0,
     false, false, true},
    {kKeepAwake, "MSG_KEEPAWAKE", "Keep Awake", "", K::kNone, 0, false, false, false},
};

}  // namespace

std::span<const PowerAction> PowerActions() {
  return kActions;
}

const PowerAction* FindPowerAction(std::string_view stored) {
  for (const PowerAction& a : kActions) {
    if (a.stored == stored) return &a;
  }
  return nullptr;
}

bool EndsSession(std::string_view stored) {
  const PowerAction* a = FindPowerAction(stored);
  return a && a->ends_session;
}

std::vector<std::string> PowerActionList(const PowerControl& power) {
  std::vector<std::string> list;
  for (const PowerAction& a : kActions) {
    if (!a.momentary || (a.needs_hibernation && !power.HibernateAvailable())) continue;
    list.emplace_back(a.stored);
  }
  return list;
}

std::vector<std::string> ScheduleActionList(const PowerControl& power) {
  std::vector<std::string> list = PowerActionList(power);
  for (const PowerAction& a : kActions) {
    if (!a.momentary) list.emplace_back(a.stored);
  }
  return list;
}

std::string CommandLineActionName(std::string_view name) {
  for (const PowerAction& a : kActions) {
    if (a.momentary && (EqualsIgnoringCase(name, a.stored) || EqualsIgnoringCase(name, a.caption))) {
      return std::string(a.stored);
    }
  }
  return {};
}

}  // namespace norvale
