#pragma once

#include <cerrno>
#include <string>
#include <string_view>

namespace quellar {

// The number a failed host name lookup reports, whatever the platform says.
inline constexpr int kHostNotFoundError = 11001;

// The client's short text for a socket error number; empty for a number it does
// not list.
std::string_view SocketErrorText(int number);

// "Socket Error # <number>", a line break, and the short text.
std::string SocketErrorMessage(int number);

// The number a connection that stayed silent too long reports.
inline constexpr int kTimedOutError = ETIMEDOUT;

// The message for a connection libcurl could not make, or that failed while
// the client used it, from libcurl's result code and the socket error number it
// saw (0 for none). It is always one of the client's own messages: libcurl's
// descriptions never reach the user.
std::string TransferFailureMessage(int curlCode, long osErrno);

}  // namespace quellar
