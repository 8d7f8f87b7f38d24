#include "schedule/run_history.h"

#include <optional>

namespace norvale {
namespace {

// A field never breaks the line it stands in.
std::string Field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string Line(const HistoryEntry& e) {
  std::string line =
      Field(e.when) + "\t" + Field(e.name) + "\t" + Field(e.action) + "\t" + Field(e.outcome);
  if (!e.detail.empty()) line += "\t" + Field(e.detail);
  return line + "\r\n";
}

// "YYYY-MM-DD HH:MM:SS", as every line begins.
bool IsMoment(std::string_view s) {
  constexpr std::string_view kForm = "0000-00-00 00:00:00";
  if (s.size() != kForm.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (kForm[i] == '0' ? (s[i] < '0' || s[i] > '9') : s[i] != kForm[i]) return false;
  }
  return true;
}

bool IsOutcome(std::string_view s) {
  for (const char* o : {kOutcomePerformed, kOutcomePostponed, kOutcomeCancelled, kOutcomeMissed,
                        kOutcomeFailed, kOutcomeNotStored}) {
    if (s == o) return true;
  }
  return false;
}

// A whole line's entry. A line that ends the file without its line end may have
// been cut by a crash: only a known outcome tells it is whole.
std::optional<HistoryEntry> ReadLine(std::string_view line, bool terminated) {
  std::vector<std::string> f;
  for (size_t at = 0;;) {
    const size_t tab = line.find('\t', at);
    f.emplace_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
    if (tab == std::string_view::npos) break;
    at = tab + 1;
  }
  if (f.size() < 4) return std::nullopt;
  // Only a failed run and a write not stored have a fifth field.
  const bool detailed = f[3] == kOutcomeNotStored || f[3] == kOutcomeFailed;
  if (f.size() != 4 && !(f.size() == 5 && detailed)) return std::nullopt;
  if (!IsMoment(f[0]) || f[3].empty() || (!terminated && !IsOutcome(f[3]))) return std::nullopt;
  HistoryEntry e{f[0], f[1], f[2], f[3]};
  if (f.size() == 5) e.detail = f[4];
  return e;
}

}  // namespace

namespace {

// Writes `text` with `lines` after it, the oldest lines dropped past the cap.
void Write(FileSystem& fs, const std::string& path, std::string text, const std::string& lines,
           size_t cap) {
  // A last line cut by a crash or an editor ends before anything is added to it.
  if (!text.empty() && text.back() != '\n') text += text.back() == '\r' ? "\n" : "\r\n";
  if (text.size() + lines.size() > cap) {
    // Keep the newest whole lines that fit in half the cap.
    size_t from = text.size() > cap / 2 ? text.size() - cap / 2 : 0;
    if (from > 0) {
      const size_t next = text.find('\n', from - 1);
      from = next == std::string::npos ? text.size() : next + 1;
    }
    text.erase(0, from);
  }
  fs.ReplaceWhole(path, text + lines);
}

}  // namespace

void AppendHistory(FileSystem& fs, const std::string& path,
                   const std::vector<HistoryEntry>& entries, size_t cap) {
  std::string text;
  if (fs.FileExists(path)) text = fs.ReadAll(path);
  std::string lines;
  for (const HistoryEntry& e : entries) lines += Line(e);
  Write(fs, path, std::move(text), lines, cap);
}

void ReplaceNewestHistory(FileSystem& fs, const std::string& path, const HistoryEntry& was,
                          const HistoryEntry& now, size_t cap) {
  std::string text;
  if (fs.FileExists(path)) text = fs.ReadAll(path);
  const std::string old = Line(was);
  if (text.size() >= old.size() && text.compare(text.size() - old.size(), old.size(), old) == 0 &&
      (text.size() == old.size() || text[text.size() - old.size() - 1] == '\n')) {
    text.resize(text.size() - old.size());
  }
  Write(fs, path, std::move(text), Line(now), cap);
}

std::vector<HistoryEntry> ReadHistory(const FileSystem& fs, const std::string& path, size_t count) {
  std::vector<HistoryEntry> out;
  if (!fs.FileExists(path)) return out;
  const std::string text = fs.ReadAll(path);
  size_t end = text.size();
  bool terminated = !text.empty() && text.back() == '\n';
  if (terminated) --end;
  while (out.size() < count) {
    size_t begin = end == 0 ? std::string::npos : text.rfind('\n', end - 1);
    begin = begin == std::string::npos ? 0 : begin + 1;
    std::string_view line(text.data() + begin, end - begin);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (auto e = ReadLine(line, terminated)) out.push_back(std::move(*e));
    if (begin == 0) break;
    end = begin - 1;
    terminated = true;
  }
  return out;
}

}  // namespace norvale
