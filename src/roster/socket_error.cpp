#include "roster/socket_error.h"

#include <curl/curl.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace quellar {
namespace {

struct KnownError {
  int number;
  std::string_view text;
};

constexpr KnownError kKnownErrors[] = {
    {ECONNREFUSED, "Connection refused."},
    {ETIMEDOUT, "Connection timed out."},
    {ECONNRESET, "Connection reset by peer."},
    {ECONNABORTED, "Software caused connection abort."},
    {ENETDOWN, "Network is down."},
    {ENETUNREACH, "Network is unreachable."},
    {ENETRESET, "Net dropped connection or reset."},
    {EHOSTDOWN, "Host is down."},
    {EHOSTUNREACH, "No route to host."},
    {EADDRINUSE, "Address already in use."},
    {EADDRNOTAVAIL, "Cannot assign requested address."},
    {EPIPE, "Broken pipe."},
    {ENOTCONN, "Socket is not connected."},
    {kHostNotFoundError, "Host not found."},
};

constexpr std::string_view kClosedGracefully = "Connection Closed Gracefully.";

}  // namespace

std::string_view SocketErrorText(int number) {
  for (const KnownError& known : kKnownErrors)
    if (known.number == number)
      return known.text;
  return {};
}

std::string SocketErrorMessage(int number) {
  std::string message = "Socket Error # " + std::to_string(number) + "\n";
  message += SocketErrorText(number);
  return message;
}

std::string TransferFailureMessage(int curlCode, long osErrno) {
  switch (curlCode) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    // A URL libcurl cannot read names a host that cannot be looked up.
    case CURLE_URL_MALFORMAT:
      return SocketErrorMessage(kHostNotFoundError);
    case CURLE_GOT_NOTHING:
      return std::string(kClosedGracefully);
    case CURLE_OPERATION_TIMEDOUT:
      return SocketErrorMessage(kTimedOutError);
    case CURLE_OUT_OF_MEMORY:
      return "Out of memory.";
    default:
      // Without a socket error the connection simply ended: whatever libcurl
      // says about it in its own words, the client reports the close.
      if (osErrno != 0)
        return SocketErrorMessage(static_cast<int>(osErrno));
      return std::string(kClosedGracefully);
  }
}

}  // namespace quellar
