#pragma once
// The names the program shows, taken from its own version information, and the
// placeholders that texts use for them.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system_info.h"

namespace norvale {

struct Branding {
  std::string ProductName;
  std::string CompanyName;
  std::string Website;  // with or without "http://"
  int16_t ProductNumber = 25;
  bool SkinsEnabled = true;
};

// Same values every time for the same version information.
Branding LoadBranding(const SystemInfo& system);

// Every occurrence of `placeholder`, matched ignoring ASCII case, replaced by
// `value`; the replaced text is not searched again.
std::string ReplaceIgnoringCase(std::string_view text, std::string_view placeholder,
                                std::string_view value);

// Messages know the program and the company.
std::string ReplaceMessagePlaceholders(std::string_view text, const Branding& branding);
// Window texts also know the website.
std::string ReplaceCaptionPlaceholders(std::string_view text, const Branding& branding);

}  // namespace norvale
