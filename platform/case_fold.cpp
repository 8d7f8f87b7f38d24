#include "platform/case_fold.h"

#include <algorithm>
#include <vector>

#include "platform/text_codec.h"

namespace norvale {
namespace {

const CaseFold* EntryOf(char32_t c) {
  if (c > 0xFFFF) return nullptr;
  const CaseFold* end = kCaseFolds + kCaseFoldCount;
  const CaseFold* at = std::lower_bound(
      kCaseFolds, end, c, [](const CaseFold& e, char32_t v) { return e.from < v; });
  return at != end && at->from == c ? at : nullptr;
}

// The code point at `i` and its length; a byte that starts no whole character is
// returned as itself, above every code point, so it only ever equals itself.
char32_t CharAt(std::string_view s, size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    ++i;
    return b;
  }
  const size_t start = i;
  const char32_t c = NextCodePoint(s, i);
  if (c == 0xFFFD && s.substr(start, i - start) != "\xEF\xBF\xBD") {
    i = start + 1;
    return 0x110000 + b;
  }
  return c;
}

char32_t FoldedAt(std::string_view s, size_t& i);

}  // namespace

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
  const CaseFold* e = EntryOf(c);
  return e ? e->to : c;
}

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    const char32_t c = CharAt(utf8, i);
    const char32_t folded = c > 0x10FFFF ? c : FoldCase(c);
    if (folded == c) {
      out.append(utf8.substr(start, i - start));
    } else {
      AppendUtf8(out, folded);
    }
  }
  return out;
}

bool FoldedEqual(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  bool broken = false;
  while (i < a.size() && j < b.size()) {
    const char32_t x = FoldedAt(a, i);
    const char32_t y = FoldedAt(b, j);
    if (x != y) return false;
    broken = broken || x > 0x10FFFF;
  }
  if (i < a.size() || j < b.size()) return false;
  return !broken || a == b;
}

char32_t CapitalOf(char32_t c) {
  const CaseFold* e = EntryOf(c);
  if (e && e->capital) return c;
  const char32_t folded = e ? e->to : c;
  for (size_t k = 0; k < kCaseFoldCount; ++k) {
    if (kCaseFolds[k].to == folded && kCaseFolds[k].capital) return kCaseFolds[k].from;
  }
  return c;
}

namespace {

char32_t FoldedAt(std::string_view s, size_t& i) {
  const char32_t c = CharAt(s, i);
  return c > 0x10FFFF ? c : FoldCase(c);
}

}  // namespace

namespace {

char AsciiFold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

// The usual case: tags, keys and placeholders are ASCII. The search jumps from
// one possible first byte to the next; only letters beyond ASCII are decoded.
std::optional<TextSpan> FindAscii(std::string_view text, std::string_view needle, size_t from) {
  std::string want(needle);
  for (char& c : want) c = AsciiFold(c);
  const char first = want[0];
  // "k" and "s" are also the folds of the Kelvin sign and the long s.
  const bool letter = first >= 'a' && first <= 'z';
  const bool jump = first != 'k' && first != 's';
  const char upper = letter ? static_cast<char>(first - 0x20) : first;
  for (size_t at = from; at < text.size();) {
    if (!letter) {
      at = text.find(first, at);
      if (at == std::string_view::npos) return std::nullopt;
    } else if (jump) {
      while (at < text.size() && text[at] != first && text[at] != upper) ++at;
      if (at == text.size()) return std::nullopt;
    }
    size_t i = at, k = 0;
    while (k < want.size() && i < text.size()) {
      if (static_cast<unsigned char>(text[i]) < 0x80) {
        if (AsciiFold(text[i]) != want[k]) break;
        ++i;
      } else if (FoldedAt(text, i) != static_cast<unsigned char>(want[k])) {
        break;
      }
      ++k;
    }
    if (k == want.size()) return TextSpan{at, i};
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
    } else {
      CharAt(text, at);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<TextSpan> FindIgnoringCase(std::string_view text, std::string_view needle,
                                         size_t from) {
  if (!needle.empty() && std::all_of(needle.begin(), needle.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
      })) {
    return FindAscii(text, needle, from);
  }
  std::vector<char32_t> want;
  for (size_t i = 0; i < needle.size();) {
    want.push_back(FoldedAt(needle, i));
  }
  if (want.empty()) {
    if (from > text.size()) return std::nullopt;
    return TextSpan{from, from};
  }
  for (size_t at = from; at < text.size();) {
    size_t i = at;
    const bool starts = FoldedAt(text, i) == want[0];
    const size_t next = i;
    if (starts) {
      size_t k = 1;
      while (k < want.size() && i < text.size()) {
        if (FoldedAt(text, i) != want[k]) break;
        ++k;
      }
      if (k == want.size()) return TextSpan{at, i};
    }
    at = next;
  }
  return std::nullopt;
}

}  // namespace norvale
