#include "platform/locale.h"

#include <cctype>
#include <cstdio>

namespace norvale {

std::string Time24(std::chrono::seconds time_of_day) {
  using namespace std::chrono;
  const hh_mm_ss<seconds> hms{time_of_day};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(hms.hours().count()),
                static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count()));
  return buf;
}

UtcTime Clock::ToUtc(LocalTime local) const {
  using namespace std::chrono;
  const UtcTime as_utc{local.time_since_epoch()};
  // The offsets in force half a day either side cover any single change.
  const seconds before = OffsetAt(as_utc - hours{12});
  const seconds after = OffsetAt(as_utc + hours{12});
  for (seconds o : {before > after ? before : after, before > after ? after : before}) {
    // The larger offset gives the earlier moment; it wins when both fit (autumn).
    if (OffsetAt(as_utc - o) == o) return as_utc - o;
  }
  return as_utc - before;
}

std::string IsoMoment(LocalTime t, char separator) {
  using namespace std::chrono;
  const auto day = floor<days>(t);
  const year_month_day ymd{day};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf + std::string(1, separator) + Time24(floor<seconds>(t - day));
}
namespace {

using std::chrono::days;
using std::chrono::duration_cast;
using std::chrono::floor;
using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

std::string Padded(int value, size_t width) {
  std::string s = std::to_string(value);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

// Calls `token(letter, count)` for each run of a pattern letter in `letters` and
// `literal(text)` for everything else; text in single quotes is literal.
template <typename Token, typename Literal>
void WalkPattern(const std::string& pattern, std::string_view letters, Token token,
                 Literal literal) {
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'') {
      const size_t end = pattern.find('\'', i + 1);
      literal(
          std::string_view(pattern).substr(i + 1, end == std::string::npos ? end : end - i - 1));
      i = end == std::string::npos ? pattern.size() : end + 1;
    } else if (letters.find(c) != std::string_view::npos) {
      size_t j = i;
      while (j < pattern.size() && pattern[j] == c) ++j;
      token(c, j - i);
      i = j;
    } else {
      literal(std::string_view(&pattern[i], 1));
      ++i;
    }
  }
}

}  // namespace

std::string Locale::GeneralDate(LocalTime t) const {
  const auto day = floor<days>(t);
  return ShortDate(Date{day}) + " " + LongTime(floor<seconds>(t - day));
}

PatternLocale::PatternLocale(std::string date_pattern, std::string time_pattern)
    : date_pattern_(std::move(date_pattern)),
      time_pattern_(std::move(time_pattern)),
      order_{'y', 'M', 'd'} {
  int n = 0;
  WalkPattern(
      date_pattern_, "yMd",
      [&](char c, size_t) {
        if (n < 3) order_[n++] = c;
      },
      [](std::string_view) {});
}

std::string PatternLocale::ShortDate(Date date) const {
  std::string out;
  WalkPattern(
      date_pattern_, "yMd",
      [&](char c, size_t count) {
        if (c == 'y') {
          const int y = static_cast<int>(date.year());
          out += count <= 2 ? Padded(y % 100, 2) : Padded(y, 4);
        } else if (c == 'M') {
          out += Padded(static_cast<int>(static_cast<unsigned>(date.month())), count >= 2 ? 2 : 1);
        } else {
          out += Padded(static_cast<int>(static_cast<unsigned>(date.day())), count >= 2 ? 2 : 1);
        }
      },
      [&](std::string_view lit) { out += lit; });
  return out;
}

std::string PatternLocale::LongTime(seconds time_of_day) const {
  const int h = static_cast<int>(duration_cast<hours>(time_of_day).count() % 24);
  const int m = static_cast<int>(duration_cast<minutes>(time_of_day).count() % 60);
  const int s = static_cast<int>(time_of_day.count() % 60);
  std::string out;
  WalkPattern(
      time_pattern_, "Hhmst",
      [&](char c, size_t count) {
        const size_t width = count >= 2 ? 2 : 1;
        switch (c) {
          case 'H':
            out += Padded(h, width);
            break;
          case 'h':
            out += Padded(h % 12 == 0 ? 12 : h % 12, width);
            break;
          case 'm':
            out += Padded(m, width);
            break;
          case 's':
            out += Padded(s, width);
            break;
          default:
            out += h < 12 ? (count >= 2 ? "AM" : "A") : (count >= 2 ? "PM" : "P");
            break;
        }
      },
      [&](std::string_view lit) { out += lit; });
  return out;
}

std::optional<Date> PatternLocale::ParseDate(std::string_view text) const {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string_view fields[3];
  int values[3] = {0, 0, 0};
  size_t count = 0;
  for (size_t i = 0; i < text.size();) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      if (count == 3) return std::nullopt;
      size_t j = i;
      int value = 0;
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
        if (j - i == 4) return std::nullopt;
        value = value * 10 + (text[j] - '0');
        ++j;
      }
      fields[count] = text.substr(i, j - i);
      values[count++] = value;
      i = j;
    } else if (std::string_view(" ./-,").find(text[i]) != std::string_view::npos && i > 0) {
      ++i;
    } else {
      return std::nullopt;
    }
  }
  if (count != 3) return std::nullopt;
  char order[3] = {order_[0], order_[1], order_[2]};
  if (fields[0].size() == 4) {  // a four-digit first field is always year-month-day
    order[0] = 'y';
    order[1] = 'M';
    order[2] = 'd';
  }
  int y = -1, mo = 0, d = 0;
  for (int k = 0; k < 3; ++k) {
    const int v = values[k];
    if (order[k] == 'y') {
      y = fields[k].size() <= 2 ? (v < 30 ? 2000 + v : 1900 + v) : v;
    } else if (order[k] == 'M') {
      mo = v;
    } else {
      d = v;
    }
  }
  const Date date{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(mo)},
                  std::chrono::day{static_cast<unsigned>(d)}};
  if (y < 100 || !date.ok()) return std::nullopt;
  return date;
}

}  // namespace norvale
