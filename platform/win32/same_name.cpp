// Windows decides which names are one file: its own ordinal comparison, not a
// table of ours, so the editor refuses exactly the names the disk would merge.
#include <windows.h>

#include <string>

#include "platform/path.h"

namespace norvale {
namespace {

// UTF-16 of UTF-8 text; `ok` false when the bytes are no UTF-8.
std::wstring Wide(std::string_view s, bool& ok) {
  ok = true;
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(),
                                    static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) {
    ok = false;
    return {};
  }
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                      w.data(), n);
  return w;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  bool ok_a = false, ok_b = false;
  const std::wstring wa = Wide(a, ok_a);
  const std::wstring wb = Wide(b, ok_b);
  // Bytes that are no text are no name Windows could hold; only the same bytes match.
  if (!ok_a || !ok_b) return a == b;
  return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace norvale
