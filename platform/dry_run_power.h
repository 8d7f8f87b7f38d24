#pragma once
// A power control that performs nothing: every request is appended to a log and
// the user is told, so schedules can be tried safely.
#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/power_control.h"

namespace norvale {

inline constexpr const char* kDryRunLogName = "DryRun.log";

// What a dry run did with one request, for the words the user is told.
struct DryRunNote {
  std::string action;    // the stored name
  std::string log_path;  // where it was written
  std::string error;     // why the log could not be written; empty when it was
};

class DryRunPowerControl final : public PowerControl {
 public:
  // Questions about the system (NT, hibernation) and the idle-sleep hold, which
  // performs no action, go to `system`.
  DryRunPowerControl(PowerControl& system, FileSystem& fs, const Clock& clock, std::string log_path,
                     std::function<void(const std::string&)> tell_user);

  bool IsWinNT() const override { return system_.IsWinNT(); }
  void EnableShutdownPrivilege() override {}
  // Always done: nothing was asked of the system.
  PowerOutcome Perform(const PowerRequest& request) override;
  bool HibernateAvailable() const override { return system_.HibernateAvailable(); }
  PowerCapabilities Capabilities() const override { return system_.Capabilities(); }
  void HoldOffIdleSleep(bool system, bool display) override {
    system_.HoldOffIdleSleep(system, display);
  }
  // Armed on the system too, so a wake can be tried; the moment is logged.
  void WakeAt(std::optional<UtcTime> at) override;

  // The words the user is told, in the program's language; plain English without.
  void SetDescribe(std::function<std::string(const DryRunNote&)> describe) {
    describe_ = std::move(describe);
  }
  static std::string EnglishNote(const DryRunNote& note);

  // One log line: ISO time, action, request, force.
  static std::string LogLine(LocalTime when, const PowerRequest& request);
  // The wake timer's line: "SetWaitableTimerEx 2026-12-14T02:58:45Z", or its cancel.
  static std::string WakeLine(LocalTime when, std::optional<UtcTime> at);

 private:
  PowerControl& system_;
  FileSystem& fs_;
  const Clock& clock_;
  std::string log_path_;
  std::function<void(const std::string&)> tell_user_;
  std::function<std::string(const DryRunNote&)> describe_;
  void Append(const std::string& line, DryRunNote* note);
};

}  // namespace norvale
