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
      request = "ExitWindowsEx flags=" + std::to_string(r.flags) + " reason=0";
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

void DryRunPowerControl::Perform(const PowerRequest& request) {
  std::string log;
  DryRunNote note{request.action, log_path_, {}};
  try {
    log = fs_.ReadAll(log_path_);
  } catch (const FileError& e) {
    // Only a first entry starts the log: an unreadable one keeps its record.
    if (fs_.FileExists(log_path_)) note.error = e.description();
  }
  if (note.error.empty()) {
    log += LogLine(clock_.Now(), request);
    try {
      fs_.ReplaceWhole(log_path_, log);
    } catch (const FileError& e) {
      note.error = e.description();
    }
  }
  const std::string message = describe_ ? describe_(note) : EnglishNote(note);
  if (tell_user_) tell_user_(message);
}

}  // namespace norvale
