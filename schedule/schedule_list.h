#pragma once
// The working set of schedules: one list row per schedule file, with its next run.
#include <map>
#include <string>
#include <vector>

#include "engine/run_list.h"
#include "platform/clock.h"
#include "platform/list_items.h"
#include "platform/locale.h"
#include "schedule/schedule_file.h"

namespace norvale {

// Columns of a schedule row after its Text (the schedule name).
enum ScheduleColumn : size_t {
  kColumnType = 1,
  kColumnLastRun = 2,
  kColumnNextRun = 3,
  kColumnEnabled = 4,
};

// Occurrences already taken, by schedule name: they are never shown again.
using TakenOccurrences = std::map<std::string, LocalTime>;

// The texts of the schedule files as last read, each with its file's stamp: a
// reload reads only the files that changed since.
class ScheduleCache {
 public:
  // The file's text, read again only when its size or time changed (or cannot be
  // told). Throws FileError.
  std::string Read(const ScheduleStore& store, const std::string& name);
  // Forgets the files not read since the last call: they were deleted.
  void KeepOnlyRead();

 private:
  struct Entry {
    FileStamp stamp;
    std::string text;
    bool read = false;
  };
  std::map<std::string, Entry> entries_;
};

// The run rows of the schedule files, in listing order. A file that cannot be
// read gets a row marked unreadable, with `unreadable` as its next run; the
// others still load. The stored Last Run Time counts as taken, and so does
// `taken`. With `minute_begun` an occurrence of the minute under way still
// counts (a reload must not drop it); without, it has passed (a start).
std::vector<RunRow> LoadFileRows(const ScheduleStore& store, const Clock& clock,
                                 const Locale& locale, const TakenOccurrences& taken,
                                 const std::string& unreadable, ScheduleCache* cache,
                                 bool minute_begun);
// The row's occurrence at `taken` is done with: it shows the next one after it,
// read from its file again.
void MoveOnFileRow(RunRow& row, const ScheduleStore& store, const Clock& clock,
                   const Locale& locale, LocalTime taken, const std::string& unreadable);
// A file row as the list shows it (stored values; the window translates them).
ListItem FileRowItem(const RunRow& row);

// Rebuilds every row from the schedule files, in listing order. A file that
// cannot be read gets a row with `unreadable` where its next run stands (its
// name is also returned); the others still load. A schedule not enabled shows
// no next run. The stored Last Run Time counts as taken.
std::vector<std::string> loadData(ListItems& rows, const ScheduleStore& store, const Clock& clock,
                                  const Locale& locale, const TakenOccurrences& taken = {},
                                  const std::string& unreadable = "Cannot be read",
                                  ScheduleCache* cache = nullptr);

// Which row commands a click leaves enabled.
struct RowCommands {
  bool edit = false;
  bool remove = false;
};

// Fills `current` from the clicked row and, when the row has a file, from its
// SCHEDULER block. A quick row (no file) allows only Delete. Throws FileError
// when the file exists but cannot be read.
RowCommands lstSchedules_ItemClick(const ListItem& row, const ScheduleStore& store,
                                   ScheduleRecord& current);

// 1-based index of the first row named exactly `name`, or 0.
size_t FindSchedule(const ListItems& rows, std::string_view name);

}  // namespace norvale
