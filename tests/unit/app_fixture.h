#pragma once
// The whole program over doubles: every window of the main program can be
// started, clicked and closed in a test.
#include <gtest/gtest.h>

#include "settings/frm_options.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"
#include "ui/app_context.h"
#include "ui/main/frm_main.h"
#include "ui/wizard/frm_wizard.h"

namespace norvale::testing_app {

class AppTest : public ::testing::Test {
 protected:
  fakes::FakeClock clock{fakes::FakeClock::At(2026, 12, 4, 10, 0)};
  fakes::FakeToolkit kit{clock};
  fakes::MemoryFileSystem fs{"C:\\Program Files\\Norvale"};
  Cp1252Codec codec;
  PatternLocale locale = PatternLocale::Iso();
  fakes::MemoryRegistry reg;
  SettingsStore settings{reg, kit.Boxes(), "Norvale Labs", "Norvale"};
  fakes::RecordingPowerControl power;
  fakes::FakeShell shell;
  fakes::FakeSystemInfo system;
  AppContext app{kit,   fs,    codec,  locale,    reg,           settings,
                 power, shell, system, "Norvale", "Norvale Labs"};
  std::string data = "C:\\Program Files\\Norvale\\data\\";

  // A returning user: language chosen, help seen.
  void NotFirstRun() {
    settings.SaveUserSetting("Norvale", "Settings", "Language", "English");
    settings.SaveUserSetting("Norvale", "Settings", "showHelp", "0");
  }
  void PutSchedule(const std::string& name, const std::string& type, const std::string& date,
                   const std::string& time, bool repeat = false, int mode = 0,
                   const std::string& period = "") {
    ScheduleRecord r;
    r.Name = name;
    r.ItemType = type;
    r.Enabled = true;
    r.StartDate = date;
    r.StartTime = time;
    r.Repeat = repeat;
    r.SAccurancy = static_cast<int16_t>(mode);
    r.Period = period;
    fs.Put(data + name + ".sch", ScheduleText(r));
  }
  std::string Machine(const std::string& key) {
    return settings.ReadSetting("Norvale", "Settings", key, "<none>");
  }
  std::string User(const std::string& key) {
    return settings.GetUserSetting("Norvale", "Settings", key, "<none>");
  }
};

}  // namespace norvale::testing_app
