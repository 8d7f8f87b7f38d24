// The language window: the list, choosing a language, updates and the file's editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "localization/frm_language.h"
#include "localization/mod_languages.h"
#include "platform/path.h"
#include "tests/fakes/memory_registry.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using loctest::FileWith;

const std::string kThreeLanguages =
    FileWith({{"English", {"<FRMMAIN_LBLSTATUS>Ready</FRMMAIN_LBLSTATUS>"}},
              {"Deutsch",
               {"<FRMMAIN_LBLSTATUS>Bereit</FRMMAIN_LBLSTATUS>",
                "<FRMLANGUAGE_COMMAND2>Schließen</FRMLANGUAGE_COMMAND2>",
                "<FRMLANGUAGE_CAPTION>Sprache wählen</FRMLANGUAGE_CAPTION>",
                "<MSG_DOWNLOADED>Neue Sprachdatei geladen.</MSG_DOWNLOADED>"}},
              {"日本語",
               {"<FRMMAIN_LBLSTATUS>準備完了</FRMMAIN_LBLSTATUS>",
                "<FRMLANGUAGE_COMMAND1>言語の更新を確認</FRMLANGUAGE_COMMAND1>"}}});

// What the server sends: bytes before the first tag, then a whole file whose
// English group holds every key of the program's messages and of the file now.
std::string Update(const clsLanguages& lang, const std::string& english_status = "Ready",
                   const std::string& swedish_question = "Vill du utföra \"{action}\" nu?") {
  std::vector<std::string> english{"<FRMMAIN_LBLSTATUS>" + english_status + "</FRMMAIN_LBLSTATUS>"};
  for (const MessageSlot& slot : lang.MessageCatalogue()) {
    if (slot.InUse == 0) break;
    english.push_back("<" + slot.Key + ">" + slot.Text + "</" + slot.Key + ">");
  }
  if (english_status.empty()) english.erase(english.begin());
  return "\xEF\xBB\xBFjunk" + FileWith({{"English", english},
                                        {"Svenska",
                                         {"<FRMMAIN_LBLSTATUS>Klar</FRMMAIN_LBLSTATUS>",
                                          "<MSG_SURENOW>" + swedish_question + "</MSG_SURENOW>"}}});
}

class LanguageWindowTest : public ::testing::Test, public loctest::LanguageSetup {
 protected:
  LanguageWindowTest() {
    RegisterDefaultMessages(lang);
    main.Load();
  }
  std::string Stored() { return settings.GetUserSetting("Norvale", "Settings", "Language", "-"); }
  void Choose(const std::string& name) {
    const auto& items = window.Combo1->Items();
    const auto it = std::find(items.begin(), items.end(), name);
    ASSERT_NE(items.end(), it) << name;
    window.Combo1->UserSelect(static_cast<int>(it - items.begin()));
  }

  fakes::MemoryRegistry registry;
  SettingsStore settings{registry, kit.Boxes(), "Norvale Labs", "Norvale"};
  loctest::RecordingShell shell;
  loctest::ScriptedHttp http;
  int skinned = 0;
  loctest::LayoutForm main{kit, "frmMain", [](loctest::LayoutForm& f) {
                             f.Add<Label>("lblStatus", -1, "Ready", nullptr, 0, 0, 1, 1);
                           }};
  frmLanguage window{kit,
                     {.fs = fs,
                      .settings = settings,
                      .shell = shell,
                      .http = http,
                      .languages = lang,
                      .branding = branding,
                      .main_window = main,
                      .language_server = "http://127.0.0.1:8080/",
                      .limits = {},
                      .apply_skin = [this](Form&) { ++skinned; }}};
};

TEST_F(LanguageWindowTest, LoadsTranslatedWithTheLanguagesOfTheFile) {
  PutFile(kThreeLanguages);
  window.Load();
  EXPECT_EQ("Language Selection", window.Caption());
  EXPECT_EQ((std::vector<std::string>{"English", "Deutsch", "日本語"}), window.Combo1->Items());
  EXPECT_EQ("English", window.Combo1->Text());
  EXPECT_EQ(1, skinned);
  window.Unload();

  settings.SaveUserSetting("Norvale", "Settings", "Language", "Deutsch");
  current_language = "Deutsch";
  window.Load();
  EXPECT_EQ("Sprache wählen", window.Caption());  // the title item wins over the message
  EXPECT_EQ("Schließen", window.Command2->Caption());
  EXPECT_EQ("Deutsch", window.Combo1->Text());
}

TEST_F(LanguageWindowTest, WithoutAFileTheListIsEmptyAndNothingOpens) {
  branding.SkinsEnabled = false;
  window.Load();
  EXPECT_TRUE(window.Combo1->Items().empty());
  EXPECT_EQ("Choose Language Here", window.Combo1->Text());
  EXPECT_EQ(0, skinned);
  window.Command3->UserClick();
  EXPECT_TRUE(shell.opened.empty());
  window.Combo1_Click();  // the prompt is no language
  EXPECT_EQ("-", Stored());

  PutFile(kThreeLanguages);
  window.Command3->UserClick();
  EXPECT_EQ(std::vector<std::string>{lang.FilePath()}, shell.opened);
  window.Command2->UserClick();
  EXPECT_FALSE(window.Loaded());
}

TEST_F(LanguageWindowTest, ChoosingALanguageStoresItAndTranslatesBothWindows) {
  PutFile(kThreeLanguages);
  window.Load();
  Choose("Deutsch");
  EXPECT_EQ("Deutsch", Stored());
  EXPECT_EQ("Deutsch", current_language);
  EXPECT_EQ("Bereit", main.Find("lblStatus")->Caption());
  EXPECT_EQ("Schließen", window.Command2->Caption());
  EXPECT_EQ("Neue Sprachdatei geladen.", lang.getMessages("MSG_DOWNLOADED"));
  Choose("日本語");
  EXPECT_EQ("日本語", Stored());
  EXPECT_EQ("準備完了", main.Find("lblStatus")->Caption());
  EXPECT_EQ("言語の更新を確認", window.Command1->Caption());
  EXPECT_EQ("Schließen", window.Command2->Caption());  // no item: the earlier language stays
}

TEST_F(LanguageWindowTest, AGoodUpdateIsStoredFromItsFirstTagAndTheListRefilled) {
  PutFile(kThreeLanguages);
  window.Load();
  const std::string update = Update(lang);
  http.body = update;
  kit.Script().Expect(
      "The most recent language file has been downloaded.  Please check for new languages.",
      MsgBoxResult::OK);
  window.Command1->UserClick();
  EXPECT_EQ(std::vector<std::string>{"http://127.0.0.1:8080/Languages/25/Localization.txt"},
            http.urls);
  EXPECT_EQ(update.substr(7) + "\r\n", fs.Get(lang.FilePath()).value());
  EXPECT_EQ((std::vector<std::string>{"English", "Svenska"}), window.Combo1->Items());
  EXPECT_TRUE(kit.Script().AllAnswered());
  EXPECT_GT(kit.DoEventsCount(), 0);
}

// The file holds every text of the program: only a whole, sound file replaces
// it, and the user is told why another did not.
TEST_F(LanguageWindowTest, AFailedOrUnsoundUpdateKeepsTheOldFileAndSaysWhy) {
  PutFile(kThreeLanguages);
  window.Load();
  const std::string update = Update(lang);
  const std::string failed =
      "No language file could be downloaded.  The languages stay as they were.";
  const std::string refused =
      "The downloaded language file was not used, so the languages stay as "
      "they were.  ";
  std::string latin1 = update;  // the same file saved in Windows-1252
  latin1.replace(latin1.find("utför"), 6, "utf\xF6r");
  const std::vector<std::tuple<const char*, std::function<void()>, std::string>> cases = {
      {"no answer", [] {}, failed},
      {"client error", [&] { http.throws = true; }, failed},
      {"no item block", [&] { http.body = "<html><body>Not Found</body></html>"; },
       refused + "The file is not a whole language file."},
      {"cut off", [&] { http.body = update.substr(0, update.size() - 40); },
       refused + "The file is not a whole language file."},
      {"another code page", [&] { http.body = latin1; }, refused + "The file is not UTF-8 text."},
      {"oversized", [&] { http.body = update + std::string(kMaxLocalizationBytes, ' '); }, failed},
      {"too slow",
       [&] {
         http.body = update;
         http.on_piece = [&] { clock.Advance(20s); };
       },
       failed},
      {"a text the program needs is missing", [&] { http.body = Update(lang, ""); },
       refused + "The English texts of the file lack FRMMAIN_LBLSTATUS."},
      {"a placeholder lost in translation",
       [&] { http.body = Update(lang, "Ready", "Vill du utföra \"{handling}\" nu?"); },
       refused + "The language Svenska lost {action} in MSG_SURENOW."},
      {"neither folder can be written",
       [&] {
         http.body = update;
         fs.DenyWritesIn("C:\\Program Files");
         fs.DenyWritesIn("C:\\Users");
       },
       "The downloaded language file could not be saved, neither in the program folder "
       "C:\\Program Files\\Norvale nor in your own folder " +
           JoinPath("C:\\Users\\User\\AppData\\Local", "Norvale") +
           ", so the languages stay as they were."},
  };
  for (const auto& [what, arrange, told] : cases) {
    http = {};
    arrange();
    if (!told.empty()) kit.Script().Expect(told, MsgBoxResult::OK);
    window.Command1->UserClick();
    EXPECT_TRUE(kit.Script().AllAnswered()) << what;
    EXPECT_EQ(kThreeLanguages, fs.Get(lang.FilePath()).value()) << what;
    EXPECT_FALSE(fs.Get(lang.UserFilePath())) << what;
    EXPECT_EQ(3, window.Combo1->ListCount()) << what;
  }
}

// Under Program Files a standard user cannot replace the file: the update is
// kept in the user's own folder and read from there while it is the newer one.
TEST_F(LanguageWindowTest, AnUpdateTheProgramFolderRefusesIsKeptForTheUser) {
  PutFile(kThreeLanguages);
  fs.DenyWritesIn("C:\\Program Files");
  window.Load();
  const std::string update = Update(lang);
  http.body = update;
  kit.Script().Expect(
      "The most recent language file has been downloaded.  Please check for new languages.",
      MsgBoxResult::OK);
  window.Command1->UserClick();
  EXPECT_TRUE(kit.Script().AllAnswered());
  EXPECT_EQ(JoinPath(JoinPath("C:\\Users\\User\\AppData\\Local", "Norvale"), "Localization.txt"),
            lang.UserFilePath());
  EXPECT_EQ(update.substr(7) + "\r\n", fs.Get(lang.UserFilePath()).value());
  EXPECT_EQ(kThreeLanguages, fs.Get(lang.FilePath()).value());
  EXPECT_EQ((std::vector<std::string>{"English", "Svenska"}), window.Combo1->Items());
  Choose("Svenska");
  EXPECT_EQ("Klar", main.Find("lblStatus")->Caption());
  window.Command3->UserClick();  // the copy in use is the one to translate
  EXPECT_EQ(std::vector<std::string>{lang.UserFilePath()}, shell.opened);

  // An administrator installs a newer file: that one is read again.
  fs.Put(lang.FilePath(), kThreeLanguages);
  window.Unload();
  window.Load();
  EXPECT_EQ((std::vector<std::string>{"English", "Deutsch", "日本語"}), window.Combo1->Items());
  // A user copy that is newer but unsound (edited by hand, cut short) is passed over.
  fs.Put(lang.UserFilePath(), Update(lang).substr(0, 200));
  window.Unload();
  window.Load();
  EXPECT_EQ((std::vector<std::string>{"English", "Deutsch", "日本語"}), window.Combo1->Items());
}

TEST_F(LanguageWindowTest, AClickDuringTheDownloadStartsNoSecondOne) {
  window.Load();
  http.body = Update(lang);
  kit.OnDoEvents([&] { window.Command1->UserClick(); });
  kit.Script().Expect("", MsgBoxResult::OK);
  window.Command1->UserClick();
  EXPECT_EQ(1u, http.urls.size());
  EXPECT_EQ("https://languages.norvale.example/Languages/25/Localization.txt",
            UpdateUrl(kDefaultLanguageServer, 25));
}

}  // namespace
}  // namespace norvale
