#pragma once

#include <cerrno>
#include <string>
#include <string_view>

namespace quellar {

// Socket error numbers are the platform's: libcurl reports errno on Linux and
// WSAGetLastError() on Windows, and the two number the same errors differently.
enum class SocketErrorNumbers { Linux, Winsock };

#ifdef _WIN32
inline constexpr SocketErrorNumbers kPlatformSocketErrors = SocketErrorNumbers::Winsock;
#else
inline constexpr SocketErrorNumbers kPlatformSocketErrors = SocketErrorNumbers::Linux;
#endif

// The number a failed host name lookup reports, whatever the platform says.
inline constexpr int kHostNotFoundError = 11001;

// The platform's numbers for a connection that timed out and for an address or
// port that cannot be used.
inline constexpr int kTimedOutError =
    kPlatformSocketErrors == SocketErrorNumbers::Winsock ? 10060 : 110;
inline constexpr int kAddressNotAvailableError =
    kPlatformSocketErrors == SocketErrorNumbers::Winsock ? 10049 : 99;

// The client's short text for a socket error number of the platform (or of the
// numbering given); empty for a number it does not list.
std::string_view SocketErrorText(int number);
std::string_view SocketErrorText(int number, SocketErrorNumbers numbers);

// "Socket Error # <number>", a line break, and the short text.
std::string SocketErrorMessage(int number);

// What the client says when the peer closed the connection before the answer
// was whole.
inline constexpr std::string_view kClosedGracefullyMessage = "Connection Closed Gracefully.";

// The message for a connection that failed while the client used it, from the
// socket error number seen: its socket error message, or without one (0) the
// close, since the connection then simply ended.
std::string ConnectionFailureMessage(int socketError);

}  // namespace quellar
