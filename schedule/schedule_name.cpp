#include "schedule/schedule_name.h"

#include <string>

#include "platform/path.h"
#include "platform/text_codec.h"

namespace norvale {
namespace {

// File names hold at most 255 UTF-16 units; ".sch" takes four of them.
constexpr size_t kMaxNameUnits = 251;

// UTF-16 length of valid UTF-8, or nullopt when the bytes are not UTF-8.
std::optional<size_t> Utf16Length(std::string_view s) {
  if (!IsUtf8(s)) return std::nullopt;
  size_t units = 0;
  for (size_t i = 0; i < s.size();) units += NextCodePoint(s, i) >= 0x10000 ? 2 : 1;
  return units;
}

bool IsReservedDevice(std::string_view name) {
  // Windows reserves these whatever follows the first dot, and ignores blanks
  // before that dot ("CON .txt" is still the console).
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (auto d : kDevices) {
    if (EqualsIgnoringCase(stem, d)) return true;
  }
  if (stem.size() >= 4) {
    const std::string_view prefix = stem.substr(0, 3);
    const std::string_view rest = stem.substr(3);
    if (EqualsIgnoringCase(prefix, "COM") || EqualsIgnoringCase(prefix, "LPT")) {
      if (rest.size() == 1 && rest[0] >= '0' && rest[0] <= '9') return true;
      // Superscript digits one to three count as well.
      if (rest == "\xC2\xB9" || rest == "\xC2\xB2" || rest == "\xC2\xB3") return true;
    }
  }
  return false;
}

}  // namespace

std::optional<NameProblem> CheckScheduleName(std::string_view name) {
  if (name.empty()) return NameProblem::Empty;
  const auto units = Utf16Length(name);
  if (!units) return NameProblem::NotText;
  if (*units > kMaxNameUnits) return NameProblem::TooLong;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return NameProblem::ControlCharacter;
    if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) {
      return NameProblem::ReservedCharacter;
    }
  }
  if (name.back() == '.' || name.back() == ' ') return NameProblem::TrailingDotOrBlank;
  if (IsReservedDevice(name)) return NameProblem::ReservedDeviceName;
  return std::nullopt;
}

}  // namespace norvale
