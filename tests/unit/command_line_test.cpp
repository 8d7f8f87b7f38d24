#include <gtest/gtest.h>

#include "apps/norvale/command_line.h"
#include "apps/norvale/listing.h"

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
      {{"/quick:Explode", "/in:5"}, "Unknown action \"Explode\""},
      {{"/quick:Reboot"}, "/quick: needs one of /in:, /at:, /when-idle:, /when-ends: or /when-quiet:"},
      {{"/quick:Reboot", "/in:0"}, "/in: needs a number of minutes from 1 to 44640"},
      {{"/quick:Reboot", "/in:5", "/at:10:00"},
       "Give only one of /in:, /at:, /when-idle:, /when-ends: or /when-quiet:"},
      {{"/quick:Reboot", "/at:24:00"}, "/at: needs a time HH:MM"},
      {{"/quick:Reboot", "/at:7:5"}, "/at: needs a time HH:MM"},
      {{"/quick:Reboot", "/when-idle:1441"}, "from 1 to 1440"},
      {{"/quick:Reboot", "/when-ends:"}, "/when-ends: needs a process id"},
      {{"/in:5"}, "go with /quick:ACTION"},
      {{"/cancel", "/list"}, "Give one of /quick:, /cancel, /list or /? at a time"},
      {{"/lsit"}, "Unknown switch \"/lsit\""},
  };
  for (const auto& [args, why] : bad) {
    const std::string error = ParseCommandLine(args).usage_error;
    EXPECT_NE(std::string::npos, error.find(why)) << args[0] << ": " << error;
    EXPECT_EQ(std::string::npos, error.find('\n')) << error;
  }
}

// A script gone wrong may pass a whole file as one argument: the reason quotes
// 40 characters of it, cut between characters, never between bytes.
TEST(CommandLine, AUsageErrorQuotesAtMostFortyCharactersOfABadArgument) {
  const std::string huge(30000, '7');
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/quick:Reboot", "/in:" + huge},
        std::vector<std::string>{"/quick:" + huge, "/in:5"}, std::vector<std::string>{"/" + huge},
        std::vector<std::string>{"/quick:Reboot", "/when-idle:" + huge},
        std::vector<std::string>{"/quick:Reboot", "/at:" + huge}}) {
    const std::string error = ParseCommandLine(args).usage_error;
    EXPECT_LT(error.size(), 200u) << error;
    // 40 characters ("/" and 39, or 40 sevens), then the mark and the closing quote.
    EXPECT_NE(std::string::npos, error.find(std::string(39, '7') + "\u2026\"")) << error;
    EXPECT_EQ(std::string::npos, error.find(std::string(41, '7'))) << error;
  }
  EXPECT_EQ(std::string(40, 'x'), QuotedArgument(std::string(40, 'x')));  // whole: no mark
  EXPECT_EQ(std::string(40, 'x') + "\u2026", QuotedArgument(std::string(41, 'x')));
  // Cyrillic letters are two bytes each: forty of them are eighty bytes.
  std::string cyrillic;
  for (int i = 0; i < 50; ++i) cyrillic += "\u0436";
  const std::string cut = QuotedArgument(cyrillic);
  EXPECT_EQ(cyrillic.substr(0, 80) + "\u2026", cut);
}

TEST(CommandLine, DisplayWidthCountsCharactersAndWideOnesTwice) {
  EXPECT_EQ(5u, DisplayWidth("Night"));
  EXPECT_EQ(4u, DisplayWidth("\u041D\u043E\u0447\u044C"));  // Ночь: 8 bytes
  EXPECT_EQ(6u, DisplayWidth("\u591C\u9593\u3067"));          // 夜間で: 9 bytes
  EXPECT_EQ(4u, DisplayWidth("\uFF21\uFF22"));                  // full-width AB
  EXPECT_EQ(1u, DisplayWidth("e\u0301"));                        // e and a combining acute
  EXPECT_EQ(0u, DisplayWidth(""));
}

// A stand-in catalogue: every text in capitals and Cyrillic-framed, so a text
// the command line took from elsewhere stands out.
std::string Loud(std::string_view key, std::string_view english) {
  if (key == "MSG_CLACTION") return "\u0414\u0415\u0419\u0421\u0422\u0412\u0418\u0415";
  if (key == "MSG_STANDBY") return "\u0416\u0434\u0443\u0449\u0438\u0439";
  return "\u00AB" + EnglishText(key, english) + "\u00BB";
}

// Where the second column of a usage line begins on screen: after the first gap
// of two blanks past the indent.
size_t SecondColumn(const std::string& line) {
  const size_t gap = line.find("  ", 2);
  if (gap == std::string::npos) return 0;
  return DisplayWidth(line.substr(0, line.find_first_not_of(' ', gap)));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    out.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

TEST(CommandLine, TheUsageSpeaksTheCatalogueAndKeepsItsSecondColumnAligned) {
  const std::string usage = UsageText(Loud);
  const std::vector<std::string> lines = Lines(usage);
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ("\u00ABUsage: Norvale.exe [/dryrun] [request]\u00BB", lines[0]);
  // Eight switch lines; their descriptions begin in one column on screen,
  // however many bytes the translated ACTION takes.
  std::vector<size_t> second;
  for (size_t i = 1; i <= 8; ++i) second.push_back(SecondColumn(lines[i]));
  EXPECT_GT(second[0], 20u);
  EXPECT_EQ(std::vector<size_t>(8, second[0]), second) << usage;
  EXPECT_NE(std::string::npos, lines[1].find("/quick:\u0414\u0415\u0419\u0421\u0422\u0412\u0418\u0415 /in:"));
  // Every line is a catalogue text, framed; none is left in plain English.
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_NE(std::string::npos, lines[i].find("\u00AB")) << lines[i];
  }
}

TEST(CommandLine, ListColumnsAlignOnScreenWithCyrillicRowsAndNameActionsAsTheWindow) {
  const ListItems rows = {
      {"\u041D\u043E\u0447\u043D\u043E\u0435 \u0432\u044B\u043A\u043B\u044E\u0447\u0435\u043D\u0438\u0435",
       {"Stand by", "", "2026-12-04 23:30:00", "Yes"}},
      {"Night", {"Shut Down", "2026-12-03 23:30:00", "2026-12-04 23:30:00", "No"}},
      {"\u591C\u9593", {"Reboot", "", "", "Yes"}},
  };
  const std::string english = FormatListing("C:\\data\\", "2026-12-04 22:00:00", rows, {"Bad"});
  const std::vector<std::string> lines = Lines(english);
  ASSERT_EQ(6u, lines.size()) << english;
  EXPECT_EQ("Schedules in C:\\data\\ (now 2026-12-04 22:00:00)", lines[0]);
  EXPECT_EQ(0u, lines[1].find("Schedule Name"));
  EXPECT_NE(std::string::npos, lines[2].find("Stand By  ")) << "as the window shows it";
  EXPECT_EQ("Could not read the schedule \"Bad\".", lines[5]);
  // The Type column begins at one place on screen in the header and every row.
  const auto type_at = [](const std::string& line, const std::string& type) {
    return DisplayWidth(line.substr(0, line.find(type)));
  };
  EXPECT_EQ(type_at(lines[1], "Type"), type_at(lines[2], "Stand By"));
  EXPECT_EQ(type_at(lines[1], "Type"), type_at(lines[3], "Shut Down"));
  EXPECT_EQ(type_at(lines[1], "Type"), type_at(lines[4], "Reboot"));
  EXPECT_EQ(type_at(lines[1], "Enabled"), type_at(lines[2], "Yes"));
  EXPECT_EQ(type_at(lines[1], "Enabled"), type_at(lines[3], "No"));

  // In another language, headers, actions, Yes and the frame all come from it.
  const std::string loud = FormatListing("C:\\data\\", "now", rows, {}, Loud);
  EXPECT_EQ(0u, loud.find("\u00ABSchedules in C:\\data\\ (now now)\u00BB\n\u00ABSchedule Name\u00BB"));
  EXPECT_NE(std::string::npos, loud.find("\u0416\u0434\u0443\u0449\u0438\u0439"));
  EXPECT_NE(std::string::npos, loud.find("\u00ABYes\u00BB"));
  EXPECT_EQ(std::string::npos, loud.find("Stand"));
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotes) {
  EXPECT_EQ((std::vector<std::string>{"/dryrun", "a b", "", "c"}),
            SplitCommandLine("  /dryrun \"a b\" \"\"\tc "));
  EXPECT_TRUE(SplitCommandLine("").empty());
}

}  // namespace
}  // namespace norvale
