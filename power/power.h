#pragma once
// Performing the power actions, and the refusal of idle suspend through the
// main window's messages.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/form.h"
#include "platform/power_control.h"
#include "power/power_actions.h"
#include "power/sleep_holds.h"

namespace norvale {

inline constexpr uint32_t WM_POWERBROADCAST_ = 0x218;
inline constexpr intptr_t BROADCAST_QUERY_DENY_ = 0x424D5144;

namespace modPower {

constexpr uint32_t EWX_FORCE_ = 4;
constexpr uint32_t EWX_FORCEIFHUNG_ = 0x10;

void ExitSystem(PowerControl& power, uint32_t flags, bool force, std::string_view action = {});
void SetPowerState(PowerControl& power, int16_t fSuspend, bool force, std::string_view action = {});
bool HibernateAvailable(const PowerControl& power);

// The program-wide switch the window hook reads.
struct State {
  bool SuspendDisabled = false;
  bool PrevWndProc = false;  // true while the hook is installed on the window
};

// The window hook: refuses a power-broadcast query (lParam 0) while suspend is
// disabled; nullopt passes the message on to the window.
std::optional<intptr_t> PowerWindowProc(const State& state, const WindowMessage& m);

}  // namespace modPower

// The main window's power object: performs the actions and, while asked to,
// refuses suspend queries. Restores the window's own handling when destroyed.
class CPower {
 public:
  explicit CPower(PowerControl& power) : power_(power) {}
  ~CPower();
  CPower(const CPower&) = delete;
  CPower& operator=(const CPower&) = delete;

  void Initialize(Form& window) { window_ = &window; }
  void DisableSuspend(bool value);
  bool DisableSuspend() const { return state_.SuspendDisabled; }
  // 5 and 6 suspend (fSuspend = type - 5); every other type exits Windows.
  void ShutDown(int32_t& type, bool force);
  // The action's request; the shutdown privilege only for those that need it.
  void Perform(const PowerAction& action, bool force);

  const modPower::State& State() const { return state_; }
  // Keep-awake hours ask for the system, and perhaps the display, to stay on;
  // joined with the Prevent Stand By box into one request.
  void KeepAwake(bool system, bool display) {
    holds_.Hold(SleepHolds::kKeepAwakeHours, system, display);
  }
  const SleepHolds& Holds() const { return holds_; }

 private:
  PowerControl& power_;
  Form* window_ = nullptr;
  modPower::State state_;
  SleepHolds holds_{power_};  // released when the window's power object goes
};

// Performs the action of that stored name; any other name does nothing.
void DoPowerAction(CPower& power, std::string_view action, bool force);

}  // namespace norvale
