#include "schedule/schedule_list.h"

#include "engine/awake_spans.h"
#include "engine/next_run.h"
#include "platform/text_codec.h"
#include "power/power_actions.h"
#include "schedule/schedule_name.h"

namespace norvale {

std::string ScheduleCache::Read(const ScheduleStore& store, const std::string& name) {
  const auto stamp = store.fs.Stamp(store.PathOf(name));
  auto it = entries_.find(name);
  if (stamp && it != entries_.end() && it->second.stamp == *stamp) {
    it->second.read = true;
    return it->second.text;
  }
  std::string text = store.ReadText(name);
  if (stamp) {
    entries_[name] = Entry{*stamp, text, true};
  } else if (it != entries_.end()) {
    entries_.erase(it);
  }
  return text;
}

void ScheduleCache::KeepOnlyRead() {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (!it->second.read) {
      it = entries_.erase(it);
    } else {
      it->second.read = false;
      ++it;
    }
  }
}

namespace {

// What a row shows of a stored value: a value of megabytes is no one's text.
constexpr size_t kMostShownCharacters = 260;

std::string Shown(std::string value) {
  size_t at = 0;
  for (size_t n = 0; n < kMostShownCharacters && at < value.size(); ++n) NextCodePoint(value, at);
  value.resize(at);
  return value;
}

// A minute that has begun still counts: a computer resumed inside it, or a
// reload in it, still takes its occurrence.
FixedClock MinuteBegun(const Clock& clock) {
  return FixedClock{clock.Now() - std::chrono::minutes{1}};
}

// The next run of a file's text, never at or before `taken`. Keep-awake hours
// get the span under way at `now` or the next one: a span follows the clock,
// so neither a reload nor its stored Last Run Time ends it early.
void ReadNext(RunRow& row, const std::string& content, const Clock& from, const Clock& now,
              const Locale& locale, std::optional<LocalTime> taken) {
  const std::string data = GetTag(content, "DATA");
  row.action = Shown(GetValue(data, "ItemType"));
  row.enabled = GetValue(data, "Enabled") == "1";
  row.last_run = Shown(GetValue(data, "LastRunTime"));
  row.local_due.reset();
  row.local_end.reset();
  row.wake = false;
  row.next_text.clear();
  if (!row.enabled) return;
  const std::string block = GetTag(content, "SCHEDULER");
  if (row.action == kKeepAwake) {
    row.keep_display = ReadBoolean(GetValue(block, "KeepDisplayOn"));
    if (const auto span = CurrentOrNextSpan(block, now, locale)) {
      row.local_due = span->begin;
      row.local_end = span->end;
      // In English; the main window shows the day in the language in effect.
      static constexpr const char* kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
      row.next_text = SpanText(*span, kDays[WeekdayIndex(span->begin)]);
    }
    return;
  }
  row.wake = ReadBoolean(GetValue(block, "WakeToRun"));
  const NextRun next = NextRunAfter(block, from, locale, taken);
  row.next_text = next.text;
  row.local_due = next.moment;
}

}  // namespace

std::vector<RunRow> LoadFileRows(const ScheduleStore& store, const Clock& clock,
                                 const Locale& locale, const TakenOccurrences& taken,
                                 const std::string& unreadable, ScheduleCache* cache,
                                 bool minute_begun) {
  const FixedClock begun = MinuteBegun(clock);
  const Clock& from = minute_begun ? static_cast<const Clock&>(begun) : clock;
  std::vector<RunRow> rows;
  for (const std::string& file : store.fs.ListFiles(store.data_folder, "*.sch")) {
    RunRow& row = rows.emplace_back();
    row.name = file.substr(0, file.size() - 4);
    row.due_by = DueBy::kLocalTime;
    row.from_file = true;
    std::string content;
    try {
      // A name Windows refuses (CON, "a:b", "trail.") is no file it can open.
      if (!IsValidScheduleName(row.name)) throw FileError(FileErrorKind::BadName, file);
      content = cache ? cache->Read(store, row.name) : store.ReadText(row.name);
    } catch (const FileError&) {
      // Shown, so the user knows it exists; never performed.
      row.unreadable = true;
      row.enabled = false;
      row.next_text = unreadable;
      continue;
    }
    std::optional<LocalTime> last;
    if (const std::string stored = GetValue(GetTag(content, "DATA"), "LastRunTime");
        !stored.empty()) {
      last = ParseNextRun(stored, locale);
    }
    if (auto it = taken.find(row.name); it != taken.end() && (!last || it->second > *last)) {
      last = it->second;
    }
    ReadNext(row, content, from, clock, locale, last);
  }
  if (cache) cache->KeepOnlyRead();
  return rows;
}

void MoveOnFileRow(RunRow& row, const ScheduleStore& store, const Clock& clock,
                   const Locale& locale, LocalTime taken, const std::string& unreadable) {
  try {
    ReadNext(row, store.ReadText(row.name), MinuteBegun(clock), clock, locale, taken);
  } catch (const FileError&) {
    row.unreadable = true;
    row.enabled = false;
    row.local_due.reset();
    row.local_end.reset();
    row.wake = false;
    row.next_text = unreadable;
  }
}

std::vector<std::string> loadData(ListItems& rows, const ScheduleStore& store, const Clock& clock,
                                  const Locale& locale, const TakenOccurrences& taken,
                                  const std::string& unreadable, ScheduleCache* cache) {
  rows.clear();
  std::vector<std::string> skipped;
  for (const RunRow& r : LoadFileRows(store, clock, locale, taken, unreadable, cache, false)) {
    if (r.unreadable) skipped.push_back(r.name);
    rows.push_back(FileRowItem(r));
  }
  return skipped;
}

ListItem FileRowItem(const RunRow& r) {
  ListItem row;
  row.Text = r.name;
  if (r.unreadable) {
    row.SetSubItem(kColumnNextRun, r.next_text);
    row.SetSubItem(kColumnEnabled, "");
    return row;
  }
  row.SetSubItem(kColumnType, r.action);
  row.SetSubItem(kColumnLastRun, r.last_run);
  row.SetSubItem(kColumnNextRun, r.next_text);
  row.SetSubItem(kColumnEnabled, r.enabled ? "Yes" : "No");
  return row;
}

RowCommands lstSchedules_ItemClick(const ListItem& row, const ScheduleStore& store,
                                   ScheduleRecord& current) {
  current.Name = row.Text;
  current.ItemType = row.SubItem(kColumnType);
  current.LastRunTime = row.SubItem(kColumnLastRun);
  current.Enabled = row.SubItem(kColumnEnabled) == "Yes";
  if (!FileExists(store.fs, store.PathOf(row.Text))) return {.edit = false, .remove = true};

  const std::string block = GetTag(store.ReadText(row.Text), "SCHEDULER");
  current.StartDate = GetValue(block, "StartDate");
  current.StartTime = GetValue(block, "StartTime");
  current.Period = GetValue(block, "Period");
  current.Repeat = ReadBoolean(GetValue(block, "Repeat"));
  current.RunOnStart = ReadBoolean(GetValue(block, "RunOnStart"));
  current.RunOnEnd = ReadBoolean(GetValue(block, "RunOnEnd"));
  current.SAccurancy = ReadInt16(GetValue(block, "SAccurancy")).value_or(kRepeatDaily);
  current.EndTime = GetValue(block, "EndTime");
  current.KeepDisplayOn = ReadBoolean(GetValue(block, "KeepDisplayOn"));
  current.WakeToRun = ReadBoolean(GetValue(block, "WakeToRun"));
  return {.edit = true, .remove = true};
}

size_t FindSchedule(const ListItems& rows, std::string_view name) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Text == name) return i + 1;
  }
  return 0;
}

}  // namespace norvale
