// Every way the network can let a roster fetch down, and what the fetch step makes
// of it: either its exact message with the table and status texts left as they
// were, or the exact rows and status texts of what did arrive; the scripted server gets
// the one exact request, never sent again, and a name that is not found was asked
// of the resolver. The answer reader alone is fed the same answers, whole and one
// byte at a time.

#include "roster/fetch_step.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "common/proxy_settings.h"
#include "net/http_client.h"
#include "net/name_lookup_guard.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"
#include "roster/roster_row_printer.h"
#include "roster/two_member_roster.h"
#include "support/answer_reading.h"
#include "support/http_texts.h"
#include "support/printers.h"
#include "support/scripted_http_server.h"
#include "support/socket_error_messages.h"

#include <string_view>

namespace quellar {
namespace {

using namespace std::chrono_literals;
using test::ExpectedRequest;
using test::Ok;
using test::RefusingPort;
using test::ScriptedHttpServer;
using Then = ScriptedHttpServer::Then;

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// The roster the scripted service sends: "77 игроков" as the server line and "Маг"
// as a profession, in Windows-1251.
const std::string kServerLine = "77 \xE8\xE3\xF0\xEE\xEA\xEE\xE2";
const std::string kMiraLine = "Mira|||42|||10:15 05.06.2011|||\xCC\xE0\xE3\r\n";
const std::string kBobLine = "Bob|||7|||09:00 01.01.2012|||Smith\r\n";
const std::string kNewBody = kServerLine + "\r\n" + kMiraLine + kBobLine;

const RosterRow kMira{"Mira", "42", "10:15 05.06.2011", "\xCC\xE0\xE3"};
const RosterRow kBob{"Bob", "7", "09:00 01.01.2012", "Smith"};

const char16_t kNewServerText[] = u"Онлайн сервера: 77 игроков";

// The status line and any headers, then the body with its length.
std::string WithLength(const std::string& head, const std::string& body) {
  return head + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

constexpr const char* kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

std::string Chunk(const std::string& data) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string size;
  for (std::size_t n = data.size(); n != 0 || size.empty(); n /= 16)
    size.insert(size.begin(), kHex[n % 16]);
  return size + "\r\n" + data + "\r\n";
}

// Cuts text into pieces of at most size bytes.
std::vector<std::string> Pieces(const std::string& text, std::size_t size) {
  std::vector<std::string> pieces;
  for (std::size_t at = 0; at < text.size(); at += size)
    pieces.push_back(text.substr(at, size));
  return pieces;
}

// Where the fetch goes: the scripted server, a refusing port, or a name.
struct Stage {
  ScriptedHttpServer server;
  RefusingPort refusing;
};

struct Route {
  std::string rosterHost;
  ProxySettings proxy;
  std::chrono::milliseconds silenceLimit = HttpClient::kDefaultSilenceLimit;
};

// An answer the scripted server sends, and what it does with the connection then.
struct Played {
  std::string answer;
  Then then = Then::KeepOpen;
};

// Where the fetch goes, and the answer the scripted server sends there, for the
// rows that have one.
struct Arrange {
  std::function<Route(Stage&)> route;
  std::optional<Played> played;
};

// Where the fetch goes, with no answer of the scripted server's.
Arrange Routing(std::function<Route(Stage&)> route) {
  return {std::move(route), std::nullopt};
}

// The scripted server as the roster host, playing script, which sends played.
Arrange Serving(std::function<void(ScriptedHttpServer&)> script, Played played) {
  return {[script = std::move(script)](Stage& stage) {
            script(stage.server);
            return Route{stage.server.hostAndPort(), ProxySettings{}};
          },
          std::move(played)};
}

Arrange Playing(std::string answer, Then then) {
  Played played{std::move(answer), then};
  return Serving(
      [played](ScriptedHttpServer& s) { s.AnswerInWrites({played.answer}, played.then); }, played);
}

Arrange Answering(std::string answer) {
  return Playing(std::move(answer), Then::KeepOpen);
}

Arrange AnsweringThenClosing(std::string answer) {
  return Playing(std::move(answer), Then::Close);
}

Arrange AnsweringThenResetting(std::string answer) {
  return Playing(std::move(answer), Then::Reset);
}

// The head, then the piece every 50 ms for as long as the client stays.
Arrange Trickling(std::string head, std::string piece) {
  return Serving([head, piece](ScriptedHttpServer& s) { s.AnswerThenTrickle(head, piece, 50ms); },
                 Played{head, Then::KeepOpen});
}

// The answer five bytes at a time, 2 ms apart.
Arrange Dripping(std::string answer) {
  return Serving([answer](ScriptedHttpServer& s) { s.AnswerInPieces(Pieces(answer, 5), 2ms); },
                 Played{answer, Then::KeepOpen});
}

// The scripted server as the roster host, taking the request and never answering,
// before a client that waits for the next byte only a moment.
Arrange SilentAfterTheRequest() {
  return {[](Stage& stage) {
            stage.server.Answer("");
            return Route{stage.server.hostAndPort(), ProxySettings{}, 150ms};
          },
          Played{"", Then::KeepOpen}};
}

Arrange RosterHostNamed(std::string host) {
  return Routing([host](Stage&) { return Route{host, ProxySettings{}}; });
}

Arrange RefusingRosterHost() {
  return Routing([](Stage& stage) {
    return Route{"127.0.0.1:" + std::to_string(stage.refusing.port()), ProxySettings{}};
  });
}

// Through a proxy the roster host is never looked up, so it may be any name.
Arrange ProxyAt(std::string host, std::int32_t port) {
  return Routing([host, port](Stage&) {
    return Route{"vorlane.example", ProxySettings{true, host, port}};
  });
}

// The scripted server as the proxy, sending the answer.
Arrange ProxyPlaying(std::string answer, Then then) {
  Played played{std::move(answer), then};
  return {[played](Stage& stage) {
            stage.server.AnswerInWrites({played.answer}, played.then);
            return Route{"vorlane.example", ProxySettings{true, "127.0.0.1", stage.server.port()}};
          },
          played};
}

Arrange RefusingProxy() {
  return Routing([](Stage& stage) {
    return Route{"vorlane.example", ProxySettings{true, "127.0.0.1", stage.refusing.port()}};
  });
}

struct FaultRow {
  const char* name;
  Arrange arrange;
  std::optional<std::string> failure;  // the exact message; none when the fetch succeeds
  std::vector<RosterRow> rows;         // after a success
  QString clanStatusText;
  QString serverStatusText;
};

// Names the row, not its bytes, when gtest reports a failure.
void PrintTo(const FaultRow& row, std::ostream* out) {
  *out << row.name;
}

FaultRow Fails(const char* name, Arrange arrange, std::string message) {
  return {name, std::move(arrange), std::move(message), {}, {}, {}};
}

FaultRow Succeeds(const char* name, Arrange arrange, std::vector<RosterRow> rows,
                  const char16_t* clanStatusText, const char16_t* serverStatusText) {
  return {name,
          std::move(arrange),
          std::nullopt,
          std::move(rows),
          QString::fromUtf16(clanStatusText),
          QString::fromUtf16(serverStatusText)};
}

const std::string& kRefused = test::kRefusedMessage;
const std::string kHostNotFound = "Socket Error # 11001\nHost not found.";
const std::string& kReset = test::kResetMessage;
const std::string kClosedGracefully = "Connection Closed Gracefully.";

std::vector<FaultRow> Matrix() {
  return {
      // Nothing to talk to.
      Fails("refusedConnection_failsWithSocketError111AndKeepsTheTable", RefusingRosterHost(),
            kRefused),
      Fails("unresolvableHost_failsWithHostNotFound11001AndKeepsTheTable",
            RosterHostNamed("roster.invalid"), kHostNotFound),
      Fails("portThatIsNotAnInteger_failsBeforeConnectingAndKeepsTheTable",
            RosterHostNamed("127.0.0.1:8o"), "'8o' is not a valid integer value"),
      Fails("refusingProxy_failsWithSocketError111AndKeepsTheTable", RefusingProxy(), kRefused),
      Fails("unresolvableProxy_failsWithHostNotFound11001AndKeepsTheTable",
            ProxyAt("proxy.invalid", 3128), kHostNotFound),
      Fails("proxyPortZero_failsWithSocketError99AndKeepsTheTable", ProxyAt("127.0.0.1", 0),
            test::kUnusablePortMessage),
      Fails("negativeProxyPort_failsWithSocketError99AndKeepsTheTable", ProxyAt("127.0.0.1", -1),
            test::kUnusablePortMessage),
      Fails("proxyPortAboveTheRange_failsWithSocketError99AndKeepsTheTable",
            ProxyAt("127.0.0.1", 65536), test::kUnusablePortMessage),

      Fails("proxyClosingBeforeTheStatusLine_failsClosedGracefullyAndKeepsTheTable",
            ProxyPlaying("", Then::Close), kClosedGracefully),
      Fails("proxyAuthenticationRequired407_failsWithItsStatusLineAndKeepsTheTable",
            ProxyPlaying(WithLength("HTTP/1.1 407 Proxy Authentication Required", kNewBody),
                         Then::KeepOpen),
            "HTTP/1.1 407 Proxy Authentication Required"),

      // The connection ends before a whole header block.
      Fails("closeBeforeTheStatusLine_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing(""), kClosedGracefully),
      Fails("closeInsideTheStatusLine_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing("HTTP/1.1 20"), kClosedGracefully),
      Fails("closeAfterTheStatusLine_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing("HTTP/1.1 200 OK\r\n"), kClosedGracefully),
      Fails("closeInsideTheHeaderBlock_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing("HTTP/1.1 200 OK\r\nContent-Length: 40\r\nConn"),
            kClosedGracefully),
      Fails("closeAfterAnInterim100_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing("HTTP/1.1 100 Continue\r\n\r\n"), kClosedGracefully),
      Fails("resetBeforeTheStatusLine_failsWithSocketError104AndKeepsTheTable",
            AnsweringThenResetting(""), kReset),
      Fails("resetInTheMiddleOfTheBody_failsWithSocketError104AndKeepsTheTable",
            AnsweringThenResetting("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\n" + kServerLine +
                                   "\r\n" + kMiraLine),
            kReset),

      // A whole answer that is not a success.
      Fails("found302_failsWithItsStatusLineAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 302 Found\r\nLocation: /elsewhere", kNewBody)),
            "HTTP/1.1 302 Found"),
      Fails("okWithLocationInAnyCase_failsAsARedirectAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 200 OK\r\nlocation: /elsewhere", kNewBody)),
            "HTTP/1.1 200 OK"),
      Fails("createdWithLocation_failsAsARedirectAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 201 Created\r\nLocation: /new", kNewBody)),
            "HTTP/1.1 201 Created"),
      Fails("notModified304_failsWithItsStatusLineAndKeepsTheTable",
            Answering("HTTP/1.1 304 Not Modified\r\n\r\n"), "HTTP/1.1 304 Not Modified"),
      Fails("notFound404_failsWithItsStatusLineAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 404 Not Found", kNewBody)), "HTTP/1.1 404 Not Found"),
      Fails("internalServerError500_failsWithItsStatusLineAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 500 Internal Server Error", kNewBody)),
            "HTTP/1.1 500 Internal Server Error"),
      Fails("internalServerError500AfterAnInterim100_failsWithItsStatusLineAndKeepsTheTable",
            Answering("HTTP/1.1 100 Continue\r\n\r\n" +
                      WithLength("HTTP/1.1 500 Internal Server Error", kNewBody)),
            "HTTP/1.1 500 Internal Server Error"),
      Fails("statusLineWithExtraBlanks_failsWithItsStatusLineAsSentAndKeepsTheTable",
            Answering(WithLength("HTTP/1.0  403  Go  away ", kNewBody)),
            "HTTP/1.0  403  Go  away "),
      Fails("statusLineEndedByALineFeedOnly_failsWithItsStatusLineAndKeepsTheTable",
            Answering("HTTP/1.1 404 Not Found\nContent-Length: 0\n\n"), "HTTP/1.1 404 Not Found"),
      // "Сервер занят" in Windows-1251 as the reason.
      Fails("serviceUnavailable503_failsWithItsCp1251StatusLineAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 503 \xD1\xE5\xF0\xE2\xE5\xF0 \xE7\xE0\xED\xFF\xF2", "")),
            "HTTP/1.1 503 \xD1\xE5\xF0\xE2\xE5\xF0 \xE7\xE0\xED\xFF\xF2"),
      Fails(
          "notFoundCutShort_failsWithItsStatusLineAndKeepsTheTable",
          AnsweringThenClosing("HTTP/1.1 404 Not Found\r\nContent-Length: 500\r\n\r\n" + kNewBody),
          "HTTP/1.1 404 Not Found"),
      // Read and dropped for the client's two seconds, then given up.
      Fails("serverErrorWithANeverEndingBody_failsWithItsStatusLineAndKeepsTheTable",
            Trickling("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 100000000\r\n\r\n" +
                          kNewBody,
                      kBobLine),
            "HTTP/1.1 500 Internal Server Error"),
      Fails("noStatusLine_failsWithTheFirstLineAndKeepsTheTable",
            Answering("<html><body>" + kNewBody + "</body></html>\r\n"),
            "<html><body>" + kServerLine),
      Fails("garbledStatusCode_failsWithItsStatusLineAndKeepsTheTable",
            AnsweringThenClosing(WithLength("HTTP/1.1 2x0 OK", kNewBody)), "HTTP/1.1 2x0 OK"),
      Fails("statusLineWithoutACode_failsWithItsStatusLineAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 abc", kNewBody)), "HTTP/1.1 abc"),
      // Only 100 is skipped; what follows a 101 is no longer HTTP.
      Fails("switchingProtocols101_failsWithItsStatusLineAndKeepsTheTable",
            Answering("HTTP/1.1 101 Switching Protocols\r\n\r\n" + Ok(kNewBody)),
            "HTTP/1.1 101 Switching Protocols"),
      // A status line is a line: bytes never ended by a line feed are not one.
      Fails("garbageWithoutALineEndThenClose_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing("garbage"), kClosedGracefully),
      // A header block the client cannot read may hide the body's framing, so the
      // answer is not taken, whatever its status.
      Fails("headerWithoutAColon_failsWithItsStatusLineAndKeepsTheTable",
            Answering(WithLength("HTTP/1.1 200 OK\r\nno colon here", kNewBody)), "HTTP/1.1 200 OK"),
      Fails("contentLengthThatIsNotANumber_failsWithItsStatusLineAndKeepsTheTable",
            AnsweringThenClosing("HTTP/1.1 200 OK\r\nContent-Length: abc\r\n\r\n" + kNewBody),
            "HTTP/1.1 200 OK"),
      Fails("silentServer_failsWithSocketError110AndKeepsTheTable", SilentAfterTheRequest(),
            test::kTimedOutMessage),

      // A success whose chunked body breaks its own framing: the client drops the
      // connection, and reports it as closed.
      Fails("badChunkSize_failsClosedGracefullyAndKeepsTheTable",
            Answering(kChunkedHead + Chunk(kServerLine + "\r\n") + "zz\r\n" + kMiraLine +
                      "\r\n0\r\n\r\n"),
            kClosedGracefully),
      Fails("chunkLongerThanItsSize_failsClosedGracefullyAndKeepsTheTable",
            Answering(kChunkedHead + Chunk(kServerLine + "\r\n") + "4\r\n" + kMiraLine +
                      "\r\n0\r\n\r\n"),
            kClosedGracefully),
      // Only a body of announced length is returned as far as it arrived.
      Fails("chunkCutShortByClose_failsClosedGracefullyAndKeepsTheTable",
            AnsweringThenClosing(kChunkedHead + Chunk(kServerLine + "\r\n" + kMiraLine) +
                                 "40\r\nBob|||7|||09:0"),
            kClosedGracefully),

      // Successes, however they arrive.
      Succeeds("interim100Then200_succeedsWithTheNewRoster",
               Answering("HTTP/1.1 100 Continue\r\n\r\n" + Ok(kNewBody)), {kBob, kMira},
               u"Онлайн клана: 2", kNewServerText),
      Succeeds("bodyCutShortOfItsLength_succeedsWithTheWholeLinesThatArrived",
               AnsweringThenClosing("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\n" + kServerLine +
                                    "\r\n" + kMiraLine + "Bob|||7|||09:0"),
               {kMira}, u"Онлайн клана: 1", kNewServerText),
      Succeeds("twoBlanksBeforeTheStatusCode_succeedsWithTheNewRoster",
               Answering(WithLength("HTTP/1.1  200 OK", kNewBody)), {kBob, kMira},
               u"Онлайн клана: 2", kNewServerText),
      Succeeds("emptyLineBeforeTheStatusLine_succeedsWithTheNewRoster",
               Answering("\r\n" + Ok(kNewBody)), {kBob, kMira}, u"Онлайн клана: 2", kNewServerText),
      Succeeds("noContent204_succeedsWithAnEmptyTable",
               Answering("HTTP/1.1 204 No Content\r\n\r\n"), {}, u"Онлайн клана: 0",
               u"Онлайн сервера: "),
      Succeeds("emptyBody200_succeedsWithAnEmptyTable", Answering(Ok("")), {}, u"Онлайн клана: 0",
               u"Онлайн сервера: "),
      Succeeds("http10BodyEndedByClose_succeedsWithTheNewRoster",
               AnsweringThenClosing("HTTP/1.0 200 OK\r\n\r\n" + kNewBody), {kBob, kMira},
               u"Онлайн клана: 2", kNewServerText),
      Succeeds("slowDripOfTheWholeAnswer_succeedsWithTheNewRoster", Dripping(Ok(kNewBody)),
               {kBob, kMira}, u"Онлайн клана: 2", kNewServerText),
      Succeeds("throughTheProxy_succeedsWithTheNewRoster",
               ProxyPlaying(Ok(kNewBody), Then::KeepOpen), {kBob, kMira}, u"Онлайн клана: 2",
               kNewServerText),
  };
}

class NetworkFaultMatrix : public testing::TestWithParam<FaultRow> {};

TEST_P(NetworkFaultMatrix, endsAsItsRowSays) {
  const FaultRow& row = GetParam();
  if (std::string_view(row.name).starts_with("reset") && test::ResetArrivesAsClose())
    GTEST_SKIP() << "this system closes the server's socket gracefully instead of resetting it";
  Stage stage;
  const Route route = row.arrange.route(stage);
  RosterModel table(kRussian);
  // Filled as a fetch fills it, so the rows live in that answer, which a failure
  // must keep.
  table.Show(FillRoster(kTwoMemberBody, table.locale()));
  QSignalSpy resets(&table, &RosterModel::modelAboutToBeReset);
  QSignalSpy statusChanges(&table, &RosterModel::statusTextsChanged);
  HttpClient http(route.silenceLimit);

  FetchOutcome outcome = FetchRoster(
      http, FetchRequest{route.rosterHost, RosterQuery{"K"}, route.proxy, kRussian, nullptr, {}});
  std::optional<std::string> failure;
  if (outcome.fetched)
    table.Show(std::move(outcome.fetched->filled));
  else
    failure = outcome.failure;

  if (row.arrange.played) {
    EXPECT_EQ(stage.server.Requests(),
              std::vector<std::string>{
                  route.proxy.useProxy ? ExpectedRequest("http://vorlane.example:80/xml.php?clan=K",
                                                         "vorlane.example")
                                       : ExpectedRequest("/xml.php?clan=K", route.rosterHost)});
  }
  if (row.failure == kHostNotFound) {  // the proxy's name when there is a proxy
    EXPECT_TRUE(test::WasLookedUp(route.proxy.useProxy ? route.proxy.proxyHost : route.rosterHost));
  }
  if (row.failure) {
    EXPECT_EQ(failure.value_or("<the fetch succeeded>"), *row.failure);
    EXPECT_EQ(table.rows(), kTwoMemberRows);
    EXPECT_EQ(table.data(table.index(1, 3)).toString(), QStringLiteral(u"Клан"));
    EXPECT_EQ(table.clanStatusText(), QStringLiteral(u"Онлайн клана: 2"));
    EXPECT_EQ(table.serverStatusText(), QStringLiteral(u"Онлайн сервера: 4321"));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(statusChanges.count(), 0);
  } else {
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_EQ(table.rows(), row.rows);
    EXPECT_EQ(table.clanStatusText(), row.clanStatusText);
    EXPECT_EQ(table.serverStatusText(), row.serverStatusText);
  }
}

INSTANTIATE_TEST_SUITE_P(FetchRosterFault, NetworkFaultMatrix, testing::ValuesIn(Matrix()),
                         [](const testing::TestParamInfo<FaultRow>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

namespace test {

void PrintTo(const ReadEnd& end, std::ostream* out) {
  *out << (end.succeeded ? "body " : "failure ") << testing::PrintToString(end.text)
       << (end.keepConnection ? ", connection kept" : ", connection dropped");
}

}  // namespace test

namespace {

// The answer reader fed a row's answer comes to the same end whole and one byte
// at a time, and where it comes to one, to the fetch step's: the same message, or a
// body. A reset is no close to the reader; what follows it is the connection's.
class AnswerReaderFault : public testing::TestWithParam<FaultRow> {};

TEST_P(AnswerReaderFault, endsAlikeWholeAndByteByByte) {
  const FaultRow& row = GetParam();
  const Played& played = *row.arrange.played;
  const bool closes = played.then == Then::Close;
  std::vector<std::string_view> bytes;
  for (std::size_t at = 0; at < played.answer.size(); ++at)
    bytes.push_back(std::string_view(played.answer).substr(at, 1));

  const std::optional<test::ReadEnd> whole = test::ReadAnswer({played.answer}, closes);

  EXPECT_EQ(test::ReadAnswer(bytes, closes), whole);
  if (whole) {
    EXPECT_EQ(whole->succeeded ? std::nullopt : std::optional(whole->text), row.failure);
  }
}

std::vector<FaultRow> RowsWithAnAnswer() {
  std::vector<FaultRow> rows = Matrix();
  std::erase_if(rows, [](const FaultRow& row) { return !row.arrange.played; });
  return rows;
}

INSTANTIATE_TEST_SUITE_P(FetchRosterFault, AnswerReaderFault, testing::ValuesIn(RowsWithAnAnswer()),
                         [](const testing::TestParamInfo<FaultRow>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quellar
