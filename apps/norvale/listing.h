#pragma once
// A plain-text view of the schedule list and its next runs.
#include <string>

#include "platform/clock.h"
#include "platform/locale.h"
#include "schedule/schedule_file.h"

namespace norvale {

std::string ScheduleListing(const ScheduleStore& store, const Clock& clock, const Locale& locale);

}  // namespace norvale
