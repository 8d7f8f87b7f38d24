#pragma once
// The language update: the newest Localization.txt from the maker's server.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "localization/language_file.h"
#include "platform/forms/toolkit.h"
#include "platform/http_client.h"

namespace norvale {

// Used unless the registry names another server.
inline constexpr const char* kDefaultLanguageServer = "https://languages.norvale.example";

// `server` (scheme and host, a trailing "/" allowed) + "/Languages/" + number +
// "/Localization.txt".
std::string UpdateUrl(std::string_view server, int16_t product_number);

struct DownloadLimits {
  size_t max_bytes = kMaxLocalizationBytes;
  std::chrono::milliseconds timeout = std::chrono::seconds(30);
};

// The body of a GET of `url`, window events running between its pieces; "" when
// the transfer failed, took longer than the limit or delivered more bytes. The
// limit on time is enforced between pieces: an HttpClient must let an exception
// thrown from its callback through, and give up on a silent server itself.
std::string DownloadText(HttpClient& http, Toolkit& kit, const std::string& url,
                         const DownloadLimits& limits = {});

}  // namespace norvale
