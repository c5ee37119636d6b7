#include "net/http_connection.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>
#include <string>

#include "common/error.h"
#include "net/curl_library.h"

namespace quellar {
namespace {

#ifdef _WIN32
using PollEntry = WSAPOLLFD;
int PollOne(PollEntry& entry, int milliseconds) {
  return ::WSAPoll(&entry, 1, milliseconds);
}
int LastSocketError() {
  return ::WSAGetLastError();
}
constexpr int kInterrupted = WSAEINTR;
#else
using PollEntry = pollfd;
int PollOne(PollEntry& entry, int milliseconds) {
  return ::poll(&entry, 1, milliseconds);
}
int LastSocketError() {
  return errno;
}
constexpr int kInterrupted = EINTR;
#endif

using Io = HttpConnection::Io;

// How often a wait looks whether its connection has been abandoned: short
// enough that an abandoned fetch lets go of its socket at once for a person.
constexpr long long kAbandonCheckMs = 20;

// Waits until the socket is ready for the events; nothing when it is, otherwise
// what the send or receive ends with: the time-out, the abandonment or the
// socket's error.
std::optional<Io> WaitFor(curl_socket_t socket, short events,
                          HttpConnection::Clock::time_point deadline,
                          const std::atomic<bool>& abandoned) {
  for (;;) {
    if (abandoned.load(std::memory_order_relaxed))
      return Io{Io::Kind::Abandoned, 0, 0};
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - HttpConnection::Clock::now());
    const int wait = static_cast<int>(std::clamp<long long>(left.count(), 0, kAbandonCheckMs));
    PollEntry entry{};
    entry.fd = socket;
    entry.events = events;
    const int result = PollOne(entry, wait);
    if (result > 0)
      return std::nullopt;
    if (result == 0) {
      if (HttpConnection::Clock::now() >= deadline)
        return Io{Io::Kind::TimedOut, 0, 0};
      continue;
    }
    const int error = LastSocketError();
    if (error != kInterrupted)
      return Io{Io::Kind::Failed, 0, error};
  }
}

// The proxy host as the connect-to option wants it: an IPv6 literal in brackets.
std::string BracketedHost(const std::string& host) {
  if (host.find(':') != std::string::npos && !host.starts_with('['))
    return "[" + host + "]";
  return host;
}

}  // namespace

// libcurl asks this while it connects; a non-zero answer ends the connecting.
int AbandonedWhileConnecting(void* abandoned, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(abandoned)->load(std::memory_order_relaxed) ? 1 : 0;
}

struct HttpConnection::Handles {
  Handles(const CurlLibrary& library, const std::atomic<bool>& abandonedFlag)
      : curl(library), abandoned(abandonedFlag) {}
  ~Handles() {
    curl.easyCleanup(easy);
    curl.slistFreeAll(connectTo);
  }
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;

  const CurlLibrary& curl;
  const std::atomic<bool>& abandoned;
  CURL* easy = nullptr;
  curl_slist* connectTo = nullptr;
  curl_socket_t socket = CURL_SOCKET_BAD;
};

HttpConnection::HttpConnection(const HttpRoute& route, std::chrono::milliseconds limit,
                               const std::atomic<bool>& abandoned)
    : handles_(std::make_unique<Handles>(Curl(), abandoned)) {
  const CurlLibrary& curl = handles_->curl;
  CURL* const easy = handles_->easy = curl.easyInit();
  if (easy == nullptr)
    throw Error("Out of memory.");
  // An empty proxy keeps http_proxy and friends in the environment away.
  curl.easySetopt(easy, CURLOPT_PROXY, "");
  curl.easySetopt(easy, CURLOPT_PROTOCOLS_STR, "http");
  curl.easySetopt(easy, CURLOPT_CONNECT_ONLY, 1L);
  curl.easySetopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl.easySetopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl.easySetopt(easy, CURLOPT_XFERINFOFUNCTION, &AbandonedWhileConnecting);
  curl.easySetopt(easy, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&abandoned));
  curl.easySetopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                  static_cast<long>(std::clamp<long long>(limit.count(), 1, LONG_MAX)));
  const std::string address = "http://" + route.host + ":" + std::to_string(route.port) + "/";
  curl.easySetopt(easy, CURLOPT_URL, address.c_str());
  if (!route.proxyHost.empty()) {
    // Through a proxy the connection goes to the proxy and the roster host is
    // never looked up here.
    const std::string connectTo =
        "::" + BracketedHost(route.proxyHost) + ":" + std::to_string(route.proxyPort);
    handles_->connectTo = curl.slistAppend(nullptr, connectTo.c_str());
    if (handles_->connectTo == nullptr)
      throw Error("Out of memory.");
    curl.easySetopt(easy, CURLOPT_CONNECT_TO, handles_->connectTo);
  }
  const CURLcode result = curl.easyPerform(easy);
  if (result != CURLE_OK)
    throw Error(TransferFailureMessage(result, SocketError()));
  curl.easyGetinfo(easy, CURLINFO_ACTIVESOCKET, &handles_->socket);
  if (handles_->socket == CURL_SOCKET_BAD)
    throw Error(TransferFailureMessage(CURLE_GOT_NOTHING, 0));
}

HttpConnection::~HttpConnection() = default;

int HttpConnection::SocketError() const {
  long osErrno = 0;
  handles_->curl.easyGetinfo(handles_->easy, CURLINFO_OS_ERRNO, &osErrno);
  return static_cast<int>(osErrno);
}

HttpConnection::Io HttpConnection::Send(std::string_view bytes, Clock::time_point deadline) {
  const CurlLibrary& curl = handles_->curl;
  while (!bytes.empty()) {
    std::size_t sent = 0;
    const CURLcode result = curl.easySend(handles_->easy, bytes.data(), bytes.size(), &sent);
    if (result == CURLE_OK) {
      bytes.remove_prefix(sent);
      continue;
    }
    if (result != CURLE_AGAIN)
      return {Io::Kind::Failed, 0, SocketError()};
    if (const std::optional<Io> ended =
            WaitFor(handles_->socket, POLLOUT, deadline, handles_->abandoned))
      return *ended;
  }
  return {};
}

HttpConnection::Io HttpConnection::Receive(char* buffer, std::size_t size,
                                           Clock::time_point deadline) {
  const CurlLibrary& curl = handles_->curl;
  for (;;) {
    std::size_t received = 0;
    const CURLcode result = curl.easyRecv(handles_->easy, buffer, size, &received);
    if (result == CURLE_OK)
      return received == 0 ? Io{Io::Kind::Closed, 0, 0} : Io{Io::Kind::Done, received, 0};
    if (result != CURLE_AGAIN)
      return {Io::Kind::Failed, 0, SocketError()};
    if (const std::optional<Io> ended =
            WaitFor(handles_->socket, POLLIN, deadline, handles_->abandoned))
      return *ended;
  }
}

bool HttpConnection::IsQuiet() const {
  PollEntry entry{};
  entry.fd = handles_->socket;
  entry.events = POLLIN;
  return PollOne(entry, 0) == 0;
}

}  // namespace quellar
