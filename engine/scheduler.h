#pragma once
// The scheduler's three timers on the main window: the watcher takes the rows
// whose moment has come and queues their names, the processor hands the queue
// on, and the firing step performs the first queued schedule's action. One
// thread; each stage disarms itself and arms the next.
//
// What fires when: a row is performed when the program is awake at some moment
// of its due minute from its due moment on, and never late: the tick after the
// due moment takes it, even past the minute, as long as the program stayed awake
// in between. A row whose minute passed unseen (sleep, a clock set forward,
// "Prevent" ticked) moves on to its next occurrence. A local time that daylight
// saving skips fires right after the change. Only the first row of a minute
// performs; the others move on.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"
#include "platform/forms/toolkit.h"
#include "platform/list_items.h"

namespace norvale {

struct SchedulerControls {
  ListView& lstSchedules;  // the schedule rows
  ListBox& lstSchedule;    // the queue of names, oldest first (hidden)
  CheckBox& chkPrevent;    // ticked: nothing is queued
  Timer& tmrScheduler;
  Timer& tmrProcessSchedule;
  Timer& timSchedule;
};

// What the engine asks of the owner of the rows.
class ScheduleRows {
 public:
  virtual ~ScheduleRows() = default;
  // The local moment the row is next due; nullopt when it has none (empty,
  // unreadable or disabled).
  virtual std::optional<LocalTime> DueOf(const ListItem& row) const = 0;
  // The row's occurrence at `due` is done with (taken, or `missed`: its minute
  // passed untaken): the row shows its next occurrence from now on.
  virtual void MoveOn(size_t row, LocalTime due, bool missed) = 0;
  // Performs the row's action now.
  virtual void Perform(size_t row) = 0;
};

class SchedulerEngine {
 public:
  // Arms the watcher (500 ms) and sets up the other two stages disarmed.
  SchedulerEngine(SchedulerControls controls, Toolkit& kit, ScheduleRows& rows);

  void tmrScheduler_Timer();
  void tmrProcessSchedule_Timer();
  void timSchedule_Timer();
  // The computer resumed or the clock was set: the time since the last tick was
  // not spent awake, so nothing of it is caught up. Looks at once rather than at
  // the next tick; the watcher notices a moved clock by itself too.
  void SystemChanged() {
    interrupted_ = true;
    tmrScheduler_Timer();
  }

  // False while a queued schedule is being handled.
  bool Completed() const { return completed_; }

 private:
  void RefreshDues(std::chrono::milliseconds offset);
  // Sleeps until shortly before the earliest due moment (a minute at most), so
  // an idle program wakes about once a minute.
  void ArmWatcher(LocalTime now);
  void WatchClosely();

  SchedulerControls c_;
  Toolkit& kit_;
  ScheduleRows& rows_;
  bool completed_ = true;

  // The last tick: its local time, its UTC time and their distance.
  std::optional<LocalTime> last_local_;
  std::optional<UtcTime> last_utc_;
  bool interrupted_ = false;
  std::chrono::milliseconds armed_{500};  // the watcher's interval now
  std::chrono::milliseconds last_offset_{0};
  // Each row's due moment, read once per change of the rows.
  uint64_t dues_revision_ = ~uint64_t{0};
  std::chrono::milliseconds dues_offset_{0};
  std::vector<std::optional<LocalTime>> dues_;
  std::optional<LocalTime> earliest_;
  // The due minute of each queued name, and of the last occurrence performed.
  std::map<std::string, LocalTime> queued_minute_;
  std::optional<LocalTime> performed_minute_;
};

}  // namespace norvale
