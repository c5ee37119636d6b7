#include "net/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
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

// --- The request on the wire -------------------------------------------------

TEST(HttpClientRequest, throughAProxyNamesTheAbsoluteUrlWithPort80AndAHostWithoutPort) {
  ScriptedHttpServer proxy;
  proxy.Answer(Ok("figure\r\n"));
  HttpClient http;
  http.SetProxy("127.0.0.1", proxy.port());

  EXPECT_EQ(http.Get("http://vorlane.example/xml.php?clan=K&case=1&server=2"), "figure\r\n");

  EXPECT_EQ(proxy.ConnectionBytes(),
            std::vector<std::string>{ExpectedRequest(
                "http://vorlane.example:80/xml.php?clan=K&case=1&server=2", "vorlane.example")});
  EXPECT_FALSE(test::WasLookedUp("vorlane.example"));
}

TEST(HttpClientRequest, throughAProxyKeepsThePortTheUrlNamesAndTheRawQuery) {
  ScriptedHttpServer proxy;
  proxy.Answer(Ok(""));
  HttpClient http;
  http.SetProxy("127.0.0.1", proxy.port());

  http.Get("http://vorlane.example:8080/xml.php?clan=a b");

  EXPECT_EQ(proxy.Requests(),
            std::vector<std::string>{ExpectedRequest("http://vorlane.example:8080/xml.php?clan=a b",
                                                     "vorlane.example:8080")});
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
        TargetCase{"queryAsGiven", "/xml.php?clan=K", "/xml.php?clan=K"},
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
  http.SetProxy("", 0);  // as a fetch with the proxy off applies it again
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

// Whether the connection an answer came on carries the next fetch. The server
// leaves it open every time: only the client decides not to reuse it.
struct ReuseCase {
  const char* name;
  std::string firstAnswer;
  std::string firstBody;
  bool reused;
};

class FirstAnswer : public testing::TestWithParam<ReuseCase> {};

TEST_P(FirstAnswer, decidesWhetherTheNextFetchReusesItsConnection) {
  const ReuseCase& c = GetParam();
  ScriptedHttpServer server;
  server.Answer(c.firstAnswer);
  server.Answer(Ok("two"));
  HttpClient http;

  EXPECT_EQ(http.Get(UrlOf(server, "/a")), c.firstBody);
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "two");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, c.reused ? 0 : 1}));
}

INSTANTIATE_TEST_SUITE_P(
    HttpClientConnection, FirstAnswer,
    testing::Values(
        ReuseCase{"connectionClose",
                  "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 3\r\n\r\none", "one",
                  false},
        ReuseCase{"connectionCloseInOtherCase",
                  "HTTP/1.1 200 OK\r\nconnection: Close\r\nContent-Length: 3\r\n\r\none", "one",
                  false},
        ReuseCase{"http10WithoutKeepAlive", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\none",
                  "one", false},
        // A server that sends anything after an answer's end is out of step with the client.
        ReuseCase{"strayBytesAfterAnAnswerWithoutBody", "HTTP/1.1 204 No Content\r\n\r\nstray", "",
                  false},
        ReuseCase{"http10WithKeepAlive",
                  "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 3\r\n\r\none",
                  "one", true}),
    [](const testing::TestParamInfo<ReuseCase>& info) { return std::string(info.param.name); });

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

// A failing answer read whole keeps its connection. A body that never ends or
// never comes is given up, with the connection rather than leaving it half read,
// and the error still comes.
struct FailingBodyCase {
  const char* name;
  std::function<void(ScriptedHttpServer&)> play;
  std::string message;
  bool kept;
};

std::function<void(ScriptedHttpServer&)> Playing(const std::string& answer) {
  return [answer](ScriptedHttpServer& server) { server.Answer(answer); };
}

// The head, then the piece every 50 ms for as long as the client stays.
std::function<void(ScriptedHttpServer&)> Trickling(const std::string& head,
                                                   const std::string& piece) {
  return [head, piece](ScriptedHttpServer& server) { server.AnswerThenTrickle(head, piece, 50ms); };
}

class FailingAnswerBody : public testing::TestWithParam<FailingBodyCase> {};

TEST_P(FailingAnswerBody, givesTheStatusLineAndKeepsTheConnectionOnlyWhenReadWhole) {
  const FailingBodyCase& c = GetParam();
  ScriptedHttpServer server;
  c.play(server);
  server.Answer(Ok("fine"));
  HttpClient http;

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/a")), c.message);
  if (!c.kept) {
    EXPECT_TRUE(server.WaitUntilAllClosed(30s));
  }
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "fine");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, c.kept ? 0 : 1}));
}

INSTANTIATE_TEST_SUITE_P(
    HttpClientAnswer, FailingAnswerBody,
    testing::Values(
        FailingBodyCase{"notFoundReadWhole",
                        Playing("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"),
                        "HTTP/1.1 404 Not Found", true},
        FailingBodyCase{
            "notFoundWithABodyThatNeverEnds",
            Trickling("HTTP/1.1 404 Not Found\r\nContent-Length: 100000000\r\n\r\n", "dropped "),
            "HTTP/1.1 404 Not Found", false},
        FailingBodyCase{"serviceUnavailableWithABodyThatNeverComes",
                        Playing("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 100\r\n\r\n"),
                        "HTTP/1.1 503 Service Unavailable", false},
        FailingBodyCase{
            "redirectWithAChunkedBodyThatNeverEnds",
            Trickling("HTTP/1.1 200 OK\r\nLocation: /x\r\nTransfer-Encoding: chunked\r\n\r\n",
                      "1\r\nx\r\n"),
            "HTTP/1.1 200 OK", false}),
    [](const testing::TestParamInfo<FailingBodyCase>& info) {
      return std::string(info.param.name);
    });

// --- Socket failures -----------------------------------------------------------

TEST(HttpClientFailure, aSilentServerTimesOutAndItsLateAnswerIsNeverRead) {
  ScriptedHttpServer server;
  server.AnswerInPieces({"", Ok("late")}, 600ms);
  server.Answer(Ok("fresh"));
  HttpClient http(250ms);

  EXPECT_EQ(GetFailure(http, UrlOf(server, "/a")), test::kTimedOutMessage);
  EXPECT_EQ(http.Get(UrlOf(server, "/b")), "fresh");

  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

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
