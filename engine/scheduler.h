#pragma once
// The scheduler: one timer, armed for the next moment anything can happen,
// takes each row of the run list when its warning time comes and hands the
// occurrence to the flow, or lets it pass as missed.
//
// When: a row due at a local minute (a schedule, /at, a delay of days) is taken
// at the first moment the program is awake in its warning's minute and before
// its moment; a row due in real time (a delay, a postpone) when the program is
// awake at its warning time; "when idle" once that many minutes of awake time
// passed without input since the row was made or the computer resumed; "when
// quiet" likewise once that many minutes of awake time passed with every reading
// of the load below the row's limits; "when a program ends" when the program is
// seen to have ended. A tick late only
// because the machine was busy still takes what fell due since the last one. A
// local time that daylight saving skips falls due at the change, a repeated one
// once. Everything else passes as missed, and the row moves on.
//
// A row that asks to wake the computer arms the one wake timer, a little before
// its warning; a resume by it holds the computer awake until that occurrence is
// done with, so the system's own idle timeout cannot put it back to sleep first.
#include <chrono>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>

#include "engine/awake_spans.h"
#include "engine/run_flow.h"
#include "engine/run_list.h"
#include "platform/activity.h"
#include "platform/clock.h"
#include "platform/forms/form.h"
#include "platform/load.h"

namespace norvale {

class SchedulerEngine {
 public:
  struct Hooks {
    std::function<int()> warn_seconds;
    // A file row's occurrence at `due` is done with: it shows its next one.
    std::function<void(uint64_t row, LocalTime due)> move_on;
    // An occurrence passed untaken, at `due` on the wall clock.
    std::function<void(const RunRow& row, LocalTime due)> missed;
    // Asks for Tick to be called once `after` has passed (the one timer).
    std::function<void(std::chrono::milliseconds after)> arm;
    // A keep-awake span row is over: it shows its next span.
    std::function<void(uint64_t row)> span_over;
    // Keep-awake hours began or ended.
    std::function<void(const AwakeChange&)> awake;
    // The computer is to be woken at `at` (UTC) for a row; none: for nothing.
    std::function<void(std::optional<UtcTime> at)> wake_at;
    // Woken for a row: the computer is held awake until its occurrence is done with.
    std::function<void(bool hold)> hold_awake;
    // Nothing runs while this says so, so nothing wakes the computer either.
    std::function<bool()> prevented;
  };
  SchedulerEngine(RunList& list, RunFlow& flow, const Clock& clock, Activity& activity,
                  Hooks hooks, LoadMonitor& load = NoLoad());

  // Looks at every row and arms the timer for the next moment anything can happen.
  void Tick();
  // The computer resumed or the clock was set: looked at at once.
  void SystemChanged(SystemChange change);

  // The moment a local minute falls due: a skipped one at the daylight-saving
  // change that skipped it, a repeated one at its first showing.
  UtcTime MomentOf(LocalTime local) const;
  // What the keep-awake spans under way ask for.
  const KeptAwake& Awake() const { return spans_.State(); }
  // The warning or what waits changed: a wake's hold may be over.
  void FlowChanged() { SettleWakeHold(); }
  bool HoldsAwake() const { return holding_; }

 private:
  void Arm(std::optional<std::chrono::milliseconds> wait);
  // MomentOf, remembered per row: reading the zone's rules is slow on Windows.
  UtcTime CachedMomentOf(uint64_t row, LocalTime local);
  Occurrence Begin(const RunRow& row, std::chrono::milliseconds moment, LocalTime due) const;
  // Reads the load when a reading is due, while any row waits for quiet.
  void ReadLoad(std::chrono::milliseconds mono, bool slept);
  // Since when a quiet row has been quiet, as far as the readings tell.
  std::chrono::milliseconds QuietFrom(const RunRow& row) const;
  // Arms the wake timer for the earliest row that asks, when that changed.
  void ArmWake(UtcTime utc, std::chrono::seconds lead);
  void SettleWakeHold();

  RunList& list_;
  RunFlow& flow_;
  const Clock& clock_;
  Activity& activity_;
  Hooks hooks_;
  LoadMonitor& load_;

  // The last tick, on the three clocks.
  std::optional<std::chrono::milliseconds> last_mono_;
  UtcTime last_utc_{};
  bool resumed_ = false;
  bool clock_set_ = false;
  std::chrono::milliseconds armed_{0};
  std::chrono::milliseconds last_resume_{};
  bool ticking_ = false;
  std::unordered_map<uint64_t, std::pair<LocalTime, UtcTime>> moments_;
  // The load is read only while a row waits for quiet: since when, the last
  // reading, the next one, and per row the end of the last reading above its limits.
  std::optional<std::chrono::milliseconds> reading_since_;
  std::chrono::milliseconds last_reading_{};
  std::chrono::milliseconds next_reading_{};
  std::unordered_map<uint64_t, std::chrono::milliseconds> loud_until_;
  AwakeSpans spans_;
  // An occurrence to wake for: its row, its local minute, the wake and its moment.
  struct WakeFor {
    uint64_t row;
    LocalTime due;
    UtcTime at;
    UtcTime moment;
  };
  std::optional<WakeFor> wake_for_;   // what the wake timer is armed for
  std::optional<WakeFor> woken_for_;  // what a resume holds the computer awake for
  bool holding_ = false;
};

}  // namespace norvale
