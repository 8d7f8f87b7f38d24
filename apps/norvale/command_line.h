#pragma once
// Norvale.exe's switches.
#include <string>
#include <vector>

namespace norvale {

// "/dryrun" (or "-dryrun", "--dry-run"): power actions are logged, never performed.
inline constexpr const char* kDryRunSwitch = "/dryrun";

// "/writelocalization": rewrites Localization.txt with the English texts of every
// window, then ends; for translators and for keeping the shipped file current.
inline constexpr const char* kWriteLocalizationSwitch = "/writelocalization";

// "/show:<window>" (frmMain, frmWizard, frmOptions, frmLanguage, frmAbout,
// frmStillRunning, frmSplash, frmCountdown, frmHistory): opens that window at
// start, for documentation and screenshots; the countdown stands still.
inline constexpr const char* kShowSwitch = "/show:";

struct CommandLine {
  bool dry_run = false;
  bool write_localization = false;
  std::string show_window;
  std::vector<std::string> unknown;  // switches nobody asked for, to tell the user
};

// Switches are matched ignoring case, as Windows users type them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
// Splits a Windows command line (without the program name) into arguments,
// honouring double quotes.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace norvale
