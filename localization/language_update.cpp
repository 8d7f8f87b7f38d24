#include "localization/language_update.h"

#include <exception>

namespace norvale {
namespace {

struct DownloadTooSlow {};

}  // namespace

std::string UpdateUrl(std::string_view server, int16_t product_number) {
  while (!server.empty() && server.back() == '/') server.remove_suffix(1);
  return std::string(server) + "/Languages/" + std::to_string(product_number) + "/Localization.txt";
}

std::string DownloadText(HttpClient& http, Toolkit& kit, const std::string& url,
                         const DownloadLimits& limits) {
  LocalTime started = kit.Time().Now();
  const auto between_pieces = [&] {
    kit.DoEvents();
    const LocalTime now = kit.Time().Now();
    if (now < started) started = now;  // the wall clock was set back
    if (now - started > limits.timeout) throw DownloadTooSlow{};
  };
  try {
    const auto body = http.Get(url, between_pieces);
    if (!body || body->size() > limits.max_bytes) return {};
    return *body;
  } catch (const DownloadTooSlow&) {
    return {};
  } catch (const std::exception&) {
    return {};  // a client that could not even start
  }
}

}  // namespace norvale
