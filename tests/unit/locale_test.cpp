#include <gtest/gtest.h>

#include "platform/locale.h"
#include "tests/fakes/fakes.h"

namespace norvale {
namespace {

using namespace std::chrono;
using fakes::FakeClock;

constexpr Date kDec4{year{2026}, December, day{4}};

TEST(PatternLocale, ShortDatesFollowTheirPattern) {
  EXPECT_EQ("2026-12-04", PatternLocale::Iso().ShortDate(kDec4));
  EXPECT_EQ("12/4/2026", PatternLocale::Us().ShortDate(kDec4));
  EXPECT_EQ("04.12.2026", PatternLocale::German().ShortDate(kDec4));
  EXPECT_EQ("04/12/26", PatternLocale("dd/MM/yy", "HH:mm").ShortDate(kDec4));
}

TEST(PatternLocale, GeneralDateIsShortDateBlankLongTime) {
  const LocalTime t = FakeClock::At(2026, 12, 4, 22, 30, 5);
  EXPECT_EQ("2026-12-04 22:30:05", PatternLocale::Iso().GeneralDate(t));
  EXPECT_EQ("12/4/2026 10:30:05 PM", PatternLocale::Us().GeneralDate(t));
  EXPECT_EQ("12/4/2026 12:05:00 AM",
            PatternLocale::Us().GeneralDate(FakeClock::At(2026, 12, 4, 0, 5)));
  EXPECT_EQ("12/4/2026 12:05:00 PM",
            PatternLocale::Us().GeneralDate(FakeClock::At(2026, 12, 4, 12, 5)));
}

TEST(PatternLocale, ParsesDatesInItsOwnFieldOrder) {
  EXPECT_EQ(kDec4, PatternLocale::Iso().ParseDate("2026-12-04"));
  EXPECT_EQ(kDec4, PatternLocale::Us().ParseDate("12/4/2026"));
  EXPECT_EQ(kDec4, PatternLocale::German().ParseDate("04.12.2026"));
  EXPECT_EQ(kDec4, PatternLocale::German().ParseDate("4.12.2026"));
  // A German desktop reads a US text day first, so 12/25 has no month.
  EXPECT_EQ((Date{year{2026}, April, day{12}}), PatternLocale::German().ParseDate("12/4/2026"));
  EXPECT_EQ(std::nullopt, PatternLocale::German().ParseDate("12/25/2026"));
}

TEST(PatternLocale, FourDigitLeadingYearIsAlwaysReadYearFirst) {
  EXPECT_EQ(kDec4, PatternLocale::Us().ParseDate("2026-12-04"));
  EXPECT_EQ(kDec4, PatternLocale::German().ParseDate("2026-12-04"));
}

TEST(PatternLocale, TwoDigitYearsFallIn1930To2029) {
  EXPECT_EQ((Date{year{2029}, January, day{2}}), PatternLocale::German().ParseDate("02.01.29"));
  EXPECT_EQ((Date{year{1930}, January, day{2}}), PatternLocale::German().ParseDate("02.01.30"));
}

TEST(PatternLocale, RejectsWhatIsNoCalendarDate) {
  const PatternLocale iso = PatternLocale::Iso();
  for (const char* bad : {"", " ", "2026-02-30", "2026-13-01", "2026-12", "2026-12-04-01",
                          "yesterday", "2026-12-04 22:30:00", "12345-01-01", "-2026-12-04"}) {
    EXPECT_EQ(std::nullopt, iso.ParseDate(bad)) << bad;
  }
  EXPECT_EQ((Date{year{2028}, February, day{29}}), iso.ParseDate("2028-02-29"));
  EXPECT_EQ(std::nullopt, iso.ParseDate("2027-02-29"));
}

TEST(PatternLocale, EveryShortDateReadsBackAsItsDate) {
  for (const PatternLocale& locale :
       {PatternLocale::Iso(), PatternLocale::Us(), PatternLocale::German()}) {
    for (sys_days d = sys_days{year{2026} / 12 / 25}; d < sys_days{year{2028} / 3 / 5};
         d += days{1}) {
      ASSERT_EQ(Date{d}, locale.ParseDate(locale.ShortDate(Date{d}))) << locale.ShortDate(Date{d});
    }
  }
}

TEST(FakeClock, TodayAndTimeOfDaySplitTheMoment) {
  FakeClock clock(FakeClock::At(2026, 12, 31, 23, 59, 59));
  EXPECT_EQ((Date{year{2026}, December, day{31}}), clock.Today());
  EXPECT_EQ(hours{23} + minutes{59} + seconds{59}, clock.TimeOfDay());
  clock.Advance(seconds{1});
  EXPECT_EQ((Date{year{2027}, January, day{1}}), clock.Today());
  EXPECT_EQ(milliseconds{0}, clock.TimeOfDay());
}

}  // namespace
}  // namespace norvale
