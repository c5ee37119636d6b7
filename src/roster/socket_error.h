#pragma once

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

// The message for a request that failed before a whole status line and header
// block arrived, from libcurl's result code and the socket error number it saw
// (0 for none). curlText is libcurl's own description, used only for a result
// that is neither a socket failure nor an early close.
std::string TransferFailureMessage(int curlCode, long osErrno, std::string_view curlText);

}  // namespace quellar
