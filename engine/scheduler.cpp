#include "engine/scheduler.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace norvale {

using namespace std::chrono;

namespace {

// A tick this much later than it was armed for was not spent awake.
constexpr milliseconds kSleepSlack = seconds{30};
// The wall clock moved this much more or less than real time: it was set. Time
// sync slews the clock by up to 500 parts per million, which is no setting.
constexpr milliseconds kClockSetSlack = seconds{2};
constexpr int64_t kClockSlewPerMillion = 500;
// How often a watched program and input during an idle countdown are looked at.
constexpr milliseconds kProgramLook = seconds{2};
constexpr milliseconds kInputLook = seconds{1};
// How often the load is read while a row waits for quiet: the counters give a
// mean over the span, so a short burst within it may pass unnoticed.
constexpr milliseconds kLoadLook = seconds{10};
// The wake timer goes off this long before a warning begins: time for the
// computer to resume before its minute.
constexpr milliseconds kWakeEarly = seconds{15};
// The timer wakes only for the next moment anything can happen: a clock set or a
// resume comes as a message (WM_TIMECHANGE, WM_POWERBROADCAST), so no periodic
// look is needed. With nothing to wait for it sleeps as long as a Win32 timer
// can (USER_TIMER_MAXIMUM, about 24.8 days).
constexpr milliseconds kLongestWait = hours{24 * 24};
// Real time and the wall clock drift apart (time sync slews the clock): a long
// wait ends an eighth early and looks again, so the last stretch to a moment,
// and the drift within it, stays short.
constexpr milliseconds kExactWait = minutes{2};

}  // namespace

SchedulerEngine::SchedulerEngine(RunList& list, RunFlow& flow, const Clock& clock,
                                 Activity& activity, Hooks hooks, LoadMonitor& load)
    : list_(list),
      flow_(flow),
      clock_(clock),
      activity_(activity),
      hooks_(std::move(hooks)),
      load_(load) {
  // The user has just started the program: idle time counts from now.
  last_resume_ = clock_.Monotonic();
  Arm(milliseconds{500});
}

void SchedulerEngine::SystemChanged(SystemChange change) {
  (change == SystemChange::kResumed ? resumed_ : clock_set_) = true;
  Tick();
}

UtcTime SchedulerEngine::MomentOf(LocalTime local) const {
  const UtcTime u = clock_.ToUtc(local);
  if (clock_.ToLocal(u) == local) return u;
  // Skipped by daylight saving: read with the offset before the change, which
  // lands after it; the change itself is the first moment showing a later time.
  UtcTime t = u;
  for (int i = 0; i < 24 * 60 && clock_.ToLocal(t - minutes{1}) >= local; ++i) t -= minutes{1};
  return t;
}

UtcTime SchedulerEngine::CachedMomentOf(uint64_t row, LocalTime local) {
  auto [it, added] = moments_.try_emplace(row, local, UtcTime{});
  if (added || it->second.first != local) it->second = {local, MomentOf(local)};
  return it->second.second;
}

void SchedulerEngine::Arm(std::optional<milliseconds> wait) {
  milliseconds interval = std::clamp(wait.value_or(kLongestWait), milliseconds{1}, kLongestWait);
  if (wait && interval > kExactWait) interval = std::max(kExactWait, interval - interval / 8);
  armed_ = interval;
  if (hooks_.arm) hooks_.arm(interval);
}

void SchedulerEngine::ReadLoad(milliseconds mono, bool slept) {
  const auto quiet = [](const RunRow& r) { return r.due_by == DueBy::kQuiet; };
  if (std::none_of(list_.Rows().begin(), list_.Rows().end(), quiet)) {
    reading_since_.reset();
    loud_until_.clear();
    return;
  }
  if (!reading_since_ || slept) {
    // The first reading covers time before anyone waited, or a sleep: not counted.
    load_.Read();
    reading_since_ = last_reading_ = mono;
    next_reading_ = mono + kLoadLook;
    return;
  }
  if (mono < next_reading_) return;
  const std::optional<LoadState> load = load_.Read();
  std::erase_if(loud_until_, [&](const auto& entry) { return !list_.Find(entry.first); });
  for (const RunRow& r : list_.Rows()) {
    // A load that cannot be read is no quiet.
    if (quiet(r) && (!load || load->cpu_percent >= r.quiet_cpu_percent ||
                     load->kilobytes_per_second >= r.quiet_kilobytes)) {
      loud_until_[r.id] = mono;
    }
  }
  last_reading_ = mono;
  next_reading_ = mono + kLoadLook;
}

milliseconds SchedulerEngine::QuietFrom(const RunRow& row) const {
  const auto loud = loud_until_.find(row.id);
  return std::max({row.quiet_from, reading_since_.value_or(row.quiet_from), last_resume_,
                   loud == loud_until_.end() ? milliseconds{0} : loud->second});
}

Occurrence SchedulerEngine::Begin(const RunRow& row, milliseconds moment, LocalTime due) const {
  Occurrence o;
  o.row = row.id;
  o.quick = !row.from_file;
  o.name = row.name;
  o.action = row.action;
  o.origin = row.from_file ? row.name : row.origin;
  o.due_by = row.due_by;
  o.moment = moment;
  o.due = due;
  o.taken_at = clock_.Monotonic();
  o.postponed_when_used = row.postponed_when_used;
  return o;
}

void SchedulerEngine::ArmWake(UtcTime utc, seconds lead) {
  std::optional<WakeFor> next;
  if (!hooks_.prevented || !hooks_.prevented()) {
    for (const RunRow& r : list_.Rows()) {
      if (!r.wake || !r.enabled || r.taken || r.local_end || r.due_by != DueBy::kLocalTime ||
          !r.local_due) {
        continue;
      }
      const UtcTime moment = CachedMomentOf(r.id, *r.local_due);
      if (moment <= utc || (next && next->moment <= moment)) continue;
      next = WakeFor{r.id, *r.local_due, moment - lead - kWakeEarly, moment};
    }
  }
  const auto at = [](const std::optional<WakeFor>& w) {
    return w ? std::optional<UtcTime>{w->at} : std::nullopt;
  };
  const bool changed = at(next) != at(wake_for_);
  wake_for_ = next;
  if (changed && hooks_.wake_at) hooks_.wake_at(at(next));
}

void SchedulerEngine::SettleWakeHold() {
  bool pending = false;
  if (woken_for_) {
    const uint64_t id = woken_for_->row;
    const RunRow* r = list_.Find(id);
    // Not yet taken, or warned of or waiting since.
    pending = r && r->enabled && !r->taken && r->local_due == woken_for_->due;
    if (const Occurrence* shown = flow_.Shown(); shown && shown->row == id) pending = true;
    for (const Occurrence& o : flow_.Waiting()) pending = pending || o.row == id;
    if (!pending) woken_for_.reset();
  }
  if (pending == holding_) return;
  holding_ = pending;
  if (hooks_.hold_awake) hooks_.hold_awake(pending);
}

void SchedulerEngine::Tick() {
  // A row changed by what a tick does is looked at by that tick.
  if (ticking_) return;
  ticking_ = true;
  // Shown once when the tick is done, however many rows it moves on.
  list_.Hold();
  const milliseconds mono = clock_.Monotonic();
  const UtcTime utc = clock_.UtcNow();
  const LocalTime local = clock_.Now();
  const bool had = last_mono_.has_value();
  const bool slept = resumed_ || (had && mono - *last_mono_ > armed_ + kSleepSlack);
  const milliseconds slack =
      had ? std::max(kClockSetSlack, (mono - *last_mono_) * kClockSlewPerMillion / 1'000'000)
          : kClockSetSlack;
  const bool set = clock_set_ || (had && abs((utc - last_utc_) - (mono - *last_mono_)) > slack);
  // Awake and on the same clock since the last tick, only perhaps late.
  const bool continuous = had && !slept && !set;
  const UtcTime prev_utc = last_utc_;
  resumed_ = clock_set_ = false;
  last_mono_ = mono;
  last_utc_ = utc;
  if (set) {
    flow_.ClockSet();
    moments_.clear();  // the zone itself may have changed
  }
  // Rows come and go with reloads; the cache keeps only what may still be asked.
  if (moments_.size() > 2 * list_.Rows().size() + 16) moments_.clear();
  if (slept) {
    // Nothing may happen late: a warning that slept is over.
    last_resume_ = mono;
    flow_.MissAll();
    // Resumed at the wake for a row (by the timer, or the user just before it).
    if (wake_for_ && utc >= wake_for_->at - kSleepSlack && utc < wake_for_->moment) {
      woken_for_ = wake_for_;
    }
  }
  ReadLoad(mono, slept);

  // Input during an idle row's countdown puts the row back to counting.
  const milliseconds input_at = mono - activity_.SinceLastInput();
  // With "postpone when used", input during the countdown shown pushes it back,
  // whatever kind of row it came from.
  flow_.InputSeen(input_at);
  std::vector<uint64_t> rearmed;
  flow_.Withdraw([&](const Occurrence& o) {
    const RunRow* row = o.due_by == DueBy::kQuiet ? list_.Find(o.row) : nullptr;
    // Input, or a load above the limits, during a countdown: not idle or quiet after all.
    const bool back = (o.due_by == DueBy::kIdle && input_at > o.taken_at) ||
                      (row && QuietFrom(*row) > o.taken_at);
    if (back) rearmed.push_back(o.row);
    return back;
  });
  for (uint64_t id : rearmed) {
    list_.Update(id, [&](RunRow& r) {
      r.taken = false;
      if (r.due_by == DueBy::kIdle) r.idle_from = input_at;
    });
  }
  flow_.Tick();

  const seconds lead{hooks_.warn_seconds ? hooks_.warn_seconds() : 0};
  std::optional<milliseconds> wait;
  const auto soon = [&](milliseconds d) { wait = wait ? std::min(*wait, d) : d; };
  struct Decision {
    uint64_t row;
    bool take;
    Occurrence o;
  };
  // Rows moved on come round again only in the future; a second look arms for them.
  for (int look = 0; look < 3; ++look) {
    std::vector<Decision> decisions;
    for (const RunRow& r : list_.Rows()) {
      if (!r.enabled || r.taken) continue;
      if (r.local_end) continue;  // a span holds, it is never taken
      switch (r.due_by) {
        case DueBy::kLocalTime: {
          if (!r.local_due) break;
          const UtcTime moment = CachedMomentOf(r.id, *r.local_due);
          const UtcTime warn = moment - lead;
          if (utc < warn) {
            soon(warn - utc);
            break;
          }
          // The warning's minute, and never past the moment itself.
          const LocalTime shown = clock_.ToLocal(warn);
          const UtcTime minute_end = warn + (minutes{1} - (shown - floor<minutes>(shown)));
          const UtcTime window_end = lead == seconds{0} ? minute_end : std::min(minute_end, moment);
          const bool take = utc < window_end || (continuous && prev_utc < warn);
          decisions.push_back({r.id, take, Begin(r, mono + (moment - utc), clock_.ToLocal(moment))});
          break;
        }
        case DueBy::kRealTime: {
          const milliseconds warn = r.real_due - lead;
          if (mono < warn) {
            soon(warn - mono);
            break;
          }
          decisions.push_back({r.id, !slept, Begin(r, r.real_due, local + (r.real_due - mono))});
          break;
        }
        case DueBy::kIdle: {
          const milliseconds from = std::max({r.idle_from, input_at, last_resume_});
          const milliseconds need = minutes{r.idle_minutes};
          if (mono - from < need) {
            soon(need - (mono - from));
            break;
          }
          decisions.push_back({r.id, true, Begin(r, mono + lead, local + lead)});
          break;
        }
        case DueBy::kQuiet: {
          // Quiet is known only up to the last reading; one is taken when it would be due.
          const milliseconds from = QuietFrom(r);
          const milliseconds need = minutes{r.quiet_minutes};
          if (last_reading_ - from < need) {
            next_reading_ = std::min(next_reading_, from + need);
            break;
          }
          decisions.push_back({r.id, true, Begin(r, mono + lead, local + lead)});
          break;
        }
        case DueBy::kProgramEnds:
          if (r.watch && !r.watch->Ended()) {
            soon(kProgramLook);
            break;
          }
          decisions.push_back({r.id, true, Begin(r, mono + lead, local + lead)});
          break;
      }
    }
    if (decisions.empty()) break;
    for (Decision& d : decisions) {
      const RunRow* row = list_.Find(d.row);
      if (!row) continue;
      const bool file = row->from_file;
      const LocalTime due = row->local_due.value_or(d.o.due);
      if (!d.take) {
        if (hooks_.missed) hooks_.missed(*row, due);
        if (file) {
          hooks_.move_on(d.row, due);
        } else {
          list_.Remove(d.row);
        }
        continue;
      }
      if (file) {
        hooks_.move_on(d.row, due);
      } else {
        list_.Update(d.row, [](RunRow& r) { r.taken = true; });
      }
      flow_.Take(std::move(d.o));
    }
  }

  // Keep-awake spans: the timer wakes at each start and end; one that is over
  // shows its next span, which may already be under way.
  const auto moment_of = [this](LocalTime t) { return MomentOf(t); };
  for (int look = 0; look < 3; ++look) {
    const AwakeSpans::Look seen = spans_.See(list_, utc, moment_of);
    if (seen.wait) soon(*seen.wait);
    if (seen.over.empty() || !hooks_.span_over) break;
    for (uint64_t id : seen.over) hooks_.span_over(id);
  }
  if (const auto change = spans_.Settle(); change && hooks_.awake) hooks_.awake(*change);

  ArmWake(utc, lead);
  SettleWakeHold();

  if (const auto next = flow_.NextMoment()) soon(*next - clock_.Monotonic());
  const auto watching_input = [](const Occurrence& o) { return o.due_by == DueBy::kIdle; };
  if (flow_.WatchesInput() || (flow_.Shown() && watching_input(*flow_.Shown())) ||
      std::any_of(flow_.Waiting().begin(), flow_.Waiting().end(), watching_input)) {
    soon(kInputLook);
  }
  if (reading_since_) soon(std::max(milliseconds{1}, next_reading_ - clock_.Monotonic()));
  Arm(wait);
  list_.Release();
  ticking_ = false;
}

}  // namespace norvale
