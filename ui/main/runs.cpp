#include "ui/main/runs.h"

#include <algorithm>

#include "power/power_actions.h"
#include "schedule/run_history.h"
#include "settings/frm_options.h"
#include "settings/warn_seconds.h"
#include "ui/main/frm_countdown.h"
#include "ui/shown_names.h"

namespace norvale {
namespace {

// A moment as the list shows it: the desktop's short date and the 24-hour time.
std::string ShownMoment(const Locale& locale, LocalTime when) {
  using namespace std::chrono;
  const auto day = floor<days>(when);
  return locale.ShortDate(Date{day}) + " " + Time24(floor<seconds>(when - day));
}

}  // namespace

std::string FailureDetail(const PowerOutcome& outcome) {
  return std::to_string(outcome.error) + (outcome.message.empty() ? "" : ": " + outcome.message);
}

std::string RefusedText(AppContext& app, const std::string& action, const PowerOutcome& outcome) {
  return FillIn(app.Message("MSG_REFUSED", "Windows refused \"{action}\": {error}"),
                {{"action", Shown(app, action)}, {"error", FailureDetail(outcome)}});
}

Runs::Runs(AppContext& app, const ScheduleStore& store, Timer& timer,
           std::function<bool()> prevented, std::function<PowerOutcome(const std::string&)> act)
    : app_(app), store_(store), act_(std::move(act)) {
  const Clock& clock = app_.kit.Time();
  RunFlow::Hooks flow;
  flow.warn_seconds = [this] { return WarnSeconds(); };
  flow.prevented = prevented;
  flow.perform = [this](const Occurrence& o) {
    if (Performing) Performing(o.name, o.action);
    // Stored before the action: after a shut-down there is no later.
    if (!o.origin.empty()) RecordLastRun(o.origin, app_.kit.Time().Now());
    const PowerOutcome outcome = act_(o.action);
    return outcome.done ? std::string() : FailureDetail(outcome);
  };
  flow.record = [this](const Occurrence& o, const char* outcome, LocalTime when) {
    Record(o.name, o.action, outcome, when);
  };
  flow.failed = [this](const Occurrence& o, const std::string& error, LocalTime when) {
    RecordFailed(o.name, o.action, error, when);
  };
  flow.done = [this](const Occurrence& o) {
    if (o.quick) list_.Remove(o.row);
  };
  flow.postpone = [this](const Occurrence& o, int minutes) {
    const std::string base =
        FillIn(app_.Message("MSG_POSTPONEDROW", "{name} (postponed)"),
               {{"name", o.origin.empty() ? o.name : o.origin}});
    RunRow row = DelayRow(app_.kit.Time(), list_.UniqueName(base), o.action,
                          std::chrono::minutes{minutes});
    row.origin = o.origin;
    row.postponed_when_used = o.postponed_when_used;
    list_.Add(std::move(row));
  };
  flow.ends_session = [](const std::string& action) { return EndsSession(action); };
  flow.postpone_when_used = [this] { return Machine("chkPostponeUsed", "0") == "1"; };
  flow.shown_changed = [this] {
    if (engine_) engine_->FlowChanged();
    if (ShownChanged) ShownChanged();
  };
  flow_ = std::make_unique<RunFlow>(clock, std::move(flow));

  SchedulerEngine::Hooks engine;
  engine.warn_seconds = [this] { return WarnSeconds(); };
  engine.move_on = [this](uint64_t id, LocalTime due) {
    RunRow* row = list_.Find(id);
    if (!row) return;
    auto [it, added] = taken_.emplace(row->name, due);
    if (!added && due > it->second) it->second = due;
    const LocalTime after = it->second;
    list_.Update(id, [&](RunRow& r) {
      MoveOnFileRow(r, store_, app_.kit.Time(), app_.locale, after,
                    app_.Message("MSG_UNREADABLE", "Cannot be read"));
    });
  };
  engine.missed = [this](const RunRow& row, LocalTime due) {
    Record(row.name, row.action, kOutcomeMissed, due);
  };
  engine.arm = [&timer](std::chrono::milliseconds after) {
    timer.SetInterval(static_cast<int>(after.count()));
    timer.SetEnabled(true);
  };
  // A span follows the clock, not what was taken: its next one comes from the file.
  engine.span_over = [this](uint64_t id) {
    list_.Update(id, [&](RunRow& r) {
      MoveOnFileRow(r, store_, app_.kit.Time(), app_.locale, app_.kit.Time().Now(),
                    app_.Message("MSG_UNREADABLE", "Cannot be read"));
    });
  };
  engine.awake = [this](const AwakeChange& change) {
    // The span's Last Run Time is when it began to hold; nothing is performed.
    for (const std::string& name : change.began) RecordLastRun(name, app_.kit.Time().Now());
    if (AwakeChanged) AwakeChanged(change);
  };
  engine.wake_at = [this](std::optional<UtcTime> at) { app_.power.WakeAt(at); };
  engine.hold_awake = [this](bool hold) {
    if (HoldAwakeChanged) HoldAwakeChanged(hold);
  };
  engine.prevented = std::move(prevented);
  engine_ = std::make_unique<SchedulerEngine>(list_, *flow_, clock, *app_.activity,
                                              std::move(engine), *app_.load);
  list_.Changed = [this] {
    if (Changed) Changed();
    // A new or changed row may be due before the timer would wake.
    engine_->Tick();
  };
}

std::string Runs::Machine(const std::string& key, const std::string& def) const {
  try {
    return app_.settings.ReadSetting(app_.product_name, "Settings", key, def);
  } catch (const SettingsError&) {
    return def;
  }
}

int Runs::WarnSeconds() const {
  return WarnSecondsOf(Machine("txtWarn", std::to_string(kDefaultWarnSeconds)));
}

bool Runs::ForceClose() const {
  return Machine("chkForce", "1") != "0";
}

bool Runs::FullShutdown() const {
  return FullShutdownChosen(app_.settings, app_.product_name);
}

void Runs::Load() {
  std::vector<RunRow> rows =
      LoadFileRows(store_, app_.kit.Time(), app_.locale, taken_,
                   app_.Message("MSG_UNREADABLE", "Cannot be read"), &cache_, loaded_);
  loaded_ = true;
  list_.ReplaceFileRows(std::move(rows));
}

ListItem Runs::Item(const RunRow& row) const {
  if (row.from_file) {
    ListItem item = FileRowItem(row);
    if (row.local_end && row.local_due) {
      item.SetSubItem(kColumnNextRun, SpanText({*row.local_due, *row.local_end},
                                               ShortDayName(*row.local_due)));
    }
    return item;
  }
  const Clock& clock = app_.kit.Time();
  const auto moment = [&](LocalTime when) { return ShownMoment(app_.locale, when); };
  std::string next;
  switch (row.due_by) {
    case DueBy::kRealTime:
      // The shown time follows the clock; the delay does not.
      next = moment(clock.Now() + (row.real_due - clock.Monotonic()));
      break;
    case DueBy::kLocalTime:
      if (row.local_due) next = moment(*row.local_due);
      break;
    case DueBy::kIdle:
      next = FillIn(app_.Message("MSG_NEXTIDLE", "when idle {minutes} min"),
                    {{"minutes", std::to_string(row.idle_minutes)}});
      break;
    case DueBy::kProgramEnds:
      next = FillIn(app_.Message("MSG_NEXTENDS", "when {name} ends"), {{"name", row.program}});
      break;
    case DueBy::kQuiet:
      next = FillIn(app_.Message("MSG_NEXTQUIET",
                                 "when quiet {minutes} min (CPU < {cpu} %, network < {kbps} KB/s)"),
                    {{"minutes", std::to_string(row.quiet_minutes)},
                     {"cpu", std::to_string(row.quiet_cpu_percent)},
                     {"kbps", std::to_string(row.quiet_kilobytes)}});
      break;
  }
  return ListItem{row.name, {row.action, "", next, "Yes"}};
}

ListItems Runs::Items() const {
  ListItems items;
  items.reserve(list_.Rows().size());
  for (const RunRow& r : list_.Rows()) items.push_back(Item(r));
  return items;
}

std::string Runs::ShortDayName(LocalTime t) const {
  static constexpr const char* kDays[7][2] = {
      {"MSG_DAYMON", "Mon"}, {"MSG_DAYTUE", "Tue"}, {"MSG_DAYWED", "Wed"}, {"MSG_DAYTHU", "Thu"},
      {"MSG_DAYFRI", "Fri"}, {"MSG_DAYSAT", "Sat"}, {"MSG_DAYSUN", "Sun"}};
  const auto& day = kDays[WeekdayIndex(t)];
  return app_.Message(day[0], day[1]);
}

std::string Runs::AwakeTip() const {
  const KeptAwake& awake = engine_->Awake();
  if (!awake.on || !awake.until) return {};
  // Beyond today, the day tells which 02:00 is meant.
  const bool today = std::chrono::floor<std::chrono::days>(*awake.until) ==
                     std::chrono::floor<std::chrono::days>(app_.kit.Time().Now());
  const std::string until =
      (today ? "" : ShortDayName(*awake.until) + " ") + HourMinute(*awake.until);
  return FillIn(app_.Message("MSG_TRAYAWAKE", "{name} – kept awake until {time}"),
                {{"name", app_.product_name}, {"time", until}});
}

std::string Runs::QuickName() const {
  return list_.UniqueName("Quick Schedule " + app_.locale.GeneralDate(app_.kit.Time().Now()));
}

std::string Runs::AddQuick(RunRow row) {
  const std::string name = row.name;
  list_.Add(std::move(row));
  return name;
}

int Runs::CancelQuickRows() {
  const std::vector<uint64_t> quick = list_.QuickRows();
  for (uint64_t id : quick) RemoveQuick(id);
  return static_cast<int>(quick.size());
}

bool Runs::RemoveQuick(uint64_t id) {
  const RunRow* row = list_.Find(id);
  if (!row || row->from_file) return false;
  flow_->CancelRow(id);
  list_.Remove(id);
  return true;
}

void Runs::Record(const std::string& name, const std::string& action, const char* outcome,
                  LocalTime when) {
  if (Machine("chkLog", "0") != "1") return;
  std::vector<HistoryEntry> lines = not_stored_;
  lines.push_back({IsoMoment(when), name, action, outcome});
  try {
    AppendHistory(app_.fs, store_.data_folder + kHistoryFileName, lines);
    not_stored_.clear();
    write_failure_told_ = false;
  } catch (const FileError& e) {
    // The history is a record, not a reason to stop a run.
    NotStored(kNotStoredHistory, name, action, when, e);
  }
  if (Recorded) Recorded();
}

void Runs::RecordFailed(const std::string& name, const std::string& action,
                        const std::string& error, LocalTime when) {
  if (Machine("chkLog", "0") != "1") return;
  const std::string moment = IsoMoment(when);
  try {
    // The line written as the request went out says "performed": it is put right.
    ReplaceNewestHistory(app_.fs, store_.data_folder + kHistoryFileName,
                         {moment, name, action, kOutcomePerformed},
                         {moment, name, action, kOutcomeFailed, error});
  } catch (const FileError&) {
    // The history is a record, not a reason to stop a run.
  }
  if (Recorded) Recorded();
}

void Runs::RecordLastRun(const std::string& name, LocalTime when) {
  const std::string text = ShownMoment(app_.locale, when);
  std::string action;
  for (const RunRow& r : list_.Rows()) {
    if (r.from_file && r.name == name) {
      action = r.action;
      list_.Update(r.id, [&](RunRow& row) { row.last_run = text; });
      break;
    }
  }
  try {
    WriteLastRunTime(store_, name, text);
    write_failure_told_ = false;
  } catch (const FileError& e) {
    // The row shows it; the run goes ahead all the same.
    NotStored(kNotStoredLastRun, name, action, when, e);
  }
}

void Runs::NotStored(const char* what, const std::string& name, const std::string& action,
                     LocalTime when, const FileError& error) {
  // Told in the history once it can be written again; a disk full for days
  // must not make that line list grow without end.
  constexpr size_t kMostNotStored = 50;
  if (Machine("chkLog", "0") == "1" && not_stored_.size() < kMostNotStored) {
    not_stored_.push_back({IsoMoment(when), name, action, kOutcomeNotStored,
                           std::string(what) + ": " + error.Message()});
  }
  // One balloon until a write succeeds again, not one a minute.
  if (write_failure_told_) return;
  write_failure_told_ = true;
  const std::string text =
      std::string_view(what) == kNotStoredLastRun
          ? FillIn(app_.Message("MSG_LASTRUNFAILED",
                                "The Last Run Time of \"{name}\" could not be stored ({error}). "
                                "The run itself went ahead."),
                   {{"name", name}, {"error", error.Message()}})
          : FillIn(app_.Message("MSG_HISTORYFAILED",
                                "The history of \"{name}\" could not be written ({error}). The "
                                "runs themselves go on."),
                   {{"name", name}, {"error", error.Message()}});
  app_.kit.Tray().ShowBalloon(app_.product_name, text);
}

}  // namespace norvale
