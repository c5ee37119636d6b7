#include "roster/socket_error.h"
#include "support/printers.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

struct TextCase {
  int number;
  const char* text;
};

void PrintTo(const TextCase& c, std::ostream* out) {
  *out << c.number;
}

class KnownSocketError : public testing::TestWithParam<TextCase> {};

TEST_P(KnownSocketError, hasItsShortText) {
  EXPECT_EQ(SocketErrorText(GetParam().number), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    SocketErrorText, KnownSocketError,
    testing::Values(TextCase{111, "Connection refused."}, TextCase{110, "Connection timed out."},
                    TextCase{104, "Connection reset by peer."}, TextCase{11001, "Host not found."},
                    TextCase{101, "Network is unreachable."}, TextCase{113, "No route to host."},
                    TextCase{103, "Software caused connection abort."},
                    TextCase{32, "Broken pipe."}, TextCase{100, "Network is down."},
                    TextCase{99, "Cannot assign requested address."}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::to_string(info.param.number); });

TEST(SocketErrorText, isEmptyForANumberNotListed) {
  EXPECT_EQ(SocketErrorText(4242), "");
  EXPECT_EQ(SocketErrorText(0), "");
}

TEST(SocketErrorMessage, putsTheNumberALineBreakAndTheText) {
  EXPECT_EQ(SocketErrorMessage(111), "Socket Error # 111\nConnection refused.");
  EXPECT_EQ(SocketErrorMessage(11001), "Socket Error # 11001\nHost not found.");
}

TEST(SocketErrorMessage, endsWithTheLineBreakForANumberNotListed) {
  EXPECT_EQ(SocketErrorMessage(4242), "Socket Error # 4242\n");
}

struct FailureCase {
  const char* name;
  int curlCode;
  long osErrno;
  const char* message;
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
        FailureCase{"refused", CURLE_COULDNT_CONNECT, 111,
                    "Socket Error # 111\nConnection refused."},
        FailureCase{"connectTimedOut", CURLE_COULDNT_CONNECT, 110,
                    "Socket Error # 110\nConnection timed out."},
        FailureCase{"unreachable", CURLE_COULDNT_CONNECT, 101,
                    "Socket Error # 101\nNetwork is unreachable."},
        FailureCase{"libcurlTimedOut", CURLE_OPERATION_TIMEDOUT, 0,
                    "Socket Error # 110\nConnection timed out."},
        FailureCase{"resetWhileReading", CURLE_RECV_ERROR, 104,
                    "Socket Error # 104\nConnection reset by peer."},
        FailureCase{"brokenPipeWhileSending", CURLE_SEND_ERROR, 32,
                    "Socket Error # 32\nBroken pipe."},
        FailureCase{"unlistedNumber", CURLE_RECV_ERROR, 4242, "Socket Error # 4242\n"},
        FailureCase{"nothingAnswered", CURLE_GOT_NOTHING, 0, "Connection Closed Gracefully."},
        FailureCase{"closedWhileReading", CURLE_RECV_ERROR, 0, "Connection Closed Gracefully."},
        FailureCase{"otherWithSocketError", CURLE_WEIRD_SERVER_REPLY, 104,
                    "Socket Error # 104\nConnection reset by peer."},
        FailureCase{"otherWithoutSocketError", CURLE_WEIRD_SERVER_REPLY, 0,
                    "Connection Closed Gracefully."},
        FailureCase{"unreadableUrl", CURLE_URL_MALFORMAT, 0,
                    "Socket Error # 11001\nHost not found."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
