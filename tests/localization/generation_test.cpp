// Writing a fresh English localization file from the loaded windows.
#include <gtest/gtest.h>

#include "localization/language_file.h"
#include "localization/mod_languages.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

using loctest::FileWith;
using loctest::LayoutForm;

class GenerationTest : public ::testing::Test, public loctest::LanguageSetup {
 protected:
  std::string Written() { return fs.Get(lang.FilePath()).value_or("<none>"); }
};

TEST_F(GenerationTest, TwoCheckBoxesGiveThreeItemsInTheWholeDocument) {
  LayoutForm w{kit, "frmChecks", [](LayoutForm& f) {
                 f.SetCaption("Checks");
                 f.Add<CheckBox>("chkA", -1, "&Alpha", nullptr, 0, 0, 1, 1);
                 f.Add<TextBox>("txtB", -1, "not me", nullptr, 0, 0, 1, 1);
                 f.Add<CheckBox>("chkB", -1, "Beta <b> & more", nullptr, 0, 0, 1, 1);
               }};
  w.Load();
  ASSERT_TRUE(lang.makeLocalizationFile({&w}));
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<XML_DIZ_INFO>\r\n"
      "\t<LOCALIZATION_FILE_INFO>\r\n"
      "\t\t<LOCALIZATION_FILE_VERSION>1.0</LOCALIZATION_FILE_VERSION>\r\n"
      "\t</LOCALIZATION_FILE_INFO>\r\n"
      "<LANGUAGE_GROUP xml:lang=\"en\">\r\n\t<LANGUAGE_NAME>English</LANGUAGE_NAME>\r\n"
      "\t<DESCRIPTION>This file contains various translations of program buttons, messages and "
      "menus in XML format.  The original document was created using translation software, and "
      "may sound strange when read by people.  We invite you to make modifications to existing "
      "languages and translate new languages.  Please send them to us so that we can update this "
      "file and make your translation available to all users.  Our current email address is "
      "located on our homepage which can be visited through the software or our program folder "
      "on your Start Menu.  Before making changes to a localization file please use the program "
      "to download the most recent localization file using the 'Check for Language Updates' "
      "button in the Languages window.</DESCRIPTION>\r\n"
      "\t<TRANSLATION_ITEMS>\r\n"
      "\t\t<FRMCHECKS_CHKA>&Alpha</FRMCHECKS_CHKA>\r\n"
      "\t\t<FRMCHECKS_CHKB>Beta <b> & more</FRMCHECKS_CHKB>\r\n"
      "\t\t<FRMCHECKS_CAPTION>Checks</FRMCHECKS_CAPTION>\r\n"
      "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n</XML_DIZ_INFO>\r\n",
      Written());
}

TEST_F(GenerationTest, WindowsInLoadOrderThenEveryMessage) {
  RegisterDefaultMessages(lang);
  LayoutForm main{kit, "frmMain", [](LayoutForm& f) {
                    f.SetCaption("Main");
                    auto& list = f.Add<ListView>("lstSchedules", -1, "", nullptr, 0, 0, 1, 1);
                    for (const char* h : {"Name", "Type", "Next Run Time"}) list.AddColumn(h, 900);
                    auto& tray = f.Add<Menu>("mnuTray", -1, "Tray", nullptr, 0, 0, 0, 0);
                    for (int i = 0; i < 7; ++i) {
                      f.Add<Menu>("mnuFileItem", i, "Item" + std::to_string(i), &tray, 0, 0, 0, 0);
                    }
                  }};
  LayoutForm wizard{kit, "frmWizard", [](LayoutForm& f) {
                      f.SetCaption("Wizard");
                      f.Add<OptionButton>("optRepeat", 2, "&Monthly", nullptr, 0, 0, 1, 1);
                      f.Add<OptionButton>("optLone", -1, "Lone", nullptr, 0, 0, 1, 1);
                      f.Add<Timer>("tmrX");
                    }};
  main.Load();
  wizard.Load();
  ASSERT_TRUE(lang.makeLocalizationFile({&main, &wizard}));
  const std::string block = FindTranslationItems(Written(), "English").value();
  std::vector<std::string_view> items = ItemLines(block);
  size_t messages = 0;
  while (lang.MessageCatalogue()[messages].InUse) ++messages;
  ASSERT_EQ(1u + 12u + 3u + messages + 1u, items.size());  // with the empty first and the tab last
  for (auto& item : items) item.remove_prefix(std::min<size_t>(2, item.size()));
  EXPECT_EQ("<FRMMAIN_LSTSCHEDULES_COL1>Name</FRMMAIN_LSTSCHEDULES_COL1>", items[1]);
  EXPECT_EQ("<FRMMAIN_LSTSCHEDULES_COL3>Next Run Time</FRMMAIN_LSTSCHEDULES_COL3>", items[3]);
  EXPECT_EQ("<FRMMAIN_MNUTRAY0>Tray</FRMMAIN_MNUTRAY0>", items[4]);
  EXPECT_EQ("<FRMMAIN_MNUFILEITEM0>Item0</FRMMAIN_MNUFILEITEM0>", items[5]);
  EXPECT_EQ("<FRMMAIN_MNUFILEITEM6>Item6</FRMMAIN_MNUFILEITEM6>", items[11]);
  EXPECT_EQ("<FRMMAIN_CAPTION>Main</FRMMAIN_CAPTION>", items[12]);
  EXPECT_EQ("<FRMWIZARD_OPTREPEAT2>&Monthly</FRMWIZARD_OPTREPEAT2>", items[13]);
  EXPECT_EQ("<FRMWIZARD_OPTLONE>Lone</FRMWIZARD_OPTLONE>", items[14]);
  EXPECT_EQ("<FRMWIZARD_CAPTION>Wizard</FRMWIZARD_CAPTION>", items[15]);
  EXPECT_EQ(
      "<MSG_NEWNAME>Error: An item with that name already exists.  Please choose a "
      "different name</MSG_NEWNAME>",
      items[16]);
  EXPECT_EQ("<MSG_TITLE>[ProgramName] by [CompanyName]</MSG_TITLE>", items[20]);
}

// The messages in effect may be another language's, or an old English group's:
// the file gets the program's own English all the same.
TEST_F(GenerationTest, MessagesAreTheProgramsOwnEnglishWhateverTheFileHeld) {
  RegisterDefaultMessages(lang);
  PutFile(FileWith({{"English", {"<MSG_SURE>Old English</MSG_SURE>", "<MSG_NO>Nope</MSG_NO>"}},
                    {"Deutsch", {"<MSG_SURE>Sicher?</MSG_SURE>"}}}));
  LayoutForm w{kit, "frmA", [](LayoutForm& f) { f.SetCaption("A"); }};
  w.Load();
  lang.ChangeLanguage(w, "English");
  EXPECT_EQ("Old English", lang.getMessages("MSG_SURE"));
  lang.ChangeLanguage(w, "Deutsch");
  EXPECT_EQ("Sicher?", lang.getMessages("MSG_SURE"));
  ASSERT_TRUE(lang.makeLocalizationFile({&w}, /*keep_other_languages=*/true));
  // The other languages follow whole, readable to their end.
  EXPECT_TRUE(LooksLikeLocalizationFile(Written()));
  ASSERT_EQ((std::vector<std::string>{"English", "Deutsch"}), ListLanguageNames(Written()));
  const std::string english = FindTranslationItems(Written(), "English").value();
  EXPECT_EQ("Are you sure you want to perform the selected action immediately?",
            FindItem(english, "MSG_SURE"));
  EXPECT_EQ("No", FindItem(english, "MSG_NO"));
  EXPECT_EQ("[ProgramName] by [CompanyName]", FindItem(english, "MSG_TITLE"));
  EXPECT_EQ("Sicher?", FindItem(FindTranslationItems(Written(), "Deutsch").value(), "MSG_SURE"));
}

TEST_F(GenerationTest, WhatItWritesReadsBackAndAgainGivesTheSameFile) {
  const auto layout = [](LayoutForm& f) {
    f.SetCaption("Round trip");
    f.Add<Label>("lblA", -1, "Ä < > & [Website]", nullptr, 0, 0, 1, 1);
    f.Add<Menu>("mnuA", 3, "&Exit", nullptr, 0, 0, 0, 0);
  };
  LayoutForm w{kit, "frmRound", layout};
  w.Load();
  PutFile(FileWith({{"Deutsch", {"<X>y</X>"}}}));  // other groups are lost
  ASSERT_TRUE(lang.makeLocalizationFile({&w}));
  const std::string first = Written();
  EXPECT_EQ(std::vector<std::string>{"English"}, ListLanguageNames(first));
  ASSERT_TRUE(lang.makeLocalizationFile({&w}));
  EXPECT_EQ(first, Written());
  EXPECT_FALSE(lang.TranslationItems());  // generation loads nothing

  LayoutForm again{kit, "frmRound", layout};
  again.Load();
  again.Find("lblA")->SetCaption("changed");
  again.Find("mnuA", 3)->SetCaption("changed");
  again.SetCaption("changed");
  lang.ChangeLanguage(again, "English");
  EXPECT_EQ("Ä < > & www.norvale.example", again.Find("lblA")->Caption());
  EXPECT_EQ("&Exit", again.Find("mnuA", 3)->Caption());
  EXPECT_EQ("Round trip", again.Caption());
}

TEST_F(GenerationTest, AFailedWriteKeepsTheOldFileWhole) {
  LayoutForm w{kit, "frmA", [](LayoutForm& f) { f.SetCaption("A"); }};
  w.Load();
  const std::string old = FileWith({{"English", {"<X>y</X>"}}, {"Deutsch", {"<X>z</X>"}}});
  PutFile(old);
  fs.FailNextWrite(FileErrorKind::DiskFull);
  EXPECT_FALSE(lang.makeLocalizationFile({&w}));
  EXPECT_EQ(old, Written());
}

}  // namespace
}  // namespace norvale
