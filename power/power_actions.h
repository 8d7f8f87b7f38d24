#pragma once
// Every action the program can perform, one row each. The menus, the action
// lists, the editor, the command line, the history and the help read this
// table; adding an action is one row here and its request in platform/.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/power_control.h"

namespace norvale {

// Stored names, compared exactly: schedule files and the history hold them.
inline constexpr std::string_view kLogOff = "Log Off";
inline constexpr std::string_view kShutDown = "Shut Down";
inline constexpr std::string_view kReboot = "Reboot";
inline constexpr std::string_view kHibernate = "Hibernate";
inline constexpr std::string_view kStandBy = "Stand by";
inline constexpr std::string_view kLock = "Lock";
inline constexpr std::string_view kTurnOffDisplay = "Turn Off Display";
// Not performed at a moment: the schedule keeps the computer awake for a span.
inline constexpr std::string_view kKeepAwake = "Keep Awake";

struct PowerAction {
  std::string_view stored;
  const char* key;      // the catalogue key of its shown name
  const char* caption;  // its shown name in English
  const char* menu;     // the Action menu's English caption, with its access key
  PowerRequest::Kind request;
  uint32_t flags;  // ExitWindowsEx flags, or fSuspend
  // Performing it ends the session or stops the computer: what waits behind it
  // is missed, and Windows asks for the shutdown privilege.
  bool ends_session;
  bool needs_hibernation;
  // Offered at a moment (quick row, menus, command line); a span is for schedules only.
  bool momentary;
};

// In the order every list and menu shows them.
std::span<const PowerAction> PowerActions();
// The row of a stored name; nullptr for any other text.
const PowerAction* FindPowerAction(std::string_view stored);
// Whether performing `stored` takes the computer or the session away.
bool EndsSession(std::string_view stored);

// What the quick row, the menus and the command line offer here: the momentary
// actions, Hibernate only where it works.
std::vector<std::string> PowerActionList(const PowerControl& power);
// What a schedule may be: every action offered here, and the spans.
std::vector<std::string> ScheduleActionList(const PowerControl& power);

// The stored name the command line's `name` names, ignoring case ("shut down"
// is "Shut Down"); "" for none. Only momentary actions.
std::string CommandLineActionName(std::string_view name);

}  // namespace norvale
