#pragma once
// Norvale.exe's switches.
#include <string>
#include <string_view>
#include <vector>

namespace norvale {

// "/dryrun" (or "-dryrun", "--dry-run"): power actions are logged, never performed.
inline constexpr const char* kDryRunSwitch = "/dryrun";

// "/writelocalization": rewrites Localization.txt with the English texts of every
// window, then ends; for translators and for keeping the shipped file current.
inline constexpr const char* kWriteLocalizationSwitch = "/writelocalization";

// "/show:<window>" (frmMain, frmWizard, frmOptions, frmLanguage, frmAbout,
// frmStillRunning, frmSplash, frmCountdown, frmHistory, frmWhenIdle, frmWhenEnds,
// or all): opens that window at
// start, for documentation and screenshots; the countdown stands still.
inline constexpr const char* kShowSwitch = "/show:";

// "/tray": starts hidden in the notification area; what a request starts when
// no copy runs yet.
inline constexpr const char* kTraySwitch = "/tray";

// What a script asks of the running program.
struct Request {
  enum class Kind { None, Quick, Cancel, List, Usage };
  enum class When { In, At, Idle, Ends };
  Kind kind = Kind::None;
  std::string action;  // the stored name, "Shut Down"
  When when = When::In;
  int minutes = 0;      // In, Idle
  int at_minute = 0;    // At: minutes after midnight
  std::string program;  // Ends: a process id or an executable's name
};

struct CommandLine {
  bool dry_run = false;
  bool write_localization = false;
  bool tray = false;
  std::string show_window;
  Request request;
  // Why the switches cannot be carried out, in one line; empty when they can.
  std::string usage_error;
  std::vector<std::string> unknown;  // switches nobody asked for, to tell the user
};

inline constexpr const char* kUsage =
    "Usage: Norvale.exe [/dryrun] [request]\n"
    "  /quick:ACTION /in:MINUTES         ACTION (Shut Down, Reboot, Log Off, Stand By,\n"
    "  /quick:ACTION /at:HH:MM           Hibernate) in MINUTES, or at HH:MM (24-hour)\n"
    "  /quick:ACTION /when-idle:MINUTES  once keyboard and mouse were idle MINUTES (1-1440)\n"
    "  /quick:ACTION /when-ends:PROGRAM  when PROGRAM (a process id or name) ends\n"
    "  /cancel                           removes every pending quick row\n"
    "  /list                             prints every schedule and quick row\n"
    "  /tray                             starts Norvale hidden in the notification area\n"
    "  /?                                prints this text\n"
    "A request goes to the running Norvale, which is started first when none runs.\n"
    "Exit codes: 0 done, 2 usage error, 3 Norvale could not be reached.\n";

// The stored name of the action `name` names, ignoring case ("shut down" is
// "Shut Down"); "" for none.
std::string StoredActionName(std::string_view name);

// Switches are matched ignoring case, as Windows users type them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
// Splits a Windows command line (without the program name) into arguments,
// honouring double quotes.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace norvale
