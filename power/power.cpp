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

PowerOutcome ExitSystem(PowerControl& power, uint32_t flags, bool force, std::string_view action) {
  // Without force, programs may ask to save their work; only a hung one is closed.
  flags += force ? EWX_FORCE_ : EWX_FORCEIFHUNG_;
  if (power.IsWinNT()) power.EnableShutdownPrivilege();
  return power.Perform({std::string(action), PowerRequest::kExitWindows, flags, force});
}

PowerOutcome SetPowerState(PowerControl& power, int16_t fSuspend, bool force,
                           std::string_view action) {
  if (power.IsWinNT()) power.EnableShutdownPrivilege();
  return power.Perform({std::string(action), PowerRequest::kSetSystemPowerState,
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

bool StandsByWithDisplayOff(const PowerCapabilities& caps) {
  return caps.aoac && !caps.s3;
}

PowerRequest RequestFor(const PowerAction& action, bool force, const PowerCapabilities& caps,
                        bool full_shutdown) {
  PowerRequest r{std::string(action.stored), action.request, action.flags, force};
  if (action.stored == kStandBy && StandsByWithDisplayOff(caps)) {
    // SetSystemPowerState would be refused: there is no S3 to enter.
    r.kind = PowerRequest::kDisplayOff;
    r.flags = 0;
  }
  if (r.kind == PowerRequest::kExitWindows) {
    r.flags += force ? modPower::EWX_FORCE_ : modPower::EWX_FORCEIFHUNG_;
    if (action.stored == kShutDown && caps.fast_startup && !full_shutdown) {
      r.flags |= modPower::EWX_HYBRID_SHUTDOWN_;
    }
  }
  return r;
}

PowerOutcome CPower::Perform(const PowerAction& action, bool force) {
  const PowerRequest r = RequestFor(action, force, power_.Capabilities(), full_shutdown_);
  switch (r.kind) {
    case PowerRequest::kNone:
      return {};
    case PowerRequest::kExitWindows:
    case PowerRequest::kSetSystemPowerState:
      if (power_.IsWinNT()) power_.EnableShutdownPrivilege();
      break;
    default:
      // Locking or darkening the screen needs no privilege and closes nothing.
      break;
  }
  return power_.Perform(r);
}

PowerOutcome DoPowerAction(CPower& power, std::string_view action, bool force) {
  if (const PowerAction* a = FindPowerAction(action)) return power.Perform(*a, force);
  return {};
}

}  // namespace norvale
