#pragma once

#include <string>

namespace quellar::test {

// The socket errors the tests provoke, numbered as libcurl reports them here:
// errno on Linux, Winsock's numbers on Windows.
#ifdef _WIN32
inline const std::string kRefusedMessage = "Socket Error # 10061\nConnection refused.";
inline const std::string kResetMessage = "Socket Error # 10054\nConnection reset by peer.";
inline const std::string kUnusablePortMessage =
    "Socket Error # 10049\nCannot assign requested address.";
#else
inline const std::string kRefusedMessage = "Socket Error # 111\nConnection refused.";
inline const std::string kResetMessage = "Socket Error # 104\nConnection reset by peer.";
inline const std::string kUnusablePortMessage =
    "Socket Error # 99\nCannot assign requested address.";
#endif

}  // namespace quellar::test
