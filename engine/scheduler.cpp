#include "engine/scheduler.h"

#include "schedule/schedule_list.h"

namespace norvale {
namespace {

using std::chrono::floor;
using std::chrono::milliseconds;
using std::chrono::minutes;

}  // namespace

SchedulerEngine::SchedulerEngine(SchedulerControls controls, Toolkit& kit, ScheduleRows& rows)
    : c_(controls), kit_(kit), rows_(rows) {
  c_.tmrProcessSchedule.SetEnabled(false);
  c_.tmrProcessSchedule.SetInterval(500);
  c_.timSchedule.SetEnabled(false);
  c_.timSchedule.SetInterval(250);
  c_.tmrScheduler.Tick = [this] { tmrScheduler_Timer(); };
  c_.tmrProcessSchedule.Tick = [this] { tmrProcessSchedule_Timer(); };
  c_.timSchedule.Tick = [this] { timSchedule_Timer(); };
  c_.tmrScheduler.SetInterval(500);
  c_.tmrScheduler.SetEnabled(true);
  // A new or changed row may be due before the watcher would wake.
  c_.lstSchedules.RowsChanged = [this] { WatchClosely(); };
}

void SchedulerEngine::WatchClosely() {
  if (armed_ == milliseconds{500}) return;
  armed_ = milliseconds{500};
  c_.tmrScheduler.SetInterval(500);
}

void SchedulerEngine::ArmWatcher(LocalTime now) {
  milliseconds next{60000};
  if (earliest_) {
    // Wake a quarter second before the due moment; the tick after it takes the row.
    const milliseconds gap = std::chrono::floor<milliseconds>(*earliest_ - now);
    if (gap <= milliseconds{750}) {
      next = milliseconds{500};
    } else if (gap - milliseconds{250} < next) {
      next = gap - milliseconds{250};
    }
  }
  if (next == armed_) return;
  armed_ = next;
  c_.tmrScheduler.SetInterval(static_cast<int>(next.count()));
}

void SchedulerEngine::RefreshDues(milliseconds offset) {
  // Quick rows are due at a moment in real time, so a change of the offset (daylight
  // saving) moves their local due moment.
  if (dues_revision_ == c_.lstSchedules.Revision() && dues_offset_ == offset) return;
  const ListItems& items = c_.lstSchedules.Items();
  dues_.assign(items.size(), std::nullopt);
  earliest_.reset();
  for (size_t i = 0; i < items.size(); ++i) {
    dues_[i] = rows_.DueOf(items[i]);
    if (dues_[i] && (!earliest_ || *dues_[i] < *earliest_)) earliest_ = dues_[i];
  }
  dues_revision_ = c_.lstSchedules.Revision();
  dues_offset_ = offset;
}

void SchedulerEngine::tmrScheduler_Timer() {
  const Clock& clock = kit_.Time();
  const LocalTime now = clock.Now();
  // Offsets are whole minutes; rounding keeps the two readings' jitter out.
  const milliseconds offset =
      std::chrono::round<minutes>(now.time_since_epoch() - clock.UtcNow().time_since_epoch());
  const UtcTime utc = clock.UtcNow();
  const LocalTime prev = last_local_.value_or(now);
  // The local clock moved further than time passed: daylight saving began, and
  // the local times in between were skipped, not slept through.
  const bool skipped_ahead = last_local_ && offset > last_offset_;
  // Awake since the last tick, only late (a busy machine): what fell due in
  // between is still on time.
  const bool awake_since = last_utc_ && !interrupted_ && utc >= *last_utc_ &&
                           utc - *last_utc_ <= armed_ + std::chrono::minutes{1};
  last_local_ = now;
  last_utc_ = utc;
  last_offset_ = offset;
  interrupted_ = false;

  // A clock set back before the last performed minute makes that minute new again.
  if (performed_minute_ && now < *performed_minute_) performed_minute_.reset();

  RefreshDues(offset);
  if (!earliest_ || *earliest_ > now) {  // nothing due and nothing missed
    ArmWatcher(now);
    return;
  }

  const bool prevented = c_.chkPrevent.Value() == 1;
  std::vector<std::pair<size_t, LocalTime>> taken, missed;
  for (size_t i = 0; i < dues_.size(); ++i) {
    if (!dues_[i] || *dues_[i] > now) continue;
    const LocalTime due = *dues_[i];
    const LocalTime minute = floor<minutes>(due);
    const bool in_its_minute =
        now < minute + minutes{1} || (due > prev && (skipped_ahead || awake_since));
    if (!in_its_minute) {
      missed.emplace_back(i, due);
    } else if (!prevented) {
      taken.emplace_back(i, due);
    }
  }
  // Rows are changed only after the walk: moving on rewrites their texts.
  for (const auto& [i, due] : missed) rows_.MoveOn(i, due, true);
  for (const auto& [i, due] : taken) {
    const LocalTime minute = floor<minutes>(due);
    // Once an action of this minute has been performed, no other row of it is.
    if (performed_minute_ != minute) {
      const std::string& name = c_.lstSchedules.Items()[i].Text;
      c_.lstSchedule.AddItem(name);
      queued_minute_[name] = minute;
      c_.tmrProcessSchedule.SetEnabled(true);
    }
    rows_.MoveOn(i, due, false);
  }
  RefreshDues(offset);
  ArmWatcher(now);
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
  completed_ = true;
  // Schedules that fell due together are dropped: the first one decides.
  c_.lstSchedule.Clear();
  if (auto it = queued_minute_.find(name); it != queued_minute_.end()) {
    performed_minute_ = it->second;
  }
  queued_minute_.clear();
  rows_.Perform(index - 1);
}

}  // namespace norvale
