// The readers of Localization.txt: groups, item blocks, item lines, file names.
#include <gtest/gtest.h>

#include "localization/language_file.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

using loctest::FileWith;

TEST(LanguageGroupTest, TheFirstGroupOfTheNameWinsIgnoringCaseButNotBlanks) {
  const std::string file = FileWith({{"English", {"<K>en</K>"}},
                                     {" Deutsch", {"<K>blank</K>"}},
                                     {"Deutsch", {"<K>de</K>"}},
                                     {"deutsch", {"<K>second</K>"}}});
  EXPECT_EQ("\r\n\t\t<K>en</K>\r\n\t", FindTranslationItems(file, "english").value());
  EXPECT_EQ("de", FindItem(FindTranslationItems(file, "DEUTSCH").value(), "K"));
  EXPECT_FALSE(FindTranslationItems(file, "Français"));
  EXPECT_EQ((std::vector<std::string>{"English", " Deutsch", "Deutsch", "deutsch"}),
            ListLanguageNames(file));
  // Mixed-case tags, attributes and a non-Latin name; text before the group is not read.
  const std::string mixed =
      "<LANGUAGE_NAME>Bogus</LANGUAGE_NAME><language_group xml:lang=\"ru\">"
      "<Language_Name>Русский</LANGUAGE_NAME><translation_Items>\r\n<Key>да</kEY>\r\n"
      "</Translation_Items></Language_Group>";
  EXPECT_EQ(std::vector<std::string>{"Русский"}, ListLanguageNames(mixed));
  EXPECT_EQ("да", FindItem(FindTranslationItems(mixed, "РУССКИЙ").value(), "key"));
}

TEST(LanguageGroupTest, MalformedGroupsEndTheWalkAndAreNeverMatched) {
  const std::string good = FileWith({{"English", {"<K>en</K>"}}});
  const std::string later = FileWith({{"Suomi", {"<K>fi</K>"}}});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<LANGUAGE_GROUP><LANGUAGE_NAME>Suomi</LANGUAGE_NAME>", ""},   // no end
      {"<LANGUAGE_GROUP></LANGUAGE_GROUP>", later},                   // no name
      {"<LANGUAGE_GROUP><LANGUAGE_NAME>X</LANGUAGE_GROUP>", later}};  // name not closed
  for (const auto& [bad, tail] : cases) {
    const std::string file = good + bad + tail;
    EXPECT_EQ(std::vector<std::string>{"English"}, ListLanguageNames(file)) << bad;
    EXPECT_FALSE(FindTranslationItems(file, "Suomi")) << bad;
  }
  // The first group of the name lacks the end of its item block: no later one is tried.
  const std::string no_items =
      "<LANGUAGE_GROUP><LANGUAGE_NAME>Suomi</LANGUAGE_NAME><TRANSLATION_ITEMS></LANGUAGE_GROUP>" +
      later;
  EXPECT_FALSE(FindTranslationItems(no_items, "Suomi"));
}

TEST(ItemLineTest, OnlyCrLfCutsLines) {
  EXPECT_TRUE(ItemLines("").empty());
  EXPECT_EQ(1u, ItemLines("<AB>x</AB><CD>y</CD>").size());
  EXPECT_EQ((std::vector<std::string_view>{"", "a\nb\rc", "\t"}), ItemLines("\r\na\nb\rc\r\n\t"));
}

TEST(ItemLineTest, FindsTheFirstWellFormedLineWhoseTagIsTheKey) {
  const std::string block =
      "\r\n"
      "\t\t<frmMain_cmdGo>&Go</FRMMAIN_CMDGO>\r\n"
      "\t\t<FRMMAIN_CMDGO>second</FRMMAIN_CMDGO>\r\n"
      "<LT>a < b > c</LT> trailing text\r\n"
      "<SPLIT>first half\r\nsecond half</SPLIT>\r\n"
      "<A>short</A>\r\n"
      "<KK>no end\r\n<KK>later</KK>\r\n"
      "<JJ>x</KK>\r\n"
      "KEY>no opening</KEY>\r\n"
      "\t";
  EXPECT_EQ("&Go", FindItem(block, "FRMMAIN_CMDGO"));
  EXPECT_EQ("a < b > c", FindItem(block, "lt"));
  EXPECT_EQ("", FindItem(block, "SPLIT"));
  EXPECT_EQ("", FindItem(block, "A"));        // a tag part of two characters never matches
  EXPECT_EQ("later", FindItem(block, "KK"));  // a line without its closing tag is no item
  EXPECT_EQ("", FindItem(block, "JJ"));
  EXPECT_EQ("", FindItem(block, "KEY"));
  EXPECT_EQ("", FindItem(block, ""));
}

class LanguageFileTest : public ::testing::Test, public loctest::LanguageSetup {};

TEST_F(LanguageFileTest, FileNamesAndExistence) {
  EXPECT_EQ("Localization.txt",
            clsLanguages::LangTrimPath("C:\\Program Files\\A\\Localization.txt"));
  EXPECT_EQ("", clsLanguages::LangTrimPath(""));
  EXPECT_EQ("", clsLanguages::LangTrimPath("C:\\folder\\"));
  EXPECT_EQ("b/c.txt", clsLanguages::LangTrimPath("a\\b/c.txt"));  // only backslashes count
  EXPECT_FALSE(lang.LangFileExists(lang.FilePath()));
  PutFile("x");
  EXPECT_TRUE(lang.LangFileExists("C:\\PROGRAM FILES\\NORVALE\\LOCALIZATION.TXT"));
  EXPECT_FALSE(lang.LangFileExists("C:\\No Such Folder\\Localization.txt"));
}

TEST_F(LanguageFileTest, ReadingRefusesHugeOrUnreadableFiles) {
  EXPECT_FALSE(ReadLocalizationText(fs, lang.FilePath()));
  PutFile("\xEF\xBB\xBF<LANGUAGE_GROUP>\xFF");
  EXPECT_EQ("<LANGUAGE_GROUP>\xEF\xBF\xBD", ReadLocalizationText(fs, lang.FilePath()).value());
  PutFile(std::string(kMaxLocalizationBytes, ' '));
  EXPECT_TRUE(ReadLocalizationText(fs, lang.FilePath()));
  PutFile(std::string(kMaxLocalizationBytes + 1, ' '));
  EXPECT_FALSE(ReadLocalizationText(fs, lang.FilePath()));
  PutFile("ok");
  fs.FailReadsOf(lang.FilePath());
  EXPECT_FALSE(ReadLocalizationText(fs, lang.FilePath()));
}

}  // namespace
}  // namespace norvale
