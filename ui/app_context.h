#pragma once
// What the windows of the program share: the services they work through and the
// few program-wide values, owned by the program for its whole run.
#include <functional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/forms/toolkit.h"
#include "platform/locale.h"
#include "platform/power_control.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"
#include "schedule/schedule_record.h"
#include "settings/settings_store.h"

namespace norvale {

struct ProgramState {
  bool ExitRequested = false;  // the next close of the main window ends the program
  bool IsEditing = false;      // the editor was opened by Edit
  ScheduleRecord CurrentSchedule;
  std::string CurrentLanguage = "English";
};

struct AppContext {
  Toolkit& kit;
  FileSystem& fs;
  const TextCodec& codec;
  const Locale& locale;
  Registry& registry;
  SettingsStore& settings;
  PowerControl& power;
  Shell& shell;
  const SystemInfo& system;
  std::string product_name;
  std::string company_name;
  ProgramState state;
  // Translation of a window and the texts of the message catalogue; plain
  // pass-throughs until a language is loaded.
  std::function<void(Form&)> ChangeLanguage = [](Form&) {};
  std::function<std::string(std::string_view key, std::string_view fallback)> Message =
      [](std::string_view, std::string_view fallback) { return std::string(fallback); };
};

}  // namespace norvale
