// Branding values, placeholders, text rules and the message catalogue.
#include <gtest/gtest.h>

#include "localization/lang_text.h"
#include "localization/mod_languages.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

TEST(BrandingTest, ValuesComeFromTheVersionInformationAndPlaceholdersMatchInAnyCase) {
  loctest::FixedSystemInfo system;
  system.info = {"Norvale", "Norvale Labs", "www.norvale.example", 1, 4};
  const Branding b = LoadBranding(system);
  EXPECT_EQ(25, b.ProductNumber);
  EXPECT_TRUE(b.SkinsEnabled);
  EXPECT_EQ("Norvale, NORVALE? Norvale Labs www.norvale.example",
            ReplaceCaptionPlaceholders("[programname], NORVALE? [COMPANYname] [WebSite]", b));
  // Messages keep the website placeholder; a value is not searched again.
  EXPECT_EQ("Norvale [Website]", ReplaceMessagePlaceholders("[ProgramName] [Website]", b));
  EXPECT_EQ("[programname]!",
            ReplaceIgnoringCase("[ProgramName]!", "[PROGRAMNAME]", "[programname]"));
  system.info = {};
  EXPECT_EQ(
      "About  at http://",
      ReplaceCaptionPlaceholders("About [ProgramName] at http://[website]", LoadBranding(system)));
}

TEST(LangTextTest, TheFirstLetterBecomesItsCapitalInEveryAlphabet) {
  for (const auto& [small, capital] : std::vector<std::pair<std::string, std::string>>{
           {"école", "École"},
           {"școală", "Școală"},
           {"әлифба", "Әлифба"},
           {"ơn", "Ơn"},
           {"ǆep", "Ǆep"},
           {"արև", "Արև"},
           {"ςx", "Σx"},
           {"жёлтый", "Жёлтый"},
           {"ıx", "ıx"},  // no capital of its own in the simple folding
           {"日本", "日本"},
           {"https://x", "https://x"},
           {"\xFFz", "\xFFz"},
           {"", ""}}) {
    EXPECT_EQ(capital, CapitalizeFirst(small)) << small;
  }
}

TEST(LangTextTest, DecodingReplacesMalformedBytesAndDropsTheByteOrderMark) {
  EXPECT_EQ("<a>日本語", DecodeUtf8("\xEF\xBB\xBF<a>日本語"));
  EXPECT_EQ(
      "a\xEF\xBF\xBD"
      "b",
      DecodeUtf8("a\xFF"
                 "b"));
  EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", DecodeUtf8("\xC0\xAF"));                  // overlong
  EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", DecodeUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_EQ("x\xEF\xBF\xBD", DecodeUtf8("x\xE6\x97"));  // cut off: one replacement
  EXPECT_EQ(std::string("a\0b", 3), DecodeUtf8(std::string("a\0b", 3)));
}

class CatalogueTest : public ::testing::Test, public loctest::LanguageSetup {};

TEST_F(CatalogueTest, DefaultMessagesTakeTheFirstSlotsInOrderWithRoomToSpare) {
  RegisterDefaultMessages(lang);
  const std::vector<std::string> keys = {
      "MSG_NEWNAME",       "MSG_NONAME",       "MSG_DELETE",       "MSG_SURE",
      "MSG_TITLE",         "MSG_TITLERUNNING", "MSG_TITLEOPTIONS", "MSG_TITLEWIZARD",
      "MSG_TITLELANGUAGE", "MSG_TITLEABOUT",   "MSG_MONDAY",       "MSG_TUESDAY",
      "MSG_WEDNESDAY",     "MSG_THURSDAY",     "MSG_FRIDAY",       "MSG_SATURDAY",
      "MSG_SUNDAY",        "MSG_DOWNLOADED",   "MSG_UNREADABLE"};
  const MessageTable& table = lang.MessageCatalogue();
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i], table[i].Key) << i;
    EXPECT_EQ(-1, table[i].InUse) << i;
  }
  const auto slot = [&](std::string_view key) {
    for (size_t i = 0; i < table.size(); ++i) {
      if (table[i].InUse && table[i].Key == key) return i;
    }
    return table.size();
  };
  EXPECT_EQ(41u, slot("MSG_HISTORYOFF"));  // the last of the warning and history texts
  EXPECT_EQ(43u, slot("MSG_NODAYS"));      // the editor's refusals
  EXPECT_EQ(83u, slot("MSG_PROGRAMGONE"));  // the last of the waiting rows' texts
  // Each area's messages follow, the lists' shown texts last.
  EXPECT_LT(slot("MSG_PROGRAMGONE"), slot("MSG_REFUSEDNOTUTF8"));
  EXPECT_LT(slot("MSG_REFUSEDNOTUTF8"), slot("MSG_NOTWRITTEN"));
  const size_t used = slot("MSG_NO") + 1;
  EXPECT_LT(slot("MSG_NOTWRITTEN"), slot("MSG_HIBERNATE"));
  // A message beyond the table would be dropped without a word.
  ASSERT_LT(used, table.size());
  EXPECT_EQ(0, table[used].InUse);
  EXPECT_EQ("Error: An item with that name already exists.  Please choose a different name",
            table[0].Text);
  EXPECT_EQ("The most recent language file has been downloaded.  Please check for new languages.",
            table[17].Text);
  EXPECT_EQ("Norvale by Norvale Labs", lang.getMessages("MSG_TITLE"));
  EXPECT_EQ("Norvale is still running", lang.getMessages("msg_titleRunning"));
}

TEST_F(CatalogueTest, FirstRegistrationWinsAndOneBeyondTheTableIsDropped) {
  EXPECT_EQ("", lang.getMessages("MSG_SURE"));  // empty table
  lang.setMessage("K0", "first");
  lang.setMessage("k0", "second");
  const int slots = static_cast<int>(kMessageSlots);
  for (int i = 2; i < slots; ++i) lang.setMessage("K" + std::to_string(i), "t");
  lang.setMessage("K" + std::to_string(slots), "late");
  EXPECT_EQ("First", lang.getMessages("K0"));
  EXPECT_EQ("T", lang.getMessages("K" + std::to_string(slots - 1)));
  EXPECT_EQ("", lang.getMessages("K" + std::to_string(slots)));
  EXPECT_EQ("", lang.getMessages("K1"));
}

TEST_F(CatalogueTest, TextsComeBackWithACapitalFirstLetterInAnyScript) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"about [programname] by [COMPANYNAME], see [Website]",
       "About Norvale by Norvale Labs, see [Website]"},
      {"über alles", "Über alles"},
      {"выбор языка", "Выбор языка"},
      {"ελληνικά", "Ελληνικά"},
      {"日本語", "日本語"},
      {"https://norvale.example/ にアクセス", "https://norvale.example/ にアクセス"},
      {"", ""}};
  for (size_t i = 0; i < cases.size(); ++i)
    lang.setMessage("M" + std::to_string(i), cases[i].first);
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(cases[i].second, lang.getMessages("m" + std::to_string(i)));
  }
  lang.setMessage("schlüssel", "x");  // keys compare in capitals beyond ASCII too
  EXPECT_EQ("X", lang.getMessages("SCHLÜSSEL"));
}

}  // namespace
}  // namespace norvale
