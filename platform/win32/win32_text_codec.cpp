#include <windows.h>

#include <climits>
#include <stdexcept>

#include "platform/win32/utf.h"
#include "platform/win32/win32_services.h"

namespace norvale {
namespace {

int CheckedLength(size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long to convert");
  return static_cast<int>(size);
}

// No ANSI code page but UTF-8 holds characters beyond U+FFFF, and converting
// would give one '?' for each half of the pair; the user lost one character.
void FoldSurrogatePairs(std::wstring& wide) {
  size_t out = 0;
  for (size_t i = 0; i < wide.size(); ++i) {
    const bool pair =
        IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
    wide[out++] = pair ? L'?' : wide[i];
    if (pair) ++i;
  }
  wide.resize(out);
}

}  // namespace

std::string AnsiCodec::AnsiToUtf8(std::string_view ansi) const {
  if (ansi.empty()) return {};
  const int in = CheckedLength(ansi.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), in, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), in, wide.data(), n);
  return Narrow(wide);
}

std::string AnsiCodec::Utf8ToAnsi(std::string_view utf8) const {
  std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  // Best fit would turn a missing 'ł' into 'l' and write a different word than
  // the user typed; '?' shows plainly that something was lost. A UTF-8 ANSI code
  // page loses nothing and rejects both options.
  const bool utf8_acp = GetACP() == CP_UTF8;
  if (!utf8_acp) FoldSurrogatePairs(wide);
  const DWORD flags = utf8_acp ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* fallback = utf8_acp ? nullptr : "?";
  const int in = CheckedLength(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), in, nullptr, 0, fallback, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), in, out.data(), n, fallback, nullptr);
  return out;
}

}  // namespace norvale
