#pragma once
// Norvale.exe's switches.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_list.h"
#include "localization/command_line_texts.h"

namespace norvale {

// "/dryrun" (or "-dryrun", "--dry-run"): power actions are logged, never performed.
inline constexpr const char* kDryRunSwitch = "/dryrun";

// "/writelocalization": rewrites Localization.txt with the English texts of every
// window, then ends; for translators and for keeping the shipped file current.
inline constexpr const char* kWriteLocalizationSwitch = "/writelocalization";

// "/show:<window>" (frmMain, frmWizard, frmOptions, frmLanguage, frmAbout,
// frmStillRunning, frmSplash, frmCountdown, frmHistory, frmWhenIdle, frmWhenEnds,
// frmWhenQuiet, or all): opens that window at
// start, for documentation and screenshots; the countdown stands still.
inline constexpr const char* kShowSwitch = "/show:";

// "/tray": starts hidden in the notification area; what a request starts when
// no copy runs yet.
inline constexpr const char* kTraySwitch = "/tray";

// A text of the catalogue in the language in effect: the translation of `key`,
// or `english` where there is none, with [ProgramName] replaced either way.
using CatalogueText = std::function<std::string(std::string_view key, std::string_view english)>;
// The English texts, for what runs before any catalogue is loaded.
std::string EnglishText(std::string_view key, std::string_view english);

// The text of one of them in the language of `text`.
std::string Say(const CatalogueText& text, std::string_view key);

// What a script asks of the running program.
struct Request {
  // Check: what each action does on this computer, answered by the copy asked.
  enum class Kind { None, Quick, Cancel, List, Usage, Check };
  enum class When { In, At, Idle, Ends, Quiet };
  Kind kind = Kind::None;
  std::string action;  // the stored name, "Shut Down"
  When when = When::In;
  int minutes = 0;      // In, Idle
  int at_minute = 0;    // At: minutes after midnight
  std::string program;  // Ends: a process id or an executable's name
  QuietLimits quiet;    // Quiet
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

// What "/?" prints, in the language of `text`, its columns aligned by what a
// console shows.
std::string UsageText(const CatalogueText& text);

// A bad argument as a usage error quotes it: at most its first 40 characters,
// then "…", so a runaway script's argument cannot flood the console.
std::string QuotedArgument(std::string_view argument);

// "MINUTES[,CPU%[,KBPS]]" as /when-quiet: takes it, the rest from the defaults;
// nullopt when a part is missing, no number or out of range.
std::optional<QuietLimits> ParseQuietLimits(std::string_view spec);

// The stored name of the action `name` names, ignoring case ("shut down" is
// "Shut Down"); "" for none.
std::string StoredActionName(std::string_view name);

// Switches are matched ignoring case, as Windows users type them; the reason of
// a usage error is in the language of `text`.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const CatalogueText& text = EnglishText);
// Splits a Windows command line (without the program name) into arguments,
// honouring double quotes.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace norvale
