#pragma once
// A schedule's name becomes a file name inside the data folder; this decides
// which names may, before any file is touched.
#include <optional>
#include <string_view>

namespace norvale {

enum class NameProblem {
  Empty,
  TooLong,
  ReservedCharacter,  // \ / : * ? " < > |
  ControlCharacter,
  TrailingDotOrBlank,  // also "." and ".."
  ReservedDeviceName,  // CON, NUL, COM1, LPT1 ... with or without extension
  NotText,             // not valid UTF-8
};

std::optional<NameProblem> CheckScheduleName(std::string_view name);
inline bool IsValidScheduleName(std::string_view name) {
  return !CheckScheduleName(name);
}

}  // namespace norvale
