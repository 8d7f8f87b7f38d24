// Norvale from start to a fired schedule, over the doubles.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "apps/norvale/check.h"
#include "apps/norvale/listing.h"
#include "apps/norvale/program.h"
#include "localization/lang_text.h"
#include "localization/language_file.h"
#include "ui/shown_names.h"
#include "platform/path.h"
#include "settings/frm_options.h"
#include "ui/main/frm_history.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"

namespace norvale {
namespace loctest {
// The shipped Localization.txt, built into the tests.
std::string ShippedLocalizationFile();
}  // namespace loctest
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

  void ReturningUser(const std::string& language) {
    const std::string key = "Software\\VB and VBA Program Settings\\Norvale\\Settings";
    reg.Put(RegRoot::CurrentUser, key, "Language", {kRegSz, language});
    reg.Put(RegRoot::CurrentUser, key, "showHelp", {kRegSz, "0"});
  }
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

// The user picks another language while the warning, the history and the
// preferences are open: every one of them speaks it at once, and so do the
// list's cells and what the dry run then tells.
TEST_F(ProgramTest, ALanguageChosenWhileRunningReachesEveryOpenWindowAtOnce) {
  const auto group = [](const char* code, const char* name, const std::string& items) {
    return std::string("<LANGUAGE_GROUP xml:lang=\"") + code + "\">\r\n\t<LANGUAGE_NAME>" + name +
           "</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>\r\n" + items +
           "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n";
  };
  const auto item = [](const char* key, const char* text) {
    return std::string("\t\t<") + key + ">" + text + "</" + key + ">\r\n";
  };
  fs.Put(JoinPath(fs.ProgramFolder(), "Localization.txt"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<XML_DIZ_INFO>\r\n" +
             group("en", "English", item("MSG_POSTPONE", "&Postpone")) +
             group("de", "Deutsch",
                   item("FRMMAIN_MNUACTION0", "A&ktion") + item("MSG_POSTPONE", "&Verschieben") +
                       item("MSG_MINUTES", "{minutes} Minuten") +
                       item("MSG_WARNWHAT", "{action}: „{name}“") +
                       item("MSG_SHUTDOWN", "Herunterfahren") +
                       item("MSG_HISTORYWHEN", "Datum und Uhrzeit") +
                       item("MSG_TIPWARN", "0 für keine Warnung") +
                       item("MSG_TITLECONFIRM", "Auswahl bestätigen") +
                       item("MSG_DRYRUN", "Probelauf: „{action}“ wurde nicht ausgeführt.")) +
             "</XML_DIZ_INFO>\r\n");
  Schedule("Night", "Shut Down", "22:30:00");
  ReturningUser("English");
  NorvaleProgram program(platform, ParseCommandLine({"/dryrun"}));
  program.Start();
  kit.Advance(90s);  // the warning of 22:30 shows
  frmMain& main = program.Main();
  ASSERT_TRUE(main.Countdown().Visible());
  main.mnuHistory_Click();
  main.Options().Show();
  EXPECT_EQ("&Postpone", main.Countdown().cmdPostpone->Caption());
  const uint64_t rows_before = main.lstSchedules->Revision();

  program.App().ShowLanguageWindow(false);
  auto* languages = static_cast<frmLanguage*>(program.App().Window("frmLanguage"));
  ASSERT_NE(nullptr, languages);
  int german = -1;
  for (int i = 0; i < languages->Combo1->ListCount(); ++i) {
    if (languages->Combo1->List(i) == "Deutsch") german = i;
  }
  ASSERT_GE(german, 0);
  languages->Combo1->UserSelect(german);

  frmCountdown& warning = main.Countdown();
  EXPECT_EQ("&Verschieben", warning.cmdPostpone->Caption());
  EXPECT_EQ("10 Minuten", warning.cmbPostpone->Text());  // the choice kept
  EXPECT_EQ("Herunterfahren: „Night“", warning.lblWhat->Caption());
  EXPECT_EQ("Datum und Uhrzeit", main.History().lstHistory->ColumnHeaders()[0].Text);
  EXPECT_EQ("0 für keine Warnung", main.Options().txtWarn->ToolTipText());
  EXPECT_EQ("A&ktion", main.Find("mnuAction")->Caption());
  EXPECT_EQ("Herunterfahren", main.cbShutdown->List(main.cbShutdown->List(0) == "Ruhezustand" ? 1 : 0));
  // The list is told its rows anew, so the shown cells are drawn in German now.
  EXPECT_GT(main.lstSchedules->Revision(), rows_before);
  EXPECT_EQ("Herunterfahren", main.lstSchedules->Shown(main.lstSchedules->Items()[0], 1));

  kit.Advance(30s);  // performed, in a dry run: the balloon speaks German too
  ASSERT_FALSE(kit.FakeTrayIcon().balloons.empty());
  EXPECT_NE(std::string::npos,
            kit.FakeTrayIcon().balloons.back().find("Probelauf: „Herunterfahren“"));
}

// Where each control of a window stands, by name and index, and how big the
// window's client area is.
struct Layout {
  std::map<std::pair<std::string, int>, TwipsRect> controls;
  int width = 0, height = 0;
};
Layout LayoutOf(const Form& window) {
  Layout layout{{}, window.ScaleWidth(), window.ScaleHeight()};
  for (const auto& c : window.Controls()) {
    if (c->TypeName() == "Menu" || c->TypeName() == "Timer") continue;
    layout.controls[{c->Name(), c->Index()}] = {c->Left(), c->Top(), c->Width(), c->Height()};
  }
  return layout;
}
void ExpectSameLayout(const Layout& want, const Layout& got, const std::string& what) {
  EXPECT_EQ(want.width, got.width) << what;
  EXPECT_EQ(want.height, got.height) << what;
  for (const auto& [key, r] : want.controls) {
    const auto it = got.controls.find(key);
    ASSERT_NE(got.controls.end(), it) << what << " " << key.first;
    const TwipsRect& g = it->second;
    EXPECT_TRUE(r.left == g.left && r.top == g.top && r.width == g.width && r.height == g.height)
        << what << " " << key.first << "(" << key.second << "): " << g.left << "," << g.top << " "
        << g.width << "x" << g.height << " instead of " << r.left << "," << r.top << " " << r.width
        << "x" << r.height;
  }
}

// The skin's copies laid over the labels: each, with the label it covers.
std::vector<std::pair<const Control*, const Control*>> Overlays(const Form& window) {
  std::vector<std::pair<const Control*, const Control*>> pairs;
  for (const auto& copy : window.Controls()) {
    if (copy->TypeName() != "SkinLabel" || copy->Index() < 1) continue;
    for (const auto& label : window.Controls()) {
      if (label->TypeName() == "Label" && label->Container() == copy->Container() &&
          label->Left() == copy->Left() && label->Top() == copy->Top() &&
          label->Caption() == copy->Caption()) {
        pairs.emplace_back(copy.get(), label.get());
        break;
      }
    }
  }
  return pairs;
}

class LanguageWhileRunningTest : public ProgramTest {
 protected:
  void SetUp() override {
    fs.Put(JoinPath(fs.ProgramFolder(), "Localization.txt"), loctest::ShippedLocalizationFile());
    fs.Put(JoinPath(JoinPath(fs.ProgramFolder(), "Skins"), "Light.skin"),
           "Name=Light\nControlBack=#FFFFFF\nControlText=#000000\nPictureBack=#F0F0F0\n");
    kit.MeasureTexts(90);
  }
  void Choose(NorvaleProgram& program, const std::string& language) {
    program.App().ShowLanguageWindow(false);
    auto* languages = static_cast<frmLanguage*>(program.App().Window("frmLanguage"));
    ASSERT_NE(nullptr, languages);
    for (int i = 0; i < languages->Combo1->ListCount(); ++i) {
      if (languages->Combo1->List(i) == language) {
        languages->Combo1->UserSelect(i);
        return;
      }
    }
    FAIL() << language << " is not offered";
  }
};

// The skin's copies over the preferences' labels show each label's new text,
// where the label now stands and as big, after every change of language.
TEST_F(LanguageWhileRunningTest, TheSkinsCopiesFollowTheirTranslatedLabels) {
  ReturningUser("English");
  NorvaleProgram program(platform, {});
  program.Start();
  kit.Advance(200ms);
  frmMain& main = program.Main();
  main.Options().Show();
  const auto overlays = Overlays(main.Options());
  ASSERT_GE(overlays.size(), 10u);  // every label of the preferences is covered
  for (const std::string language : {"\u0420\u0443\u0441\u0441\u043A\u0438\u0439", "Deutsch"}) {
    Choose(program, language);
    ASSERT_NE("&Warn before acting (seconds):", main.Options().Find("lblWarn")->Caption());
    for (const auto& [copy, label] : overlays) {
      const std::string what = language + " " + label->Name() + "(" +
                               std::to_string(label->Index()) + ") under " + copy->Name() + "(" +
                               std::to_string(copy->Index()) + ")";
      EXPECT_EQ(label->Caption(), copy->Caption()) << what;
      EXPECT_EQ(label->Left(), copy->Left()) << what;
      EXPECT_EQ(label->Top(), copy->Top()) << what;
      EXPECT_EQ(label->Width(), copy->Width()) << what;
      EXPECT_EQ(label->Height(), copy->Height()) << what;
      EXPECT_EQ(label->Visible(), copy->Visible()) << what;
    }
  }
}

// Laid out again for German after Russian, the main window and the preferences
// stand exactly as in a program started in German: nothing stays Russian-wide.
// Back in English, they are as designed.
TEST_F(LanguageWhileRunningTest, AWindowLaidOutAgainStartsFromItsDesign) {
  Layout german_main, german_options;
  {
    ReturningUser("Deutsch");
    NorvaleProgram program(platform, {});
    program.Start();
    kit.Advance(200ms);  // past the splash screen
    program.Main().Options().Show();
    german_main = LayoutOf(program.Main());
    german_options = LayoutOf(program.Main().Options());
  }
  ReturningUser("English");
  NorvaleProgram program(platform, {});
  program.Start();
  kit.Advance(200ms);
  frmMain& main = program.Main();
  main.Options().Show();
  const Layout english_main = LayoutOf(main), english_options = LayoutOf(main.Options());
  Choose(program, "\u0420\u0443\u0441\u0441\u043A\u0438\u0439");
  EXPECT_GT(main.Options().ScaleWidth(), german_options.width);  // Russian is wider here
  Choose(program, "Deutsch");
  ExpectSameLayout(german_main, LayoutOf(main), "main window in German");
  ExpectSameLayout(german_options, LayoutOf(main.Options()), "preferences in German");
  Choose(program, "English");
  ExpectSameLayout(english_main, LayoutOf(main), "main window in English");
  ExpectSameLayout(english_options, LayoutOf(main.Options()), "preferences in English");
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
         "\t\t<FRMMAIN_CMDGO>Old</FRMMAIN_CMDGO>\r\n\t\t<FRMLANGUAGE_COMMAND2>Old</FRMLANGUAGE_COMMAND2>\r\n"
         "\t\t<FRMLANGUAGE_CAPTION>Old</FRMLANGUAGE_CAPTION>\r\n\t\t<MSG_SURE>Old</MSG_SURE>\r\n"
         "\t\t<MSG_TITLELANGUAGE>Old</MSG_TITLELANGUAGE>\r\n"
         "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n"
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
  // The program's own English in the English group, the German one readable whole.
  const std::string english = FindTranslationItems(*file, "English").value();
  EXPECT_EQ("OK", FindItem(english, "FRMLANGUAGE_COMMAND2"));
  EXPECT_EQ("Language Selection", FindItem(english, "FRMLANGUAGE_CAPTION"));
  EXPECT_EQ("Now", FindItem(english, "MSG_NOW"));
  EXPECT_EQ("Are you sure you want to perform the selected action immediately?",
            FindItem(english, "MSG_SURE"));
  EXPECT_EQ("Jetzt", FindItem(FindTranslationItems(*file, "Deutsch").value(), "MSG_NOW"));
  EXPECT_EQ(0, program.ExitCode());
  EXPECT_FALSE(program.Main().Visible());
  EXPECT_FALSE(program.Main().tmrScheduler->Enabled());
  EXPECT_FALSE(program.Main().tmrTrayIcon->Enabled());
  EXPECT_TRUE(shell.documents.empty());  // no help
  RegValue language;
  reg.QueryValue(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings",
                 "Language", language);
  EXPECT_EQ("Deutsch", language.data);
}

// A program folder the user may not write: the old file stays whole, and the run
// ends with an exit code and one line that says why, in the user's language.
TEST_F(ProgramTest, TheMaintenanceSwitchThatCannotWriteSaysWhyAndFails) {
  const std::string path = JoinPath(fs.ProgramFolder(), "Localization.txt");
  const std::string old =
      "<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n<LANGUAGE_GROUP xml:lang=\"de\">\r\n"
      "\t<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>\r\n"
      "\t\t<MSG_NOTWRITTEN>{file} nicht geschrieben.</MSG_NOTWRITTEN>\r\n"
      "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n</XML_DIZ_INFO>\r\n";
  fs.Put(path, old);
  fs.DenyWritesIn(fs.ProgramFolder());
  reg.Put(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\Norvale\\Settings",
          "Language", {kRegSz, "Deutsch"});
  NorvaleProgram program(platform, ParseCommandLine({"/writelocalization"}));
  program.Start();
  EXPECT_TRUE(kit.QuitRequested());
  EXPECT_EQ(old, fs.Get(path).value());
  EXPECT_NE(0, program.ExitCode());
  EXPECT_EQ(path + " nicht geschrieben.\n", program.ExitReason());
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

// The ASCII words of a text, in small letters, three letters or more.
std::set<std::string> Words(std::string_view text) {
  std::set<std::string> words;
  std::string word;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ' ';
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      word += static_cast<char>(c | 0x20);
      continue;
    }
    if (word.size() >= 3) words.insert(word);
    word.clear();
  }
  return words;
}

// Every key the command line speaks with: its own messages, the list's headers
// and the names the window shows.
std::vector<std::pair<std::string, std::string>> CommandLineKeys() {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const CommandLineMessage& m : CommandLineMessages()) keys.emplace_back(m.key, m.english);
  const char* headers[] = {"Schedule Name", "Type", "Last Run Time", "Next Run Time", "Enabled"};
  for (int i = 0; i < 5; ++i) {
    keys.emplace_back("FRMMAIN_LSTSCHEDULES_COL" + std::to_string(i + 1), headers[i]);
  }
  for (const ShownName& n : ShownNames()) keys.emplace_back(n.key, n.text);
  keys.emplace_back("MSG_UNREADABLE", "Cannot be read");
  return keys;
}

// Started in each shipped language, the running program's answers and a
// forwarding copy's own texts leave no English word behind: every answer, usage
// error, the usage text and /list with its headers and actions.
TEST_F(ProgramTest, EveryAnswerOfTheCommandLineSpeaksTheLanguageInEffect) {
  const std::string file = loctest::ShippedLocalizationFile();
  fs.Put(JoinPath(fs.ProgramFolder(), "Localization.txt"), file);
  Schedule("Night", "Stand by", "23:30:00");
  fs.Put("C:\\Program Files\\Norvale\\data\\Broken.sch", "no schedule");
  std::set<std::string> english;
  for (const auto& [key, text] : CommandLineKeys()) english.merge(Words(text));
  // What is the same in every language: the switches, the action names a
  // script types, the program's and the quick row's names, the data folder.
  const std::set<std::string> everywhere = {
      "quick", "when", "idle", "ends", "cancel", "list", "check", "tray", "dryrun", "norvale", "exe",
      "shut", "down", "reboot", "log", "off", "stand", "hibernate", "lock", "turn", "display",
      "schedule", "program", "files", "data", "quiet", "cpu", "kbps"};
  const std::vector<std::vector<std::string>> bad = {
      {"/quick:Explode", "/in:5"}, {"/quick:Reboot"}, {"/quick:Reboot", "/in:0"},
      {"/quick:Reboot", "/in:5", "/at:10:00"}, {"/quick:Reboot", "/at:24:00"},
      {"/quick:Reboot", "/when-idle:0"}, {"/quick:Reboot", "/when-ends:"}, {"/in:5"},
      {"/cancel", "/list"}, {"/lsit"}};
  for (const char* language : {"Deutsch", "Español", "Français", "Italiano",
                               "\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
                               "\u65E5\u672C\u8A9E"}) {
    SCOPED_TRACE(language);
    ReturningUser(language);
    NorvaleProgram program(platform, ParseCommandLine({"/tray"}));
    program.Start();
    ASSERT_TRUE(program.Main().Loaded());
    const CatalogueText forwarding = UserCommandLineTexts(fs, reg, kit.Boxes(), system);

    std::vector<std::string> said;
    for (const auto& args : bad) {
      said.push_back(program.Handle(args).text);
      said.push_back(ParseCommandLine(args, forwarding).usage_error);
      EXPECT_EQ(2, program.Handle(args).code);
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/quick:Reboot", "/in:5"}, {"/quick:Log Off", "/when-idle:30"},
          {"/quick:Shut Down", "/when-ends:render"}, {"/list"}, {"/?"}, {"/cancel"}, {"/cancel"}}) {
      said.push_back(program.Handle(args).text);
    }
    said.push_back(UsageText(forwarding));
    // /check on computers that reach every one of its sentences, in both copies.
    PowerCapabilities modern;
    modern.s3 = false;
    modern.aoac = true;
    modern.fast_startup = true;
    modern.shutdown_privilege = false;
    modern.wake_timers_allowed = false;
    PowerCapabilities bare = modern;
    bare.aoac = false;
    bare.s4 = false;
    for (const PowerCapabilities& caps : {PowerCapabilities{}, modern, bare}) {
      power.capabilities = caps;
      for (bool hiberfile : {false, true}) {
        power.hibernation_file = hiberfile;
        said.push_back(program.Handle({"/check"}).text);
        for (bool full : {false, true}) said.push_back(CheckText(power.Capabilities(), full, forwarding));
      }
    }
    power.capabilities = {};
    power.hibernation_file = false;
    const ScheduleStore store{fs, codec, DataFolder(fs.ProgramFolder())};
    said.push_back(ScheduleListing(store, kit.Time(), locale, forwarding));
    for (int n : {0, 1, 2}) said.push_back(CancelledText(forwarding, n));
    for (const char* key : {"MSG_CLNOTSTARTED", "MSG_CLUNREACHABLE"}) {
      said.push_back(Say(forwarding, key));
    }
    // Both copies print one usage text.
    EXPECT_EQ(UsageText(forwarding), program.Handle({"/?"}).text);

    std::set<std::string> allowed = everywhere;
    const auto items = FindTranslationItems(file, language);
    ASSERT_TRUE(items);
    for (const auto& [key, text] : CommandLineKeys()) allowed.merge(Words(FindItem(*items, key)));
    for (const std::string& text : said) {
      ASSERT_FALSE(text.empty());
      for (const std::string& word : Words(text)) {
        EXPECT_TRUE(!english.count(word) || allowed.count(word))
            << "English \"" << word << "\" in: " << text;
      }
    }
  }
}

// A language update kept in the user's own folder (the program folder refused it)
// speaks for the forwarding copy too, as it does in the windows; an older one does not.
TEST_F(ProgramTest, AForwardingCopyReadsTheUsersOwnNewerLanguageFile) {
  const std::string shipped = loctest::ShippedLocalizationFile();
  fs.Put(JoinPath(fs.ProgramFolder(), "Localization.txt"), shipped);
  const std::string german = "Geben Sie nur eines von /quick:, /cancel, /list oder /? an";
  std::string updated = shipped;
  updated.replace(updated.find(german), german.size(), "Nur eine Anfrage auf einmal");
  const std::string own =
      JoinPath(JoinPath(fs.LocalAppDataFolder(), "Norvale"), "Localization.txt");
  ASSERT_FALSE(fs.LocalAppDataFolder().empty());
  fs.Put(own, updated);
  ReturningUser("Deutsch");
  const auto answer = [&] {
    return ParseCommandLine({"/cancel", "/list"}, UserCommandLineTexts(fs, reg, kit.Boxes(), system))
        .usage_error;
  };
  EXPECT_NE(std::string::npos, answer().find("Nur eine Anfrage auf einmal")) << answer();
  fs.Put(JoinPath(fs.ProgramFolder(), "Localization.txt"), shipped);  // newer now
  EXPECT_NE(std::string::npos, answer().find(german)) << answer();
}

TEST_F(ProgramTest, ALanguageChosenWhileRunningAnswersTheNextRequest) {
  fs.Put(JoinPath(fs.ProgramFolder(), "Localization.txt"), loctest::ShippedLocalizationFile());
  Schedule("Night", "Stand by", "23:30:00");
  ReturningUser("English");
  NorvaleProgram program(platform, ParseCommandLine({"/tray"}));
  program.Start();
  std::string list = program.Handle({"/list"}).text;
  EXPECT_NE(std::string::npos, list.find("Schedule Name")) << list;
  EXPECT_NE(std::string::npos, list.find("Stand By")) << list;

  program.App().state.CurrentLanguage = "\u0420\u0443\u0441\u0441\u043A\u0438\u0439";
  program.App().ChangeLanguage(program.Main());
  list = program.Handle({"/list"}).text;
  EXPECT_NE(std::string::npos, list.find("\u0418\u043C\u044F \u0440\u0430\u0441\u043F\u0438\u0441\u0430\u043D\u0438\u044F"))  // Имя расписания
      << list;
  EXPECT_NE(std::string::npos, list.find("\u0416\u0434\u0443\u0449\u0438\u0439 \u0440\u0435\u0436\u0438\u043C"))  // Ждущий режим
      << list;
  EXPECT_EQ(std::string::npos, list.find("Stand")) << list;
  EXPECT_EQ(std::string::npos, list.find("Schedule Name")) << list;
}

// The English the command line falls back on is the English the catalogue
// holds (and /writelocalization writes): every key has a slot of its own.
TEST_F(ProgramTest, TheCommandLinesEnglishIsRegisteredInTheCatalogue) {
  NorvaleProgram program(platform, {});
  for (const CommandLineMessage& m : CommandLineMessages()) {
    EXPECT_EQ(CapitalizeFirst(EnglishText(m.key, m.english)),
              program.Languages().getMessages(m.key))
        << m.key;
  }
}

}  // namespace
}  // namespace norvale
