#include "schedule/schedule_list.h"

#include "engine/next_run.h"

namespace norvale {

std::vector<std::string> loadData(ListItems& rows, const ScheduleStore& store, const Clock& clock,
                                  const Locale& locale) {
  rows.clear();
  std::vector<std::string> skipped;
  for (const std::string& file : store.fs.ListFiles(store.data_folder, "*.sch")) {
    const std::string name = file.substr(0, file.size() - 4);
    std::string content;
    try {
      content = store.ReadText(name);
    } catch (const FileError&) {
      skipped.push_back(name);
      continue;
    }
    const std::string data = GetTag(content, "DATA");
    ListItem& row = rows.emplace_back();
    row.Text = name;
    row.SetSubItem(kColumnType, GetValue(data, "ItemType"));
    row.SetSubItem(kColumnLastRun, GetValue(data, "LastRunTime"));
    row.SetSubItem(kColumnNextRun, GetNextRun(GetTag(content, "SCHEDULER"), clock, locale));
    row.SetSubItem(kColumnEnabled, GetValue(data, "Enabled") == "1" ? "Yes" : "No");
  }
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
