#include "power/power.h"

namespace norvale {
namespace {

// The types of the old ShutDown call, for the names its requests carry.
std::string_view NameOfType(int32_t type) {
  switch (type) {
    case 0: return kLogOff;
    case 1: return kShutDown;
    case 2: return kReboot;
    case 5: return kHibernate;
    case 6: return kStandBy;
    default: return {};
  }
}

}  // namespace

namespace modPower {

void ExitSystem(PowerControl& power, uint32_t flags, bool force, std::string_view action) {
  // Without force, programs may ask to save their work; only a hung one is closed.
  flags += force ? EWX_FORCE_ : EWX_FORCEIFHUNG_;
  if (power.IsWinNT()) power.EnableShutdownPrivilege();
  power.Perform({std::string(action), PowerRequest::kExitWindows, flags, force});
}

void SetPowerState(PowerControl& power, int16_t fSuspend, bool force, std::string_view action) {
  if (power.IsWinNT()) power.EnableShutdownPrivilege();
  power.Perform({std::string(action), PowerRequest::kSetSystemPowerState,
                 static_cast<uint32_t>(fSuspend), force});
}

bool HibernateAvailable(const PowerControl& power) {
  return power.HibernateAvailable();
}

std::optional<intptr_t> PowerWindowProc(const State& state, const WindowMessage& m) {
  if (m.message == WM_POWERBROADCAST_ && m.lparam == 0 && state.SuspendDisabled) {
    return BROADCAST_QUERY_DENY_;
  }
  return std::nullopt;
}

}  // namespace modPower

CPower::~CPower() {
  if (state_.PrevWndProc && window_) window_->ClearMessageHook();
}

void CPower::DisableSuspend(bool value) {
  const bool was = state_.SuspendDisabled;
  state_.SuspendDisabled = value;
  if (value != was) holds_.Hold(SleepHolds::kPreventStandBy, value, false);
  if (!window_) return;
  if (value && !state_.PrevWndProc) {
    window_->SetMessageHook(
        [this](const WindowMessage& m) { return modPower::PowerWindowProc(state_, m); });
    state_.PrevWndProc = true;
  } else if (!value && state_.PrevWndProc) {
    window_->ClearMessageHook();
    state_.PrevWndProc = false;
  }
}

void CPower::ShutDown(int32_t& type, bool force) {
  if (type == 5 || type == 6) {
    modPower::SetPowerState(power_, static_cast<int16_t>(type - 5), force, NameOfType(type));
  } else {
    modPower::ExitSystem(power_, static_cast<uint32_t>(type), force, NameOfType(type));
  }
}

void CPower::Perform(const PowerAction& action, bool force) {
  switch (action.request) {
    case PowerRequest::kExitWindows:
      modPower::ExitSystem(power_, action.flags, force, action.stored);
      break;
    case PowerRequest::kSetSystemPowerState:
      modPower::SetPowerState(power_, static_cast<int16_t>(action.flags), force, action.stored);
      break;
    case PowerRequest::kNone:
      break;
    default:
      // Locking or darkening the screen needs no privilege and closes nothing.
      power_.Perform({std::string(action.stored), action.request, action.flags, force});
      break;
  }
}

void DoPowerAction(CPower& power, std::string_view action, bool force) {
  if (const PowerAction* a = FindPowerAction(action)) power.Perform(*a, force);
}

}  // namespace norvale
