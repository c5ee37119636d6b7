#include "net/socket_error.h"
#include "net/curl_library.h"
#include "support/printers.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

namespace quellar {
namespace {

// The numbers libcurl reports on this platform for the errors provoked below.
#ifdef _WIN32
constexpr int kRefused = 10061, kTimedOut = 10060, kReset = 10054, kUnreachable = 10051,
              kAborted = 10053;
#else
constexpr int kRefused = 111, kTimedOut = 110, kReset = 104, kUnreachable = 101, kAborted = 103;
#endif

std::string Message(int number, const char* text) {
  return "Socket Error # " + std::to_string(number) + "\n" + text;
}

using test::PrintTo;  // names each case in gtest's output

struct TextCase {
  SocketErrorNumbers numbers;
  int number;
  const char* text;
};

void PrintTo(const TextCase& c, std::ostream* out) {
  *out << c.number;
}

class KnownSocketError : public testing::TestWithParam<TextCase> {};

TEST_P(KnownSocketError, hasItsShortText) {
  EXPECT_EQ(SocketErrorText(GetParam().number, GetParam().numbers), GetParam().text);
}

constexpr auto kLinux = SocketErrorNumbers::Linux;
constexpr auto kWinsock = SocketErrorNumbers::Winsock;

INSTANTIATE_TEST_SUITE_P(
    SocketErrorText, KnownSocketError,
    testing::Values(TextCase{kLinux, 111, "Connection refused."},
                    TextCase{kLinux, 110, "Connection timed out."},
                    TextCase{kLinux, 104, "Connection reset by peer."},
                    TextCase{kLinux, 11001, "Host not found."},
                    TextCase{kLinux, 101, "Network is unreachable."},
                    TextCase{kLinux, 113, "No route to host."},
                    TextCase{kLinux, 103, "Software caused connection abort."},
                    TextCase{kLinux, 32, "Broken pipe."}, TextCase{kLinux, 100, "Network is down."},
                    TextCase{kLinux, 99, "Cannot assign requested address."},
                    TextCase{kWinsock, 10061, "Connection refused."},
                    TextCase{kWinsock, 10060, "Connection timed out."},
                    TextCase{kWinsock, 10054, "Connection reset by peer."},
                    TextCase{kWinsock, 11001, "Host not found."},
                    TextCase{kWinsock, 10051, "Network is unreachable."},
                    TextCase{kWinsock, 10065, "No route to host."},
                    TextCase{kWinsock, 10053, "Software caused connection abort."},
                    TextCase{kWinsock, 10058, "Cannot send after socket shutdown."},
                    TextCase{kWinsock, 10050, "Network is down."},
                    TextCase{kWinsock, 10049, "Cannot assign requested address."},
                    // Each platform's numbers mean nothing to the other's table.
                    TextCase{kWinsock, 111, ""}, TextCase{kWinsock, 32, ""},
                    TextCase{kLinux, 10061, ""}),
    [](const testing::TestParamInfo<TextCase>& info) {
      return std::string(info.param.numbers == kLinux ? "linux" : "winsock") +
             std::to_string(info.param.number);
    });

TEST(SocketErrorText, isEmptyForANumberNotListed) {
  EXPECT_EQ(SocketErrorText(4242), "");
  EXPECT_EQ(SocketErrorText(0), "");
}

TEST(SocketErrorText, usesThePlatformsNumbers) {
  EXPECT_EQ(SocketErrorText(kRefused), "Connection refused.");
  EXPECT_EQ(SocketErrorText(kTimedOutError), "Connection timed out.");
  EXPECT_EQ(SocketErrorText(kAddressNotAvailableError), "Cannot assign requested address.");
}

TEST(SocketErrorMessage, putsTheNumberALineBreakAndTheText) {
  EXPECT_EQ(SocketErrorMessage(kRefused), Message(kRefused, "Connection refused."));
  EXPECT_EQ(SocketErrorMessage(11001), "Socket Error # 11001\nHost not found.");
}

TEST(SocketErrorMessage, endsWithTheLineBreakForANumberNotListed) {
  EXPECT_EQ(SocketErrorMessage(4242), "Socket Error # 4242\n");
}

struct FailureCase {
  const char* name;
  CURLcode curlCode;
  long osErrno;
  std::string message;
};

class CurlFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(CurlFailure, givesTheClientsMessage) {
  const FailureCase& c = GetParam();
  EXPECT_EQ(TransferFailureMessage(c.curlCode, c.osErrno), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    TransferFailureMessage, CurlFailure,
    testing::Values(
        FailureCase{"hostNotResolved", CURLE_COULDNT_RESOLVE_HOST, 0,
                    "Socket Error # 11001\nHost not found."},
        FailureCase{"proxyNotResolved", CURLE_COULDNT_RESOLVE_PROXY, 0,
                    "Socket Error # 11001\nHost not found."},
        FailureCase{"refused", CURLE_COULDNT_CONNECT, kRefused,
                    Message(kRefused, "Connection refused.")},
        FailureCase{"connectTimedOut", CURLE_COULDNT_CONNECT, kTimedOut,
                    Message(kTimedOut, "Connection timed out.")},
        FailureCase{"unreachable", CURLE_COULDNT_CONNECT, kUnreachable,
                    Message(kUnreachable, "Network is unreachable.")},
        FailureCase{"libcurlTimedOut", CURLE_OPERATION_TIMEDOUT, 0,
                    Message(kTimedOut, "Connection timed out.")},
        FailureCase{"resetWhileReading", CURLE_RECV_ERROR, kReset,
                    Message(kReset, "Connection reset by peer.")},
        FailureCase{"abortedWhileSending", CURLE_SEND_ERROR, kAborted,
                    Message(kAborted, "Software caused connection abort.")},
        FailureCase{"unlistedNumber", CURLE_RECV_ERROR, 4242, "Socket Error # 4242\n"},
        FailureCase{"nothingAnswered", CURLE_GOT_NOTHING, 0, "Connection Closed Gracefully."},
        FailureCase{"closedWhileReading", CURLE_RECV_ERROR, 0, "Connection Closed Gracefully."},
        FailureCase{"otherWithSocketError", CURLE_WEIRD_SERVER_REPLY, kReset,
                    Message(kReset, "Connection reset by peer.")},
        FailureCase{"otherWithoutSocketError", CURLE_WEIRD_SERVER_REPLY, 0,
                    "Connection Closed Gracefully."},
        FailureCase{"unreadableUrl", CURLE_URL_MALFORMAT, 0,
                    "Socket Error # 11001\nHost not found."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
