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
  EXPECT_TRUE(EqualsIgnoringCase("σοφός ώρα", "ΣΟΦΌΣ ΏΡΑ"));
  EXPECT_TRUE(EqualsIgnoringCase("ａｂ", "ＡＢ"));
  EXPECT_FALSE(EqualsIgnoringCase("straße", "STRASSE"));  // one letter for one
  EXPECT_FALSE(EqualsIgnoringCase("é", "e"));
  EXPECT_EQ("ÉCOLE 夜", UpperForNames("école 夜"));
  // Bytes that are no UTF-8 stay as they are.
  EXPECT_EQ(std::string("A\xE9"
                        "B\xFF"),
            UpperForNames(std::string("a\xE9"
                                      "b\xFF")));
}

}  // namespace
}  // namespace norvale
