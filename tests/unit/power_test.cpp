#include <gtest/gtest.h>

#include "platform/dry_run_power.h"
#include "power/power.h"
#include "tests/fakes/fake_toolkit.h"

namespace norvale {
namespace {

using fakes::FakeClock;
using fakes::FakeToolkit;
using fakes::RecordingPowerControl;

struct Expected {
  std::string_view action;
  bool force;
  PowerRequest::Kind kind;
  uint32_t flags;
};

TEST(PowerActions, EveryActionMakesItsRequestWithAndWithoutForce) {
  const Expected table[] = {
      // Unforced, programs may ask to save: only a hung one is closed (0x10).
      {kLogOff, false, PowerRequest::kExitWindows, 0x10},
      {kLogOff, true, PowerRequest::kExitWindows, 4},
      {kShutDown, false, PowerRequest::kExitWindows, 0x11},
      {kShutDown, true, PowerRequest::kExitWindows, 5},
      {kReboot, false, PowerRequest::kExitWindows, 0x12},
      {kReboot, true, PowerRequest::kExitWindows, 6},
      {kHibernate, false, PowerRequest::kSetSystemPowerState, 0},
      {kHibernate, true, PowerRequest::kSetSystemPowerState, 0},
      {kStandBy, false, PowerRequest::kSetSystemPowerState, 1},
      {kStandBy, true, PowerRequest::kSetSystemPowerState, 1},
  };
  for (const Expected& e : table) {
    RecordingPowerControl recorder;
    CPower power(recorder);
    DoPowerAction(power, e.action, e.force);
    ASSERT_EQ(1u, recorder.requests.size()) << e.action;
    const PowerRequest& r = recorder.requests[0];
    EXPECT_EQ(e.kind, r.kind) << e.action;
    EXPECT_EQ(e.flags, r.flags) << e.action << " force " << e.force;
    EXPECT_EQ(e.force, r.force) << e.action;
    EXPECT_EQ(e.action, r.action);
    EXPECT_EQ(1, recorder.privilege_calls) << "privilege first on NT";
  }
}

TEST(PowerActions, OtherNamesDoNothing) {
  RecordingPowerControl recorder;
  CPower power(recorder);
  for (const char* name : {"reboot", "SHUT DOWN", "Stand By", "", "Shutdown", "Hibernate "}) {
    DoPowerAction(power, name, true);
  }
  EXPECT_TRUE(recorder.requests.empty());
  EXPECT_EQ(0, recorder.privilege_calls);
}

TEST(PowerActions, UnusedTypesThreeAndFourStillGoToExitWindows) {
  RecordingPowerControl recorder;
  CPower power(recorder);
  int32_t type = 3;
  power.ShutDown(type, false);
  ASSERT_EQ(1u, recorder.requests.size());
  EXPECT_EQ(PowerRequest::kExitWindows, recorder.requests[0].kind);
  EXPECT_EQ(0x13u, recorder.requests[0].flags);
}

TEST(PowerActions, PrivilegeStepIsSkippedOffNt) {
  RecordingPowerControl recorder;
  recorder.nt = false;
  CPower power(recorder);
  DoPowerAction(power, kShutDown, true);
  DoPowerAction(power, kStandBy, true);
  EXPECT_EQ(2u, recorder.requests.size());
  EXPECT_EQ(0, recorder.privilege_calls);
}

TEST(PowerActions, HibernateIsOfferedFirstOnlyWithTheHibernationFile) {
  RecordingPowerControl recorder;
  EXPECT_EQ((std::vector<std::string>{"Shut Down", "Reboot", "Log Off", "Stand by", "Lock",
                                      "Turn Off Display"}),
            PowerActionList(recorder));
  recorder.hibernation_file = true;
  EXPECT_EQ((std::vector<std::string>{"Hibernate", "Shut Down", "Reboot", "Log Off", "Stand by",
                                      "Lock", "Turn Off Display"}),
            PowerActionList(recorder));
}

class SuspendRefusal : public ::testing::Test {
 protected:
  FakeClock clock{FakeClock::At(2026, 12, 4, 10, 0)};
  FakeToolkit kit{clock};
  Form window{kit, "frmMain"};
  RecordingPowerControl recorder;

  void SetUp() override { window.Load(); }
  std::optional<intptr_t> Query(intptr_t lparam = 0, uintptr_t wparam = 0) {
    return kit.SendMessage(window, {WM_POWERBROADCAST_, wparam, lparam});
  }
};

TEST_F(SuspendRefusal, TickUntickTickLeavesQueriesRefused) {
  CPower power(recorder);
  power.Initialize(window);
  EXPECT_EQ(std::nullopt, Query());
  power.DisableSuspend(true);
  EXPECT_EQ(BROADCAST_QUERY_DENY_, Query());
  EXPECT_EQ(BROADCAST_QUERY_DENY_, Query(0, 7));  // the event code in wParam does not matter
  power.DisableSuspend(false);
  EXPECT_EQ(std::nullopt, Query());
  EXPECT_FALSE(window.HasMessageHook());
  power.DisableSuspend(true);
  power.DisableSuspend(true);
  EXPECT_TRUE(power.DisableSuspend());
  EXPECT_TRUE(power.State().PrevWndProc);
  EXPECT_EQ(BROADCAST_QUERY_DENY_, Query());
  EXPECT_TRUE(recorder.idle_sleep_held);
}

TEST_F(SuspendRefusal, UntickingWithNothingInstalledChangesNothing) {
  CPower power(recorder);
  power.Initialize(window);
  power.DisableSuspend(false);
  EXPECT_FALSE(window.HasMessageHook());
  EXPECT_FALSE(power.State().PrevWndProc);
  EXPECT_FALSE(recorder.idle_sleep_held);
}

TEST_F(SuspendRefusal, OnlyTheQueryWithZeroLParamIsRefused) {
  CPower power(recorder);
  power.Initialize(window);
  power.DisableSuspend(true);
  EXPECT_EQ(std::nullopt, Query(1));
  EXPECT_EQ(std::nullopt, kit.SendMessage(window, {0x0010, 0, 0}));  // WM_CLOSE
  EXPECT_EQ(std::nullopt, kit.SendMessage(window, {0x0113, 0, 0}));  // WM_TIMER
}

TEST_F(SuspendRefusal, DestroyingThePowerObjectRestoresTheWindow) {
  {
    CPower power(recorder);
    power.Initialize(window);
    power.DisableSuspend(true);
    EXPECT_TRUE(window.HasMessageHook());
  }
  EXPECT_FALSE(window.HasMessageHook());
  EXPECT_FALSE(recorder.idle_sleep_held);
  EXPECT_EQ(std::nullopt, Query());
}

TEST(DryRun, LogsEveryRequestInsteadOfPerformingIt) {
  RecordingPowerControl system;
  fakes::MemoryFileSystem fs;
  FakeClock clock(FakeClock::At(2026, 12, 4, 22, 30, 5));
  std::vector<std::string> told;
  const std::string log = fs.ProgramFolder() + "\\" + kDryRunLogName;
  DryRunPowerControl dry(system, fs, clock, log, [&](const std::string& m) { told.push_back(m); });
  CPower power(dry);
  DoPowerAction(power, kReboot, true);
  clock.Advance(std::chrono::minutes(1));
  DoPowerAction(power, kStandBy, true);
  EXPECT_TRUE(system.requests.empty());
  EXPECT_EQ(0, system.privilege_calls);
  EXPECT_EQ(
      "2026-12-04T22:30:05\tReboot\tExitWindowsEx flags=6 reason=0\tforce=True\r\n"
      "2026-12-04T22:31:05\tStand by\tSetSystemPowerState fSuspend=1 fForce=1\tforce=True\r\n",
      fs.Get(log));
  ASSERT_EQ(2u, told.size());
  EXPECT_NE(std::string::npos, told[0].find("\"Reboot\" was not performed"));
}

TEST(DryRun, AnUnwritableLogIsReportedAndStillPerformsNothing) {
  RecordingPowerControl system;
  fakes::MemoryFileSystem fs;
  FakeClock clock;
  std::vector<std::string> told;
  DryRunPowerControl dry(system, fs, clock, "C:\\missing\\DryRun.log",
                         [&](const std::string& m) { told.push_back(m); });
  dry.Perform({"Log Off", PowerRequest::kExitWindows, 4, true});
  EXPECT_TRUE(system.requests.empty());
  ASSERT_EQ(1u, told.size());
  EXPECT_NE(std::string::npos, told[0].find("could not be written (Path not found)"));
}

}  // namespace
}  // namespace norvale
