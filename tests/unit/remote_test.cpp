// What the running program answers to a second copy's command line.
#include "apps/norvale/remote.h"
#include "platform/headless/fake_activity.h"
#include "tests/unit/app_fixture.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using testing_app::AppTest;

class RemoteTest : public AppTest {
 protected:
  FakeActivity activity{clock};
  std::unique_ptr<frmMain> main;

  void SetUp() override {
    NotFirstRun();
    settings.WriteSetting("Norvale", "Settings", "txtWarn", "0");
    app.activity = &activity;
    clock.Set(FakeClock::At(2026, 12, 4, 22, 40));
    PutSchedule("Night", "Shut Down", "2026-12-04", "23:30:00");
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
  // As the second copy sends it and reads the answer.
  Reply Ask(std::vector<std::string> args) {
    const CommandLine cl = ParseCommandLine(DecodeArguments(EncodeArguments(args)));
    if (!cl.usage_error.empty()) return {2, cl.usage_error};
    return DecodeReply(
        EncodeReply(ApplyRequest(main->Pending(), app, main->Store().data_folder, cl.request,
                                   EnglishText)));
  }
};

TEST_F(RemoteTest, QuickRowsFromTheCommandLineFireAndCancelAndListLikeTheWindowsOwn) {
  Reply r = Ask({"/quick:reboot", "/at:22:30"});  // passed today: tomorrow
  EXPECT_EQ(0, r.code);
  EXPECT_EQ("Added \"Quick Schedule 2026-12-04 22:40:00\": Reboot, 2026-12-05 22:30:00.\n", r.text);
  activity.Start({4711, "Render.exe", "Render"});
  EXPECT_EQ(0, Ask({"/quick:Stand By", "/when-ends:render"}).code);
  EXPECT_EQ(0, Ask({"/quick:Log Off", "/in:10"}).code);
  r = Ask({"/quick:Log Off", "/when-ends:4712"});
  EXPECT_EQ(2, r.code);
  EXPECT_EQ("No running program \"4712\"\n", r.text);

  r = Ask({"/list"});
  EXPECT_NE(std::string::npos, r.text.find("Night  "));
  EXPECT_NE(std::string::npos, r.text.find("when Render.exe ends"));
  // The action as the window shows it, not as it is stored.
  EXPECT_NE(std::string::npos, r.text.find("Stand By  ")) << r.text;
  EXPECT_EQ(std::string::npos, r.text.find("Stand by")) << r.text;
  EXPECT_NE(std::string::npos, r.text.find("2026-12-04 22:50:00"));

  kit.Advance(10min + 1s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Log Off", power.requests[0].action);
  kit.Advance(1min);  // in a minute of its own: one action a minute
  activity.End(4711);
  kit.Advance(3s);
  ASSERT_EQ(2u, power.requests.size());
  EXPECT_EQ("Stand by", power.requests[1].action);

  r = Ask({"/cancel"});
  EXPECT_EQ("Cancelled 1 quick row.\n", r.text);
  kit.Advance(48h);
  // The schedule's own run at 23:30 and nothing of the cancelled reboot.
  ASSERT_EQ(3u, power.requests.size());
  EXPECT_EQ("Shut Down", power.requests[2].action);
  EXPECT_EQ(2, Ask({"/quick:Reboot"}).code);
}

TEST_F(RemoteTest, TheAnswerShowsTheMomentOfTheActionAndCancelEndsAWarningAlreadyShown) {
  settings.WriteSetting("Norvale", "Settings", "txtWarn", "60");
  kit.Advance(23s);
  Reply r = Ask({"/quick:Shut Down", "/in:2"});
  EXPECT_EQ("Added \"Quick Schedule 2026-12-04 22:40:23\": Shut Down, 2026-12-04 22:42:23.\n", r.text);
  kit.Advance(90s);  // the warning shows from 22:41:23
  ASSERT_TRUE(main->Countdown().Visible());
  r = Ask({"/cancel"});
  EXPECT_EQ("Cancelled 1 quick row.\n", r.text);
  EXPECT_FALSE(main->Countdown().Visible());
  kit.Advance(10min);
  EXPECT_TRUE(power.requests.empty());

  Ask({"/quick:Reboot", "/in:1"});  // shorter than the warning: warned of at once
  ASSERT_TRUE(main->Countdown().Visible());
  EXPECT_EQ("Seconds left: 60", main->Countdown().lblLeft->Caption());
  kit.Advance(59s);
  EXPECT_TRUE(power.requests.empty());
  kit.Advance(1s);
  ASSERT_EQ(1u, power.requests.size());
  EXPECT_EQ("Reboot", power.requests[0].action);
}

}  // namespace
}  // namespace norvale
