#include "engine/run_list.h"

#include <algorithm>

namespace norvale {

void RunList::Touch() {
  ++revision_;
  if (held_ > 0) {
    changed_while_held_ = true;
    return;
  }
  if (Changed) Changed();
}

void RunList::Release() {
  if (held_ == 0 || --held_ > 0 || !changed_while_held_) return;
  changed_while_held_ = false;
  if (Changed) Changed();
}

void RunList::Index() {
  at_.clear();
  for (size_t i = 0; i < rows_.size(); ++i) at_[rows_[i].id] = i;
}

void RunList::Count(const std::string& name, int change) {
  const auto it = names_.try_emplace(name, 0).first;
  it->second += change;
  if (it->second <= 0) names_.erase(it);
}

void RunList::ReplaceFileRows(std::vector<RunRow> rows) {
  for (const RunRow& r : rows_) {
    if (r.from_file) Count(r.name, -1);
  }
  for (RunRow& r : rows) {
    r.id = next_id_++;
    r.from_file = true;
    Count(r.name, +1);
  }
  for (RunRow& r : rows_) {
    if (!r.from_file) rows.push_back(std::move(r));
  }
  rows_ = std::move(rows);
  Index();
  Touch();
}

uint64_t RunList::Add(RunRow row) {
  row.id = next_id_++;
  row.from_file = false;
  Count(row.name, +1);
  ++quick_count_;
  rows_.push_back(std::move(row));
  at_[rows_.back().id] = rows_.size() - 1;
  Touch();
  return rows_.back().id;
}

RunRow* RunList::Find(uint64_t id) {
  const auto it = at_.find(id);
  return it == at_.end() ? nullptr : &rows_[it->second];
}

const RunRow* RunList::FindNamed(std::string_view name) const {
  if (!Named(std::string(name))) return nullptr;
  for (const RunRow& r : rows_) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

bool RunList::Update(uint64_t id, const std::function<void(RunRow&)>& change) {
  RunRow* row = Find(id);
  if (!row) return false;
  const std::string before = row->name;
  change(*row);
  if (row->name != before) {
    Count(before, -1);
    Count(row->name, +1);
  }
  Touch();
  return true;
}

bool RunList::Remove(uint64_t id) {
  const auto found = at_.find(id);
  if (found == at_.end()) return false;
  const auto it = rows_.begin() + static_cast<std::ptrdiff_t>(found->second);
  Count(it->name, -1);
  if (!it->from_file) --quick_count_;
  rows_.erase(it);
  Index();
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
  if (!Named(base)) return base;
  // The last number given is tried first: it is free until a row takes it.
  int& n = numbers_.try_emplace(base, 2).first->second;
  std::string name;
  for (;; ++n) {
    name = base + " (" + std::to_string(n) + ")";
    if (!Named(name)) return name;
  }
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
