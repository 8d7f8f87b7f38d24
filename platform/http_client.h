#pragma once
// Downloads of small texts (the language update).
#include <functional>
#include <optional>
#include <string>

namespace norvale {

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // The body of a GET of `url`, read in pieces; `between_pieces` runs after each
  // piece so window events go on. nullopt when the download failed.
  virtual std::optional<std::string> Get(const std::string& url,
                                         const std::function<void()>& between_pieces) = 0;
};

}  // namespace norvale
