#include "schedule/schedule_file.h"

#include <cmath>
#include <cstdlib>

#include "platform/path.h"
#include "schedule/schedule_name.h"

namespace norvale {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string Flag(bool value) {
  return value ? "-1" : "0";
}

}  // namespace

std::string DataFolder(std::string_view program_folder) {
  return JoinPath(program_folder, "data") + kPathSeparator;
}

std::string ScheduleStore::PathOf(std::string_view name) const {
  return data_folder + std::string(name) + ".sch";
}

std::string ScheduleStore::ReadText(std::string_view name) const {
  const std::string path = PathOf(name);
  const std::string bytes = fs.ReadAll(path);
  // UTF-16 (with or without its mark) or a NUL byte: not the 8-bit text of a
  // schedule, whatever its keys would read as.
  if (bytes.find('\0') != std::string::npos || bytes.starts_with("\xFF\xFE") ||
      bytes.starts_with("\xFE\xFF")) {
    throw FileError(FileErrorKind::Other, path);
  }
  return codec.AnsiToUtf8(bytes);
}

std::string ScheduleText(const ScheduleRecord& r) {
  std::string t;
  const auto line = [&t](std::string_view a, std::string_view b = {}) {
    t.append(a).append(b).append(kCrLf);
  };
  line("<DATA>");
  line("LastRunTime=", r.LastRunTime);
  line("ItemType=", r.ItemType);
  line("Enabled=", r.Enabled ? "1" : "0");
  line("</DATA>");
  line("");
  line("<SCHEDULER>");
  line("StartDate=", r.StartDate);
  line("StartTime=", r.StartTime);
  line("Repeat=", Flag(r.Repeat));
  line("SAccurancy=", std::to_string(r.SAccurancy));
  line("Period=", r.Period);
  line("RunOnStart=", Flag(r.RunOnStart));
  line("RunOnEnd=", Flag(r.RunOnEnd));
  if (r.WakeToRun) line("WakeToRun=1");
  if (!r.EndTime.empty()) {
    line("EndTime=", r.EndTime);
    line("KeepDisplayOn=", r.KeepDisplayOn ? "1" : "0");
  }
  line("</SCHEDULER>");
  line("");
  return t;
}

bool SaveSchedule(const ScheduleRecord& record, const ScheduleStore& store, MessageBoxes& boxes) {
  const std::string path = store.PathOf(record.Name);
  try {
    if (!IsValidScheduleName(record.Name)) throw FileError(FileErrorKind::BadName, path);
    store.fs.ReplaceWhole(path, store.codec.Utf8ToAnsi(ScheduleText(record)));
    return true;
  } catch (const FileError& e) {
    boxes.MsgBox(e.Message(), MsgBoxButtons::OK, MsgBoxIcon::Critical, "Norvale");
    return false;
  }
}

std::string GetTag(std::string_view text, std::string_view tag) {
  std::string upper(tag);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const std::string open = "<" + upper + ">";
  const std::string close = "</" + upper + ">";
  // 1-based positions, 0 for "absent", exactly as the block reader has always
  // counted: a missing opening mark starts the block at the mark's length.
  const size_t open_at = text.find(open);
  const size_t start = (open_at == std::string_view::npos ? 0 : open_at + 1) + open.size();
  const size_t close_at = text.rfind(close);
  const size_t end = close_at == std::string_view::npos ? 0 : close_at + 1;
  if (end <= start || start - 1 >= text.size()) return {};
  return std::string(text.substr(start - 1, end - start));
}

std::string GetValue(std::string_view text, std::string_view key) {
  if (text.empty()) return {};
  const std::string mark = std::string(key) + "=";
  const size_t at = text.find(mark);
  if (at == std::string_view::npos) return {};
  const size_t begin = at + mark.size();
  // CR LF, LF and CR CR LF end a line alike.
  size_t end = text.find('\n', begin);
  if (end == std::string_view::npos) return {};
  while (end > begin && text[end - 1] == '\r') --end;
  return std::string(text.substr(begin, end - begin));
}

bool FileExists(const FileSystem& fs, const std::string& path) {
  return fs.FileExists(path);
}

std::optional<double> ReadNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t digits_at = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  bool any = i > digits_at;
  if (i < text.size() && text[i] == '.') {
    const size_t frac_at = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    any = any || i > frac_at;
  }
  if (!any || i != text.size() || i > 40) return std::nullopt;
  return std::strtod(std::string(text).c_str(), nullptr);
}

bool ReadBoolean(std::string_view text) {
  const auto n = ReadNumber(text);
  return n && *n != 0;
}

std::optional<int16_t> ReadInt16(std::string_view text) {
  const auto n = ReadNumber(text);
  if (!n) return std::nullopt;
  const double r = std::nearbyint(*n);  // halves to even, as stored integers round
  if (r < -32768 || r > 32767) return std::nullopt;
  return static_cast<int16_t>(r);
}

void WriteLastRunTime(const ScheduleStore& store, std::string_view name, std::string_view text) {
  const std::string path = store.PathOf(name);
  std::string bytes = store.fs.ReadAll(path);
  const std::string key = "LastRunTime=";
  const size_t at = bytes.find(key);
  if (at == std::string::npos) return;
  const size_t begin = at + key.size();
  // The file keeps its own line ends, whichever they are.
  size_t end = bytes.find('\n', begin);
  if (end == std::string::npos) return;
  while (end > begin && bytes[end - 1] == '\r') --end;
  bytes.replace(begin, end - begin, store.codec.Utf8ToAnsi(std::string(text)));
  store.fs.ReplaceWhole(path, bytes);
}

}  // namespace norvale
