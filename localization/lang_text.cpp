#include "localization/lang_text.h"

#include "platform/case_fold.h"
#include "platform/text_codec.h"

namespace norvale {

std::string DecodeUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::string out;
  out.reserve(bytes.size());
  size_t run = 0;  // start of the well-formed text not yet copied
  for (size_t i = 0; i < bytes.size();) {
    const size_t start = i;
    if (NextCodePoint(bytes, i) != 0xFFFD || bytes.substr(start, i - start) == "\xEF\xBF\xBD") {
      continue;
    }
    out.append(bytes.substr(run, start - run));
    out += "\xEF\xBF\xBD";
    run = i;
  }
  out.append(bytes.substr(run));
  return out;
}

std::string CapitalizeFirst(std::string text) {
  // An address leading a text ("https://… besuchen") keeps its case.
  if (text.empty() || text.starts_with("http://") || text.starts_with("https://")) return text;
  size_t end = 0;
  const char32_t first = NextCodePoint(text, end);
  const char32_t capital = CapitalOf(first);
  if (capital == first) return text;
  std::string out;
  AppendUtf8(out, capital);
  return out + text.substr(end);
}

}  // namespace norvale
