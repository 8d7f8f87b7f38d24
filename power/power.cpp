#include "power/power.h"

namespace norvale {
namespace {

struct ActionRow {
  std::string_view name;
  int32_t type;
};
constexpr ActionRow kActions[] = {
    {kLogOff, 0}, {kShutDown, 1}, {kReboot, 2}, {kHibernate, 5}, {kStandBy, 6},
};

std::string_view NameOfType(int32_t type) {
  for (const ActionRow& a : kActions) {
    if (a.type == type) return a.name;
  }
  return {};
}

}  // namespace

std::optional<int32_t> ShutDownTypeOf(std::string_view action) {
  for (const ActionRow& a : kActions) {
    if (a.name == action) return a.type;
  }
  return std::nullopt;
}

std::vector<std::string> PowerActionList(const PowerControl& power) {
  std::vector<std::string> list;
  if (modPower::HibernateAvailable(power)) list.emplace_back(kHibernate);
  for (auto name : {kShutDown, kReboot, kLogOff, kStandBy}) list.emplace_back(name);
  return list;
}

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
  if (state_.SuspendDisabled) power_.HoldOffIdleSleep(false);
}

void CPower::DisableSuspend(bool value) {
  const bool was = state_.SuspendDisabled;
  state_.SuspendDisabled = value;
  if (value != was) power_.HoldOffIdleSleep(value);
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

void DoPowerAction(CPower& power, std::string_view action, bool force) {
  auto type = ShutDownTypeOf(action);
  if (type) power.ShutDown(*type, force);
}

}  // namespace norvale
