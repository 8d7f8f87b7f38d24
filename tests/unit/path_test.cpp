#include <gtest/gtest.h>

#include "platform/path.h"

namespace norvale {
namespace {

TEST(Path, FileNameAndFolderSplitAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ("Night.sch", FileNameOf("C:\\Norvale\\data\\Night.sch"));
  EXPECT_EQ("Night.sch", FileNameOf("/opt/norvale/data/Night.sch"));
  EXPECT_EQ("Night.sch", FileNameOf("Night.sch"));
  EXPECT_EQ("", FileNameOf("C:\\data\\"));
  EXPECT_EQ("C:\\Norvale\\data", FolderOf("C:\\Norvale\\data\\Night.sch"));
  EXPECT_EQ("", FolderOf("Night.sch"));
}

TEST(Path, JoinAddsOneSeparatorOnlyWhenMissing) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ("a" + sep + "b", JoinPath("a", "b"));
  EXPECT_EQ("a" + sep + "b", JoinPath("a" + sep, "b"));
  EXPECT_EQ("b", JoinPath("", "b"));
}

TEST(Path, PatternsMatchIgnoringCaseWithStarsAndQuestionMarks) {
  EXPECT_TRUE(MatchesPattern("Night.sch", "*.sch"));
  EXPECT_TRUE(MatchesPattern("NIGHT.SCH", "*.sch"));
  EXPECT_TRUE(MatchesPattern("a.b.sch", "*.sch"));
  EXPECT_TRUE(MatchesPattern(".sch", "*.sch"));
  EXPECT_FALSE(MatchesPattern("x.schedule", "*.sch"));
  EXPECT_FALSE(MatchesPattern("x.sc", "*.sch"));
  EXPECT_TRUE(MatchesPattern("ab", "a?"));
  EXPECT_FALSE(MatchesPattern("a", "a?"));
  EXPECT_TRUE(MatchesPattern("anything", "*"));
  EXPECT_TRUE(MatchesPattern("abcabd", "*abd"));
}

TEST(Path, NamesCompareIgnoringTheCaseOfEveryLetterAsWindowsDoes) {
  EXPECT_TRUE(EqualsIgnoringCase("Night.SCH", "night.sch"));
  EXPECT_FALSE(EqualsIgnoringCase("Night", "Nights"));
  EXPECT_FALSE(EqualsIgnoringCase("Night[", "Night{"));  // not folded by bit tricks
  EXPECT_TRUE(EqualsIgnoringCase("übung", "ÜBUNG"));
  EXPECT_TRUE(EqualsIgnoringCase("Ночь", "НОЧЬ"));
  EXPECT_TRUE(EqualsIgnoringCase("ёлка", "ЁЛКА"));
  EXPECT_TRUE(EqualsIgnoringCase("Łódź", "ŁÓDŹ"));
  EXPECT_TRUE(EqualsIgnoringCase("ÿ", "Ÿ"));
  EXPECT_TRUE(EqualsIgnoringCase("σοφία ώρα", "ΣΟΦΊΑ ΏΡΑ"));
  EXPECT_TRUE(EqualsIgnoringCase("ａｂ", "ＡＢ"));
  EXPECT_FALSE(EqualsIgnoringCase("straße", "STRASSE"));  // one letter for one
  EXPECT_FALSE(EqualsIgnoringCase("é", "e"));
}

// The alphabets the old tables missed: Romanian comma-below letters, Azerbaijani
// schwa, Vietnamese letters with dot below and horn, the Croatian digraph in
// its three cases, Armenian. Windows itself on Windows, the table elsewhere.
TEST(Path, NamesEqualIgnoringCaseInEveryAlphabetWindowsFolds) {
  const std::pair<const char*, const char*> same[] = {
      {"școală", "ȘCOALĂ"}, {"ә", "Ә"},         {"ạ", "Ạ"},   {"ơ", "Ơ"},
      {"ǆ", "Ǆ"},           {"ǉ", "Ǉ"},         {"ա", "Ա"},   {"ţară", "ŢARĂ"},
      {"Ελλάδα", "ΕΛΛΆΔΑ"}};
  for (const auto& [a, b] : same) {
    EXPECT_TRUE(EqualsIgnoringCase(a, b)) << a << " " << b;
    EXPECT_TRUE(EqualsIgnoringCase(b, a)) << b << " " << a;
  }
#ifndef _WIN32
  // The title-case digraphs and the final sigma fold with their letters in the
  // table; Windows decides them itself (Wine's CompareStringOrdinal keeps them apart).
  for (const auto& [a, b] : {std::pair{"ǅ", "ǆ"}, {"ǅ", "Ǆ"}, {"ǌ", "ǋ"}, {"σοφός", "ΣΟΦΌΣ"}}) {
    EXPECT_TRUE(EqualsIgnoringCase(a, b)) << a << " " << b;
    EXPECT_TRUE(EqualsIgnoringCase(b, a)) << b << " " << a;
  }
#endif
  const std::pair<const char*, const char*> different[] = {
      {"școală", "scoala"},  // a letter is not its base letter
      {"ș", "ş"},            // comma below is not cedilla
      {"ǆ", "dž"},           // the digraph is one letter, not two
      {"ạ", "ả"},
      {"ա", "բ"}};
  for (const auto& [a, b] : different) EXPECT_FALSE(EqualsIgnoringCase(a, b)) << a << " " << b;
  // Bytes that are no UTF-8 equal only the same bytes.
  EXPECT_TRUE(EqualsIgnoringCase("a\xFF", "a\xFF"));
  EXPECT_FALSE(EqualsIgnoringCase("a\xFF", "A\xFF"));
  EXPECT_FALSE(EqualsIgnoringCase("a\xFF", "a\xFE"));
}

}  // namespace
}  // namespace norvale
