#include "schedule/run_history.h"

#include <cstdio>

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
  // Four fields unless there is a detail: older files and readers stay as they were.
  return Field(e.when) + "\t" + Field(e.name) + "\t" + Field(e.action) + "\t" +
         Field(e.outcome) + (e.detail.empty() ? "" : "\t" + Field(e.detail)) + "\r\n";
}

void Write(FileSystem& fs, const std::string& path, std::string text, const std::string& line,
           size_t cap) {
  if (text.size() + line.size() > cap) {
    // Keep the newest whole lines that fit in half the cap.
    size_t from = text.size() > cap / 2 ? text.size() - cap / 2 : 0;
    if (from > 0) {
      const size_t next = text.find('\n', from - 1);
      from = next == std::string::npos ? text.size() : next + 1;
    }
    text.erase(0, from);
  }
  fs.ReplaceWhole(path, text + line);
}

}  // namespace

void AppendHistory(FileSystem& fs, const std::string& path, const HistoryEntry& e, size_t cap) {
  std::string text;
  if (fs.FileExists(path)) text = fs.ReadAll(path);
  Write(fs, path, std::move(text), Line(e), cap);
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
  while (end > 0 && out.size() < count) {
    size_t begin = text.rfind('\n', end - 1);
    begin = begin == std::string::npos ? 0 : begin + 1;
    std::string line = text.substr(begin, end - begin);
    end = begin == 0 ? 0 : begin - 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty()) continue;
    HistoryEntry e;
    std::string* fields[] = {&e.when, &e.name, &e.action, &e.outcome, &e.detail};
    size_t at = 0;
    for (std::string* f : fields) {
      const size_t tab = line.find('\t', at);
      *f = line.substr(at, tab == std::string::npos ? std::string::npos : tab - at);
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace norvale
