#include "schedule/schedule_list.h"

#include "engine/next_run.h"

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

std::vector<std::string> loadData(ListItems& rows, const ScheduleStore& store, const Clock& clock,
                                  const Locale& locale, const TakenOccurrences& taken,
                                  const std::string& unreadable, ScheduleCache* cache) {
  rows.clear();
  std::vector<std::string> skipped;
  for (const std::string& file : store.fs.ListFiles(store.data_folder, "*.sch")) {
    const std::string name = file.substr(0, file.size() - 4);
    std::string content;
    try {
      content = cache ? cache->Read(store, name) : store.ReadText(name);
    } catch (const FileError&) {
      // Shown, so the user knows it exists; never performed.
      skipped.push_back(name);
      ListItem& row = rows.emplace_back();
      row.Text = name;
      row.SetSubItem(kColumnNextRun, unreadable);
      row.SetSubItem(kColumnEnabled, "");
      continue;
    }
    const std::string data = GetTag(content, "DATA");
    const std::string last_run = GetValue(data, "LastRunTime");
    const bool enabled = GetValue(data, "Enabled") == "1";
    std::optional<LocalTime> last =
        last_run.empty() ? std::nullopt : ParseNextRun(last_run, locale);
    if (auto it = taken.find(name); it != taken.end() && (!last || it->second > *last)) {
      last = it->second;
    }
    ListItem& row = rows.emplace_back();
    row.Text = name;
    row.SetSubItem(kColumnType, GetValue(data, "ItemType"));
    row.SetSubItem(kColumnLastRun, last_run);
    row.SetSubItem(kColumnNextRun,
                   enabled ? GetNextRunAfter(GetTag(content, "SCHEDULER"), clock, locale, last)
                           : std::string());
    row.SetSubItem(kColumnEnabled, enabled ? "Yes" : "No");
  }
  if (cache) cache->KeepOnlyRead();
  return skipped;
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
  return {.edit = true, .remove = true};
}

size_t FindSchedule(const ListItems& rows, std::string_view name) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Text == name) return i + 1;
  }
  return 0;
}

}  // namespace norvale
