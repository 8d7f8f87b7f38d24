#include "localization/mod_languages.h"

#include "localization/command_line_texts.h"
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
      {"MSG_WARNWAITS", "Postponed {times} times: waiting for your choice."},
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
      {"MSG_SAMEEND", "Error: The keep-awake hours must end at another time than they start"},
      // Under the editor's wake box, where the power plan lets no timer wake the computer.
      {"MSG_NOWAKETIMERS",
       "The power plan of this computer does not let programs wake it: this schedule runs only "
       "while it is awake."},
      // Keep-awake hours: the tray tip while they hold, and the days of a span's row.
      {"MSG_TRAYAWAKE", "{name} \u2013 kept awake until {time}"},
      {"MSG_DAYMON", "Mon"},
      {"MSG_DAYTUE", "Tue"},
      {"MSG_DAYWED", "Wed"},
      {"MSG_DAYTHU", "Thu"},
      {"MSG_DAYFRI", "Fri"},
      {"MSG_DAYSAT", "Sat"},
      {"MSG_DAYSUN", "Sun"},
      // The skins of the preferences window.
      {"MSG_SKINLIGHT", "Light"},
      {"MSG_SKINDARK", "Dark"},
      {"MSG_SKINSYSTEM", "Windows"},
      // A language update that did not replace the file.
      {"MSG_UPDATEFAILED",
       "No language file could be downloaded.  The languages stay as they were."},
      {"MSG_UPDATEREFUSED",
       "The downloaded language file was not used, so the languages stay as they were.  "
       "{reason}"},
      // Rows that wait for idle time or for a program, and their questions.
      {"MSG_NEXTIDLE", "when idle {minutes} min"},
      {"MSG_NEXTENDS", "when {name} ends"},
      {"MSG_NEXTQUIET", "when quiet {minutes} min (CPU < {cpu} %, network < {kbps} KB/s)"},
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
      {"MSG_TITLEQUIET", "When Quiet"},
      {"MSG_QUIETASK",
       "Perform the action once the processor and the network have stayed below these limits:"},
      {"MSG_QUIETFOR", "&Quiet for:"},
      {"MSG_QUIETCPU", "&Processor below:"},
      {"MSG_QUIETCPUUNIT", "% (1 to 100)"},
      {"MSG_QUIETNETWORK", "&Network below:"},
      {"MSG_QUIETNETWORKUNIT", "KB/s (1 to 1000000)"},
      {"MSG_QUIETCPURANGE", "Enter a processor use from 1 to 100 percent."},
      {"MSG_QUIETNETWORKRANGE", "Enter a network rate from 1 to 1000000 KB/s."},
      {"MSG_PROGRAMGONE", "\"{name}\" has already ended."},
      // The logon entry of General Preferences.
      {"MSG_RUNATSTARTKESTRUP",
       "[ProgramName] starts at the logon of every user of this computer, and only an "
       "administrator can change that.  Right-click Kestrup.exe in the program folder, choose "
       "\"Run as administrator\" and press \"Remove program from the startup list\"."},
      // The language file, its updates and names.
      {"MSG_REFUSEDNOTUTF8", "The file is not UTF-8 text."},
      {"MSG_REFUSEDNOTWHOLE", "The file is not a whole language file."},
      {"MSG_REFUSEDNOENGLISH", "The file has no English texts."},
      {"MSG_REFUSEDLACKS", "The English texts of the file lack {key}."},
      {"MSG_REFUSEDUNREADABLE", "The language {language} cannot be read to its end."},
      {"MSG_REFUSEDLOST", "The language {language} lost {marker} in {key}."},
      {"MSG_UPDATENOTSAVED",
       "The downloaded language file could not be saved, neither in the program folder "
       "{folder} nor in your own folder {userfolder}, so the languages stay as they were."},
      {"MSG_NOTWRITTEN",
       "{file} could not be written: check that the folder exists, that you may write in it "
       "and that the disk has room."},
      // A Last Run Time or history line that could not be written.
      {"MSG_NOTSTORED", "not stored"},
      {"MSG_NOTSTOREDLASTRUN", "Last Run Time"},
      {"MSG_LASTRUNFAILED",
       "The Last Run Time of \"{name}\" could not be stored ({error}). The run itself went "
       "ahead."},
      {"MSG_HISTORYFAILED",
       "The history of \"{name}\" could not be written ({error}). The runs themselves go on."},
  };
  for (const auto& [key, text] : kDefaults) languages.setMessage(key, text);
  // The command line's answers and usage.
  for (const CommandLineMessage& m : CommandLineMessages()) languages.setMessage(m.key, m.english);
  static constexpr const char* kWindowTexts[][2] = {
      // The windows' tips, titles and refusals.
      {"MSG_TITLECONFIRM", "Confirm Choice"},
      {"MSG_TITLEDELETE", "Really delete?"},
      {"MSG_TIPWARN", "0 for no warning"},
      {"MSG_TIPSKIN", "Used from the next start of the program"},
      {"MSG_TIPFTPHOST", "Specify the host to connect to"},
      {"MSG_TIPFTPPORT", "Specify the port number (default is 21)"},
      {"MSG_TIPFTPUSER", "Enter username"},
      {"MSG_TIPFTPPASSWORD", "Enter password for the user"},
      {"MSG_TIPFTPFOLDER", "Specify the location"},
      {"MSG_BROWSELAN", "Choose the default LAN backup folder"},
      {"MSG_DRYRUN", "Dry run: \"{action}\" was not performed. It was written to {file}."},
      {"MSG_DRYRUNFAILED",
       "Dry run: \"{action}\" was not performed. The log could not be written ({reason})."},
      {"MSG_WARNRANGE", "Enter a number of seconds from 0 to 3600."},
      // A request the system refused, and Stand By on a Modern Standby computer.
      {"MSG_FAILED", "failed"},
      {"MSG_REFUSED", "Windows refused \"{action}\": {error}"},
      {kModernStandbyKey, kModernStandbyText},
  };
  for (const auto& [key, text] : kWindowTexts) languages.setMessage(key, text);
  // The action and delay lists.
  for (const ShownName& name : ShownNames()) languages.setMessage(name.key, name.text);
}

}  // namespace norvale
