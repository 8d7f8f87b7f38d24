#pragma once
// Keep-awake hours: a schedule whose rows are spans of local time, not moments.
// While any span is under way the computer is held from sleeping through
// inactivity; spans of several schedules join into one hold.
//
// A span is a state, not an occurrence: it follows the wall clock (woken into,
// it holds from the resume on; a clock set into it holds too), is never warned
// of or performed, and "Prevent any schedules from running" leaves it alone,
// since keeping the computer awake runs nothing.
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_list.h"
#include "platform/clock.h"
#include "platform/locale.h"

namespace norvale {

struct AwakeSpan {
  LocalTime begin;
  LocalTime end;
};

// How long a span of the SCHEDULER block lasts: from StartTime to EndTime, into
// the next day when the end is earlier. nullopt without a readable EndTime, or
// when it equals the start (the editor refuses that).
std::optional<std::chrono::minutes> SpanLength(std::string_view scheduler_block);

// The span under way at the clock's moment, else the next one, on the block's
// repeat rules; nullopt when none is to come.
std::optional<AwakeSpan> CurrentOrNextSpan(std::string_view scheduler_block, const Clock& clock,
                                           const Locale& locale);

// 0 for Monday … 6 for Sunday.
int WeekdayIndex(LocalTime t);
// "Mon 09:00–17:00", with `weekday` the short name of the begin's day.
std::string SpanText(const AwakeSpan& span, std::string_view weekday);
// "17:00".
std::string HourMinute(LocalTime t);

// What the span rows ask together.
struct KeptAwake {
  bool on = false;
  bool display = false;
  std::optional<LocalTime> until;  // the latest end of the spans under way
};

// What changed since the last look: the schedules whose span began, and when
// none holds any more, the one whose span ended last.
struct AwakeChange {
  std::vector<std::string> began;
  std::string allowed;
  KeptAwake state;
};

class AwakeSpans {
 public:
  using MomentOf = std::function<UtcTime(LocalTime)>;
  struct Look {
    std::optional<std::chrono::milliseconds> wait;  // until the next start or end
    std::vector<uint64_t> over;                     // rows whose span has ended
  };
  // Looks at every enabled span row at `utc`.
  Look See(const RunList& list, UtcTime utc, const MomentOf& moment_of);
  // What changed since the last Settle, if anything; the rows seen last count
  // as holding from now on.
  std::optional<AwakeChange> Settle();
  const KeptAwake& State() const { return state_; }

 private:
  struct Holding {
    LocalTime end;
    bool display = false;
  };
  // By schedule name: a reload gives the rows new ids, not new spans.
  std::map<std::string, Holding> seen_, held_;
  std::vector<std::string> seen_order_;
  KeptAwake state_;
};

}  // namespace norvale
