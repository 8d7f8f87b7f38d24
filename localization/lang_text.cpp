#include "localization/lang_text.h"

#include <cstdint>

namespace norvale {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// The length of the well-formed sequence at `i`, or, negated, how many bytes of
// an ill-formed one make up its longest valid beginning (at least one); that
// piece becomes one replacement character.
long SequenceAt(std::string_view s, size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  long n = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return -1;
  }
  for (long k = 1; k < n; ++k) {
    if (i + static_cast<size_t>(k) >= s.size()) return -k;
    const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    if (k == 1 ? (c < lo || c > hi) : !IsContinuation(c)) return -k;
  }
  return n;
}

// Capital of a letter encoded in two bytes, or the letter itself.
uint32_t UpperTwoByte(uint32_t cp) {
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
  if (cp == 0xFF) return 0x178;
  if (cp >= 0x100 && cp <= 0x17F) {
    const bool odd = cp & 1;
    if ((cp <= 0x12F || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) && odd)
      return cp - 1;
    if (((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) && !odd) return cp - 1;
    return cp;
  }
  if ((cp >= 0x3B1 && cp <= 0x3C1) || (cp >= 0x3C3 && cp <= 0x3CB)) return cp - 0x20;
  if (cp == 0x3C2) return 0x3A3;
  if (cp == 0x3AC) return 0x386;
  if (cp >= 0x3AD && cp <= 0x3AF) return cp - 0x25;
  if (cp == 0x3CC) return 0x38C;
  if (cp >= 0x3CD && cp <= 0x3CE) return cp - 0x3F;
  if (cp >= 0x430 && cp <= 0x44F) return cp - 0x20;
  if (cp >= 0x450 && cp <= 0x45F) return cp - 0x50;
  if (((cp >= 0x460 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4BF) ||
       (cp >= 0x4D0 && cp <= 0x52F)) &&
      (cp & 1))
    return cp - 1;
  if (cp >= 0x4C1 && cp <= 0x4CE && !(cp & 1)) return cp - 1;
  if (cp == 0x4CF) return 0x4C0;
  return cp;
}

// Upper-cases the character at `i` in place; returns its length.
size_t UpperAt(std::string& s, size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    if (b0 >= 'a' && b0 <= 'z') s[i] = static_cast<char>(b0 - 'a' + 'A');
    return 1;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < s.size() &&
      IsContinuation(static_cast<unsigned char>(s[i + 1]))) {
    const uint32_t cp = ((b0 & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
    const uint32_t up = UpperTwoByte(cp);
    s[i] = static_cast<char>(0xC0 | (up >> 6));
    s[i + 1] = static_cast<char>(0x80 | (up & 0x3F));
    return 2;
  }
  return 1;
}

}  // namespace

std::string DecodeUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::string out;
  out.reserve(bytes.size());
  size_t run = 0;  // start of the well-formed text not yet copied
  size_t i = 0;
  while (i < bytes.size()) {
    const long n = SequenceAt(bytes, i);
    if (n > 0) {
      i += static_cast<size_t>(n);
      continue;
    }
    out.append(bytes.substr(run, i - run));
    out += kReplacement;
    i += static_cast<size_t>(-n);
    run = i;
  }
  out.append(bytes.substr(run));
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) i += UpperAt(out, i);
  return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::string CapitalizeFirst(std::string text) {
  // An address leading a text ("https://… besuchen") keeps its case.
  if (text.starts_with("http://") || text.starts_with("https://")) return text;
  if (!text.empty()) UpperAt(text, 0);
  return text;
}

}  // namespace norvale
