#include "engine/run_list.h"

#include <algorithm>

namespace norvale {

void RunList::Touch() {
  ++revision_;
  if (Changed) Changed();
}

void RunList::ReplaceFileRows(std::vector<RunRow> rows) {
  for (RunRow& r : rows) {
    r.id = next_id_++;
    r.from_file = true;
  }
  for (RunRow& r : rows_) {
    if (!r.from_file) rows.push_back(std::move(r));
  }
  rows_ = std::move(rows);
  Touch();
}

uint64_t RunList::Add(RunRow row) {
  row.id = next_id_++;
  row.from_file = false;
  rows_.push_back(std::move(row));
  Touch();
  return rows_.back().id;
}

RunRow* RunList::Find(uint64_t id) {
  for (RunRow& r : rows_) {
    if (r.id == id) return &r;
  }
  return nullptr;
}

const RunRow* RunList::FindNamed(std::string_view name) const {
  for (const RunRow& r : rows_) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

bool RunList::Update(uint64_t id, const std::function<void(RunRow&)>& change) {
  RunRow* row = Find(id);
  if (!row) return false;
  change(*row);
  Touch();
  return true;
}

bool RunList::Remove(uint64_t id) {
  const auto it = std::find_if(rows_.begin(), rows_.end(), [&](const RunRow& r) { return r.id == id; });
  if (it == rows_.end()) return false;
  rows_.erase(it);
  Touch();
  return true;
}

std::vector<uint64_t> RunList::QuickRows() const {
  std::vector<uint64_t> out;
  for (const RunRow& r : rows_) {
    if (!r.from_file) out.push_back(r.id);
  }
  return out;
}

std::string RunList::UniqueName(const std::string& base) const {
  std::string name = base;
  for (int n = 2; FindNamed(name); ++n) name = base + " (" + std::to_string(n) + ")";
  return name;
}

RunRow DelayRow(const Clock& clock, std::string name, std::string action,
                std::chrono::milliseconds delay) {
  RunRow r;
  r.name = std::move(name);
  r.action = std::move(action);
  r.due_by = DueBy::kRealTime;
  r.real_due = clock.Monotonic() + delay;
  return r;
}

RunRow LocalTimeRow(std::string name, std::string action, LocalTime at) {
  RunRow r;
  r.name = std::move(name);
  r.action = std::move(action);
  r.due_by = DueBy::kLocalTime;
  r.local_due = at;
  return r;
}

RunRow IdleRow(const Clock& clock, std::string name, std::string action, int minutes) {
  RunRow r;
  r.name = std::move(name);
  r.action = std::move(action);
  r.due_by = DueBy::kIdle;
  r.idle_minutes = minutes;
  // Idle time before the row was made does not count: the user just asked.
  r.idle_from = clock.Monotonic();
  return r;
}

RunRow QuietRow(const Clock& clock, std::string name, std::string action, QuietLimits limits) {
  RunRow r;
  r.name = std::move(name);
  r.action = std::move(action);
  r.due_by = DueBy::kQuiet;
  r.quiet_minutes = limits.minutes;
  r.quiet_cpu_percent = limits.cpu_percent;
  r.quiet_kilobytes = limits.kilobytes_per_second;
  // A quiet spell before the row was made does not count, as with idle time.
  r.quiet_from = clock.Monotonic();
  return r;
}

RunRow ProgramEndsRow(std::string name, std::string action, const RunningProcess& program,
                      std::unique_ptr<WatchedProcess> watch) {
  RunRow r;
  r.name = std::move(name);
  r.action = std::move(action);
  r.due_by = DueBy::kProgramEnds;
  r.program = program.name;
  r.watch = std::move(watch);
  return r;
}

LocalTime NextTimeOfDay(const Clock& clock, int minute_of_day) {
  const LocalTime now = clock.Now();
  LocalTime at = std::chrono::floor<std::chrono::days>(now) + std::chrono::minutes{minute_of_day};
  if (at <= now) at += std::chrono::days{1};
  return at;
}

}  // namespace norvale
