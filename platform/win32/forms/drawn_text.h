#pragma once
// How wide a text is as the font draws it. Some fonts (Wine's Tahoma in
// Cyrillic) draw letters past the width GetTextExtentPoint32 gives, and whatever
// clips at that width cuts the last letter: what the program draws itself leaves
// room for the ink.
#include <windows.h>

#include <string>

namespace norvale::win32 {

// What a text with access-key marks shows: "&&" one ampersand, "&x" the letter.
std::wstring WithoutAccessMarks(const std::wstring& text);

// The width of `text` (no access-key marks) in the font selected into `dc`: the
// larger of the measured advance and the rightmost column of ink.
int DrawnTextWidth(HDC dc, const std::wstring& text);

}  // namespace norvale::win32
