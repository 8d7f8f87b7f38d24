#pragma once
// Text rules of the localization file: its bytes as UTF-8 text, and the capital
// first letter of every text it gives. Cases are compared by platform/case_fold.h.
#include <string>
#include <string_view>

namespace norvale {

// The file's bytes as UTF-8 text: a leading byte-order mark dropped, every piece
// that does not belong to a well-formed sequence replaced by U+FFFD.
std::string DecodeUtf8(std::string_view bytes);

// The first character in capitals, the rest unchanged.
std::string CapitalizeFirst(std::string text);

}  // namespace norvale
