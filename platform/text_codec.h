#pragma once
// Schedule files are 8-bit text in the desktop's ANSI code page; the program's
// strings are UTF-8. The conversion happens here, at the file border.
#include <string>
#include <string_view>

namespace norvale {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual std::string AnsiToUtf8(std::string_view ansi) const = 0;
  // Characters the code page lacks become '?'.
  virtual std::string Utf8ToAnsi(std::string_view utf8) const = 0;
};

// One code point appended to UTF-8 text.
void AppendUtf8(std::string& out, char32_t c);
// The code point at `i` of UTF-8 text, moving `i` past it. An ill-formed
// sequence (overlong, a surrogate, above U+10FFFF, cut short) gives U+FFFD and
// moves past its longest well-formed beginning, at least one byte.
char32_t NextCodePoint(std::string_view s, size_t& i);
// Well-formed UTF-8 throughout.
bool IsUtf8(std::string_view s);

// Windows-1252, the ANSI code page of western desktops; used off Windows.
class Cp1252Codec final : public TextCodec {
 public:
  std::string AnsiToUtf8(std::string_view ansi) const override;
  std::string Utf8ToAnsi(std::string_view utf8) const override;
};

}  // namespace norvale
