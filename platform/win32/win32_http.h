#pragma once
// Small downloads through WinINet.
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/http_client.h"

namespace norvale {

class Win32HttpClient final : public HttpClient {
 public:
  // A body longer than `max_body_bytes` is a failure, not a file to keep; a
  // server silent for `timeout` while connecting or answering ends the GET.
  explicit Win32HttpClient(size_t max_body_bytes = 4 * 1024 * 1024,
                           std::chrono::milliseconds timeout = std::chrono::seconds(15));

  // Direct connection, agent "Mozilla", always from the server (no cache). Only
  // a complete 200 answer counts: any other status, a body cut short of its
  // Content-Length, or a failed read gives nullopt.
  std::optional<std::string> Get(const std::string& url,
                                 const std::function<void()>& between_pieces) override;

 private:
  size_t max_body_bytes_;
  std::chrono::milliseconds timeout_;
};

}  // namespace norvale
