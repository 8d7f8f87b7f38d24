#pragma once
#include <cstdint>
#include <string>

namespace norvale {

// SAccurancy values.
enum RepeatMode : int16_t { kRepeatDaily = 0, kRepeatWeekly = 1, kRepeatMonthly = 2 };

struct ScheduleRecord {
  std::string Name;  // the file's base name, not stored inside the file
  std::string ItemType;
  std::string LastRunTime;
  bool Enabled = false;
  std::string StartDate;
  std::string StartTime;
  bool Repeat = false;
  int16_t SAccurancy = kRepeatDaily;
  std::string Period;
  bool RunOnStart = false;
  bool RunOnEnd = false;
  // Keep-awake hours only: the span's end of day, and whether the display stays
  // on too. Other schedules have no EndTime and their files no such lines.
  std::string EndTime;
  bool KeepDisplayOn = false;
  // Whether a sleeping computer is woken for each occurrence; only a file that
  // asks for it has the line.
  bool WakeToRun = false;
};

}  // namespace norvale
