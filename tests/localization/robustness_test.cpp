// The readers over hostile text: nothing crashes, nothing is read outside the
// input, and whatever comes back is a piece of what went in.
#include <gtest/gtest.h>

#include <random>

#include "localization/lang_text.h"
#include "localization/language_file.h"
#include "localization/mod_languages.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

using namespace std::string_literals;
using loctest::FileWith;
using loctest::LayoutForm;

bool PartOf(std::string_view piece, std::string_view whole) {
  return piece.empty() || whole.find(piece) != std::string_view::npos;
}

// Runs every reader over `bytes`, as text and as the program's file.
void ReadEverything(const std::string& bytes) {
  SCOPED_TRACE(testing::Message() << "input of " << bytes.size() << " bytes");
  const std::string text = DecodeUtf8(bytes);
  EXPECT_EQ(text, DecodeUtf8(text));
  (void)LooksLikeLocalizationFile(bytes);
  std::vector<std::string> names = ListLanguageNames(text);
  for (const std::string& name : names) ASSERT_TRUE(PartOf(name, text));
  names.push_back("English");
  for (const std::string& name : names) {
    const auto block = FindTranslationItems(text, name);
    if (!block) continue;
    ASSERT_TRUE(PartOf(*block, text));
    for (const char* key : {"FRMLANGUAGE_COMMAND1", "MSG_TITLE", "KEY", "", "<", ">", "/"}) {
      ASSERT_TRUE(PartOf(FindItem(*block, key), *block)) << key;
    }
  }

  loctest::LanguageSetup s;
  RegisterDefaultMessages(s.lang);
  s.PutFile(bytes);
  LayoutForm w{s.kit, "frmLanguage", [](LayoutForm& f) {
                 f.Add<CommandButton>("Command1", -1, "x", nullptr, 0, 0, 1, 1);
                 f.Add<ListView>("lst", -1, "", nullptr, 0, 0, 1, 1).AddColumn("c", 1);
                 f.Add<Menu>("mnu", -1, "m", nullptr, 0, 0, 0, 0);
               }};
  w.Load();
  for (const std::string& name : names) s.lang.ChangeLanguage(w, name);
  (void)s.lang.getMessages("MSG_TITLE");
}

TEST(RobustnessTest, NastyTextsAreReadWithoutHarm) {
  const std::string group = "<LANGUAGE_GROUP>";
  std::string many_groups;
  for (int i = 0; i < 5000; ++i) many_groups += group;
  std::string many_items =
      "<LANGUAGE_GROUP><LANGUAGE_NAME>English</LANGUAGE_NAME><TRANSLATION_ITEMS>";
  for (int i = 0; i < 20000; ++i) many_items += "\r\n<KEY>";
  many_items += "</TRANSLATION_ITEMS></LANGUAGE_GROUP>";
  const std::vector<std::string> inputs = {
      "",
      "<",
      ">",
      "<LANGUAGE_GROUP",
      "</LANGUAGE_GROUP><LANGUAGE_GROUP>",
      "<LANGUAGE_GROUP</LANGUAGE_GROUP>",
      "<LANGUAGE_GROUP></LANGUAGE_NAME><LANGUAGE_NAME>English</LANGUAGE_GROUP>",
      "<LANGUAGE_GROUP><LANGUAGE_NAME>English</LANGUAGE_NAME></TRANSLATION_ITEMS>"
      "<TRANSLATION_ITEMS></LANGUAGE_GROUP>",
      "<LANGUAGE_GROUP><LANGUAGE_GROUP><LANGUAGE_NAME>English</LANGUAGE_NAME></LANGUAGE_GROUP>"
      "</LANGUAGE_GROUP>",
      "<LANGUAGE_GROUP><LANGUAGE_NAME>English</LANGUAGE_NAME><TRANSLATION_ITEMS>\r\n<>\r\n<<>>\r\n"
      "<KEY\r\n>\r\n</KEY><KEY>\r\n\r\r\n\n<KEY>\xFF\xC3</KEY>\r\n</TRANSLATION_ITEMS>"
      "</LANGUAGE_GROUP>",
      "<LANGUAGE_GROUP>\0<LANGUAGE_NAME>\0</LANGUAGE_NAME></LANGUAGE_GROUP>"s,
      "\xEF\xBB\xBF\xFF\xFE\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xE6",
      std::string(5000, '<'),
      many_groups,
      many_items,
  };
  for (const std::string& input : inputs) ReadEverything(input);
}

TEST(RobustnessTest, EveryCutOfARealFileFindsEnglishOnceItIsWhole) {
  const std::string file = loctest::ShippedLocalizationFile();
  const std::string english = FindTranslationItems(file, "English").value();
  const size_t english_end = file.find("</LANGUAGE_GROUP>") + 17;
  for (size_t cut = 0; cut <= file.size(); cut += 11) {
    const std::string prefix = file.substr(0, cut);
    const auto block = FindTranslationItems(prefix, "English");
    if (cut >= english_end) {
      ASSERT_EQ(english, block.value_or("<none>")) << cut;
    } else {
      ASSERT_FALSE(block) << cut;
    }
    (void)ListLanguageNames(prefix);
  }
}

TEST(RobustnessTest, RandomDamageToARealFileIsReadWithoutHarm) {
  const std::string file = loctest::ShippedLocalizationFile();
  const std::vector<std::string> pieces = {"<",
                                           ">",
                                           "</",
                                           "\r\n",
                                           "<LANGUAGE_GROUP>",
                                           "</LANGUAGE_GROUP>",
                                           "<LANGUAGE_NAME>",
                                           "</TRANSLATION_ITEMS>",
                                           "\xC3",
                                           "\xE6\x97"};
  std::mt19937 rng(20261204);
  for (int round = 0; round < 80; ++round) {
    std::string damaged = file;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits && !damaged.empty(); ++e) {
      const size_t at = rng() % damaged.size();
      switch (rng() % 3) {
        case 0:
          damaged.erase(at, rng() % 200);
          break;
        case 1:
          damaged.insert(at, pieces[rng() % pieces.size()]);
          break;
        default:
          damaged[at] = static_cast<char>(rng());
      }
    }
    ReadEverything(damaged);
  }
}

TEST(RobustnessTest, AnOversizedFileLeavesTheLoadedLanguageInForce) {
  loctest::LanguageSetup s;
  LayoutForm w{s.kit, "frmA",
               [](LayoutForm& f) { f.Add<Label>("lbl", -1, "design", nullptr, 0, 0, 1, 1); }};
  w.Load();
  s.PutFile(FileWith({{"Deutsch", {"<FRMA_LBL>deutsch</FRMA_LBL>"}}}));
  s.lang.ChangeLanguage(w, "Deutsch");
  ASSERT_EQ("Deutsch", w.Find("lbl")->Caption());
  std::string huge = FileWith({{"English", {"<FRMA_LBL>english</FRMA_LBL>"}}});
  huge.resize(kMaxLocalizationBytes + 1, ' ');
  s.PutFile(huge);
  s.lang.ChangeLanguage(w, "English");
  EXPECT_EQ("Deutsch", w.Find("lbl")->Caption());
  EXPECT_EQ("English", s.current_language);
}

}  // namespace
}  // namespace norvale
