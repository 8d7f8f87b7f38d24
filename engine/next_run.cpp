#include "engine/next_run.h"

#include <cctype>
#include <vector>

#include "schedule/schedule_file.h"

namespace norvale {
namespace {

using std::chrono::days;
using std::chrono::duration_cast;
using std::chrono::floor;
using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using std::chrono::sys_days;

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The day numbers of a Period list inside [1, highest]; entries that are no whole
// number in that range were never written by the editor and are ignored.
std::vector<int> DayNumbers(const std::string& period, int highest) {
  std::vector<int> out;
  size_t begin = 0;
  while (begin <= period.size()) {
    size_t end = period.find(',', begin);
    if (end == std::string::npos) end = period.size();
    const auto n = ReadNumber(std::string_view(period).substr(begin, end - begin));
    // Range first: converting a huge number to int would be undefined.
    if (n && *n >= 1 && *n <= highest && *n == static_cast<int>(*n)) {
      out.push_back(static_cast<int>(*n));
    }
    begin = end + 1;
  }
  return out;
}

Date AddDays(Date date, int n) {
  return Date{sys_days{date} + days{n}};
}

unsigned LastDayOf(std::chrono::year_month ym) {
  return static_cast<unsigned>(std::chrono::year_month_day_last{ym / std::chrono::last}.day());
}

// The weekly and monthly rule: the chosen day still to come, else the earliest
// chosen day of the next cycle. `today` is the weekday or day of the month.
struct DayChoice {
  bool today_still_due = false;
  int next = 0;      // a chosen day later in this cycle, 0 for none
  int earliest = 0;  // the smallest chosen day, 0 when nothing is chosen
};

DayChoice ChooseDay(const std::vector<int>& chosen, int today, bool later_today, int cap) {
  DayChoice c;
  for (int raw : chosen) {
    const int day = raw < cap ? raw : cap;
    if (day == today && later_today) {
      c.today_still_due = true;
      return c;
    }
    if (c.earliest == 0 || raw < c.earliest) c.earliest = raw;
    if (day > today && (c.next == 0 || day < c.next)) c.next = day;
  }
  return c;
}

}  // namespace

std::optional<seconds> ParseTimeOfDay(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int half = 0;  // 0: 24-hour clock, 1: AM, 2: PM
  if (text.size() > 2) {
    const std::string_view tail = text.substr(text.size() - 2);
    const auto upper = [](char c) {
      return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    };
    if (upper(tail[1]) == 'M' && (upper(tail[0]) == 'A' || upper(tail[0]) == 'P')) {
      half = upper(tail[0]) == 'A' ? 1 : 2;
      text.remove_suffix(2);
      while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    }
  }
  int parts[3] = {0, 0, 0};
  int count = 0;
  size_t i = 0;
  while (i < text.size() && count < 3) {
    size_t j = i;
    int value = 0;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
      if (j - i == 2) return std::nullopt;  // no part of a time has three digits
      value = value * 10 + (text[j] - '0');
      ++j;
    }
    if (j == i) return std::nullopt;
    parts[count++] = value;
    if (j == text.size()) {
      i = j;
      break;
    }
    if (text[j] != ':') return std::nullopt;
    i = j + 1;
    if (i == text.size()) return std::nullopt;
  }
  if (i != text.size() || count < 2) return std::nullopt;
  int h = parts[0];
  if (half != 0) {
    if (h < 1 || h > 12) return std::nullopt;
    h = h % 12 + (half == 2 ? 12 : 0);
  }
  if (h > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return hours{h} + minutes{parts[1]} + seconds{parts[2]};
}

std::optional<LocalTime> ParseNextRun(std::string_view text, const Locale& locale) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t blank = text.rfind(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  // "10:30:00 PM": the marker belongs to the time.
  const std::string_view last = text.substr(blank + 1);
  if (last.size() == 2 && (last[1] == 'M' || last[1] == 'm') && blank > 0) {
    const size_t before = text.rfind(' ', blank - 1);
    if (before != std::string_view::npos) blank = before;
  }
  const auto time = ParseTimeOfDay(text.substr(blank + 1));
  std::string_view date_text = text.substr(0, blank);
  while (!date_text.empty() && date_text.back() == ' ') date_text.remove_suffix(1);
  if (!time || date_text.empty()) return std::nullopt;
  const auto date = locale.ParseDate(date_text);
  if (!date || !date->ok()) return std::nullopt;
  return LocalTime{std::chrono::local_days{std::chrono::sys_days{*date}.time_since_epoch()}} +
         *time;
}

NextRun NextRunOf(std::string_view block, const Clock& clock, const Locale& locale) {
  const std::string start_date = GetValue(block, "StartDate");
  const std::string start_time = GetValue(block, "StartTime");
  // A schedule saved without a start never runs; the watcher skips an empty cell.
  if (start_date.empty() || start_time.empty()) return {};

  const Date today = clock.Today();
  const auto now_minute = duration_cast<minutes>(clock.TimeOfDay());
  const auto date = locale.ParseDate(start_date);
  const auto time = ParseTimeOfDay(start_time);
  // What cannot be read is shown as stored; the watcher cannot read it either.
  if (!date || !time) return {start_date + " " + start_time, std::nullopt};
  const auto at = [&](Date d, std::string text) {
    return NextRun{std::move(text), LocalTime{std::chrono::local_days{d}} + floor<minutes>(*time)};
  };

  // "Later" counts minute boundaries: a start in the current minute has passed.
  const bool later_today = duration_cast<minutes>(*time) > now_minute;
  if (*date > today || (*date == today && later_today)) {
    return at(*date, start_date + " " + start_time);
  }

  if (!ReadBoolean(GetValue(block, "Repeat"))) return {};

  Date next;
  const auto mode = ReadInt16(GetValue(block, "SAccurancy"));
  if (mode == kRepeatDaily) {
    next = later_today ? today : AddDays(today, 1);
  } else if (mode == kRepeatWeekly) {
    std::string period = GetValue(block, "Period");
    static constexpr std::string_view kKeys[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    for (int k = 0; k < 7; ++k) period = ReplaceAll(period, kKeys[k], std::to_string(k + 1));
    const int weekday = static_cast<int>(std::chrono::weekday{today}.iso_encoding());
    const auto c = ChooseDay(DayNumbers(period, 7), weekday, later_today, 7);
    if (c.today_still_due) {
      next = today;
    } else if (c.next != 0) {
      next = AddDays(today, c.next - weekday);
    } else if (c.earliest != 0) {
      next = AddDays(today, 7 - weekday + c.earliest);
    } else {
      return {};
    }
  } else if (mode == kRepeatMonthly) {
    const int day = static_cast<int>(static_cast<unsigned>(today.day()));
    const auto this_month = today.year() / today.month();
    // A chosen day beyond this month's end falls on its last day, as it does
    // when the following month is too short.
    const auto c = ChooseDay(DayNumbers(GetValue(block, "Period"), 31), day, later_today,
                             static_cast<int>(LastDayOf(this_month)));
    if (c.today_still_due) {
      next = today;
    } else if (c.next != 0) {
      next = AddDays(today, c.next - day);
    } else if (c.earliest != 0) {
      const auto following = this_month + std::chrono::months{1};
      const unsigned last = LastDayOf(following);
      const unsigned chosen = static_cast<unsigned>(c.earliest);
      next = following / std::chrono::day{chosen < last ? chosen : last};
    } else {
      return {};
    }
  } else {
    return {};
  }
  return at(next, locale.ShortDate(next) + " " + start_time);
}

std::string GetNextRun(std::string_view block, const Clock& clock, const Locale& locale) {
  return NextRunOf(block, clock, locale).text;
}

NextRun NextRunAfter(std::string_view block, const Clock& clock, const Locale& locale,
                     std::optional<LocalTime> taken) {
  NextRun next = NextRunOf(block, clock, locale);
  if (!taken || !next.moment || *next.moment > floor<minutes>(*taken)) return next;
  // Asked at the taken minute itself, the computation gives what follows it.
  return NextRunOf(block, FixedClock{floor<minutes>(*taken)}, locale);
}

std::string GetNextRunAfter(std::string_view block, const Clock& clock, const Locale& locale,
                            std::optional<LocalTime> taken) {
  return NextRunAfter(block, clock, locale, taken).text;
}

}  // namespace norvale
