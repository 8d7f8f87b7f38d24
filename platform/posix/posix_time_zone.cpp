#include "platform/posix/posix_time_zone.h"

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

namespace norvale {
namespace {

// TZ set for the span of one question, and put back as it was.
class ZoneForAWhile {
 public:
  explicit ZoneForAWhile(const std::string& name) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    had_ = std::getenv("TZ") != nullptr;
    setenv("TZ", (":" + name).c_str(), 1);
    tzset();
  }
  ~ZoneForAWhile() {
    if (had_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

std::string ZoneFolder() {
  const char* dir = std::getenv("TZDIR");
  return dir && *dir ? dir : "/usr/share/zoneinfo";
}

}  // namespace

std::unique_ptr<PosixTimeZone> PosixTimeZone::Open(const std::string& name) {
  // A name, not a path: glibc would quietly take anything it cannot find as UTC.
  if (name.empty() || name.front() == '/' || name.find("..") != std::string::npos) return nullptr;
  struct stat st {};
  if (stat((ZoneFolder() + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  return std::unique_ptr<PosixTimeZone>(new PosixTimeZone(name));
}

std::chrono::seconds PosixTimeZone::OffsetAt(UtcTime t) const {
  const int64_t secs = std::chrono::floor<std::chrono::seconds>(t).time_since_epoch().count();
  const int64_t quarter = secs >= 0 ? secs / 900 : (secs - 899) / 900;
  if (quarter == last_quarter_) return last_offset_;
  auto it = quarters_.find(quarter);
  if (it == quarters_.end()) {
    const ZoneForAWhile zone(name_);
    const time_t at = static_cast<time_t>(quarter * 900);
    tm local{};
    localtime_r(&at, &local);
    it = quarters_.emplace(quarter, std::chrono::seconds{local.tm_gmtoff}).first;
  }
  last_quarter_ = quarter;
  last_offset_ = it->second;
  return last_offset_;
}

}  // namespace norvale
