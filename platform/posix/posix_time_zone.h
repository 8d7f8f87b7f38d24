#pragma once
// A time zone of the system's zone data (IANA names such as "Europe/Berlin").
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/headless/virtual_clock.h"

namespace norvale {

class PosixTimeZone final : public headless::TimeZone {
 public:
  // nullptr when the system has no zone of that name.
  static std::unique_ptr<PosixTimeZone> Open(const std::string& name);
  std::chrono::seconds OffsetAt(UtcTime t) const override;

 private:
  explicit PosixTimeZone(std::string name) : name_(std::move(name)) {}
  std::string name_;
  // Offsets change on whole quarter hours; each quarter is asked once.
  mutable std::map<int64_t, std::chrono::seconds> quarters_;
  mutable int64_t last_quarter_ = INT64_MIN;
  mutable std::chrono::seconds last_offset_{0};
};

}  // namespace norvale
