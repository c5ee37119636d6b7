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

// A short text under its Linux and its Winsock number.
struct TextCase {
  const char* name;
  int linuxNumber;
  int winsockNumber;
  const char* text;
};

class KnownSocketError : public testing::TestWithParam<TextCase> {};

constexpr auto kLinux = SocketErrorNumbers::Linux;
constexpr auto kWinsock = SocketErrorNumbers::Winsock;

TEST_P(KnownSocketError, hasItsShortTextUnderEachPlatformsNumber) {
  EXPECT_EQ(SocketErrorText(GetParam().linuxNumber, kLinux), GetParam().text);
  EXPECT_EQ(SocketErrorText(GetParam().winsockNumber, kWinsock), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    SocketErrorText, KnownSocketError,
    testing::Values(TextCase{"refused", 111, 10061, "Connection refused."},
                    TextCase{"timedOut", 110, 10060, "Connection timed out."},
                    TextCase{"reset", 104, 10054, "Connection reset by peer."},
                    TextCase{"hostNotFound", 11001, 11001, "Host not found."},
                    TextCase{"networkUnreachable", 101, 10051, "Network is unreachable."},
                    TextCase{"noRoute", 113, 10065, "No route to host."},
                    TextCase{"aborted", 103, 10053, "Software caused connection abort."},
                    TextCase{"networkDown", 100, 10050, "Network is down."},
                    TextCase{"addressNotAvailable", 99, 10049, "Cannot assign requested address."}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(SocketErrorText, listsSomeNumbersForOnePlatformOnlyAndIsEmptyForOthers) {
  EXPECT_EQ(SocketErrorText(32, kLinux), "Broken pipe.");
  EXPECT_EQ(SocketErrorText(10058, kWinsock), "Cannot send after socket shutdown.");
  // Each platform's numbers mean nothing to the other's table.
  EXPECT_EQ(SocketErrorText(111, kWinsock), "");
  EXPECT_EQ(SocketErrorText(32, kWinsock), "");
  EXPECT_EQ(SocketErrorText(10061, kLinux), "");
  EXPECT_EQ(SocketErrorText(4242), "");
  EXPECT_EQ(SocketErrorText(0), "");
}

TEST(SocketErrorText, usesThePlatformsNumbers) {
  EXPECT_EQ(SocketErrorText(kRefused), "Connection refused.");
  EXPECT_EQ(SocketErrorText(kTimedOutError), "Connection timed out.");
  EXPECT_EQ(SocketErrorText(kAddressNotAvailableError), "Cannot assign requested address.");
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
