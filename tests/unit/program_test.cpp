// Norvale from start to a fired schedule, over the doubles.
#include <gtest/gtest.h>

#include "apps/norvale/program.h"
#include "platform/path.h"
#include "settings/frm_options.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;

class NoNetwork final : public HttpClient {
 public:
  std::optional<std::string> Get(const std::string&, const std::function<void()>&) override {
    return std::nullopt;
  }
};

class ProgramTest : public ::testing::Test {
 protected:
  FakeClock clock{FakeClock::At(2026, 12, 4, 22, 28, 0)};
  fakes::FakeToolkit kit{clock};
  fakes::MemoryFileSystem fs{"C:\\Program Files\\Norvale"};
  Cp1252Codec codec;
  PatternLocale locale = PatternLocale::Iso();
  fakes::MemoryRegistry reg;
  fakes::RecordingPowerControl power;
  fakes::FakeShell shell;
  fakes::FakeSystemInfo system;
  NoNetwork http;
  PlatformServices platform{kit,   fs,    codec,  locale, reg,
                            power, shell, system, http,   [] { return false; }};

  void Schedule(const std::string& name, const std::string& type, const std::string& time) {
    ScheduleRecord r;
    r.ItemType = type;
    r.Enabled = true;
    r.StartDate = "2026-12-04";
    r.StartTime = time;
    fs.Put("C:\\Program Files\\Norvale\\data\\" + name + ".sch", ScheduleText(r));
  }
};

TEST_F(ProgramTest, AFirstStartAsksForTheLanguageThenShowsTheMainWindow) {
  bool asked = false;
  kit.OnModal("frmLanguage", [&](Form& f) {
    asked = true;
    static_cast<frmLanguage&>(f).Command2->UserClick();
  });
  NorvaleProgram program(platform, {});
  program.Start();
  kit.Advance(200ms);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(program.Main().Visible());
  EXPECT_EQ("Norvale by Norvale Labs", program.Main().Caption());
  EXPECT_EQ("English", program.App().state.CurrentLanguage);
}

TEST_F(ProgramTest, ADryRunLogsTheScheduleInsteadOfPerformingIt) {
  Schedule("Night", "Shut Down", "22:30:00");
  NorvaleProgram program(platform, ParseCommandLine({"/dryrun"}));
  kit.OnModal("frmLanguage", [](Form& f) { f.Unload(); });
  program.Start();
  kit.Advance(90s);
  // Due at 22:30, warned of from 22:29, then performed (logged) at 22:30.
  EXPECT_TRUE(program.Main().Countdown().Visible());
  EXPECT_TRUE(fs.Get(JoinPath(fs.ProgramFolder(), "DryRun.log")) == std::nullopt);
  kit.Advance(30s);
  EXPECT_FALSE(program.Main().Countdown().Visible());
  EXPECT_TRUE(power.requests.empty()) << "a dry run performs nothing";
  const auto log = fs.Get(JoinPath(fs.ProgramFolder(), "DryRun.log"));
  ASSERT_TRUE(log);
  EXPECT_NE(std::string::npos,
            log->find("\tShut Down\tExitWindowsEx flags=5 reason=0\tforce=True"));
  ASSERT_FALSE(kit.FakeTrayIcon().balloons.empty());
  EXPECT_NE(std::string::npos, kit.FakeTrayIcon().balloons.back().find("was not performed"));
}

TEST_F(ProgramTest, WithoutTheSwitchTheScheduleReachesThePowerControl) {
  Schedule("Night", "Reboot", "22:30:00");
  NorvaleProgram program(platform, {});
  kit.OnModal("frmLanguage", [](Form& f) { f.Unload(); });
  program.Start();
  kit.Advance(119s);
  EXPECT_TRUE(power.requests.empty());  // the warning counts down to 22:30
  kit.Advance(1s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ(6u, power.requests[0].flags);
}

// A first start with German in effect: the switch writes English, keeps the
// German texts, and neither asks, shows, opens help nor starts the schedules.
TEST_F(ProgramTest, TheMaintenanceSwitchWritesEnglishKeepsTheOtherLanguagesAndStartsNothing) {
  const std::string path = JoinPath(fs.ProgramFolder(), "Localization.txt");
  fs.Put(path,
         "<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n<LANGUAGE_GROUP xml:lang=\"en\">\r\n"
         "\t<LANGUAGE_NAME>English</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>\r\n"
         "\t\t<FRMMAIN_CMDGO>Old</FRMMAIN_CMDGO>\r\n\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n"
         "<LANGUAGE_GROUP xml:lang=\"de\">\r\n\t<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>\r\n"
         "\t<TRANSLATION_ITEMS>\r\n\t\t<FRMMAIN_CMDGO>&amp;Los</FRMMAIN_CMDGO>\r\n"
         "\t\t<MSG_NOW>Jetzt</MSG_NOW>\r\n\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n"
         "</XML_DIZ_INFO>\r\n");
  reg.Put(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings",
          "Language", {kRegSz, "Deutsch"});
  NorvaleProgram program(platform, ParseCommandLine({"/writelocalization"}));
  program.Start();
  EXPECT_TRUE(kit.QuitRequested());
  const auto file = fs.Get(path);
  ASSERT_TRUE(file);
  for (const char* key :
       {"<FRMMAIN_CMDGO>&Go</FRMMAIN_CMDGO>", "<FRMWIZARD_CHKSCHEDULER>", "<FRMOPTIONS_CHKMIN>",
        "<FRMSTILLRUNNING_CMDOK>", "<FRMLANGUAGE_COMMAND2>", "<FRMABOUT_LABEL2>", "<MSG_NEWNAME>",
        "<MSG_NOW>Now</MSG_NOW>", "<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>",
        "<MSG_NOW>Jetzt</MSG_NOW>"}) {
    EXPECT_NE(std::string::npos, file->find(key)) << key;
  }
  EXPECT_EQ(std::string::npos, file->find("Old"));
  EXPECT_TRUE(file->ends_with("</XML_DIZ_INFO>\r\n"));
  EXPECT_FALSE(program.Main().Visible());
  EXPECT_FALSE(program.Main().tmrScheduler->Enabled());
  EXPECT_FALSE(program.Main().tmrTrayIcon->Enabled());
  EXPECT_TRUE(shell.documents.empty());  // no help
  RegValue language;
  reg.QueryValue(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings",
                 "Language", language);
  EXPECT_EQ("Deutsch", language.data);
}

TEST_F(ProgramTest, TheShowSwitchOpensTheNamedWindowOverTheMainWindow) {
  reg.Put(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings",
          "Language", {kRegSz, "English"});
  NorvaleProgram program(platform, ParseCommandLine({"/show:frmOptions"}));
  program.Start();
  EXPECT_TRUE(program.Main().Visible());
  EXPECT_TRUE(program.Main().Options().Visible());
  EXPECT_FALSE(program.Splash().Visible());
}

TEST_F(ProgramTest, TheChosenSkinPaintsTheWindows) {
  fs.Put("C:\\Program Files\\Norvale\\Skins\\Dark.skin",
         "Name=Dark\nControlBack=#2B2B2B\nControlText=#F0F0F0\nPictureBack=#202020\n"
         "WindowBack=#202020\nWindowText=#F0F0F0\nDarkTitleBar=1\n");
  reg.Put(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings", "Skin",
          {kRegSz, "Dark"});
  kit.OnModal("frmLanguage", [](Form& f) { f.Unload(); });
  NorvaleProgram program(platform, {});
  program.Start();
  kit.Advance(200ms);
  EXPECT_TRUE(program.Main().DarkTitleBar());
  EXPECT_EQ(0x2B2B2Bu, program.Main().lstSchedules->BackColor());
  EXPECT_EQ(0x202020u, program.Main().chkPrevent->BackColor());
}

}  // namespace
}  // namespace norvale
