#include "engine/scheduler.h"

#include "engine/next_run.h"
#include "schedule/schedule_list.h"

namespace norvale {
namespace {

using std::chrono::duration_cast;
using std::chrono::minutes;

// The first two blank-separated parts of a "Next Run Time": date and time.
// Anything after them (an AM/PM marker) is ignored.
bool SplitNextRun(std::string_view text, std::string_view& date, std::string_view& time) {
  const size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return false;
  date = text.substr(0, blank);
  const std::string_view rest = text.substr(blank + 1);
  time = rest.substr(0, rest.find(' '));
  return true;
}

}  // namespace

SchedulerEngine::SchedulerEngine(SchedulerControls controls, Toolkit& kit, const Locale& locale,
                                 PowerAction do_power_action)
    : c_(controls), kit_(kit), locale_(locale), do_power_action_(std::move(do_power_action)) {
  c_.tmrProcessSchedule.SetEnabled(false);
  c_.tmrProcessSchedule.SetInterval(500);
  c_.timSchedule.SetEnabled(false);
  c_.timSchedule.SetInterval(250);
  c_.tmrScheduler.Tick = [this] { tmrScheduler_Timer(); };
  c_.tmrProcessSchedule.Tick = [this] { tmrProcessSchedule_Timer(); };
  c_.timSchedule.Tick = [this] { timSchedule_Timer(); };
  c_.tmrScheduler.SetInterval(500);
  c_.tmrScheduler.SetEnabled(true);
}

void SchedulerEngine::tmrScheduler_Timer() {
  if (c_.chkPrevent.Value() == 1) return;
  const size_t count = c_.lstSchedules.Items().size();
  for (size_t i = 0; i < count; ++i) {
    kit_.DoEvents();
    // The user may have reloaded or deleted rows meanwhile; the rest are gone.
    if (i >= c_.lstSchedules.Items().size()) return;
    const ListItem& row = c_.lstSchedules.Items()[i];
    const std::string& next = row.SubItem(kColumnNextRun);
    if (next.empty()) continue;
    std::string_view date_text, time_text;
    if (!SplitNextRun(next, date_text, time_text)) continue;
    // A row that cannot be read (a hand-edited file) is skipped, so it cannot
    // keep the rows after it from firing.
    // The minute is checked first: it rules out nearly every row without reading
    // its date.
    const auto time = ParseTimeOfDay(time_text);
    if (!time) continue;
    const Clock& clock = kit_.Time();
    if (duration_cast<minutes>(*time) != duration_cast<minutes>(clock.TimeOfDay())) continue;
    const auto date = locale_.ParseDate(date_text);
    if (!date || *date != clock.Today()) continue;
    c_.lstSchedule.AddItem(row.Text);
    c_.lstSchedules.SetSubItem(i, kColumnNextRun, "");
    c_.tmrProcessSchedule.SetEnabled(true);
  }
}

void SchedulerEngine::tmrProcessSchedule_Timer() {
  c_.tmrProcessSchedule.SetEnabled(false);
  // Never re-entered: the firing step re-arms the processor when names remain.
  if (!completed_ || c_.lstSchedule.ListCount() == 0) return;
  completed_ = false;
  c_.timSchedule.SetEnabled(true);
}

void SchedulerEngine::timSchedule_Timer() {
  c_.timSchedule.SetEnabled(false);
  if (c_.lstSchedule.ListCount() == 0) {
    completed_ = true;
    return;
  }
  const std::string name = c_.lstSchedule.List(0);
  c_.lstSchedule.RemoveItem(0);
  kit_.DoEvents();
  const size_t index = FindSchedule(c_.lstSchedules.Items(), name);
  if (index < 1) {
    // Deleted after it was queued: dropped without action.
    completed_ = true;
    if (c_.lstSchedule.ListCount() > 0) c_.tmrProcessSchedule.SetEnabled(true);
    return;
  }
  const std::string action = c_.lstSchedules.Items()[index - 1].SubItem(kColumnType);
  completed_ = true;
  // Schedules that fell due together are dropped: the first one decides.
  c_.lstSchedule.Clear();
  if (do_power_action_) do_power_action_(action);
}

}  // namespace norvale
