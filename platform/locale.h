#pragma once
// Dates as the desktop writes and reads them.
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace norvale {

class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::string ShortDate(Date date) const = 0;
  virtual std::string LongTime(std::chrono::seconds time_of_day) const = 0;
  // A date text read as the desktop reads it; nullopt when it is not a date.
  virtual std::optional<Date> ParseDate(std::string_view text) const = 0;

  // Short date, a blank and the long time.
  std::string GeneralDate(LocalTime t) const;
};

// A locale described by date and time patterns in the desktop's notation
// ("yyyy-MM-dd", "M/d/yyyy", "dd.MM.yyyy"; "HH:mm:ss", "h:mm:ss tt").
class PatternLocale final : public Locale {
 public:
  PatternLocale(std::string date_pattern, std::string time_pattern);
  static PatternLocale Iso() { return {"yyyy-MM-dd", "HH:mm:ss"}; }
  static PatternLocale Us() { return {"M/d/yyyy", "h:mm:ss tt"}; }
  static PatternLocale German() { return {"dd.MM.yyyy", "HH:mm:ss"}; }

  std::string ShortDate(Date date) const override;
  std::string LongTime(std::chrono::seconds time_of_day) const override;
  std::optional<Date> ParseDate(std::string_view text) const override;

 private:
  std::string date_pattern_;
  std::string time_pattern_;
  char order_[3];  // 'y', 'M', 'd' in the order the date pattern names them
};

}  // namespace norvale
