#include "net/http_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <QByteArray>

#include "common/error.h"
#include "net/name_lookup_guard.h"
#include "support/http_texts.h"
#include "support/printers.h"
#include "support/scripted_http_server.h"
#include "support/socket_error_messages.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::ExpectedRequest;
using test::Ok;
using test::RefusingPort;
using test::ScriptedHttpServer;

// The message of the Error that Get throws; fails the test when nothing is thrown.
std::string GetFailure(HttpClient& http, const std::string& url) {
  try {
    const std::string body = http.Get(url);
    ADD_FAILURE() << "Get returned a body of " << body.size() << " bytes instead of failing";
  } catch (const Error& error) {
    return error.what();
  }
  return {};
}

std::string UrlOf(const ScriptedHttpServer& server, const std::string& rest) {
  return "http://" + server.hostAndPort() + rest;
}

bool WasLookedUp(const std::string& name) {
  const std::vector<std::string> names = test::LookedUpNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

// --- The request on the wire -------------------------------------------------

TEST(HttpClientRequest, directRequestSendsTheFourHeadersInOrderAndNamesTheOtherPort) {
  ScriptedHttpServer server;
  server.Answer(Ok("figure\r\n"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/xml.php?clan=K")), "figure\r\n");

  EXPECT_EQ(server.ConnectionBytes(),
            std::vector<std::string>{ExpectedRequest("/xml.php?clan=K", server.hostAndPort())});
}

TEST(HttpClientRequest, throughAProxyNamesTheAbsoluteUrlWithPort80AndAHostWithoutPort) {
  ScriptedHttpServer proxy;
  proxy.Answer(Ok("figure\r\n"));
  HttpClient http;
  http.SetProxy("127.0.0.1", proxy.port());

  EXPECT_EQ(http.Get("http://vorlane.example/xml.php?clan=K&case=1&server=2"), "figure\r\n");

  EXPECT_EQ(proxy.ConnectionBytes(),
            std::vector<std::string>{ExpectedRequest(
                "http://vorlane.example:80/xml.php?clan=K&case=1&server=2", "vorlane.example")});
  EXPECT_FALSE(WasLookedUp("vorlane.example"));
}

TEST(HttpClientRequest, throughAProxyKeepsThePortTheUrlNames) {
  ScriptedHttpServer proxy;
  proxy.Answer(Ok(""));
  HttpClient http;
  http.SetProxy("127.0.0.1", proxy.port());

  http.Get("http://vorlane.example:8080/xml.php?clan=K");

  EXPECT_EQ(proxy.Requests(),
            std::vector<std::string>{ExpectedRequest("http://vorlane.example:8080/xml.php?clan=K",
                                                     "vorlane.example:8080")});
}

TEST(HttpClientRequest, aProxyWithAnEmptyHostIsNoProxy) {
  ScriptedHttpServer server;
  server.Answer(Ok(""));
  HttpClient http;
  http.SetProxy("", 3128);

  http.Get(UrlOf(server, "/xml.php?clan=K"));

  EXPECT_EQ(server.Requests(),
            std::vector<std::string>{ExpectedRequest("/xml.php?clan=K", server.hostAndPort())});
}

TEST(HttpClientRequest, clearingTheProxyGoesDirectAgain) {
  ScriptedHttpServer server;
  server.Answer(Ok(""));
  server.Answer(Ok(""));
  HttpClient http;
  http.SetProxy("127.0.0.1", server.port());
  http.Get(UrlOf(server, "/a"));
  http.SetProxy("", 0);
  http.Get(UrlOf(server, "/b"));

  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{
                ExpectedRequest("http://" + server.hostAndPort() + "/a", server.hostAndPort()),
                ExpectedRequest("/b", server.hostAndPort())}));
}

TEST(HttpClientRequest, aCookieIsNeitherKeptNorSentBack) {
  ScriptedHttpServer server;
  server.Answer("HTTP/1.1 200 OK\r\nSet-Cookie: session=1; Path=/\r\nContent-Length: 0\r\n\r\n");
  server.Answer(Ok(""));
  HttpClient http;

  http.Get(UrlOf(server, "/a"));
  http.Get(UrlOf(server, "/b"));

  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{ExpectedRequest("/a", server.hostAndPort()),
                                      ExpectedRequest("/b", server.hostAndPort())}));
}

// Restores one environment variable when it goes out of scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      hadValue_ = true;
      oldValue_ = old;
    }
    qputenv(name, QByteArray::fromStdString(value));
  }
  ~ScopedEnvironment() {
    if (hadValue_)
      qputenv(name_, QByteArray::fromStdString(oldValue_));
    else
      qunsetenv(name_);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  bool hadValue_ = false;
  std::string oldValue_;
};

TEST(HttpClientRequest, proxiesNamedInTheEnvironmentAreNeverUsed) {
  ScriptedHttpServer server;
  ScriptedHttpServer environmentProxy;
  server.Answer(Ok("direct"));
  environmentProxy.Answer(Ok("proxied"));
  const std::string proxyUrl = "http://" + environmentProxy.hostAndPort() + "/";
  const ScopedEnvironment lower("http_proxy", proxyUrl);
  const ScopedEnvironment upper("HTTP_PROXY", proxyUrl);
  const ScopedEnvironment all("ALL_PROXY", proxyUrl);
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/xml.php?clan=K")), "direct");
  EXPECT_EQ(environmentProxy.ConnectionCount(), 0);
}

struct TargetCase {
  const char* name;
  std::string rest;    // what follows "http://127.0.0.1:<port>" in the URL
  std::string target;  // what the request line carries
};

class WireTarget : public testing::TestWithParam<TargetCase> {};

TEST_P(WireTarget, isSentExactly) {
  const TargetCase& c = GetParam();
  ScriptedHttpServer server;
  server.Answer(Ok(""));
  HttpClient http;

  http.Get(UrlOf(server, c.rest));

  EXPECT_EQ(server.ConnectionBytes(),
            std::vector<std::string>{ExpectedRequest(c.target, server.hostAndPort())});
}

INSTANTIATE_TEST_SUITE_P(
    HttpClientRequest, WireTarget,
    testing::Values(
        TargetCase{"backslashesBecomeSlashes", "\\dir\\xml.php?clan=a\\b", "/dir/xml.php?clan=a/b"},
        TargetCase{"hashEndsTheQuery", "/xml.php?clan=a#b&case=1&server=2", "/xml.php?clan=a"},
        TargetCase{"hashRightAfterTheKeyLeavesItEmpty", "/xml.php?clan=#", "/xml.php?clan="},
        TargetCase{"spacesAmpersandsAndCyrillicGoRaw", "/xml.php?clan=a b&c=\xCA\xEB\xE0\xED",
                   "/xml.php?clan=a b&c=\xCA\xEB\xE0\xED"},
        TargetCase{"percentSignsGoRaw", "/xml.php?clan=100%25", "/xml.php?clan=100%25"},
        TargetCase{"lineBreaksAndNulNeverReachTheWireRaw",
                   "/xml.php?clan=a\r\nX-Injected: 1\r\n\0z"s,
                   "/xml.php?clan=a%0D%0AX-Injected: 1%0D%0A%00z"},
        TargetCase{"noPathAsksForTheRoot", "", "/"},
        TargetCase{"aQueryWithoutPathGetsTheRoot", "?clan=K", "/?clan=K"}),
    [](const testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.name); });

// --- Keeping the connection --------------------------------------------------

TEST(HttpClientConnection, isReusedForTheSameHostPortAndProxy) {
  ScriptedHttpServer server;
  server.Answer(Ok("one"));
  server.Answer(Ok("two"));
  server.Answer(Ok("three"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/xml.php?clan=A")), "one");
  EXPECT_EQ(http.Get(UrlOf(server, "/xml.php?clan=B")), "two");
  EXPECT_EQ(http.Get(UrlOf(server, "/xml.php?clan=A")), "three");

  EXPECT_EQ(server.ConnectionCount(), 1);
  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 0, 0}));
}

TEST(HttpClientConnection, isReusedThroughTheSameProxy) {
  ScriptedHttpServer proxy;
  proxy.Answer(Ok("one"));
  proxy.Answer(Ok("two"));
  HttpClient http;
  http.SetProxy("127.0.0.1", proxy.port());

  http.Get("http://vorlane.example/xml.php?clan=A");
  http.SetProxy("127.0.0.1", proxy.port());
  http.Get("http://vorlane.example/xml.php?clan=B");

  EXPECT_EQ(proxy.ConnectionCount(), 1);
}

struct NoReuseCase {
  const char* name;
  std::string firstAnswer;
};

class ClosingAnswer : public testing::TestWithParam<NoReuseCase> {};

TEST_P(ClosingAnswer, makesTheNextFetchOpenANewConnection) {
  ScriptedHttpServer server;
  // The server leaves the connection open: only the client decides not to reuse it.
  server.Answer(GetParam().firstAnswer);
  server.Answer(Ok("two"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/a")), "one");
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "two");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

INSTANTIATE_TEST_SUITE_P(
    HttpClientConnection, ClosingAnswer,
    testing::Values(
        NoReuseCase{"connectionClose",
                    "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
                    "3\r\n\r\none"},
        NoReuseCase{"connectionCloseInOtherCase",
                    "HTTP/1.1 200 OK\r\nconnection: Close\r\nContent-Length: 3\r\n\r\none"},
        NoReuseCase{"http10WithoutKeepAlive", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\none"}),
    [](const testing::TestParamInfo<NoReuseCase>& info) { return std::string(info.param.name); });

// A server that sends anything after an answer's end is out of step with the
// client; its connection is not used again.
TEST(HttpClientConnection, isNotReusedAfterStrayBytesFollowingAnAnswerWithoutBody) {
  ScriptedHttpServer server;
  server.Answer("HTTP/1.1 204 No Content\r\n\r\nstray");
  server.Answer(Ok("two"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/a")), "");
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "two");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

TEST(HttpClientConnection, http10WithKeepAliveIsReused) {
  ScriptedHttpServer server;
  server.Answer("HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 3\r\n\r\none");
  server.Answer(Ok("two"));
  HttpClient http;

  http.Get(UrlOf(server, "/a"));
  http.Get(UrlOf(server, "/b"));

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 0}));
}

TEST(HttpClientConnection, aHostChangeOpensANewConnectionAndGoingBackAnother) {
  ScriptedHttpServer server;
  for (int i = 0; i < 3; ++i)
    server.Answer(Ok("x"));
  HttpClient http;
  const std::string port = std::to_string(server.port());

  http.Get("http://127.0.0.1:" + port + "/a");
  http.Get("http://localhost:" + port + "/b");
  http.Get("http://127.0.0.1:" + port + "/c");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(server.Requests()[1], ExpectedRequest("/b", "localhost:" + port));
}

TEST(HttpClientConnection, aPortChangeOpensANewConnectionAndGoingBackAnother) {
  ScriptedHttpServer first;
  ScriptedHttpServer second;
  first.Answer(Ok("1"));
  first.Answer(Ok("3"));
  second.Answer(Ok("2"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(first, "/a")), "1");
  EXPECT_EQ(http.Get(UrlOf(second, "/b")), "2");
  EXPECT_EQ(http.Get(UrlOf(first, "/c")), "3");

  EXPECT_EQ(first.RequestConnections(), (std::vector<int>{0, 1}));
  EXPECT_EQ(second.RequestConnections(), (std::vector<int>{0}));
}

TEST(HttpClientConnection, aProxyChangeOpensANewConnection) {
  ScriptedHttpServer server;  // the roster server and, in between, the proxy too
  ScriptedHttpServer otherProxy;
  for (int i = 0; i < 3; ++i)
    server.Answer(Ok("x"));
  otherProxy.Answer(Ok("y"));
  HttpClient http;
  const std::string url = UrlOf(server, "/a");

  http.Get(url);
  http.SetProxy("127.0.0.1", server.port());
  http.Get(url);
  http.SetProxy("127.0.0.1", otherProxy.port());
  http.Get(url);
  http.SetProxy("", 0);
  http.Get(url);

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(otherProxy.ConnectionCount(), 1);
}

// The client sends a request again, once, on a fresh connection when a kept-alive
// connection turns out to be closed before any byte of the answer: the server
// sees that GET twice.
TEST(HttpClientConnection, aKeptConnectionClosedBeforeTheAnswerIsRetriedOnceOnANewOne) {
  ScriptedHttpServer server;
  server.Answer(Ok("one"));
  server.CloseWithoutAnswer();
  server.Answer(Ok("two"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/a")), "one");
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "two");

  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1], requests[2]);
  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 0, 1}));
}

TEST(HttpClientConnection, aFreshConnectionClosedBeforeTheAnswerIsNotRetried) {
  ScriptedHttpServer server;
  server.CloseWithoutAnswer();
  server.Answer(Ok("never"));
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/a")), "Connection Closed Gracefully.");
  EXPECT_EQ(server.Requests().size(), 1u);
}

// --- Answers -----------------------------------------------------------------

struct BodyCase {
  const char* name;
  std::string answer;
  bool closeAfter;
  std::string body;
};

class SuccessfulAnswer : public testing::TestWithParam<BodyCase> {};

TEST_P(SuccessfulAnswer, givesItsBody) {
  const BodyCase& c = GetParam();
  ScriptedHttpServer server;
  if (c.closeAfter)
    server.AnswerThenClose(c.answer);
  else
    server.Answer(c.answer);
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/xml.php?clan=K")), c.body);
}

INSTANTIATE_TEST_SUITE_P(
    HttpClientAnswer, SuccessfulAnswer,
    testing::Values(
        BodyCase{"plain", Ok("1234\r\nNick|||1|||reg|||prof\r\n"), false,
                 "1234\r\nNick|||1|||reg|||prof\r\n"},
        BodyCase{"cp1251BytesKept", Ok("\xCA\xEB\xE0\xED\r\n"), false, "\xCA\xEB\xE0\xED\r\n"},
        BodyCase{"twoInterim100sSkipped",
                 "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 100 Continue\r\nX: y\r\n\r\n" + Ok("ok"),
                 false, "ok"},
        BodyCase{"noContent", "HTTP/1.1 204 No Content\r\n\r\n", false, ""},
        BodyCase{"emptyBody", Ok(""), false, ""},
        BodyCase{"otherSuccessStatus",
                 "HTTP/1.1 203 Non-Authoritative Information\r\nContent-Length: 2\r\n\r\nok", false,
                 "ok"},
        BodyCase{"chunked",
                 "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n",
                 false, "hello world"},
        BodyCase{"chunkedWithTrailers",
                 "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "2\r\nok\r\n0\r\nLocation: /ignored\r\nX-Trailer: 1\r\n\r\n",
                 false, "ok"},
        BodyCase{"untilClose", "HTTP/1.1 200 OK\r\n\r\nall of it", true, "all of it"},
        BodyCase{"http10UntilClose", "HTTP/1.0 200 OK\r\n\r\nall of it", true, "all of it"},
        BodyCase{"cutShortBeforeAnyByteIsEmpty", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n",
                 true, ""},
        BodyCase{"cutShortReturnsWhatArrived",
                 "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part", true, "first part"},
        // The announced length only sizes the body's first allocation.
        BodyCase{"hugeAnnouncedLengthCutShortReturnsWhatArrived",
                 "HTTP/1.1 200 OK\r\nContent-Length: 999999999999999999\r\n\r\nsome", true, "some"},
        BodyCase{"lengthInAnyCaseWithBlanks", "HTTP/1.1 200 OK\r\ncontent-LENGTH:  4 \r\n\r\nabcd",
                 false, "abcd"},
        BodyCase{"interimLengthNotTakenForTheAnswers",
                 "HTTP/1.1 100 Continue\r\nContent-Length: 50000000\r\n\r\n" + Ok("ok"), false,
                 "ok"}),
    [](const testing::TestParamInfo<BodyCase>& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  std::string answer;
  std::string message;
};

class FailingAnswer : public testing::TestWithParam<FailureCase> {};

TEST_P(FailingAnswer, failsWithItsStatusLine) {
  const FailureCase& c = GetParam();
  ScriptedHttpServer server;
  server.Answer(c.answer);
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    HttpClientAnswer, FailingAnswer,
    testing::Values(
        FailureCase{"notFound", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here!",
                    "HTTP/1.1 404 Not Found"},
        FailureCase{"redirect",
                    "HTTP/1.1 302 Found\r\nLocation: http://elsewhere.example/\r\n"
                    "Content-Length: 0\r\n\r\n",
                    "HTTP/1.1 302 Found"},
        FailureCase{"successWithLocationIsARedirect",
                    "HTTP/1.1 200 OK\r\nlocation: /other\r\nContent-Length: 2\r\n\r\nok",
                    "HTTP/1.1 200 OK"},
        FailureCase{"createdWithLocationIsARedirect",
                    "HTTP/1.1 201 Created\r\nLocation: /new\r\nContent-Length: 0\r\n\r\n",
                    "HTTP/1.1 201 Created"},
        FailureCase{"serverErrorAfterInterim100",
                    "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 500 Internal Server Error\r\n"
                    "Content-Length: 0\r\n\r\n",
                    "HTTP/1.1 500 Internal Server Error"},
        FailureCase{"notModified", "HTTP/1.1 304 Not Modified\r\n\r\n",
                    "HTTP/1.1 304 Not Modified"},
        FailureCase{"statusLineKeptAsSent", "HTTP/1.0  403  Go  away \r\nContent-Length: 0\r\n\r\n",
                    "HTTP/1.0  403  Go  away "},
        FailureCase{"statusLineEndedByLineFeedOnly",
                    "HTTP/1.1 404 Not Found\nContent-Length: 0\n\n", "HTTP/1.1 404 Not Found"},
        FailureCase{"noStatusLineGivesTheFirstLine", "<html>nope</html>\r\nmore\r\n",
                    "<html>nope</html>"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(HttpClientAnswer, aFailingBodyThatNeverEndsIsDroppedAndTheErrorStillComes) {
  ScriptedHttpServer server;
  server.AnswerThenTrickle("HTTP/1.1 404 Not Found\r\nContent-Length: 100000000\r\n\r\n",
                           "dropped ", 50ms);
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), "HTTP/1.1 404 Not Found");
  // The client gave up on that connection rather than leaving it half read.
  EXPECT_TRUE(server.WaitUntilAllClosed(30s));
}

TEST(HttpClientAnswer, aFailingBodyThatNeverComesIsGivenUpAndTheErrorStillComes) {
  ScriptedHttpServer server;
  server.Answer("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 100\r\n\r\n");
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), "HTTP/1.1 503 Service Unavailable");
  EXPECT_TRUE(server.WaitUntilAllClosed(30s));
}

TEST(HttpClientAnswer, aRedirectBodyThatNeverEndsIsDroppedAndTheErrorStillComes) {
  ScriptedHttpServer server;
  server.AnswerThenTrickle("HTTP/1.1 200 OK\r\nLocation: /x\r\nTransfer-Encoding: chunked\r\n\r\n",
                           "1\r\nx\r\n", 50ms);
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), "HTTP/1.1 200 OK");
  EXPECT_TRUE(server.WaitUntilAllClosed(30s));
}

TEST(HttpClientAnswer, aFetchAfterAnAbandonedFailingBodyUsesANewConnection) {
  ScriptedHttpServer server;
  server.AnswerThenTrickle("HTTP/1.1 500 Oops\r\nContent-Length: 100000000\r\n\r\n", "x", 50ms);
  server.Answer(Ok("fine"));
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/a")), "HTTP/1.1 500 Oops");
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "fine");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

TEST(HttpClientAnswer, aFailingAnswerReadInFullKeepsTheConnection) {
  ScriptedHttpServer server;
  server.Answer("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone");
  server.Answer(Ok("fine"));
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/a")), "HTTP/1.1 404 Not Found");
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "fine");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 0}));
}

// --- Socket failures -----------------------------------------------------------

TEST(HttpClientFailure, aServerClosingBeforeTheStatusLineClosedGracefully) {
  ScriptedHttpServer server;
  server.CloseWithoutAnswer();
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), "Connection Closed Gracefully.");
}

class EarlyClose : public testing::TestWithParam<std::string> {};

TEST_P(EarlyClose, beforeTheHeaderBlockEndsIsClosedGracefully) {
  ScriptedHttpServer server;
  server.AnswerThenClose(GetParam());
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), "Connection Closed Gracefully.");
}

INSTANTIATE_TEST_SUITE_P(HttpClientFailure, EarlyClose,
                         testing::Values("", "HTTP/1.1 20", "HTTP/1.1 200 OK\r\n",
                                         "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConn"));

TEST(HttpClientFailure, aSilentServerTimesOutAndItsLateAnswerIsNeverRead) {
  ScriptedHttpServer server;
  server.AnswerInPieces({"", Ok("late")}, 600ms);
  server.Answer(Ok("fresh"));
  HttpClient http(250ms);

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/a")), test::kTimedOutMessage);
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "fresh");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

TEST(HttpClientFailure, aRefusedConnectionGivesSocketError111) {
  RefusingPort refusing;
  HttpClient http;

  EXPECT_EQ(GetFailure(http, "http://127.0.0.1:" + std::to_string(refusing.port()) + "/xml.php"),
            test::kRefusedMessage);
}

TEST(HttpClientFailure, aRefusingProxyGivesSocketError111) {
  RefusingPort refusing;
  HttpClient http;
  http.SetProxy("127.0.0.1", refusing.port());

  EXPECT_EQ(GetFailure(http, "http://vorlane.example/xml.php"), test::kRefusedMessage);
}

TEST(HttpClientFailure, aHostThatDoesNotResolveIsNotFound) {
  HttpClient http;

  EXPECT_EQ(GetFailure(http, "http://roster.invalid/xml.php?clan=K"),
            "Socket Error # 11001\nHost not found.");
  EXPECT_TRUE(WasLookedUp("roster.invalid"));
}

TEST(HttpClientFailure, aProxyThatDoesNotResolveIsNotFound) {
  HttpClient http;
  http.SetProxy("proxy.invalid", 3128);

  EXPECT_EQ(GetFailure(http, "http://vorlane.example/xml.php?clan=K"),
            "Socket Error # 11001\nHost not found.");
  EXPECT_TRUE(WasLookedUp("proxy.invalid"));
}

TEST(HttpClientFailure, aResetInTheMiddleOfTheBodyGivesSocketError104) {
  ScriptedHttpServer server;
  server.AnswerThenReset("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nbeginning");
  HttpClient http;
  if (test::ResetArrivesAsClose())
    GTEST_SKIP() << "this system closes the server's socket gracefully instead of resetting it";

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/xml.php?clan=K")), test::kResetMessage);
}

TEST(HttpClientFailure, aPortThatIsNotAnIntegerFailsBeforeConnecting) {
  HttpClient http;

  EXPECT_EQ(GetFailure(http, "http://127.0.0.1:8o/xml.php"), "'8o' is not a valid integer value");
}

struct BadPortCase {
  const char* name;
  std::int32_t proxyPort;
};

class UnusablePort : public testing::TestWithParam<BadPortCase> {};

TEST_P(UnusablePort, ofTheProxyCannotBeConnectedTo) {
  HttpClient http;
  http.SetProxy("127.0.0.1", GetParam().proxyPort);

  EXPECT_EQ(GetFailure(http, "http://vorlane.example/xml.php"), test::kUnusablePortMessage);
}

INSTANTIATE_TEST_SUITE_P(HttpClientFailure, UnusablePort,
                         testing::Values(BadPortCase{"zero", 0}, BadPortCase{"negative", -1},
                                         BadPortCase{"aboveTheRange", 65536}),
                         [](const testing::TestParamInfo<BadPortCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(HttpClientFailure, theClientWorksAgainAfterAFailure) {
  RefusingPort refusing;
  ScriptedHttpServer server;
  server.Answer(Ok("back"));
  HttpClient http;

  GetFailure(http, "http://127.0.0.1:" + std::to_string(refusing.port()) + "/a");
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "back");
}

}  // namespace
}  // namespace quellar
