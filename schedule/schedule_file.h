#pragma once
// The schedule file: one record per "<name>.sch" in the data folder, two blocks
// of "key=value" lines, 8-bit text with CR LF.
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/msgbox.h"
#include "platform/text_codec.h"
#include "schedule/schedule_record.h"

namespace norvale {

// Program folder + "\data\" (with the platform's separator).
std::string DataFolder(std::string_view program_folder);

// Where the schedules live and how their bytes become text.
struct ScheduleStore {
  FileSystem& fs;
  const TextCodec& codec;
  std::string data_folder;  // with its trailing separator

  std::string PathOf(std::string_view name) const;
  // The whole file as UTF-8 text. Throws FileError.
  std::string ReadText(std::string_view name) const;
};

// The text SaveSchedule writes, all sixteen lines (eighteen with keep-awake hours).
std::string ScheduleText(const ScheduleRecord& record);

// Writes the record to its file, replacing any earlier one whole. On failure shows
// "Error <number> - <description>" and returns false; the old file is untouched.
bool SaveSchedule(const ScheduleRecord& record, const ScheduleStore& store, MessageBoxes& boxes);

// Sets the schedule's Last Run Time to `text`; every other byte of its file stays
// as it was. Nothing happens when the file has no such line. Throws FileError.
void WriteLastRunTime(const ScheduleStore& store, std::string_view name, std::string_view text);

std::string GetTag(std::string_view text, std::string_view tag);
std::string GetValue(std::string_view text, std::string_view key);
bool FileExists(const FileSystem& fs, const std::string& path);

// Stored numbers: optional blanks, an optional sign, digits, an optional fraction.
std::optional<double> ReadNumber(std::string_view text);
// Boolean keys: 0 is false, any other number true; what is no number reads false.
bool ReadBoolean(std::string_view text);
// A 16-bit integer rounded as the stored value demands; nullopt when none.
std::optional<int16_t> ReadInt16(std::string_view text);

}  // namespace norvale
