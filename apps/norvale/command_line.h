#pragma once
// Norvale.exe's switches.
#include <string>
#include <vector>

namespace norvale {

// "/dryrun" (or "-dryrun", "--dry-run"): power actions are logged, never performed.
inline constexpr const char* kDryRunSwitch = "/dryrun";

struct CommandLine {
  bool dry_run = false;
  std::vector<std::string> unknown;  // switches nobody asked for, to tell the user
};

// Switches are matched ignoring case, as Windows users type them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
// Splits a Windows command line (without the program name) into arguments,
// honouring double quotes.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace norvale
