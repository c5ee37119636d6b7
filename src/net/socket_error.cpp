#include "net/socket_error.h"

#include <cerrno>
#include <string>
#include <string_view>

namespace quellar {
namespace {

struct KnownError {
  int number;
  std::string_view text;
};

// Linux's errno values; Linux is the only other platform built.
constexpr KnownError kLinuxErrors[] = {
    {111, "Connection refused."},
    {110, "Connection timed out."},
    {104, "Connection reset by peer."},
    {103, "Software caused connection abort."},
    {100, "Network is down."},
    {101, "Network is unreachable."},
    {102, "Net dropped connection or reset."},
    {112, "Host is down."},
    {113, "No route to host."},
    {98, "Address already in use."},
    {99, "Cannot assign requested address."},
    {32, "Broken pipe."},
    {107, "Socket is not connected."},
    {kHostNotFoundError, "Host not found."},
};

#ifdef __linux__
static_assert(ECONNREFUSED == 111 && ETIMEDOUT == 110 && ECONNRESET == 104 && ECONNABORTED == 103 &&
              ENETDOWN == 100 && ENETUNREACH == 101 && ENETRESET == 102 && EHOSTDOWN == 112 &&
              EHOSTUNREACH == 113 && EADDRINUSE == 98 && EADDRNOTAVAIL == 99 && EPIPE == 32 &&
              ENOTCONN == 107);
#endif

// Winsock's WSAE* values for the same errors. Winsock has no broken pipe: a send
// on a closed connection fails as a reset or a shut-down socket.
constexpr KnownError kWinsockErrors[] = {
    {10061, "Connection refused."},
    {10060, "Connection timed out."},
    {10054, "Connection reset by peer."},
    {10053, "Software caused connection abort."},
    {10050, "Network is down."},
    {10051, "Network is unreachable."},
    {10052, "Net dropped connection or reset."},
    {10064, "Host is down."},
    {10065, "No route to host."},
    {10048, "Address already in use."},
    {10049, "Cannot assign requested address."},
    {10058, "Cannot send after socket shutdown."},
    {10057, "Socket is not connected."},
    {kHostNotFoundError, "Host not found."},
};

}  // namespace

std::string_view SocketErrorText(int number, SocketErrorNumbers numbers) {
  const auto& table = numbers == SocketErrorNumbers::Winsock ? kWinsockErrors : kLinuxErrors;
  for (const KnownError& known : table)
    if (known.number == number)
      return known.text;
  return {};
}

std::string_view SocketErrorText(int number) {
  return SocketErrorText(number, kPlatformSocketErrors);
}

std::string SocketErrorMessage(int number) {
  std::string message = "Socket Error # " + std::to_string(number) + "\n";
  message += SocketErrorText(number);
  return message;
}

std::string ConnectionFailureMessage(int socketError) {
  if (socketError != 0)
    return SocketErrorMessage(socketError);
  return std::string(kClosedGracefullyMessage);
}

}  // namespace quellar
