#pragma once

#include <string>

#include "support/wine.h"

namespace quellar::test {

// The socket errors the tests provoke, numbered as libcurl reports them here:
// errno on Linux, Winsock's numbers on Windows.
#ifdef _WIN32
inline const std::string kRefusedMessage = "Socket Error # 10061\nConnection refused.";
inline const std::string kResetMessage = "Socket Error # 10054\nConnection reset by peer.";
inline const std::string kTimedOutMessage = "Socket Error # 10060\nConnection timed out.";
inline const std::string kUnusablePortMessage =
    "Socket Error # 10049\nCannot assign requested address.";
#else
inline const std::string kRefusedMessage = "Socket Error # 111\nConnection refused.";
inline const std::string kResetMessage = "Socket Error # 104\nConnection reset by peer.";
inline const std::string kTimedOutMessage = "Socket Error # 110\nConnection timed out.";
inline const std::string kUnusablePortMessage =
    "Socket Error # 99\nCannot assign requested address.";
#endif

// Whether a test server's abortive close reaches the client as a plain close:
// Wine closes a socket gracefully whatever its linger time, so there a test
// cannot provoke a connection reset. Windows itself resets.
inline bool ResetArrivesAsClose() {
  return RunningUnderWine();
}

}  // namespace quellar::test
