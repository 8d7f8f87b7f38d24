// What the running program answers to a second copy's command line.
#include <cstdio>

#include "apps/norvale/remote.h"
#include "platform/headless/fake_activity.h"
#include "platform/request_targets.h"
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

// Any program of the desktop may send requests: past a hundred quick rows each is
// refused in one line, and a flood of them is answered at once.
TEST_F(RemoteTest, AFloodOfQuickRowRequestsStopsAtAHundredRowsAndIsAnsweredQuickly) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 1; i <= 5000; ++i) {
    const Reply r = Ask({"/quick:Reboot", "/in:30"});
    if (i <= 100) {
      ASSERT_EQ(0, r.code) << i << ": " << r.text;
    } else {
      ASSERT_EQ(2, r.code) << i << ": " << r.text;
      ASSERT_EQ("There are already 100 quick rows, the most there may be; /cancel removes them\n",
                r.text);
    }
  }
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("5,000 quick-row requests: %.3f s\n", took);
  // Under a second when the machine is idle; the margin is for a busy one.
  EXPECT_LT(took, 10.0);

  const auto& items = main->lstSchedules->Items();
  ASSERT_EQ(101u, items.size());  // "Night" and the hundred
  EXPECT_EQ("Quick Schedule 2026-12-04 22:40:00", items[1].Text);
  EXPECT_EQ("Quick Schedule 2026-12-04 22:40:00 (100)", items[100].Text);
  // The window's own quick rows count too; /cancel makes room again.
  EXPECT_EQ("Cancelled 100 quick rows.\n", Ask({"/cancel"}).text);
  EXPECT_EQ(0, Ask({"/quick:Reboot", "/when-idle:5"}).code);
}

// Processes by who runs them, as a desktop with two users might show them.
class OwnersOfTwoUsers final : public ProcessOwners {
 public:
  bool SameUserAndSession(uint32_t process) const override {
    asked.push_back(process);
    return process == 10 || process == 12;  // 11: another user; 13: this user, another session
  }
  mutable std::vector<uint32_t> asked;
};

// A second copy asks only the running copy of its own user and session, and
// hears only the window it asked, once.
TEST(RequestTargetsTest, OnlyOurUsersCopyInOurSessionIsAskedAndOnlyItsReplyCounts) {
  OwnersOfTwoUsers owners;
  const std::vector<CandidateWindow> found = {
      {0x100, 11}, {0x200, 13}, {0x300, 7}, {0x400, 10}, {0x400, 10}, {0x500, 12}, {0x600, 0},
      {0, 10}};
  // Process 7 is the sender itself; the same window found on two desktops is asked once.
  EXPECT_EQ((std::vector<uintptr_t>{0x400, 0x500}), RequestTargets(found, 7, owners));
  EXPECT_EQ((std::vector<uint32_t>{11, 13, 10, 12}), owners.asked);
  EXPECT_TRUE(RequestTargets({{0x100, 11}, {0x200, 13}}, 7, owners).empty());

  ReplyGate gate;
  EXPECT_FALSE(gate.Offer(0x400, "0\nbefore asking\n"));
  gate.Asking(0x400);
  EXPECT_FALSE(gate.Offer(0x100, "0\nShut down by another user\n"));
  EXPECT_FALSE(gate.Offer(0, "0\nnobody\n"));
  EXPECT_TRUE(gate.Offer(0x400, "0\nAdded\n"));
  EXPECT_FALSE(gate.Offer(0x400, "2\nsecond\n"));
  gate.Done();
  EXPECT_FALSE(gate.Offer(0x400, "2\nlate\n"));
  EXPECT_EQ("0\nAdded\n", gate.Reply().value_or("<none>"));
  gate.Asking(0x500);  // the next window starts with no reply
  EXPECT_FALSE(gate.Reply());
}

}  // namespace
}  // namespace norvale
