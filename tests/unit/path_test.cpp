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

TEST(Path, CaseFoldingIsAsciiAndLengthSensitive) {
  EXPECT_TRUE(EqualsIgnoringCase("Night.SCH", "night.sch"));
  EXPECT_FALSE(EqualsIgnoringCase("Night", "Nights"));
  EXPECT_FALSE(EqualsIgnoringCase("Night[", "Night{"));  // not folded by bit tricks
}

}  // namespace
}  // namespace norvale
