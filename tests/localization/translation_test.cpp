// Translating windows: which controls take which items, and which language is in force.
#include <gtest/gtest.h>

#include "localization/mod_languages.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

using loctest::FileWith;
using loctest::LayoutForm;

// A control whose type name only an MDI window's walk recognises.
class LooseLabel : public Control {
 public:
  LooseLabel(Form& f, std::string name, int index)
      : Control(f, " label ", std::move(name), index) {}
};

void TestLayout(LayoutForm& f) {
  f.SetCaption("Design title");
  f.Add<Label>("lblInfo", -1, "Info", nullptr, 0, 0, 1, 1);
  f.Add<CommandButton>("cmdGo", -1, "&Go", nullptr, 0, 0, 1, 1);
  f.Add<SkinLabel>("SkinLabel1", -1, "Skin", nullptr, 0, 0, 1, 1);
  f.Add<Frame>("fraRepeat", -1, "Repeat", nullptr, 0, 0, 1, 1);
  f.Add<CheckBox>("chkOn", -1, "On", nullptr, 0, 0, 1, 1);
  for (int i = 0; i < 3; ++i) f.Add<OptionButton>("optRepeat", i, "Option", nullptr, 0, 0, 1, 1);
  f.Add<OptionButton>("optLone", -1, "Lone", nullptr, 0, 0, 1, 1);
  auto& list = f.Add<ListView>("lstSchedules", -1, "", nullptr, 0, 0, 1, 1);
  for (const char* h : {"Name", "Type", "Next Run Time"}) list.AddColumn(h, 900);
  f.Add<ListView>("lstEmpty", -1, "", nullptr, 0, 0, 1, 1);
  auto& tray = f.Add<Menu>("mnuTray", -1, "Tray", nullptr, 0, 0, 0, 0);
  for (int i = 0; i < 4; ++i) f.Add<Menu>("mnuFileItem", i, "File", &tray, 0, 0, 0, 0);
  f.Add<TextBox>("txtName", -1, "typed", nullptr, 0, 0, 1, 1);
  f.Add<ComboBox>("cboAction", -1, "Shut Down", nullptr, 0, 0, 1, 1);
  f.Add<TreeView>("tvWeek", -1, "", nullptr, 0, 0, 1, 1).AddNode("k", "Monday");
  f.Add<LooseLabel>("lblLoose", -1, "Loose", nullptr, 0, 0, 1, 1);
}

const std::vector<std::string> kGerman = {
    "<frmTest_lblInfo>Hinweis</frmTest_lblInfo>",
    "<FRMTEST_CMDGO>&Los</FRMTEST_CMDGO>",
    "<FRMTEST_SKINLABEL1>Haut für [ProgramName]</FRMTEST_SKINLABEL1>",
    "<FRMTEST_FRAREPEAT>Wiederholung</FRMTEST_FRAREPEAT>",
    "<FRMTEST_OPTREPEAT1>Wöchentlich</FRMTEST_OPTREPEAT1>",
    "<FRMTEST_OPTLONE>Allein</FRMTEST_OPTLONE>",
    "<FRMTEST_LSTSCHEDULES_COL1>Name</FRMTEST_LSTSCHEDULES_COL1>",
    "<FRMTEST_LSTSCHEDULES_COL3>nächster Lauf</FRMTEST_LSTSCHEDULES_COL3>",
    "<FRMTEST_MNUTRAY0>Symbol</FRMTEST_MNUTRAY0>",
    "<FRMTEST_MNUFILEITEM3>Beenden</FRMTEST_MNUFILEITEM3>",
    "<FRMTEST_TXTNAME>nie</FRMTEST_TXTNAME>",
    "<FRMTEST_CBOACTION>nie</FRMTEST_CBOACTION>",
    "<FRMTEST_TVWEEK>nie</FRMTEST_TVWEEK>",
    "<FRMTEST_LBLLOOSE>Lose</FRMTEST_LBLLOOSE>",
    "<FRMTEST_CAPTION>Testfenster</FRMTEST_CAPTION>",
    "<MSG_SURE>Sicher, [ProgramName]?</MSG_SURE>",
    "<MSG_MONDAY></MSG_MONDAY>",
    "<MSG_TUESDAY>Dienstag</MSG_TUESDAY>",
    "<MSG_DELETE>never closed"};

class TranslationTest : public ::testing::Test, public loctest::LanguageSetup {
 protected:
  TranslationTest() { RegisterDefaultMessages(lang); }
  // A freshly loaded window, translated to `language`.
  std::unique_ptr<LayoutForm> Open(const std::string& language) {
    auto w = std::make_unique<LayoutForm>(kit, "frmTest", TestLayout);
    w->Load();
    lang.ChangeLanguage(*w, language);
    return w;
  }
};

TEST_F(TranslationTest, EachKindTakesItsItemAndEverythingElseKeepsItsText) {
  PutFile(FileWith({{"Deutsch", kGerman}}));
  auto w = std::make_unique<LayoutForm>(kit, "frmTest", TestLayout);
  w->Load();
  int label = 0, check = 0, list = 0, empty_list = 0;
  w->Find("lblInfo")->AttachPeer(std::make_unique<loctest::CountingPeer>(label));
  w->Find("chkOn")->AttachPeer(std::make_unique<loctest::CountingPeer>(check));
  w->Find("lstSchedules")->AttachPeer(std::make_unique<loctest::CountingPeer>(list));
  w->Find("lstEmpty")->AttachPeer(std::make_unique<loctest::CountingPeer>(empty_list));
  lang.ChangeLanguage(*w, "Deutsch");

  const auto caption = [&](const char* name, int index = -1) {
    return w->Find(name, index)->Caption();
  };
  EXPECT_EQ("Hinweis", caption("lblInfo"));
  EXPECT_EQ("&Los", caption("cmdGo"));
  EXPECT_EQ("Haut für Norvale", caption("SkinLabel1"));
  EXPECT_EQ("Wiederholung", caption("fraRepeat"));
  EXPECT_EQ("On", caption("chkOn"));
  EXPECT_EQ("Option", caption("optRepeat", 0));
  EXPECT_EQ("Wöchentlich", caption("optRepeat", 1));
  EXPECT_EQ("Allein", caption("optLone"));
  std::vector<std::string> columns;
  for (const auto& h : dynamic_cast<ListView*>(w->Find("lstSchedules"))->ColumnHeaders()) {
    columns.push_back(h.Text);
  }
  EXPECT_EQ((std::vector<std::string>{"Name", "Type", "Nächster Lauf"}), columns);
  EXPECT_EQ("Symbol", caption("mnuTray"));
  EXPECT_EQ("File", caption("mnuFileItem", 0));
  EXPECT_EQ("Beenden", caption("mnuFileItem", 3));
  EXPECT_EQ("typed", caption("txtName"));
  EXPECT_EQ("Shut Down", caption("cboAction"));
  EXPECT_EQ("Monday", dynamic_cast<TreeView*>(w->Find("tvWeek"))->Nodes()[0].Text);
  EXPECT_EQ("Loose", caption("lblLoose"));
  EXPECT_EQ("Testfenster", w->Caption());
  // Repainted whether or not an item was found; once per column header.
  EXPECT_EQ(1, label);
  EXPECT_EQ(1, check);
  EXPECT_EQ(3, list);
  EXPECT_EQ(0, empty_list);
  // Messages take their items with placeholders replaced; empty or broken items change nothing.
  EXPECT_EQ("Sicher, Norvale?", lang.MessageCatalogue()[3].Text);
  EXPECT_EQ("Monday", lang.getMessages("MSG_MONDAY"));
  EXPECT_EQ("Dienstag", lang.getMessages("MSG_TUESDAY"));
  EXPECT_EQ("Are you sure you want to delete the selected item?", lang.getMessages("MSG_DELETE"));

  lang.ChangeLanguageMDI(*w, "Deutsch");
  EXPECT_EQ("Lose", caption("lblLoose"));
}

TEST_F(TranslationTest, WhichLanguageIsInForce) {
  PutFile(FileWith({{"English", {"<FRMTEST_CMDGO>&Start</FRMTEST_CMDGO>"}},
                    {"Deutsch", kGerman},
                    {"Français", {"<FRMTEST_LBLINFO>Remarque</FRMTEST_LBLINFO>"}}}));
  // Unknown before any load: English, by name too.
  EXPECT_EQ("&Start", Open("Klingon")->Find("cmdGo")->Caption());
  EXPECT_EQ("English", current_language);
  // Unknown after a load: the items loaded before stay, under the asked name.
  Open("Deutsch");
  EXPECT_EQ("&Los", Open("Klingon")->Find("cmdGo")->Caption());
  EXPECT_EQ("Klingon", current_language);
  // A language lacking items leaves a window's captions in the language before,
  // but a message it lacks is the program's English, not the old language's.
  auto w = Open("Deutsch");
  EXPECT_EQ("Dienstag", lang.getMessages("MSG_TUESDAY"));
  lang.ChangeLanguage(*w, "Français");
  EXPECT_EQ("Remarque", w->Find("lblInfo")->Caption());
  EXPECT_EQ("&Los", w->Find("cmdGo")->Caption());
  EXPECT_EQ("Tuesday", lang.getMessages("MSG_TUESDAY"));
  // The file going away keeps the items loaded last.
  fs.RemoveFile(lang.FilePath());
  EXPECT_EQ("Remarque", Open("Deutsch")->Find("lblInfo")->Caption());
  EXPECT_EQ("Deutsch", current_language);
}

// A translator edits the file while the program runs: a change of one letter
// keeps the size, so the write time tells it; an unchanged file is read once.
TEST_F(TranslationTest, TheFileIsReadAgainWhenItsSizeOrWriteTimeChanged) {
  PutFile(FileWith({{"Deutsch", {"<FRMTEST_CMDGO>&Los</FRMTEST_CMDGO>"}}}));
  EXPECT_EQ("&Los", Open("Deutsch")->Find("cmdGo")->Caption());
  const size_t reads = fs.ReadCount();
  EXPECT_EQ("&Los", Open("Deutsch")->Find("cmdGo")->Caption());
  EXPECT_EQ(reads, fs.ReadCount());
  PutFile(FileWith({{"Deutsch", {"<FRMTEST_CMDGO>&Lauf</FRMTEST_CMDGO>"}}}));  // longer
  EXPECT_EQ("&Lauf", Open("Deutsch")->Find("cmdGo")->Caption());
  PutFile(FileWith({{"Deutsch", {"<FRMTEST_CMDGO>&Rein</FRMTEST_CMDGO>"}}}));  // same size
  EXPECT_EQ("&Rein", Open("Deutsch")->Find("cmdGo")->Caption());
}

TEST_F(TranslationTest, ABlockWithoutLineBreaksIsReplacedByEnglish) {
  PutFile(
      "<LANGUAGE_GROUP><LANGUAGE_NAME>Flat</LANGUAGE_NAME><TRANSLATION_ITEMS><FRMTEST_CMDGO>F"
      "</FRMTEST_CMDGO></TRANSLATION_ITEMS></LANGUAGE_GROUP>" +
      FileWith({{"English", {"<FRMTEST_CMDGO>E</FRMTEST_CMDGO>"}}}));
  EXPECT_EQ("E", Open("Flat")->Find("cmdGo")->Caption());
  EXPECT_EQ("English", current_language);
}

TEST_F(TranslationTest, WithoutAFileEverythingKeepsItsDesignText) {
  const auto w = Open("Deutsch");
  EXPECT_EQ("English", current_language);
  EXPECT_FALSE(lang.TranslationItems());
  EXPECT_EQ("&Go", w->Find("cmdGo")->Caption());
  EXPECT_EQ("Design title", w->Caption());
  EXPECT_EQ("Norvale by Norvale Labs", lang.getMessages("MSG_TITLE"));
  EXPECT_EQ("", lang.getCaption("FRMTEST_CMDGO"));
}

}  // namespace
}  // namespace norvale
