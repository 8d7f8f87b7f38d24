#pragma once
// Deterministic doubles of the platform services.
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/virtual_clock.h"
#include "platform/file_system.h"
#include "platform/msgbox.h"
#include "platform/power_control.h"
#include "platform/process_launcher.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace norvale::fakes {

using headless::VirtualClock;
using FakeClock = headless::VirtualClock;
using headless::MemoryFileSystem;

// Central European time by the EU's rule (summer time from the last Sunday of
// March to the last Sunday of October, changing at 01:00 UTC), with no zone data.
class CentralEuropeanZone final : public headless::TimeZone {
 public:
  std::chrono::seconds OffsetAt(UtcTime t) const override;

 private:
  mutable UtcTime year_begins_{}, year_ends_{}, summer_begins_{}, summer_ends_{};
};

// Answers message boxes from a script and records every box shown.
class ScriptedMessageBoxes final : public MessageBoxes {
 public:
  struct Shown {
    std::string text;
    MsgBoxButtons buttons;
    MsgBoxIcon icon;
    std::string title;
  };
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                      const std::string& title) override;
  void Answer(MsgBoxResult r) { answers_.push_back(r); }
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  std::deque<MsgBoxResult> answers_;
  std::vector<Shown> shown_;
};

// Records every power request; never performs one.
class RecordingPowerControl final : public PowerControl {
 public:
  bool nt = true;
  bool hibernation_file = false;
  int privilege_calls = 0;
  bool idle_sleep_held = false;
  bool display_held = false;
  int hold_calls = 0;
  std::vector<PowerRequest> requests;
  std::optional<UtcTime> wake_at;  // the wake timer as last armed
  int wake_calls = 0;

  bool IsWinNT() const override { return nt; }
  void EnableShutdownPrivilege() override { ++privilege_calls; }
  // What the computer reports; the hibernation file is `hibernation_file`.
  PowerCapabilities capabilities;
  // Each request is recorded and answered with this (done unless a test refuses).
  PowerOutcome answer;

  PowerOutcome Perform(const PowerRequest& request) override {
    requests.push_back(request);
    return answer;
  }
  bool HibernateAvailable() const override { return hibernation_file; }
  PowerCapabilities Capabilities() const override {
    PowerCapabilities c = capabilities;
    c.hiberfile = hibernation_file;
    return c;
  }
  void HoldOffIdleSleep(bool system, bool display) override {
    idle_sleep_held = system;
    display_held = display;
    ++hold_calls;
  }
  void WakeAt(std::optional<UtcTime> at) override {
    wake_at = at;
    ++wake_calls;
  }
};

// Records what would have been started; the folder picker answers from a script.
class FakeShell final : public Shell {
 public:
  std::vector<std::string> documents;
  std::vector<std::string> commands;
  std::string folder_to_pick;  // "" = the user cancels
  bool succeed = true;

  bool OpenDocument(const std::string& path) override {
    documents.push_back(path);
    return succeed;
  }
  bool StartCommand(const std::string& command_line) override {
    commands.push_back(command_line);
    return succeed;
  }
  std::string BrowseForFolder(const std::string&) override { return folder_to_pick; }
};

class FakeSystemInfo final : public SystemInfo {
 public:
  std::optional<OsVersion> version = OsVersion{2, 10, 0};
  VersionInfo program{"Norvale", "Norvale Labs", "https://norvale.example/", 1, 0};
  std::string exe = "Norvale";
  std::string system_folder;

  std::optional<OsVersion> Version() const override { return version; }
  VersionInfo ProgramVersion() const override { return program; }
  std::string ExeName() const override { return exe; }
  std::string SystemFolder() const override { return system_folder; }
};

// Records launch requests and fails them as told.
class FakeProcessLauncher final : public ProcessLauncher {
 public:
  std::vector<std::string> calls;  // "logon" or "token", with the command line
  uint32_t logon_error = 0;
  uint32_t token_error = 0;
  Step token_failed_step = Step::kLogonUser;

  uint32_t WithLogon(const LogonRequest& r) override {
    calls.push_back("logon " + r.user + " " + r.command_line + " in " + r.current_directory);
    return logon_error;
  }
  uint32_t WithToken(const LogonRequest& r, Step& failed) override {
    calls.push_back("token " + r.user + " " + r.command_line + " in " + r.current_directory);
    failed = token_failed_step;
    return token_error;
  }
};

}  // namespace norvale::fakes
