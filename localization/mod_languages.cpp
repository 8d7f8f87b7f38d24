#include "localization/mod_languages.h"

#include "ui/shown_names.h"

namespace norvale {

void RegisterDefaultMessages(clsLanguages& languages) {
  // Slot order matters: generation writes the messages in this order.
  static constexpr const char* kDefaults[][2] = {
      {"MSG_NEWNAME",
       "Error: An item with that name already exists.  Please choose a different name"},
      {"MSG_NONAME", "Error: You must choose a name for this schedule"},
      {"MSG_DELETE", "Are you sure you want to delete the selected item?"},
      {"MSG_SURE", "Are you sure you want to perform the selected action immediately?"},
      {"MSG_TITLE", "[ProgramName] by [CompanyName]"},
      {"MSG_TITLERUNNING", "[ProgramName] is still running"},
      {"MSG_TITLEOPTIONS", "General Preferences"},
      {"MSG_TITLEWIZARD", "Schedule Configuration"},
      {"MSG_TITLELANGUAGE", "Language Selection"},
      {"MSG_TITLEABOUT", "About [ProgramName]"},
      {"MSG_MONDAY", "Monday"},
      {"MSG_TUESDAY", "Tuesday"},
      {"MSG_WEDNESDAY", "Wednesday"},
      {"MSG_THURSDAY", "Thursday"},
      {"MSG_FRIDAY", "Friday"},
      {"MSG_SATURDAY", "Saturday"},
      {"MSG_SUNDAY", "Sunday"},
      {"MSG_DOWNLOADED",
       "The most recent language file has been downloaded.  Please check for new languages."},
      // Shown where the next run stands when a schedule file cannot be read.
      {"MSG_UNREADABLE", "Cannot be read"},
      // The warning before an action, and the history of runs.
      {"MSG_SURENOW", "Are you sure you want to perform \"{action}\" now?"},
      {"MSG_TITLECOUNTDOWN", "[ProgramName] is about to act"},
      {"MSG_WARNWHAT", "{action}: \"{name}\""},
      {"MSG_WARNLEFT", "Seconds left: {seconds}"},
      {"MSG_POSTPONEBY", "Postpone &by:"},
      {"MSG_POSTPONE", "&Postpone"},
      {"MSG_CANCELRUN", "&Cancel"},
      {"MSG_PERFORMNOW", "Perform &now"},
      {"MSG_MINUTES", "{minutes} minutes"},
      {"MSG_POSTPONEDROW", "{name} (postponed)"},
      {"MSG_TITLEHISTORY", "History"},
      {"MSG_HISTORYWHEN", "Date and time"},
      {"MSG_HISTORYNAME", "Schedule"},
      {"MSG_HISTORYACTION", "Action"},
      {"MSG_HISTORYOUTCOME", "Outcome"},
      {"MSG_PERFORMED", "performed"},
      {"MSG_POSTPONED", "postponed"},
      {"MSG_CANCELLED", "cancelled"},
      {"MSG_MISSED", "missed"},
      {"MSG_CLOSE", "Close"},
      {"MSG_HISTORYON",
       "The newest runs first; the history keeps about the last megabyte of them."},
      {"MSG_HISTORYOFF",
       "Nothing is recorded while \"Enable Logging\" is cleared in General Preferences."},
      // The editor's refusals.
      {"MSG_BADNAME",
       "Error: That name cannot be used for a schedule.  Please leave out \\ / : * ? \" < > | "
       "and do not end it with a dot or a blank, or use a device name such as CON or NUL."},
      {"MSG_NODAYS", "Error: Please tick at least one day on which the schedule runs"},
      // The skins of the preferences window.
      {"MSG_SKINLIGHT", "Light"},
      {"MSG_SKINDARK", "Dark"},
      {"MSG_SKINSYSTEM", "Windows"},
      // A language update that did not replace the file.
      {"MSG_UPDATEFAILED",
       "No language file could be downloaded.  The languages stay as they were."},
      {"MSG_UPDATEREFUSED",
       "The downloaded language file was not used, so the languages stay as they were: "
       "{reason}."},
      // Rows that wait for idle time or for a program, and their questions.
      {"MSG_NEXTIDLE", "when idle {minutes} min"},
      {"MSG_NEXTENDS", "when {name} ends"},
      {"MSG_TITLEIDLE", "When Idle"},
      {"MSG_IDLEASK", "Perform the action once the keyboard and mouse have been idle for:"},
      {"MSG_IDLEMINUTES", "minutes (1 to 1440)"},
      {"MSG_IDLERANGE", "Enter a number of minutes from 1 to 1440."},
      {"MSG_TITLEENDS", "When a Program Ends"},
      {"MSG_ENDSASK", "Perform the action when this program ends:"},
      {"MSG_ENDSNAME", "Program"},
      {"MSG_ENDSTITLE", "Window title"},
      {"MSG_ENDSPID", "Process ID"},
      {"MSG_REFRESH", "&Refresh"},
      {"MSG_OK", "OK"},
      {"MSG_CANCEL", "Cancel"},
      {"MSG_PROGRAMGONE", "\"{name}\" has already ended."},
      // The logon entry of General Preferences.
      {"MSG_RUNATSTARTKESTRUP",
       "[ProgramName] starts at the logon of every user of this computer, and only an "
       "administrator can change that.  Right-click Kestrup.exe in the program folder, choose "
       "\"Run as administrator\" and press \"Remove program from the startup list\"."},
      // The language file, its updates and names.
      // The command line's answers and usage.
      {"MSG_CLUSAGE", "Usage: [ProgramName].exe [/dryrun] [request]"},
      {"MSG_CLACTION", "ACTION"},
      {"MSG_CLMINUTES", "MINUTES"},
      {"MSG_CLPROGRAM", "PROGRAM"},
      {"MSG_CLUSAGEIN", "{action} after {minutes} (1 to 44640 minutes)"},
      {"MSG_CLUSAGEAT", "{action} at the next HH:MM of the 24-hour clock"},
      {"MSG_CLUSAGEIDLE", "{action} once keyboard and mouse were idle {minutes} (1 to 1440)"},
      {"MSG_CLUSAGEENDS", "{action} when {program} (a process id or name) ends"},
      {"MSG_CLUSAGECANCEL", "Removes every pending quick row"},
      {"MSG_CLUSAGELIST", "Prints every schedule and quick row"},
      {"MSG_CLUSAGETRAY", "Starts [ProgramName] hidden in the notification area"},
      {"MSG_CLUSAGEHELP", "Prints this text"},
      {"MSG_CLUSAGEACTIONS",
       "{action}: \"Shut Down\", Reboot, \"Log Off\", \"Stand By\" or Hibernate, in any case."},
      {"MSG_CLUSAGEFORWARD",
       "A request goes to the running [ProgramName], which is started first when none runs."},
      {"MSG_CLUSAGEEXIT",
       "Exit codes: 0 done, 2 usage error, 3 [ProgramName] could not be reached."},
      {"MSG_CLBADACTION",
       "Unknown action \"{text}\"; use Shut Down, Reboot, Log Off, Stand By or Hibernate"},
      {"MSG_CLBADIN", "/in: needs a number of minutes from 1 to 44640, not \"{text}\""},
      {"MSG_CLBADAT", "/at: needs a time HH:MM on the 24-hour clock, not \"{text}\""},
      {"MSG_CLBADIDLE", "/when-idle: needs a number of minutes from 1 to 1440, not \"{text}\""},
      {"MSG_CLBADENDS", "/when-ends: needs a process id or a program name"},
      {"MSG_CLUNKNOWN", "Unknown switch \"{text}\"; [ProgramName].exe /? lists them"},
      {"MSG_CLONEKIND", "Give one of /quick:, /cancel, /list or /? at a time"},
      {"MSG_CLNEEDSWAIT", "/quick: needs one of /in:, /at:, /when-idle: or /when-ends:"},
      {"MSG_CLONEWAIT", "Give only one of /in:, /at:, /when-idle: or /when-ends:"},
      {"MSG_CLWAITALONE", "/in:, /at:, /when-idle: and /when-ends: go with /quick:{action}"},
      {"MSG_CLNOSUCHPROGRAM", "No running program \"{text}\""},
      {"MSG_CLADDED", "Added \"{name}\": {action}, {next}."},
      {"MSG_CLADDEDDONE", "Added \"{name}\": {action}."},
      {"MSG_CLCANCELLED1", "Cancelled 1 quick row."},
      {"MSG_CLCANCELLED", "Cancelled {count} quick rows."},
      {"MSG_CLNOTREADY", "[ProgramName] is not ready for requests"},
      {"MSG_CLNOTSTARTED", "[ProgramName] could not be started"},
      {"MSG_CLUNREACHABLE", "The running [ProgramName] could not be reached"},
      {"MSG_CLLISTHEAD", "Schedules in {folder} (now {now})"},
      {"MSG_CLNOSCHEDULES", "(no schedules)"},
      {"MSG_CLUNREADABLE", "Could not read the schedule \"{name}\"."},
      // The windows' tips, titles and refusals.
  };
  for (const auto& [key, text] : kDefaults) languages.setMessage(key, text);
  // The action and delay lists.
  for (const ShownName& name : ShownNames()) languages.setMessage(name.key, name.text);
}

}  // namespace norvale
