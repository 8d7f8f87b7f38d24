#include "platform/dry_run_power.h"

#include <cstdio>

namespace norvale {

DryRunPowerControl::DryRunPowerControl(PowerControl& system, FileSystem& fs, const Clock& clock,
                                       std::string log_path,
                                       std::function<void(const std::string&)> tell_user)
    : system_(system),
      fs_(fs),
      clock_(clock),
      log_path_(std::move(log_path)),
      tell_user_(std::move(tell_user)) {}

std::string DryRunPowerControl::LogLine(LocalTime when, const PowerRequest& r) {
  const std::string stamp = IsoMoment(when, 'T');
  std::string request;
  switch (r.kind) {
    case PowerRequest::kExitWindows:
      // The fast-startup bit is named: its decimal value tells a reader nothing.
      request = "ExitWindowsEx flags=" + std::to_string(r.flags) +
                (r.flags & 0x00400000 ? " (EWX_HYBRID_SHUTDOWN)" : "") + " reason=0";
      break;
    case PowerRequest::kSetSystemPowerState:
      request = "SetSystemPowerState fSuspend=" + std::to_string(r.flags) +
                " fForce=" + (r.force ? "1" : "0");
      break;
    case PowerRequest::kLockWorkStation:
      request = "LockWorkStation";
      break;
    case PowerRequest::kDisplayOff:
      request = "SendMessage WM_SYSCOMMAND SC_MONITORPOWER 2";
      break;
    case PowerRequest::kNone:
      request = "none";
      break;
  }
  return stamp + "\t" + (r.action.empty() ? "?" : r.action) + "\t" + request +
         "\tforce=" + (r.force ? "True" : "False") + "\r\n";
}

std::string DryRunPowerControl::EnglishNote(const DryRunNote& note) {
  std::string message = "Dry run: \"" + note.action + "\" was not performed.";
  if (note.error.empty()) return message + " It was written to " + note.log_path + ".";
  return message + " The log could not be written (" + note.error + ").";
}

std::string DryRunPowerControl::WakeLine(LocalTime when, std::optional<UtcTime> at) {
  const std::string stamp = IsoMoment(when, 'T');
  if (!at) return stamp + "\tWake\tCancelWaitableTimer\r\n";
  return stamp + "\tWake\tSetWaitableTimerEx " + IsoMoment(LocalTime{at->time_since_epoch()}, 'T') +
         "Z\r\n";
}

void DryRunPowerControl::Append(const std::string& line, DryRunNote* note) {
  std::string log;
  try {
    log = fs_.ReadAll(log_path_);
  } catch (const FileError& e) {
    // Only a first entry starts the log: an unreadable one keeps its record.
    if (fs_.FileExists(log_path_)) {
      if (note) note->error = e.description();
      return;
    }
  }
  log += line;
  try {
    fs_.ReplaceWhole(log_path_, log);
  } catch (const FileError& e) {
    if (note) note->error = e.description();
  }
}

void DryRunPowerControl::WakeAt(std::optional<UtcTime> at) {
  Append(WakeLine(clock_.Now(), at), nullptr);
  system_.WakeAt(at);
}

PowerOutcome DryRunPowerControl::Perform(const PowerRequest& request) {
  DryRunNote note{request.action, log_path_, {}};
  Append(LogLine(clock_.Now(), request), &note);
  const std::string message = describe_ ? describe_(note) : EnglishNote(note);
  if (tell_user_) tell_user_(message);
  return {};
}

}  // namespace norvale
