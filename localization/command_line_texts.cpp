#include "localization/command_line_texts.h"

namespace norvale {

const std::vector<CommandLineMessage>& CommandLineMessages() {
  static const std::vector<CommandLineMessage> messages = {
      // What "/?" prints; the switches themselves are never translated.
      {"MSG_CLUSAGE", "Usage: [ProgramName].exe [/dryrun] [request]"},
      {"MSG_CLACTION", "ACTION"},
      {"MSG_CLMINUTES", "MINUTES"},
      {"MSG_CLPROGRAM", "PROGRAM"},
      {"MSG_CLCPU", "CPU%"},
      {"MSG_CLKBPS", "KBPS"},
      {"MSG_CLUSAGEIN", "{action} after {minutes} (1 to 44640 minutes)"},
      {"MSG_CLUSAGEAT", "{action} at the next HH:MM of the 24-hour clock"},
      {"MSG_CLUSAGEIDLE", "{action} once keyboard and mouse were idle {minutes} (1 to 1440)"},
      {"MSG_CLUSAGEENDS", "{action} when {program} (a process id or name) ends"},
      {"MSG_CLUSAGEQUIET",
       "{action} once processor < {cpu} and network < {kbps} for {minutes} (5, 10, 50 if left out)"},
      {"MSG_CLUSAGECANCEL", "Removes every pending quick row"},
      {"MSG_CLUSAGELIST", "Prints every schedule and quick row"},
      {"MSG_CLUSAGETRAY", "Starts [ProgramName] hidden in the notification area"},
      {"MSG_CLUSAGECHECK", "Prints what each action does on this computer, and why"},
      {"MSG_CLUSAGEHELP", "Prints this text"},
      {"MSG_CLUSAGEACTIONS",
       "{action}: {names}, in any case."},
      {"MSG_CLUSAGEFORWARD",
       "A request goes to the running [ProgramName], which is started first when none runs."},
      {"MSG_CLUSAGEEXIT", "Exit codes: 0 done, 2 usage error, 3 [ProgramName] could not be reached."},
      // Usage errors: one line each, the bad argument quoted as {text}.
      {"MSG_CLBADACTION",
       "Unknown action \"{text}\"; use {names}"},
      {"MSG_CLBADIN", "/in: needs a number of minutes from 1 to 44640, not \"{text}\""},
      {"MSG_CLBADAT", "/at: needs a time HH:MM on the 24-hour clock, not \"{text}\""},
      {"MSG_CLBADIDLE", "/when-idle: needs a number of minutes from 1 to 1440, not \"{text}\""},
      {"MSG_CLBADENDS", "/when-ends: needs a process id or a program name"},
      {"MSG_CLBADQUIET",
       "/when-quiet: needs MINUTES[,CPU%[,KBPS]]: 1 to 1440 minutes, 1 to 100 %, 1 to 1000000 KB/s, "
       "not \"{text}\""},
      {"MSG_CLUNKNOWN", "Unknown switch \"{text}\"; [ProgramName].exe /? lists them"},
      {"MSG_CLONEKIND", "Give one of /quick:, /cancel, /list or /? at a time"},
      {"MSG_CLNEEDSWAIT", "/quick: needs one of /in:, /at:, /when-idle:, /when-ends: or /when-quiet:"},
      {"MSG_CLONEWAIT", "Give only one of /in:, /at:, /when-idle:, /when-ends: or /when-quiet:"},
      {"MSG_CLWAITALONE",
       "/in:, /at:, /when-idle:, /when-ends: and /when-quiet: go with /quick:{action}"},
      // The answers.
      {"MSG_CLNOSUCHPROGRAM", "No running program \"{text}\""},
      {"MSG_CLTOOMANY", "There are already {count} quick rows, the most there may be; /cancel removes them"},
      {"MSG_CLADDED", "Added \"{name}\": {action}, {next}."},
      {"MSG_CLADDEDDONE", "Added \"{name}\": {action}."},
      {"MSG_CLCANCELLED1", "Cancelled 1 quick row."},
      {"MSG_CLCANCELLED", "Cancelled {count} quick rows."},
      {"MSG_CLNOTREADY", "[ProgramName] is not ready for requests"},
      {"MSG_CLNOTSTARTED", "[ProgramName] could not be started"},
      {"MSG_CLUNREACHABLE", "The running [ProgramName] could not be reached"},
      // What /list prints around the rows.
      {"MSG_CLLISTHEAD", "Schedules in {folder} (now {now})"},
      {"MSG_CLNOSCHEDULES", "(no schedules)"},
      {"MSG_CLUNREADABLE", "Could not read the schedule \"{name}\"."},
      // What /check prints: for each action what it does here, then why, a
      // sentence each.
      {"MSG_CKHEAD", "What each action does on this computer:"},
      {"MSG_CKNOTOFFERED", "Not offered."},
      {"MSG_CKNOHIBERFILE",
       "Hibernation is off: there is no hibernation file (\"powercfg /hibernate on\" makes one)."},
      {"MSG_CKNOS4", "The computer cannot hibernate (no S4)."},
      {"MSG_CKHIBERNATE", "Hibernates."},
      {"MSG_CKHIBERFILE", "The hibernation file is present."},
      {"MSG_CKSHUTDOWN", "Shuts down fully."},
      {"MSG_CKHYBRID", "Shuts down for fast startup (a hybrid shutdown)."},
      {"MSG_CKFASTOFF", "Fast startup is off."},
      {"MSG_CKFASTFULL", "Fast startup is on, but \"Shut down fully (no fast startup)\" is ticked."},
      {"MSG_CKFASTON", "Fast startup is on and \"Shut down fully (no fast startup)\" is cleared."},
      {"MSG_CKREBOOT", "Restarts."},
      {"MSG_CKLOGOFF", "Logs off."},
      {"MSG_CKPRIVILEGE", "The account holds the shutdown privilege."},
      {"MSG_CKNOPRIVILEGE", "The account lacks the shutdown privilege, so Windows will refuse."},
      {"MSG_CKSLEEPS", "Sleeps (S3)."},
      {"MSG_CKS3", "The computer supports S3."},
      {"MSG_CKMODERN", "Turns the display off, which is how Windows enters Modern Standby."},
      {"MSG_CKAOAC", "The computer has Modern Standby and no S3."},
      {"MSG_CKNOSLEEP", "Asks Windows to sleep."},
      {"MSG_CKNOS3", "The computer reports neither S3 nor Modern Standby, so Windows may refuse."},
      {"MSG_CKWAKE", "Wake timers are allowed, so a schedule can wake the computer."},
      {"MSG_CKNOWAKE", "Wake timers are off in the power plan, so no schedule wakes the computer."},
      {"MSG_CKLOCK", "Locks the session."},
      {"MSG_CKDISPLAYOFF", "Turns the display off."},
      {"MSG_CKKEEPAWAKE", "Keeps the computer awake during the schedule's hours."},
      {"MSG_CKNOPRIVNEEDED", "Needs no privilege."},
  };
  return messages;
}

}  // namespace norvale
