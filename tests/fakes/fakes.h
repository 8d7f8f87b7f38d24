#pragma once
// Deterministic doubles of the platform services.
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/msgbox.h"
#include "platform/power_control.h"
#include "platform/process_launcher.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace norvale::fakes {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(LocalTime now = {}) : now_(now) {}
  // "2026-12-04 10:00:00" style moment in local time.
  static LocalTime At(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0);
  LocalTime Now() const override { return now_; }
  void Set(LocalTime now) { now_ = now; }
  void Advance(std::chrono::milliseconds by) { now_ += by; }

 private:
  LocalTime now_;
};

// Folders and files in memory, names compared ignoring case, listing in the order
// files were first created. Any operation can be made to fail once.
class MemoryFileSystem final : public FileSystem {
 public:
  explicit MemoryFileSystem(std::string program_folder = "C:\\Program Files\\Norvale");

  std::vector<std::string> ListFiles(const std::string& folder,
                                     std::string_view pattern) const override;
  std::string ReadAll(const std::string& path) const override;
  void ReplaceWhole(const std::string& path, std::string_view bytes) override;
  void RemoveFile(const std::string& path) override;
  bool FolderExists(const std::string& path) const override;
  void CreateFolder(const std::string& path) override;
  bool FileExists(const std::string& path) const override;
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  std::string ProgramFolder() const override { return program_folder_; }

  // Test set-up: a file written directly, as if by hand.
  void Put(const std::string& path, std::string bytes);
  std::optional<std::string> Get(const std::string& path) const;
  // The next ReplaceWhole / RemoveFile / CreateFolder throws `kind`.
  void FailNextWrite(FileErrorKind kind) { fail_write_ = kind; }
  // Every ReadAll of `path` throws.
  void FailReadsOf(const std::string& path) { unreadable_.insert(Key(path)); }
  size_t WriteCount() const { return writes_; }

 private:
  struct Entry {
    std::string path;  // as first written
    std::string bytes;
  };
  static std::string Key(std::string_view path);
  const Entry* Find(const std::string& path) const;
  void MaybeFail(const std::string& path);

  std::string program_folder_;
  std::vector<Entry> files_;
  std::set<std::string> folders_;  // keys
  std::set<std::string> unreadable_;
  std::optional<FileErrorKind> fail_write_;
  size_t writes_ = 0;
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
  std::vector<PowerRequest> requests;

  bool IsWinNT() const override { return nt; }
  void EnableShutdownPrivilege() override { ++privilege_calls; }
  void Perform(const PowerRequest& request) override { requests.push_back(request); }
  bool HibernateAvailable() const override { return hibernation_file; }
  void HoldOffIdleSleep(bool on) override { idle_sleep_held = on; }
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

  std::optional<OsVersion> Version() const override { return version; }
  VersionInfo ProgramVersion() const override { return program; }
  std::string ExeName() const override { return exe; }
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
