#pragma once
// The scheduler's three timers on the main window: the watcher queues rows whose
// next run is this minute, the processor hands the queue on, and the firing step
// performs the first queued schedule's action. One thread; each stage disarms
// itself and arms the next.
#include <functional>
#include <string>

#include "platform/forms/control.h"
#include "platform/forms/toolkit.h"
#include "platform/locale.h"

namespace norvale {

struct SchedulerControls {
  ListView& lstSchedules;  // the schedule rows
  ListBox& lstSchedule;    // the queue of names, oldest first (hidden)
  CheckBox& chkPrevent;    // ticked: nothing is queued
  Timer& tmrScheduler;
  Timer& tmrProcessSchedule;
  Timer& timSchedule;
};

class SchedulerEngine {
 public:
  using PowerAction = std::function<void(const std::string& action)>;
  // Arms the watcher (500 ms) and sets up the other two stages disarmed.
  SchedulerEngine(SchedulerControls controls, Toolkit& kit, const Locale& locale,
                  PowerAction do_power_action);

  void tmrScheduler_Timer();
  void tmrProcessSchedule_Timer();
  void timSchedule_Timer();

  // False while a queued schedule is being handled.
  bool Completed() const { return completed_; }

 private:
  SchedulerControls c_;
  Toolkit& kit_;
  const Locale& locale_;
  PowerAction do_power_action_;
  bool completed_ = true;
};

}  // namespace norvale
