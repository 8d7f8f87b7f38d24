#pragma once
// What the windows of the program share: the services they work through and the
// few program-wide values, owned by the program for its whole run.
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/activity.h"
#include "platform/file_system.h"
#include "platform/forms/toolkit.h"
#include "platform/load.h"
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
  AppContext(Toolkit& kit_, FileSystem& fs_, const TextCodec& codec_, const Locale& locale_,
             Registry& registry_, SettingsStore& settings_, PowerControl& power_, Shell& shell_,
             const SystemInfo& system_, std::string product, std::string company)
      : kit(kit_),
        fs(fs_),
        codec(codec_),
        locale(locale_),
        registry(registry_),
        settings(settings_),
        power(power_),
        shell(shell_),
        system(system_),
        product_name(std::move(product)),
        company_name(std::move(company)) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

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
  std::string website = "https://norvale.example/";
  // Input idle time and running programs, for the rows that wait on them.
  Activity* activity = &NoActivity();
  // The processor's and the network's load, for the rows that wait for quiet.
  LoadMonitor* load = &NoLoad();
  // Translation of a window and the texts of the message catalogue; plain
  // pass-throughs until a language is loaded.
  std::function<void(Form&)> ChangeLanguage = [](Form&) {};
  std::function<std::string(std::string_view key, std::string_view fallback)> Message =
      [this](std::string_view, std::string_view fallback) {
        std::string text(fallback);
        const std::string mark = "[ProgramName]";
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
          text.replace(at, mark.size(), product_name);
          at += product_name.size();
        }
        return text;
      };

  // The windows that live as long as the program, by name, so the main window can
  // reach and unload them; each registers itself when created.
  std::map<std::string, Form*> windows;
  Form* Window(const std::string& name) const {
    auto it = windows.find(name);
    return it == windows.end() ? nullptr : it->second;
  }
  // The windows of other parts of the program, opened by the main window.
  std::function<void(bool modal)> ShowLanguageWindow = [](bool) {};
  std::function<void()> RunHelp = [] {};  // opens the help file once
  std::function<void()> ShowAbout = [] {};
  std::function<void()> OpenWebsite = [] {};  // the website in the browser
  // The skin steps at the end of a window's load step; nothing without a skin.
  enum class Overlay { kNone, kLabels, kLabelsByContainer };
  std::function<void(Form&, Overlay)> Skin = [](Form&, Overlay) {};
  // True when another copy of the program already runs (it then ends at once).
  std::function<bool()> AnotherInstanceRunning = [] { return false; };
};

}  // namespace norvale
