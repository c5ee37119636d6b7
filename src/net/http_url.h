#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quellar {

// Where a GET goes and what its request line names.
struct HttpUrl {
  std::string host;        // as written in the URL, brackets of an IPv6 literal kept
  std::int32_t port = 80;  // 80 unless the URL names another
  std::string target;      // path, document and query, sent as they stand
};

// Splits a URL the way the client reads it: every "\" counts as "/", a "#" ends
// the URL, the scheme is skipped, and a missing path becomes "/". The target keeps
// raw spaces and high bytes; only CR, LF and NUL are percent-encoded, since they
// would end the request line. A port that is not an integer throws Error.
HttpUrl SplitHttpUrl(std::string_view url);

// The Host header value: the host, with ":port" only when the port is not 80.
std::string HostHeaderValue(const HttpUrl& url);

// The request target through a proxy: the absolute URL with the port written out.
std::string ProxiedRequestTarget(const HttpUrl& url);

}  // namespace quellar
