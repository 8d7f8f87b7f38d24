#include "apps/norvale/listing.h"

#include <algorithm>

#include "schedule/schedule_list.h"

namespace norvale {

std::string ScheduleListing(const ScheduleStore& store, const Clock& clock, const Locale& locale) {
  ListItems rows;
  const std::vector<std::string> skipped = loadData(rows, store, clock, locale);
  return FormatListing(store.data_folder, locale.GeneralDate(clock.Now()), rows, skipped);
}

std::string FormatListing(const std::string& folder, const std::string& now, const ListItems& rows,
                          const std::vector<std::string>& skipped) {
  const char* headers[] = {"Schedule Name", "Type", "Last Run Time", "Next Run Time", "Enabled"};
  size_t width[5];
  for (size_t c = 0; c < 5; ++c) width[c] = std::string_view(headers[c]).size();
  for (const ListItem& row : rows) {
    width[0] = std::max(width[0], row.Text.size());
    for (size_t c = 1; c < 5; ++c) width[c] = std::max(width[c], row.SubItem(c).size());
  }
  std::string out = "Schedules in " + folder + " (now " + now + ")\n";
  const auto line = [&](const std::string* cells) {
    for (size_t c = 0; c < 5; ++c) {
      out += cells[c];
      if (c < 4) out.append(width[c] - cells[c].size() + 2, ' ');
    }
    out += '\n';
  };
  const std::string header_cells[5] = {headers[0], headers[1], headers[2], headers[3], headers[4]};
  line(header_cells);
  for (const ListItem& row : rows) {
    const std::string cells[5] = {row.Text, row.SubItem(1), row.SubItem(2), row.SubItem(3),
                                  row.SubItem(4)};
    line(cells);
  }
  if (rows.empty()) out += "(no schedules)\n";
  for (const std::string& name : skipped) out += "Could not read the schedule \"" + name + "\".\n";
  return out;
}

}  // namespace norvale
