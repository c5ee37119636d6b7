#include "net/http_client.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/error.h"
#include "net/http_answer.h"
#include "net/http_connection.h"
#include "net/http_url.h"
#include "net/socket_error.h"

namespace quellar {
namespace {

using Clock = HttpConnection::Clock;
using Progress = HttpAnswerReader::Progress;

// How long the body of a failing answer is read and dropped before the error.
constexpr std::chrono::milliseconds kDropFailingBodyFor{2000};

constexpr std::size_t kReadSize = 16384;

// The message of a Get given up on, which nobody is waiting for any more.
constexpr const char* kAbandoned = "Abandoned";

// A host name that can never be looked up: empty, or holding blanks or control bytes.
bool IsUnusableHost(std::string_view host) {
  if (host.empty())
    return true;
  for (unsigned char c : host)
    if (c <= 0x20 || c == 0x7F)
      return true;
  return false;
}

bool IsUsablePort(std::int32_t port) {
  return port >= 1 && port <= 65535;
}

std::string RequestBytes(std::string_view target, std::string_view host) {
  std::string request = "GET ";
  request += target;
  request += " HTTP/1.1\r\nContent-Type: text/html\r\nHost: ";
  request += host;
  request +=
      "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n";
  return request;
}

// How one request on one connection ended.
struct Outcome {
  enum class Kind { Body, Failure, Retry };
  Kind kind = Kind::Failure;
  std::string text;  // the body, or the failure's message
  bool keepConnection = false;
};

Outcome Failure(std::string message) {
  return {Outcome::Kind::Failure, std::move(message), false};
}

// Sends the request and reads its answer. mayRetry: the connection was kept from
// an earlier answer, so a close or reset before any byte of this one means only
// that the server dropped it while idle.
Outcome Exchange(HttpConnection& connection, const std::string& request,
                 std::chrono::milliseconds silenceLimit, bool mayRetry) {
  const HttpConnection::Io sent = connection.Send(request, Clock::now() + silenceLimit);
  if (sent.kind == HttpConnection::Io::Kind::TimedOut)
    return Failure(SocketErrorMessage(kTimedOutError));
  if (sent.kind == HttpConnection::Io::Kind::Abandoned)
    return Failure(kAbandoned);
  if (sent.kind != HttpConnection::Io::Kind::Done) {
    if (mayRetry)
      return {Outcome::Kind::Retry, {}, false};
    return Failure(ConnectionFailureMessage(sent.socketError));
  }

  HttpAnswerReader reader;
  std::optional<Clock::time_point> dropUntil;
  auto failing = [&reader] { return reader.finalHeadersRead() && !reader.succeeded(); };
  auto droppedBeforeAnswering = [&reader, mayRetry] { return mayRetry && !reader.sawAnyByte(); };
  char buffer[kReadSize];
  for (;;) {
    Clock::time_point deadline = Clock::now() + silenceLimit;
    if (dropUntil)
      deadline = std::min(deadline, *dropUntil);
    const HttpConnection::Io got = connection.Receive(buffer, sizeof buffer, deadline);
    Progress progress = Progress::Reading;
    switch (got.kind) {
      case HttpConnection::Io::Kind::Done:
        progress = reader.Feed(std::string_view(buffer, got.size));
        break;
      case HttpConnection::Io::Kind::Closed:
        progress = reader.Close();
        break;
      case HttpConnection::Io::Kind::Failed:
        if (failing())
          return Failure(reader.statusLine());
        if (droppedBeforeAnswering())
          return {Outcome::Kind::Retry, {}, false};
        return Failure(ConnectionFailureMessage(got.socketError));
      case HttpConnection::Io::Kind::TimedOut:
        // A failing answer whose body does not end in time has said all it needs.
        if (failing())
          return Failure(reader.statusLine());
        return Failure(SocketErrorMessage(kTimedOutError));
      case HttpConnection::Io::Kind::Abandoned:
        return Failure(kAbandoned);
    }
    if (!dropUntil && failing())
      dropUntil = Clock::now() + kDropFailingBodyFor;

    if (progress == Progress::EndedEarly && droppedBeforeAnswering())
      return {Outcome::Kind::Retry, {}, false};
    if (std::optional<AnswerOutcome> answer = Conclude(reader, progress)) {
      if (answer->succeeded)
        return {Outcome::Kind::Body, reader.TakeBody(), answer->keepConnection};
      return {Outcome::Kind::Failure, std::move(answer->failure), answer->keepConnection};
    }
  }
}

}  // namespace

struct HttpClient::Impl {
  std::chrono::milliseconds silenceLimit;
  std::string proxyHost;
  std::int32_t proxyPort = 0;

  std::atomic<bool> abandoned{false};

  // The connection kept from the last answer and where it goes.
  std::unique_ptr<HttpConnection> connection;
  HttpRoute route;
};

HttpClient::HttpClient(std::chrono::milliseconds silenceLimit) : impl_(std::make_unique<Impl>()) {
  impl_->silenceLimit = silenceLimit;
}

HttpClient::~HttpClient() = default;

void HttpClient::SetProxy(std::string host, std::int32_t port) {
  impl_->proxyHost = std::move(host);
  impl_->proxyPort = port;
}

// A kept connection that the server closes or resets before any byte of the
// answer gets the request again on a new connection, once, so the server sees
// that GET twice: servers drop idle connections whenever they like.
std::string HttpClient::Get(std::string_view url) {
  Impl& impl = *impl_;
  if (impl.abandoned.load())
    throw Error(kAbandoned);
  const HttpUrl parts = SplitHttpUrl(url);
  const bool proxied = !impl.proxyHost.empty();
  if (IsUnusableHost(parts.host) || (proxied && IsUnusableHost(impl.proxyHost)))
    throw Error(SocketErrorMessage(kHostNotFoundError));
  if (!IsUsablePort(parts.port) || (proxied && !IsUsablePort(impl.proxyPort)))
    throw Error(SocketErrorMessage(kAddressNotAvailableError));

  const HttpRoute route{parts.host, parts.port, proxied ? impl.proxyHost : std::string(),
                        proxied ? impl.proxyPort : 0};
  const std::string request =
      RequestBytes(proxied ? ProxiedRequestTarget(parts) : parts.target, HostHeaderValue(parts));

  for (;;) {
    // A kept connection with anything waiting on it (stray bytes, the peer's
    // close) cannot carry this request.
    const bool reused = impl.connection && impl.route == route && impl.connection->IsQuiet();
    if (!reused) {
      impl.connection.reset();
      impl.connection = std::make_unique<HttpConnection>(route, impl.silenceLimit, impl.abandoned);
      impl.route = route;
    }
    Outcome outcome;
    try {
      outcome = Exchange(*impl.connection, request, impl.silenceLimit, reused);
    } catch (const std::bad_alloc&) {
      impl.connection.reset();
      throw Error("Out of memory.");
    }
    if (!outcome.keepConnection)
      impl.connection.reset();
    switch (outcome.kind) {
      case Outcome::Kind::Body:
        return std::move(outcome.text);
      case Outcome::Kind::Failure:
        throw Error(outcome.text);
      case Outcome::Kind::Retry:
        break;
    }
  }
}

void HttpClient::Abandon() {
  impl_->abandoned.store(true);
}

bool HttpClient::abandoned() const {
  return impl_->abandoned.load();
}

}  // namespace quellar
