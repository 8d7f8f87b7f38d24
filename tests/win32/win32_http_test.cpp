// The download service against a small HTTP server of the test's own, on a
// loopback port the system picks, answering each path with a canned reply.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_http.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;

struct Reply {
  std::string bytes;    // status line, headers and body, sent as they are
  bool silent = false;  // read the request, then never answer
};

std::string Ok(const std::string& body, bool with_length = true) {
  std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n";
  if (with_length) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return head + "\r\n" + body;
}

class TestServer {
 public:
  explicit TestServer(std::map<std::string, Reply> routes) : routes_(std::move(routes)) {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (listener_ == INVALID_SOCKET ||
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~TestServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    if (started_) WSACleanup();
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  // Waits up to 100 ms for `s` to become readable.
  static bool Readable(SOCKET s) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{0, 100000};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
  }

  void Run() {
    while (!stop_) {
      if (!Readable(listener_)) continue;
      const SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      Serve(client);
      closesocket(client);
    }
  }

  void Serve(SOCKET client) {
    std::string request;
    char buffer[2048];
    while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
      if (!Readable(client)) continue;
      const int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) return;
      request.append(buffer, static_cast<size_t>(got));
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    const auto route = routes_.find(path);
    const Reply reply = route != routes_.end()
                            ? route->second
                            : Reply{
                                  "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n"
                                  "Connection: close\r\n\r\nnot found"};
    if (reply.silent) {
      // Until the client gives up and closes, or the test ends.
      while (!stop_) {
        if (Readable(client) && recv(client, buffer, sizeof buffer, 0) <= 0) return;
      }
      return;
    }
    size_t sent = 0;
    while (sent < reply.bytes.size()) {
      const int n = send(client, reply.bytes.data() + sent,
                         static_cast<int>(std::min<size_t>(reply.bytes.size() - sent, 65536)), 0);
      if (n <= 0) return;  // the client stopped reading
      sent += static_cast<size_t>(n);
    }
    shutdown(client, SD_SEND);
  }

  std::map<std::string, Reply> routes_;
  bool started_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

// Wine's GetProcessHandleCount always says 0. Leaked handles show instead in
// how high a batch of new ones reaches: freed slots are handed out again,
// leaked ones are not.
uintptr_t HandleHighWater() {
  std::vector<HANDLE> batch(256);
  uintptr_t highest = 0;
  for (HANDLE& h : batch) {
    h = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    highest = std::max(highest, reinterpret_cast<uintptr_t>(h) / 4);
  }
  for (HANDLE h : batch) CloseHandle(h);
  return highest;
}

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + i % 26);
  return s;
}

// A byte-order mark first, as editors on Windows save UTF-8.
const std::string kUpdate =
    "\xEF\xBB\xBF<LANGUAGE_GROUP>\r\n<LANGUAGE_NAME>Fran\u00E7ais</LANGUAGE_NAME>\r\n"
    "<TRANSLATION_ITEMS>\r\nMSG_SURE=S\u00FBr ?\r\n</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>";

class Win32HttpTest : public ::testing::Test {
 protected:
  Win32HttpTest()
      : server_({
            {"/Languages/25/Localization.txt", {Ok(kUpdate)}},
            {"/plain", {Ok("<html>no update here</html>")}},
            {"/empty", {Ok("")}},
            {"/large", {Ok(Pattern(20000))}},
            {"/big", {Ok(Pattern(kCap + 1))}},
            {"/big-unannounced", {Ok(Pattern(kCap + 1), false)}},
            {"/exact-unannounced", {Ok(Pattern(kCap), false)}},
            {"/short",
             {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n" +
              Pattern(500)}},
            {"/error",
             {"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n"
              "Connection: close\r\n\r\nboom"}},
            {"/silent", {"", true}},
        }) {}

  void SetUp() override { ASSERT_NE(0, server_.port()); }

  static constexpr size_t kCap = 16 * 1024;
  TestServer server_;
  Win32HttpClient client_{kCap, 10s};
  int pieces_ = 0;
  std::function<void()> count_ = [this] { ++pieces_; };
};

TEST_F(Win32HttpTest, BodiesArriveByteForByteWithTheRequestAsAsked) {
  EXPECT_EQ(kUpdate, client_.Get(server_.Url("/Languages/25/Localization.txt"), count_));
  EXPECT_EQ("<html>no update here</html>", client_.Get(server_.Url("/plain"), count_));
  // An empty body is a body.
  EXPECT_EQ("", client_.Get(server_.Url("/empty"), count_));

  const auto requests = server_.Requests();
  ASSERT_EQ(3u, requests.size());
  EXPECT_EQ(0u, requests[0].find("GET /Languages/25/Localization.txt HTTP/1.1\r\n"));
  EXPECT_NE(std::string::npos, requests[0].find("\r\nUser-Agent: Mozilla\r\n")) << requests[0];
  EXPECT_NE(std::string::npos, requests[0].find("\r\nPragma: no-cache\r\n")) << requests[0];
}

TEST_F(Win32HttpTest, LetsEventsRunAfterEveryPiece) {
  Win32HttpClient client;  // the default limit, far above this body
  const auto body = client.Get(server_.Url("/large"), count_);
  ASSERT_TRUE(body);
  EXPECT_EQ(Pattern(20000), *body);
  EXPECT_GE(pieces_, 5);  // 4 KiB pieces at most
  // No callback at all is allowed too.
  EXPECT_EQ(Pattern(20000), client.Get(server_.Url("/large"), nullptr));
}

TEST_F(Win32HttpTest, FailedAnswersAreNoBody) {
  EXPECT_EQ(std::nullopt, client_.Get(server_.Url("/missing"), count_));
  EXPECT_EQ(std::nullopt, client_.Get(server_.Url("/error"), count_));
  // Cut short of its announced length: half a file is not an update.
  EXPECT_EQ(std::nullopt, client_.Get(server_.Url("/short"), count_));
  EXPECT_EQ(std::nullopt, client_.Get("", count_));
  EXPECT_EQ(std::nullopt, client_.Get("not a url", count_));
}

TEST_F(Win32HttpTest, BodiesOverTheLimitAreRefused) {
  EXPECT_EQ(std::nullopt, client_.Get(server_.Url("/big"), count_));
  EXPECT_EQ(std::nullopt, client_.Get(server_.Url("/big-unannounced"), count_));
  EXPECT_EQ(Pattern(kCap), client_.Get(server_.Url("/exact-unannounced"), count_));
}

TEST_F(Win32HttpTest, ClosesWhatItOpens) {
  const uintptr_t before = HandleHighWater();
  for (int i = 0; i < 30; ++i) {
    ASSERT_TRUE(client_.Get(server_.Url("/plain"), count_));
    ASSERT_FALSE(client_.Get(server_.Url("/missing"), count_));
  }
  EXPECT_LT(HandleHighWater(), before + 20);
}

TEST_F(Win32HttpTest, ASilentServerEndsInNoBodyAfterTheTimeout) {
  Win32HttpClient impatient(kCap, 2s);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(std::nullopt, impatient.Get(server_.Url("/silent"), count_));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, 15s);
  EXPECT_GE(took, 1s);
}

TEST(Win32HttpRefused, NoServerOnThePortIsNoBody) {
  WSADATA data;
  ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
  // A port the system just handed out and that nobody listens on any more.
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  ASSERT_EQ(0, bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address));
  ASSERT_EQ(0, getsockname(s, reinterpret_cast<sockaddr*>(&address), &length));
  closesocket(s);
  WSACleanup();
  Win32HttpClient client(1024, 5s);
  EXPECT_EQ(std::nullopt,
            client.Get("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/", {}));
}

}  // namespace
}  // namespace norvale
