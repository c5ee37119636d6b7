#include "roster/http_client.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/error.h"
#include "roster/curl_library.h"
#include "roster/http_url.h"
#include "roster/socket_error.h"

namespace quellar {
namespace {

using Clock = std::chrono::steady_clock;

// How long the body of a failing answer is read and dropped before the error.
constexpr std::chrono::milliseconds kDropFailingBodyFor{2000};

// The most room a Content-Length makes the body take before it arrives. Beyond
// it the body grows as it comes, so a length that lies costs no more than this
// much address space.
constexpr std::size_t kMaxBodyReserve = std::size_t{256} << 20;

constexpr const char* kContentType = "Content-Type: text/html";
constexpr const char* kAccept = "Accept: text/html, */*";
constexpr const char* kUserAgent = "User-Agent: Mozilla/3.0 (compatible; Indy Library)";

struct SlistDeleter {
  void operator()(curl_slist* list) const { Curl().slistFreeAll(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct EasyDeleter {
  void operator()(CURL* easy) const { Curl().easyCleanup(easy); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

Slist MakeSlist(std::initializer_list<std::string> lines) {
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* grown = Curl().slistAppend(list, line.c_str());
    if (grown == nullptr) {
      Curl().slistFreeAll(list);
      throw std::bad_alloc();
    }
    list = grown;
  }
  return Slist(list);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'A' && a <= 'Z')
      a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z')
      b = static_cast<char>(b - 'A' + 'a');
    if (a != b)
      return false;
  }
  return true;
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

// The value of a Content-Length line made of digits only; 0 otherwise.
std::size_t ContentLength(std::string_view line) {
  std::string_view value = line.substr(line.find(':') + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
    value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
    value.remove_suffix(1);
  if (value.empty() || value.size() > 18)
    return 0;
  std::size_t length = 0;
  for (char c : value) {
    if (c < '0' || c > '9')
      return 0;
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  return length;
}

// The number after the protocol on a status line; 0 when there is none.
long StatusCode(std::string_view statusLine) {
  const auto space = statusLine.find(' ');
  if (space == std::string_view::npos)
    return 0;
  long code = 0;
  int digits = 0;
  for (std::size_t i = space + 1;
       i < statusLine.size() && statusLine[i] >= '0' && statusLine[i] <= '9' && digits < 3;
       ++i, ++digits)
    code = code * 10 + (statusLine[i] - '0');
  return digits == 3 ? code : 0;
}

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

// What one GET has seen so far; filled by libcurl's callbacks.
struct Transfer {
  std::string body;
  std::string statusLine;
  long statusCode = 0;
  bool expectStatusLine = true;
  bool sawLocation = false;
  std::size_t contentLength = 0;
  bool headersDone = false;
  bool outOfMemory = false;
  bool failed = false;
  // The answer began with something other than a status line; its first line
  // then stands in for one.
  bool headerless = false;
  bool firstLineDone = false;
  Clock::time_point dropUntil;

  void OnBody(std::string_view data) {
    if (!headersDone && !headerless) {
      headerless = true;
      statusLine.clear();
      StartDropping();
    }
    if (headerless) {
      if (!firstLineDone) {
        const auto end = data.find('\n');
        statusLine.append(data.substr(0, end));
        firstLineDone = end != std::string_view::npos;
        if (firstLineDone && !statusLine.empty() && statusLine.back() == '\r')
          statusLine.pop_back();
      }
      return;
    }
    if (failed)
      return;
    // One allocation of the announced size instead of a doubling series, whose
    // last step would briefly hold the body one and a half times over.
    if (body.empty() && contentLength > data.size())
      body.reserve(std::min(contentLength, kMaxBodyReserve));
    body.append(data);
  }

  void StartDropping() {
    failed = true;
    dropUntil = Clock::now() + kDropFailingBodyFor;
  }

  void OnHeaderLine(std::string_view line) {
    // Trailers of a chunked body come here too; the answer is decided by then.
    if (headersDone)
      return;
    const std::string_view text = WithoutLineEnd(line);
    if (expectStatusLine) {
      // Each answer, interim ones included, starts with its own status line.
      statusLine = std::string(text);
      statusCode = StatusCode(text);
      sawLocation = false;
      contentLength = 0;
      expectStatusLine = false;
      return;
    }
    if (!text.empty()) {
      if (StartsWithNoCase(text, "Location:"))
        sawLocation = true;
      else if (StartsWithNoCase(text, "Content-Length:"))
        contentLength = ContentLength(text);
      return;
    }
    if (statusCode >= 100 && statusCode <= 199) {
      expectStatusLine = true;
      return;
    }
    headersDone = true;
    // Redirects are not followed, so a Location makes even a 2xx answer a failure.
    if (statusCode < 200 || statusCode > 299 || sawLocation)
      StartDropping();
  }
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<Transfer*>(user)->OnHeaderLine(std::string_view(data, size * count));
  return size * count;
}

// No exception may cross libcurl; a body too big for memory ends the transfer.
std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  try {
    transfer->OnBody(std::string_view(data, size * count));
  } catch (const std::bad_alloc&) {
    transfer->outOfMemory = true;
    return 0;
  }
  return size * count;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<const Transfer*>(user);
  return transfer->failed && Clock::now() >= transfer->dropUntil ? 1 : 0;
}

// The proxy host as the connect-to option wants it: an IPv6 literal in brackets.
std::string BracketedHost(const std::string& host) {
  if (host.find(':') != std::string::npos && !host.starts_with('['))
    return "[" + host + "]";
  return host;
}

}  // namespace

struct HttpClient::Impl {
  // The connection an easy handle keeps open is tied to where it was made.
  struct Route {
    std::string host;
    std::int32_t port = 0;
    std::string proxyHost;
    std::int32_t proxyPort = 0;
    friend bool operator==(const Route&, const Route&) = default;
  };

  std::string proxyHost;
  std::int32_t proxyPort = 0;

  Easy easy;
  std::optional<Route> route;
  Slist headers;
  Slist connectTo;
  char errorText[CURL_ERROR_SIZE] = {};

  void Forget() {
    easy.reset();
    route.reset();
  }

  // A new handle, and so a new connection, whenever the route changes; libcurl
  // would otherwise keep the old connections and pick one up again later.
  CURL* HandleFor(const Route& wanted) {
    if (easy && route == wanted)
      return easy.get();
    Forget();
    const CurlLibrary& curl = Curl();
    easy.reset(curl.easyInit());
    if (!easy)
      throw Error("Out of memory.");
    CURL* handle = easy.get();
    // An empty proxy keeps http_proxy and friends in the environment away.
    curl.easySetopt(handle, CURLOPT_PROXY, "");
    curl.easySetopt(handle, CURLOPT_PROTOCOLS_STR, "http");
    curl.easySetopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    // An answer without a status line is let through so that its first line can
    // be reported like any other failing status line.
    curl.easySetopt(handle, CURLOPT_HTTP09_ALLOWED, 1L);
    curl.easySetopt(handle, CURLOPT_HTTPGET, 1L);
    curl.easySetopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl.easySetopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl.easySetopt(handle, CURLOPT_PATH_AS_IS, 1L);
    // No connect time-out of our own: libcurl's default applies, and the system's
    // own SYN retries usually give up first.
    curl.easySetopt(handle, CURLOPT_CONNECTTIMEOUT, 0L);
    curl.easySetopt(handle, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl.easySetopt(handle, CURLOPT_WRITEFUNCTION, &OnBody);
    curl.easySetopt(handle, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl.easySetopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl.easySetopt(handle, CURLOPT_ERRORBUFFER, errorText);

    const HttpUrl hostOnly{wanted.host, wanted.port, "/"};
    // libcurl moves a Host header of its own making to the top; a value-less
    // "Host:" first removes it, and the list then goes out in this order.
    headers = MakeSlist(
        {"Host:", kContentType, "Host: " + HostHeaderValue(hostOnly), kAccept, kUserAgent});
    curl.easySetopt(handle, CURLOPT_HTTPHEADER, headers.get());
    const std::string address = "http://" + wanted.host + ":" + std::to_string(wanted.port) + "/";
    curl.easySetopt(handle, CURLOPT_URL, address.c_str());
    if (!wanted.proxyHost.empty()) {
      // Through a proxy the connection goes to the proxy and the roster host is
      // never looked up here; the request line carries the absolute URL.
      connectTo = MakeSlist(
          {"::" + BracketedHost(wanted.proxyHost) + ":" + std::to_string(wanted.proxyPort)});
      curl.easySetopt(handle, CURLOPT_CONNECT_TO, connectTo.get());
    } else {
      connectTo.reset();
      curl.easySetopt(handle, CURLOPT_CONNECT_TO, static_cast<curl_slist*>(nullptr));
    }
    route = wanted;
    return handle;
  }
};

HttpClient::HttpClient() : impl_(std::make_unique<Impl>()) {}

HttpClient::~HttpClient() = default;

void HttpClient::SetProxy(std::string host, std::int32_t port) {
  impl_->proxyHost = std::move(host);
  impl_->proxyPort = port;
}

// One libcurl behaviour shows on the wire: when a kept-alive connection turns out
// to be closed before any byte of the answer, libcurl sends the request again on a
// new connection, so the server sees that GET twice. libcurl has no switch for it.
std::string HttpClient::Get(std::string_view url) {
  const HttpUrl parts = SplitHttpUrl(url);
  const bool proxied = !impl_->proxyHost.empty();
  if (IsUnusableHost(parts.host) || (proxied && IsUnusableHost(impl_->proxyHost)))
    throw Error(SocketErrorMessage(kHostNotFoundError));
  if (!IsUsablePort(parts.port) || (proxied && !IsUsablePort(impl_->proxyPort)))
    throw Error(SocketErrorMessage(kAddressNotAvailableError));

  Impl::Route route{parts.host, parts.port, proxied ? impl_->proxyHost : std::string(),
                    proxied ? impl_->proxyPort : 0};
  CURL* handle = impl_->HandleFor(route);
  const CurlLibrary& curl = Curl();

  Transfer transfer;
  const std::string target = proxied ? ProxiedRequestTarget(parts) : parts.target;
  curl.easySetopt(handle, CURLOPT_REQUEST_TARGET, target.c_str());
  curl.easySetopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl.easySetopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl.easySetopt(handle, CURLOPT_XFERINFODATA, &transfer);
  impl_->errorText[0] = '\0';

  const CURLcode result = curl.easyPerform(handle);

  if (transfer.outOfMemory) {
    impl_->Forget();
    throw Error("Out of memory.");
  }
  if (transfer.failed)
    throw Error(transfer.statusLine);
  if (transfer.headersDone) {
    if (result == CURLE_OK)
      return std::move(transfer.body);
    // A success whose body the server cut short is returned as far as it arrived.
    if (result == CURLE_PARTIAL_FILE)
      return std::move(transfer.body);
  }

  // No whole answer came, or the connection failed while a success was read.
  // libcurl may still count the connection as usable (it does when the server
  // closes inside the header block), so it is dropped either way.
  long osErrno = 0;
  curl.easyGetinfo(handle, CURLINFO_OS_ERRNO, &osErrno);
  std::string curlText = impl_->errorText[0] != '\0' ? impl_->errorText : curl.easyStrerror(result);
  impl_->Forget();
  if (result == CURLE_OK)  // the server closed before the header block ended
    throw Error(TransferFailureMessage(CURLE_GOT_NOTHING, 0, curlText));
  throw Error(TransferFailureMessage(result, osErrno, curlText));
}

}  // namespace quellar
