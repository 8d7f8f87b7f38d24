#include "platform/win32/win32_http.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/utf.h"

namespace norvale {
namespace {

constexpr DWORD kPieceBytes = 4096;

// WinINet, loaded on the first download: most runs never make one, and a
// program that imports it carries it from the start.
struct WinInet {
  template <typename F>
  F Bind(const char* name) const {
    return ProcOf<F>(module, name);
  }
  HMODULE module = LoadSystemLibrary(L"wininet.dll");
  decltype(&::InternetOpenW) Open = Bind<decltype(&::InternetOpenW)>("InternetOpenW");
  decltype(&::InternetConnectW) Connect = Bind<decltype(&::InternetConnectW)>("InternetConnectW");
  decltype(&::HttpOpenRequestW) OpenRequest =
      Bind<decltype(&::HttpOpenRequestW)>("HttpOpenRequestW");
  decltype(&::HttpSendRequestW) SendRequest =
      Bind<decltype(&::HttpSendRequestW)>("HttpSendRequestW");
  decltype(&::HttpQueryInfoW) QueryInfo = Bind<decltype(&::HttpQueryInfoW)>("HttpQueryInfoW");
  decltype(&::InternetReadFile) ReadFile = Bind<decltype(&::InternetReadFile)>("InternetReadFile");
  decltype(&::InternetCrackUrlW) CrackUrl =
      Bind<decltype(&::InternetCrackUrlW)>("InternetCrackUrlW");
  decltype(&::InternetSetOptionW) SetOption =
      Bind<decltype(&::InternetSetOptionW)>("InternetSetOptionW");
  decltype(&::InternetCloseHandle) CloseHandle =
      Bind<decltype(&::InternetCloseHandle)>("InternetCloseHandle");
  bool Complete() const {
    return Open && Connect && OpenRequest && SendRequest && QueryInfo && ReadFile && CrackUrl &&
           SetOption && CloseHandle;
  }
};

const WinInet& Net() {
  static const WinInet net;  // loaded once, kept for the rest of the run
  return net;
}

// Owns one WinINet handle (session or request).
class ScopedInternet {
 public:
  explicit ScopedInternet(HINTERNET h) : h_(h) {}
  ~ScopedInternet() {
    if (h_) Net().CloseHandle(h_);
  }
  ScopedInternet(const ScopedInternet&) = delete;
  ScopedInternet& operator=(const ScopedInternet&) = delete;
  explicit operator bool() const { return h_ != nullptr; }
  HINTERNET get() const { return h_; }

 private:
  HINTERNET h_;
};

// The Content-Length header read as text: the number form is 32 bits wide.
std::optional<uint64_t> ContentLength(HINTERNET request) {
  wchar_t text[32] = {};
  DWORD size = sizeof text;
  if (!Net().QueryInfo(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
    return std::nullopt;
  }
  uint64_t value = 0;
  const wchar_t* p = text;
  while (*p == L' ') ++p;
  if (*p < L'0' || *p > L'9') return std::nullopt;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    if (value > (UINT64_MAX - 9) / 10) return UINT64_MAX;
    value = value * 10 + static_cast<uint64_t>(*p - L'0');
  }
  return value;
}

struct Target {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
  bool secure = false;
};

std::optional<Target> Crack(const std::wstring& url) {
  if (url.empty()) return std::nullopt;
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;  // non-zero: point into `url`
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!Net().CrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
    return std::nullopt;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return std::nullopt;
  }
  Target target;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  if (parts.lpszUrlPath) target.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.object.empty()) target.object = L"/";
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  if (target.host.empty()) return std::nullopt;
  return target;
}

// On every level: Windows passes a session's timeouts down to its requests,
// Wine takes the send and receive ones only from the connection and request.
void SetTimeouts(HINTERNET handle, DWORD ms) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    Net().SetOption(handle, option, &ms, sizeof ms);
  }
}

}  // namespace

Win32HttpClient::Win32HttpClient(size_t max_body_bytes, std::chrono::milliseconds timeout)
    : max_body_bytes_(max_body_bytes), timeout_(timeout) {}

std::optional<std::string> Win32HttpClient::Get(const std::string& url,
                                                const std::function<void()>& between_pieces) {
  if (!Net().Complete()) return std::nullopt;
  const std::optional<Target> target = Crack(Widen(url));
  if (!target) return std::nullopt;
  ScopedInternet session(Net().Open(L"Mozilla", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return std::nullopt;
  const DWORD ms = static_cast<DWORD>(std::clamp<int64_t>(timeout_.count(), 1, 0x7FFFFFFF));
  SetTimeouts(session.get(), ms);
  ScopedInternet connection(Net().Connect(session.get(), target->host.c_str(), target->port,
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::nullopt;
  SetTimeouts(connection.get(), ms);
  // Always from the server, never from a cache, and say so to proxies.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE |
                      (target->secure ? INTERNET_FLAG_SECURE : 0u);
  ScopedInternet request(Net().OpenRequest(connection.get(), L"GET", target->object.c_str(),
                                           nullptr, nullptr, nullptr, flags, 0));
  if (!request) return std::nullopt;
  SetTimeouts(request.get(), ms);
  if (!Net().SendRequest(request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!Net().QueryInfo(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                       &size, nullptr) ||
      status != 200) {
    return std::nullopt;
  }
  const std::optional<uint64_t> expected = ContentLength(request.get());
  if (expected && *expected > max_body_bytes_) return std::nullopt;

  std::string body;
  std::vector<char> piece(kPieceBytes);
  for (;;) {
    DWORD got = 0;
    if (!Net().ReadFile(request.get(), piece.data(), kPieceBytes, &got)) return std::nullopt;
    if (got == 0) break;
    if (got > max_body_bytes_ - body.size()) return std::nullopt;
    body.append(piece.data(), got);
    if (between_pieces) between_pieces();
  }
  // A connection that dropped mid-body ends like a finished one; only the
  // announced length tells them apart.
  if (expected && body.size() != *expected) return std::nullopt;
  return body;
}

}  // namespace norvale
