#pragma once
// A plain-text view of the schedule list and its next runs.
#include <string>

#include "platform/clock.h"
#include "platform/list_items.h"
#include "platform/locale.h"
#include "schedule/schedule_file.h"

namespace norvale {

std::string ScheduleListing(const ScheduleStore& store, const Clock& clock, const Locale& locale);
// The same table of any rows: the schedules of `folder` as listed at `now`, and
// the names of schedules that could not be read.
std::string FormatListing(const std::string& folder, const std::string& now, const ListItems& rows,
                          const std::vector<std::string>& skipped);

}  // namespace norvale
