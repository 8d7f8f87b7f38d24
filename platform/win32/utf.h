#pragma once
// The program's strings are UTF-8; the W functions want UTF-16. The conversion
// happens at each Win32 call in this folder and nowhere else.
#include <string>
#include <string_view>

namespace norvale {

// Malformed input becomes U+FFFD rather than an error: a name or text that
// cannot be converted exactly is still better shown than dropped.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace norvale
