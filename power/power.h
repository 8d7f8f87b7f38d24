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
// Shut down so that the next start resumes the kernel (fast startup).
constexpr uint32_t EWX_HYBRID_SHUTDOWN_ = 0x00400000;

PowerOutcome ExitSystem(PowerControl& power, uint32_t flags, bool force,
                        std::string_view action = {});
PowerOutcome SetPowerState(PowerControl& power, int16_t fSuspend, bool force,
                           std::string_view action = {});
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

// Whether Stand By on this computer is the display going off: Modern Standby
// has no S3, and Windows enters it when the display goes off.
bool StandsByWithDisplayOff(const PowerCapabilities& caps);

// The request `action` makes on a computer of `caps`: Stand By turns the display
// off where Modern Standby replaces S3; Shut Down keeps fast startup (a hybrid
// shut-down) where it is on, unless `full_shutdown`. Force as ExitSystem adds it.
PowerRequest RequestFor(const PowerAction& action, bool force, const PowerCapabilities& caps,
                        bool full_shutdown);

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
  PowerOutcome Perform(const PowerAction& action, bool force);
  // "Shut down fully (no fast startup)" as General Preferences holds it.
  void SetFullShutdown(bool full) { full_shutdown_ = full; }

  const modPower::State& State() const { return state_; }
  // Keep-awake hours ask for the system, and perhaps the display, to stay on;
  // joined with the Prevent Stand By box into one request.
  void KeepAwake(bool system, bool display) {
    holds_.Hold(SleepHolds::kKeepAwakeHours, system, display);
  }
  // Woken to run a schedule: the system stays on until that run is done with.
  void HoldForWake(bool on) { holds_.Hold(SleepHolds::kWokenToRun, on, false); }
  const SleepHolds& Holds() const { return holds_; }

 private:
  PowerControl& power_;
  Form* window_ = nullptr;
  modPower::State state_;
  SleepHolds holds_{power_};  // released when the window's power object goes
  bool full_shutdown_ = true;
};

// Performs the action of that stored name; any other name does nothing.
PowerOutcome DoPowerAction(CPower& power, std::string_view action, bool force);

}  // namespace norvale
