#include "localization/mod_languages.h"

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
  };
  for (const auto& [key, text] : kDefaults) languages.setMessage(key, text);
}

}  // namespace norvale
