#include <gtest/gtest.h>

#include "engine/scheduler.h"
#include "platform/headless/fake_activity.h"
#include "tests/fakes/fake_toolkit.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using fakes::FakeToolkit;

class EngineHost : public Form {
 public:
  using Form::Form;
  Timer* watcher = nullptr;

 protected:
  void BuildLayout() override { watcher = &Add<Timer>("tmrScheduler"); }
};

// The engine and the flow over a run list, with every outcome written down.
class SchedulerTest : public ::testing::Test {
 protected:
  FakeClock clock{FakeClock::At(2026, 12, 4, 22, 29, 0)};
  FakeToolkit kit{clock};
  EngineHost host{kit, "frmMain"};
  FakeActivity activity{clock};
  RunList list;
  int warn = 0;
  bool prevent = false;
  std::vector<std::pair<std::string, LocalTime>> fired;  // action, when
  std::vector<std::string> outcomes;                     // "name outcome"
  std::unique_ptr<RunFlow> flow;
  std::unique_ptr<SchedulerEngine> engine;

  void SetUp() override {
    host.Load();
    RunFlow::Hooks f;
    f.warn_seconds = [this] { return warn; };
    f.prevented = [this] { return prevent; };
    f.perform = [this](const Occurrence& o) {
      fired.emplace_back(o.action, clock.Now());
      return std::string();  // the system took it
    };
    f.record = [this](const Occurrence& o, const char* outcome, LocalTime) {
      outcomes.push_back(o.name + " " + outcome);
    };
    f.done = [this](const Occurrence& o) {
      if (o.quick) list.Remove(o.row);
    };
    flow = std::make_unique<RunFlow>(clock, std::move(f));
    SchedulerEngine::Hooks e;
    e.warn_seconds = [this] { return warn; };
    // A file row here is a one-time schedule: taken or passed, it has no next run.
    e.move_on = [this](uint64_t id, LocalTime) {
      list.Update(id, [](RunRow& r) { r.local_due.reset(); });
    };
    e.missed = [this](const RunRow& r, LocalTime) { outcomes.push_back(r.name + " missed"); };
    e.arm = [this](std::chrono::milliseconds after) {
      host.watcher->SetInterval(static_cast<int>(after.count()));
      host.watcher->SetEnabled(true);
    };
    engine = std::make_unique<SchedulerEngine>(list, *flow, clock, activity, e);
    host.watcher->Tick = [this] { engine->Tick(); };
    list.Changed = [this] { engine->Tick(); };
  }
  // A schedule file's row due at that local time today.
  void Row(std::string name, std::string action, int h, int m) {
    RunRow r = LocalTimeRow(std::move(name), std::move(action), FakeClock::At(2026, 12, 4, h, m));
    std::vector<RunRow> rows;
    for (const RunRow& old : list.Rows()) {
      if (old.from_file) rows.push_back(old);
    }
    rows.push_back(std::move(r));
    list.ReplaceFileRows(std::move(rows));
  }
  void AdvanceTo(int h, int m, int s, int ms = 0) {
    kit.Advance(FakeClock::At(2026, 12, 4, h, m, s) + std::chrono::milliseconds(ms) - clock.Now());
  }
  std::vector<std::string> Actions() const {
    std::vector<std::string> out;
    for (const auto& f : fired) out.push_back(f.first);
    return out;
  }
};

TEST_F(SchedulerTest, ARowIsPerformedAtItsMomentOnceWithItsWarningBeforeIt) {
  warn = 60;
  Row("Night", "Shut Down", 22, 30);
  AdvanceTo(22, 29, 0, 1);
  ASSERT_NE(nullptr, flow->Shown());  // the warning shows a minute ahead
  EXPECT_EQ("Night", flow->Shown()->name);
  AdvanceTo(22, 29, 59, 999);
  EXPECT_TRUE(fired.empty());
  AdvanceTo(22, 30, 2);
  ASSERT_EQ(std::vector<std::string>{"Shut Down"}, Actions());
  EXPECT_EQ(FakeClock::At(2026, 12, 4, 22, 30, 0), fired[0].second);
  EXPECT_EQ(nullptr, flow->Shown());
  AdvanceTo(22, 35, 0);
  EXPECT_EQ(1u, fired.size());
  EXPECT_TRUE(host.watcher->Armed());
}

TEST_F(SchedulerTest, LatencyStaysWithinOneAndAQuarterSecondWhateverTheTimersPhase) {
  std::chrono::milliseconds worst{0};
  for (int phase = 0; phase < 500; phase += 7) {
    fired.clear();
    list.ReplaceFileRows({});
    clock.Set(FakeClock::At(2026, 12, 4, 22, 29, 58) + std::chrono::milliseconds(phase));
    Row("Night", "Reboot", 22, 30);
    AdvanceTo(22, 30, 5);
    ASSERT_EQ(1u, fired.size()) << phase;
    const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(
        fired[0].second - FakeClock::At(2026, 12, 4, 22, 30, 0));
    EXPECT_GE(latency.count(), 0) << phase;
    worst = std::max(worst, latency);
  }
  EXPECT_LE(worst.count(), 1250);
}

TEST_F(SchedulerTest, OfTwoInOneMinuteTheFirstInListOrderGoesOnAndTheSecondIsMissed) {
  Row("B", "Reboot", 22, 30);
  Row("A", "Log Off", 22, 30);
  AdvanceTo(22, 31, 0);
  EXPECT_EQ(std::vector<std::string>{"Reboot"}, Actions());
  EXPECT_EQ((std::vector<std::string>{"B performed", "A missed"}), outcomes);
}

TEST_F(SchedulerTest, AWaitOfAnyKindMetInATakenMinuteIsMissed) {
  Row("Night", "Reboot", 22, 30);
  // A program that ends in the same minute as the schedule's moment.
  activity.Start({7, "render.exe", ""});
  list.Add(ProgramEndsRow("Render", "Shut Down", {7, "render.exe", ""}, activity.Watch(7)));
  AdvanceTo(22, 30, 1);
  activity.End(7);
  AdvanceTo(22, 31, 30);
  EXPECT_EQ(std::vector<std::string>{"Reboot"}, Actions());
  EXPECT_EQ((std::vector<std::string>{"Night performed", "Render missed"}), outcomes);
  EXPECT_EQ(nullptr, list.FindNamed("Render"));
}

TEST_F(SchedulerTest, PreventTickedThroughTheMinuteMissesTheRowForGood) {
  Row("Night", "Shut Down", 22, 30);
  Row("Later", "Reboot", 22, 45);
  prevent = true;
  AdvanceTo(22, 31, 0);
  EXPECT_EQ(std::vector<std::string>{"Night missed"}, outcomes);
  prevent = false;
  AdvanceTo(22, 50, 0);
  EXPECT_EQ(std::vector<std::string>{"Reboot"}, Actions());
}

TEST_F(SchedulerTest, ARowWithoutAMomentIsNeverTaken) {
  RunRow never = LocalTimeRow("Never", "Reboot", {});
  never.local_due.reset();
  list.Add(std::move(never));
  Row("Tomorrow", "Reboot", 22, 30);
  list.Update(list.Rows()[0].id, [](RunRow& r) { r.local_due = FakeClock::At(2026, 12, 5, 22, 30); });
  AdvanceTo(23, 0, 0);
  EXPECT_TRUE(fired.empty());
  EXPECT_TRUE(outcomes.empty());
}

TEST_F(SchedulerTest, DelaysCountRealTimeAndLocalRowsTheWallClock) {
  warn = 60;
  list.Add(DelayRow(clock, "Delay", "Log Off", std::chrono::minutes{5}));  // 22:34 real time
  Row("Night", "Reboot", 23, 30);
  AdvanceTo(22, 30, 0);
  kit.SetWallClock(FakeClock::At(2026, 12, 4, 23, 30, 0));  // an hour forward
  AdvanceTo(23, 34, 0, 500);
  // Night's minute was jumped over; the delay still has its four minutes.
  EXPECT_EQ((std::vector<std::string>{"Night missed", "Delay performed"}), outcomes);
  EXPECT_EQ(std::vector<std::string>{"Log Off"}, Actions());
  EXPECT_EQ(FakeClock::At(2026, 12, 4, 23, 34, 0), fired[0].second);
}

TEST_F(SchedulerTest, AnIdleTimerWakesOnlyAsTheMomentNearsAndANewRowWakesItAtOnce) {
  warn = 60;
  list.ReplaceFileRows({LocalTimeRow("Later", "Reboot", FakeClock::At(2026, 12, 8, 22, 30))});
  int ticks = 0;
  auto watcher = host.watcher->Tick;
  host.watcher->Tick = [&] {
    ++ticks;
    watcher();
  };
  AdvanceTo(23, 29, 0);
  EXPECT_LE(ticks, 1);  // an hour with nothing due
  list.Add(DelayRow(clock, "Soon", "Log Off", std::chrono::seconds{3}));
  AdvanceTo(23, 29, 3, 250);
  EXPECT_EQ(std::vector<std::string>{"Log Off"}, Actions());
  // Four days to the next moment: a handful of looks, the last just before it.
  ticks = 0;
  kit.Advance(FakeClock::At(2026, 12, 8, 22, 29, 0) - clock.Now());
  ASSERT_NE(nullptr, flow->Shown());
  EXPECT_EQ("Later", flow->Shown()->name);
  EXPECT_LE(ticks, 12);
}

// Time sync slews the wall clock against the real time timers run on; over a
// long wait that adds up to minutes. The warning still comes in its minute.
TEST_F(SchedulerTest, AWallClockRunningAheadOfTheTimerStillGetsTheWarningInItsMinute) {
  warn = 60;
  list.ReplaceFileRows({LocalTimeRow("Later", "Reboot", FakeClock::At(2026, 12, 8, 22, 30))});
  // 400 parts per million ahead, unannounced: over four days, two minutes and more.
  while (clock.Now() < FakeClock::At(2026, 12, 8, 22, 29, 0) && fired.empty()) {
    kit.Advance(std::chrono::seconds{50});
    clock.SetUtc(clock.UtcNow() + std::chrono::milliseconds{20});
  }
  ASSERT_NE(nullptr, flow->Shown());
  EXPECT_EQ("Later", flow->Shown()->name);
  EXPECT_TRUE(outcomes.empty());
  kit.Advance(std::chrono::seconds{62});
  EXPECT_EQ(std::vector<std::string>{"Reboot"}, Actions());
  EXPECT_EQ(std::vector<std::string>{"Later performed"}, outcomes);
}

}  // namespace
}  // namespace norvale
