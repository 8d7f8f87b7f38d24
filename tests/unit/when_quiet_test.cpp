// Rows that wait until the processor and the network have been quiet for a
// while: through `norvale simulate` with load that rises and falls, through the
// command line, and through the delay list's question.
#include <gtest/gtest.h>

#include "apps/norvale/command_line.h"
#include "apps/norvale/simulate.h"
#include "platform/headless/fake_load.h"
#include "tests/fakes/fakes.h"
#include "tests/unit/app_fixture.h"
#include "ui/main/quick_delay.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// What `events` makes the program print, from 08:00 to midnight of 1 March 2027.
Lines Simulate(const std::string& events, int warning = 0) {
  std::string error;
  auto plan = ParseSimulationArgs({"--data", "d", "--from", "2027-03-01T08:00", "--to",
                                   "2027-03-02T00:00", "--warning", std::to_string(warning),
                                   "--events", "e"},
                                  error);
  if (!plan || !ParseSimulationEvents(events, *plan, error)) {
    ADD_FAILURE() << error;
    return {};
  }
  Lines out;
  RunSimulation(*plan, {}, nullptr, [&](const std::string& line) { out.push_back(line); });
  return out;
}

TEST(WhenQuiet, PerformedItsMinutesAfterTheLastRiseEndsAndNeverWhileEitherIsBusy) {
  // A render keeps the processor busy, then a download the network; a short
  // burst at the limit itself (10 %) is no quiet either. Five quiet minutes
  // come only after 08:25.
  EXPECT_EQ(Lines{"2027-03-01 08:30:00\tQuick Schedule 2027-03-01 08:00:00\tShut Down"},
            Simulate("2027-03-01T08:00\tload\t80\t0\n"
                     "2027-03-01T08:00\twhen-quiet\tShut Down\t5\n"
                     "2027-03-01T08:10\tload\t2\t0\n"
                     "2027-03-01T08:13\tload\t5\t400\n"
                     "2027-03-01T08:20\tload\t3\t49\n"
                     "2027-03-01T08:24\tload\t10\t0\n"
                     "2027-03-01T08:25\tload\t0\t0\n"));
  // The row's own limits: a busy computer is quiet enough below 60 % and 1000 KB/s.
  EXPECT_EQ(Lines{"2027-03-01 08:02:00\tQuick Schedule 2027-03-01 08:00:00\tHibernate"},
            Simulate("2027-03-01T08:00\tload\t50\t900\n"
                     "2027-03-01T08:00\twhen-quiet\thibernate\t2,60,1000\n"));
}

TEST(WhenQuiet, QuietTimeIsAwakeTimeAndAClockSetChangesNothing) {
  // Quiet until the sleep at 08:08, then counted again from the resume at 09:00;
  // the clock set forward three hours meanwhile moves nothing.
  EXPECT_EQ(Lines{"2027-03-01 12:10:00\tQuick Schedule 2027-03-01 08:00:00\tReboot"},
            Simulate("2027-03-01T08:00\twhen-quiet\tReboot\t10\n"
                     "2027-03-01T08:08\tsleep\t2027-03-01T09:00\n"
                     "2027-03-01T09:03\tset-clock\t2027-03-01T12:03\n"));
}

TEST(WhenQuiet, ARiseDuringTheWarningCountsAgainAndCancelEndsTheWait) {
  // Due at 08:05, warned of for a minute; the rise at 08:05:30 is seen at the
  // next reading and the warning goes; quiet again from 08:06 on.
  EXPECT_EQ(Lines{"2027-03-01 08:12:00\tQuick Schedule 2027-03-01 08:00:00\tLog Off"},
            Simulate("2027-03-01T08:00\twhen-quiet\tLog Off\t5\n"
                     "2027-03-01T08:05:30\tload\t50\t0\n"
                     "2027-03-01T08:06\tload\t0\t0\n",
                     60));
  // /cancel while it waits: nothing all day, while a later wait still comes.
  EXPECT_EQ(Lines{"2027-03-01 09:01:00\tQuick Schedule 2027-03-01 09:00:00\tStand by"},
            Simulate("2027-03-01T08:00\twhen-quiet\tShut Down\t5\n"
                     "2027-03-01T08:04\tcancel\n"
                     "2027-03-01T09:00\twhen-quiet\tStand By\t1\n"));
}

TEST(WhenQuiet, TheSwitchTakesMinutesThenOptionallyPercentAndRateInRange) {
  const std::pair<const char*, QuietLimits> good[] = {
      {"5", {5, 10, 50}},
      {"15,25", {15, 25, 50}},
      {"1440,100,1000000", {1440, 100, 1000000}},
      {"1,1,1", {1, 1, 1}},
  };
  for (const auto& [spec, want] : good) {
    const CommandLine cl = ParseCommandLine({"/quick:Reboot", std::string("/When-Quiet:") + spec});
    EXPECT_EQ("", cl.usage_error) << spec;
    EXPECT_EQ(Request::When::Quiet, cl.request.when) << spec;
    EXPECT_EQ(want.minutes, cl.request.quiet.minutes) << spec;
    EXPECT_EQ(want.cpu_percent, cl.request.quiet.cpu_percent) << spec;
    EXPECT_EQ(want.kilobytes_per_second, cl.request.quiet.kilobytes_per_second) << spec;
  }
  for (const char* bad : {"", "0", "1441", "five", "5,0", "5,101", "5,10,0", "5,10,1000001",
                          "5,,50", "5,10,", "5,10,50,1", " 5", "-5", "5;10"}) {
    const std::string error =
        ParseCommandLine({"/quick:Reboot", std::string("/when-quiet:") + bad}).usage_error;
    EXPECT_NE(std::string::npos, error.find("/when-quiet: needs MINUTES[,CPU%[,KBPS]]")) << bad;
    EXPECT_NE(std::string::npos, error.find(std::string("\"") + bad + "\"")) << error;
  }
  EXPECT_NE(std::string::npos,
            ParseCommandLine({"/quick:Reboot", "/when-quiet:5", "/in:5"}).usage_error.find(
                "Give only one of"));
  const std::string usage = UsageText(EnglishText);
  EXPECT_NE(std::string::npos, usage.find("/quick:ACTION /when-quiet:MINUTES[,CPU%[,KBPS]]"));
}

TEST(WhenQuiet, EventsLinesForLoadAndWaitsAreCheckedAndNamed) {
  SimulationPlan plan;
  plan.from = fakes::FakeClock::At(2027, 3, 1, 0, 0);
  plan.to = fakes::FakeClock::At(2027, 3, 2, 0, 0);
  for (const char* bad : {"2027-03-01T10:00\tload\t101\t0\n", "2027-03-01T10:00\tload\t5\n",
                          "2027-03-01T10:00\tload\t-1\t0\n", "2027-03-01T10:00\tload\t5\tfast\n",
                          "2027-03-01T10:00\twhen-quiet\tShut Down\t0\n",
                          "2027-03-01T10:00\twhen-quiet\tExplode\t5\n"}) {
    SimulationPlan p = plan;
    std::string error;
    EXPECT_FALSE(ParseSimulationEvents(std::string("# load\n\n") + bad, p, error)) << bad;
    EXPECT_NE(std::string::npos, error.find("line 3")) << error;
  }
  SimulationPlan p = plan;
  std::string error;
  EXPECT_TRUE(ParseSimulationEvents("2027-03-01T10:00\tload\t12.5\t0.25\n", p, error)) << error;
  ASSERT_EQ(1u, p.events.size());
  EXPECT_DOUBLE_EQ(12.5, p.events[0].cpu_percent);
  EXPECT_DOUBLE_EQ(0.25, p.events[0].kilobytes_per_second);
}

class WhenQuietWindowTest : public testing_app::AppTest {
 protected:
  FakeLoad load{clock};
  std::unique_ptr<frmMain> main;

  void Start() {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");  // performed at once
    app.load = &load;
    main = std::make_unique<frmMain>(app);
    main->Show();
    main->cbShutdown->SetText("Stand by");
    const auto choices = DelayChoices();
    main->cmbTime->UserSelect(
        static_cast<int>(std::find(choices.begin(), choices.end(), kWhenQuiet) - choices.begin()));
  }
};

TEST_F(WhenQuietWindowTest, GoAsksTheLimitsRefusesBadOnesAndTheLoadIsReadOnlyWhileTheRowWaits) {
  Start();
  kit.Advance(30min);
  EXPECT_EQ(0, load.Readings());  // nothing waits for quiet: nothing read
  int asked = 0;
  kit.OnModal("frmWhenQuiet", [&](Form& f) {
    auto& ask = static_cast<frmWhenQuiet&>(f);
    ++asked;
    EXPECT_EQ("5", ask.txtMinutes->Text());
    EXPECT_EQ("10", ask.txtCpu->Text());
    EXPECT_EQ("50", ask.txtNetwork->Text());
    EXPECT_EQ("&Processor below:", ask.lblCpu->Caption());
    // Each bad box is named; what was typed anywhere stays.
    const std::pair<TextBox*, const char*> bad[] = {
        {ask.txtMinutes, "Enter a number of minutes from 1 to 1440."},
        {ask.txtCpu, "Enter a processor use from 1 to 100 percent."},
        {ask.txtNetwork, "Enter a network rate from 1 to 1000000 KB/s."},
    };
    ask.txtMinutes->UserType("3");
    ask.txtCpu->UserType("20");
    for (const auto& [box, message] : bad) {
      const std::string was = box->Text();
      box->UserType(box == ask.txtCpu ? "101" : "0");
      kit.Script().Expect(message, MsgBoxResult::OK);
      ask.cmdOK->UserClick();
      EXPECT_TRUE(ask.Loaded()) << message;
      EXPECT_EQ(box == ask.txtCpu ? "101" : "0", box->Text());
      box->UserType(was == "50" ? "100" : was);
    }
    EXPECT_EQ("3", ask.txtMinutes->Text());
    EXPECT_EQ("20", ask.txtCpu->Text());
    ask.cmdOK->UserClick();
    EXPECT_FALSE(ask.Loaded());
  });
  main->cmdGo->UserClick();
  EXPECT_EQ(1, asked);
  EXPECT_TRUE(kit.Script().AllAnswered());
  ASSERT_EQ(1u, main->lstSchedules->Items().size());
  EXPECT_EQ("when quiet 3 min (CPU < 20 %, network < 100 KB/s)",
            main->lstSchedules->Items()[0].SubItem(3));

  load.Set(35, 0);
  kit.Advance(10min);
  load.Set(5, 99);
  kit.Advance(2min + 50s);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(20s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Stand by", power.requests[0].action);
  EXPECT_TRUE(main->lstSchedules->Items().empty());
  // Done with: no more readings, and the timer back to its longest wait.
  const int readings = load.Readings();
  EXPECT_GT(readings, 60);
  kit.Advance(24h);
  EXPECT_EQ(readings, load.Readings());
  EXPECT_EQ(1u, power.requests.size());
  EXPECT_GE(main->tmrScheduler->Interval(), 24 * 3600 * 1000);
}

TEST_F(WhenQuietWindowTest, CancelInTheQuestionAddsNothing) {
  Start();
  kit.OnModal("frmWhenQuiet", [](Form& f) {
    auto& ask = static_cast<frmWhenQuiet&>(f);
    ask.txtMinutes->UserType("7");
    ask.cmdCancel->UserClick();
  });
  main->cmdGo->UserClick();
  EXPECT_TRUE(main->lstSchedules->Items().empty());
  kit.Advance(1h);
  EXPECT_EQ(0, load.Readings());
  EXPECT_TRUE(power.requests.empty());
}

}  // namespace
}  // namespace norvale
