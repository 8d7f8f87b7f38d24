#include "engine/awake_spans.h"

#include <cstdio>

#include "engine/next_run.h"
#include "schedule/schedule_file.h"

namespace norvale {

using namespace std::chrono;

std::optional<minutes> SpanLength(std::string_view block) {
  const auto start = ParseTimeOfDay(GetValue(block, "StartTime"));
  const auto end = ParseTimeOfDay(GetValue(block, "EndTime"));
  if (!start || !end) return std::nullopt;
  // Spans begin and end on whole minutes, as the schedule's start falls due.
  minutes length = floor<minutes>(*end) - floor<minutes>(*start);
  if (length < minutes{0}) length += days{1};
  if (length == minutes{0}) return std::nullopt;
  return length;
}

std::optional<AwakeSpan> CurrentOrNextSpan(std::string_view block, const Clock& clock,
                                           const Locale& locale) {
  const auto length = SpanLength(block);
  if (!length) return std::nullopt;
  // The first start after one span's length ago: it either is under way, or
  // none is and it is the next one.
  const FixedClock back{floor<minutes>(clock.Now()) - *length};
  const NextRun start = NextRunOf(block, back, locale);
  if (!start.moment) return std::nullopt;
  return AwakeSpan{*start.moment, *start.moment + *length};
}

int WeekdayIndex(LocalTime t) {
  return static_cast<int>(weekday{floor<days>(t)}.iso_encoding()) - 1;
}

std::string HourMinute(LocalTime t) {
  const hh_mm_ss<minutes> hm{floor<minutes>(t - floor<days>(t))};
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(hm.hours().count()),
                static_cast<int>(hm.minutes().count()));
  return text;
}

std::string SpanText(const AwakeSpan& span, std::string_view weekday) {
  return std::string(weekday) + " " + HourMinute(span.begin) + "\u2013" + HourMinute(span.end);
}

AwakeSpans::Look AwakeSpans::See(const RunList& list, UtcTime utc, const MomentOf& moment_of) {
  Look look;
  const auto soon = [&](UtcTime at) {
    const milliseconds d = ceil<milliseconds>(at - utc);
    look.wait = look.wait ? std::min(*look.wait, d) : d;
  };
  seen_.clear();
  seen_order_.clear();
  for (const RunRow& r : list.Rows()) {
    if (!r.local_end || !r.local_due || !r.enabled) continue;
    const UtcTime end = moment_of(*r.local_end);
    if (utc >= end) {
      look.over.push_back(r.id);
      continue;
    }
    const UtcTime begin = moment_of(*r.local_due);
    if (utc < begin) {
      soon(begin);
      continue;
    }
    soon(end);
    auto [it, added] = seen_.try_emplace(r.name, Holding{*r.local_end, r.keep_display});
    if (added) seen_order_.push_back(r.name);
  }
  return look;
}

std::optional<AwakeChange> AwakeSpans::Settle() {
  AwakeChange change;
  for (const std::string& name : seen_order_) {
    if (!held_.contains(name)) change.began.push_back(name);
  }
  if (seen_.empty() && !held_.empty()) {
    auto last = held_.begin();
    for (auto it = held_.begin(); it != held_.end(); ++it) {
      if (it->second.end >= last->second.end) last = it;
    }
    change.allowed = last->first;
  }
  KeptAwake state;
  state.on = !seen_.empty();
  for (const auto& [name, h] : seen_) {
    state.display = state.display || h.display;
    if (!state.until || h.end > *state.until) state.until = h.end;
  }
  const bool same = change.began.empty() && change.allowed.empty() && state.on == state_.on &&
                    state.display == state_.display && state.until == state_.until;
  held_ = seen_;
  state_ = state;
  if (same) return std::nullopt;
  change.state = state;
  return change;
}

}  // namespace norvale
