#pragma once
// Text rules of the localization file: UTF-8 decoding and the capitals that keys,
// tags and language names are compared in.
#include <string>
#include <string_view>

namespace norvale {

// The file's bytes as UTF-8 text: a leading byte-order mark dropped, every byte
// that does not belong to a well-formed sequence replaced by U+FFFD.
std::string DecodeUtf8(std::string_view bytes);

// Capitals of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters. Only
// mappings that keep a character's encoded length are made, so a position in
// the result is the same position in the text.
std::string UpperCase(std::string_view text);
bool SameIgnoringCase(std::string_view a, std::string_view b);
// The first character in capitals, the rest unchanged.
std::string CapitalizeFirst(std::string text);

}  // namespace norvale
