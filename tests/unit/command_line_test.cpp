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

TEST(CommandLine, RequestsAreReadIgnoringCaseAndBadOnesSayWhyInOneLine) {
  CommandLine cl = ParseCommandLine({"/QUICK:shut down", "/In:15", "/dryrun"});
  EXPECT_EQ("", cl.usage_error);
  EXPECT_TRUE(cl.dry_run);
  EXPECT_EQ(Request::Kind::Quick, cl.request.kind);
  EXPECT_EQ("Shut Down", cl.request.action);  // the stored name
  EXPECT_EQ(15, cl.request.minutes);
  cl = ParseCommandLine({"/quick:Stand By", "/at:07:05"});
  EXPECT_EQ("Stand by", cl.request.action);
  EXPECT_EQ(Request::When::At, cl.request.when);
  EXPECT_EQ(7 * 60 + 5, cl.request.at_minute);
  cl = ParseCommandLine({"/quick:hibernate", "/when-ends:render.exe"});
  EXPECT_EQ(Request::When::Ends, cl.request.when);
  EXPECT_EQ("render.exe", cl.request.program);
  EXPECT_EQ(Request::Kind::Cancel, ParseCommandLine({"/cancel"}).request.kind);
  EXPECT_EQ(Request::Kind::List, ParseCommandLine({"/LIST"}).request.kind);
  EXPECT_EQ(Request::Kind::Usage, ParseCommandLine({"/?"}).request.kind);
  EXPECT_TRUE(ParseCommandLine({"/tray", "/dryrun"}).tray);

  const std::pair<std::vector<std::string>, const char*> bad[] = {
      {{"/quick:Explode", "/in:5"}, "unknown action \"Explode\""},
      {{"/quick:Reboot"}, "/quick: needs one of"},
      {{"/quick:Reboot", "/in:0"}, "/in: needs a number of minutes from 1 to 44640"},
      {{"/quick:Reboot", "/in:5", "/at:10:00"}, "give only one of"},
      {{"/quick:Reboot", "/at:24:00"}, "/at: needs a time HH:MM"},
      {{"/quick:Reboot", "/at:7:5"}, "/at: needs a time HH:MM"},
      {{"/quick:Reboot", "/when-idle:1441"}, "from 1 to 1440"},
      {{"/quick:Reboot", "/when-ends:"}, "/when-ends: needs a process id"},
      {{"/in:5"}, "go with /quick:ACTION"},
      {{"/cancel", "/list"}, "give one of"},
      {{"/lsit"}, "unknown switch \"/lsit\""},
  };
  for (const auto& [args, why] : bad) {
    const std::string error = ParseCommandLine(args).usage_error;
    EXPECT_NE(std::string::npos, error.find(why)) << args[0] << ": " << error;
    EXPECT_EQ(std::string::npos, error.find('\n')) << error;
  }
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotes) {
  EXPECT_EQ((std::vector<std::string>{"/dryrun", "a b", "", "c"}),
            SplitCommandLine("  /dryrun \"a b\" \"\"\tc "));
  EXPECT_TRUE(SplitCommandLine("").empty());
}

}  // namespace
}  // namespace norvale
