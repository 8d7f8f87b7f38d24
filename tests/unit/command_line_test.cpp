#include <gtest/gtest.h>

#include "apps/norvale/command_line.h"

namespace norvale {
namespace {

TEST(CommandLine, DryRunSwitchInAnySpellingAndCase) {
  for (const char* s : {"/dryrun", "/DryRun", "-dryrun", "--dry-run", "--DRY-RUN"}) {
    EXPECT_TRUE(ParseCommandLine({s}).dry_run) << s;
  }
  EXPECT_FALSE(ParseCommandLine({}).dry_run);
  const CommandLine cl = ParseCommandLine({"/dry", "x"});
  EXPECT_FALSE(cl.dry_run);
  EXPECT_EQ((std::vector<std::string>{"/dry", "x"}), cl.unknown);
}

TEST(CommandLine, ShowNamesAWindow) {
  EXPECT_EQ("frmOptions", ParseCommandLine({"/show:frmOptions"}).show_window);
  EXPECT_EQ("frmAbout", ParseCommandLine({"/SHOW:frmAbout"}).show_window);
  EXPECT_EQ(std::vector<std::string>{"/show:"}, ParseCommandLine({"/show:"}).unknown);
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotes) {
  EXPECT_EQ((std::vector<std::string>{"/dryrun", "a b", "", "c"}),
            SplitCommandLine("  /dryrun \"a b\" \"\"\tc "));
  EXPECT_TRUE(SplitCommandLine("").empty());
}

}  // namespace
}  // namespace norvale
