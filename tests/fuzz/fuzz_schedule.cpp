// Arbitrary bytes as a schedule file: the readers and the next-run computation
// must never crash, and what they return must stay inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/next_run.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_name.h"
#include "tests/fakes/fakes.h"

using namespace norvale;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // The first bytes choose the moment and the desktop's date form.
  const int day_of_year = data[0] + (data[1] & 1) * 256;
  const int minute = (data[1] >> 1) * 12 + data[2] % 12;
  static const PatternLocale kLocales[] = {PatternLocale::Iso(), PatternLocale::Us(),
                                           PatternLocale::German()};
  const Locale& locale = kLocales[data[2] % 3];
  const fakes::FakeClock clock(fakes::FakeClock::At(2026, 1, 1) + std::chrono::days{day_of_year} +
                               std::chrono::minutes{minute});
  const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);

  for (const char* tag : {"DATA", "SCHEDULER", "x"}) {
    const std::string block = GetTag(text, tag);
    Check(block.size() <= text.size());
    for (const char* key :
         {"StartDate", "StartTime", "Repeat", "SAccurancy", "Period", "Enabled"}) {
      const std::string value = GetValue(block, key);
      Check(value.find("\r\n") == std::string::npos);
    }
  }
  const std::string block = GetTag(text, "SCHEDULER");
  const std::string next = GetNextRun(block, clock, locale);
  const std::string start_time = GetValue(block, "StartTime");
  const std::string stored = GetValue(block, "StartDate") + " " + start_time;
  // A computed run is a date of this locale, never before today, and the stored time.
  if (!next.empty() && next != stored) {
    Check(next.size() > start_time.size() + 1 &&
          next.compare(next.size() - start_time.size(), start_time.size(), start_time) == 0);
    const auto date = locale.ParseDate(next.substr(0, next.size() - start_time.size() - 1));
    Check(date && *date >= clock.Today());
  }
  GetNextRun(text, clock, locale);
  locale.ParseDate(text);
  ParseTimeOfDay(text);
  CheckScheduleName(text);
  const Cp1252Codec codec;
  const std::string utf8 = codec.AnsiToUtf8(text);
  Check(codec.Utf8ToAnsi(utf8) == text);
  return 0;
}
