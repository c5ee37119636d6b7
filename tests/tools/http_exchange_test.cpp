#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "standin/http_exchange.h"

namespace quellar::standin {
namespace {

const char* const kSample =
    "@server x3 1342\n"
    "@server x300 587\n"
    "@clan x3 Brannock\n"
    "Snegir|||87|||\xD1\x80\xD0\xB5\xD0\xB3.: 02.11.2008|||Archer\n"
    "@clan x300 Brannock\n"
    "Lynx|||95|||reg.: 12.12.2008|||Archer\n";

// "рег.: " in Windows-1251.
const std::string kReg = "\xF0\xE5\xE3.: ";

std::string Ok(const std::string& body, const char* connection = "keep-alive") {
  return "HTTP/1.1 200 OK\r\nServer: quellar-standin\r\n"
         "Content-Type: text/plain; charset=windows-1251\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: " + connection + "\r\n\r\n" + body;
}

const std::string kX3Brannock = "1342\r\nSnegir|||87|||" + kReg + "02.11.2008|||Archer\r\n";
const std::string kX300Brannock = "587\r\nLynx|||95|||reg.: 12.12.2008|||Archer\r\n";

const std::string kNotFound =
    "HTTP/1.1 404 Not Found\r\nServer: quellar-standin\r\nContent-Type: text/plain\r\n"
    "Content-Length: 11\r\nConnection: keep-alive\r\n\r\nNot Found\r\n";

const std::string kBadRequest =
    "HTTP/1.1 400 Bad Request\r\nServer: quellar-standin\r\nContent-Type: text/plain\r\n"
    "Content-Length: 13\r\nConnection: close\r\n\r\nBad Request\r\n";

// The request exactly as the client writes it: its four headers in its order.
std::string ClientRequest(const std::string& target) {
  return "GET " + target +
         " HTTP/1.1\r\nContent-Type: text/html\r\nHost: vorlane.example\r\n"
         "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n";
}

class ExchangeTest : public testing::Test {
 protected:
  RosterSample sample = RosterSample::FromUtf8(kSample);
  std::vector<std::pair<std::string, int>> seen;
  Exchange exchange{sample, [this](std::string_view line, int status) {
                      seen.emplace_back(std::string(line), status);
                    }};
};

TEST_F(ExchangeTest, answersOriginAndAbsoluteFormRequestsArrivingTogetherInOrder) {
  const std::string answers = exchange.Receive(
      ClientRequest("/xml.php?clan=brannock") +
      ClientRequest("http://vorlane.example:80/xml.php?clan=Brannock&case=1&server=2") +
      ClientRequest("/xml.php?clan=Nobody"));
  EXPECT_EQ(answers, Ok(kX3Brannock) + Ok(kX300Brannock) + Ok("1342\r\n"));
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_FALSE(exchange.closing());
}

// A request body of announced length is dropped, however the bytes arrive.
TEST_F(ExchangeTest, waitsForRequestsAndTheirBodiesSplitAcrossReads) {
  const std::string requests =
      "GET /xml.php?clan=Brannock HTTP/1.1\r\nContent-Length: 5\r\n\r\nGET /" +
      ClientRequest("/xml.php?clan=Brannock&server=2");
  std::string answers;
  for (char c : requests)
    answers += exchange.Receive(std::string_view(&c, 1));
  EXPECT_EQ(answers, Ok(kX3Brannock) + Ok(kX300Brannock));
}

TEST_F(ExchangeTest, closesAfterAnsweringConnectionClose) {
  const std::string answers = exchange.Receive(
      "GET /xml.php?clan=Brannock HTTP/1.1\r\nConnection: Keep-Alive, Close\r\n\r\n"
      "GET /xml.php?clan=Brannock HTTP/1.1\r\n\r\n");
  EXPECT_EQ(answers, Ok(kX3Brannock, "close"));
  EXPECT_TRUE(exchange.closing());
  EXPECT_EQ(exchange.Receive(ClientRequest("/xml.php?clan=Brannock")), "");
}

TEST_F(ExchangeTest, closesAfterAnHttp10RequestUnlessAskedToKeepAlive) {
  Exchange keepAlive(sample);
  EXPECT_EQ(
      keepAlive.Receive("GET /xml.php?clan=Brannock HTTP/1.0\r\nConnection: keep-alive\r\n\r\n"),
      Ok(kX3Brannock));
  EXPECT_FALSE(keepAlive.closing());
  EXPECT_EQ(exchange.Receive("GET /xml.php?clan=Brannock HTTP/1.0\r\n\r\n"),
            Ok(kX3Brannock, "close"));
  EXPECT_TRUE(exchange.closing());
}

TEST_F(ExchangeTest, readsTheTargetWithRawSpacesAndBytes) {
  RosterSample named =
      RosterSample::FromUtf8("@server x3 7\n@clan x3 Белые Волки\nA|||1|||b|||c\n");
  Exchange cyrillic(named);
  EXPECT_EQ(
      cyrillic.Receive(ClientRequest("/xml.php?clan=\xE1\xE5\xEB\xFB\xE5 \xE2\xEE\xEB\xEA\xE8")),
      Ok("7\r\nA|||1|||b|||c\r\n"));
}

TEST_F(ExchangeTest, acceptsBareLineFeedsAndSkipsEmptyLinesBeforeARequest) {
  EXPECT_EQ(exchange.Receive("\r\n\nGET /xml.php?clan=Brannock HTTP/1.1\nHost: x\n\n"),
            Ok(kX3Brannock));
}

TEST_F(ExchangeTest, answersHeadWithTheHeadersAlone) {
  const std::string full = Ok(kX3Brannock);
  EXPECT_EQ(exchange.Receive("HEAD /xml.php?clan=Brannock HTTP/1.1\r\n\r\n"),
            full.substr(0, full.size() - kX3Brannock.size()));
}

TEST_F(ExchangeTest, givesNotFoundForAnotherPathAndKeepsTheConnection) {
  EXPECT_EQ(exchange.Receive("GET /index.php?clan=Brannock HTTP/1.1\r\n\r\n"), kNotFound);
  EXPECT_EQ(exchange.Receive("GET http://vorlane.example:80/XML.PHP HTTP/1.1\r\n\r\n"), kNotFound);
  EXPECT_FALSE(exchange.closing());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(std::string("GET /index.php?clan=Brannock HTTP/1.1"), 404));
}

TEST_F(ExchangeTest, refusesOtherMethods) {
  EXPECT_EQ(exchange.Receive("POST /xml.php HTTP/1.1\r\nContent-Length: 2\r\n\r\nab"),
            "HTTP/1.1 405 Method Not Allowed\r\nServer: quellar-standin\r\n"
            "Content-Type: text/plain\r\nContent-Length: 20\r\nAllow: GET, HEAD\r\n"
            "Connection: keep-alive\r\n\r\nMethod Not Allowed\r\n");
  EXPECT_FALSE(exchange.closing());
}

struct Garbled {
  const char* name;
  std::string bytes;
};

void PrintTo(const Garbled& c, std::ostream* out) {
  *out << c.name;
}

class GarbledRequests : public testing::TestWithParam<Garbled> {};

TEST_P(GarbledRequests, getBadRequestAndTheConnectionCloses) {
  RosterSample sample = RosterSample::FromUtf8(kSample);
  std::vector<int> statuses;
  Exchange exchange(sample, [&](std::string_view, int status) { statuses.push_back(status); });
  EXPECT_EQ(exchange.Receive(GetParam().bytes), kBadRequest);
  EXPECT_TRUE(exchange.closing());
  EXPECT_EQ(statuses, std::vector<int>{400});
  EXPECT_EQ(exchange.Receive(ClientRequest("/xml.php?clan=Brannock")), "");
}

INSTANTIATE_TEST_SUITE_P(
    Exchange, GarbledRequests,
    testing::Values(
        Garbled{"noTarget", "GET\r\n\r\n"}, Garbled{"noVersion", "GET /xml.php\r\n\r\n"},
        Garbled{"tlsHello",
                std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15)},
        Garbled{"bareCarriageReturnInTheLine", "GET /xml.php?clan=a\rb HTTP/1.1\r\n\r\n"},
        Garbled{"headerWithoutColon", "GET /xml.php HTTP/1.1\r\nno colon here\r\n\r\n"},
        Garbled{"headerWithoutName", "GET /xml.php HTTP/1.1\r\n: empty name\r\n\r\n"},
        Garbled{"foldedHeader", "GET /xml.php HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n"},
        Garbled{"negativeContentLength", "GET /xml.php HTTP/1.1\r\nContent-Length: -1\r\n\r\n"},
        Garbled{"conflictingContentLengths",
                "GET /xml.php HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"},
        Garbled{"chunkedBody", "GET /xml.php HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"},
        Garbled{"relativeTarget", "GET xml.php?clan=K HTTP/1.1\r\n\r\n"},
        Garbled{"httpsTarget", "GET https://vorlane.example/xml.php HTTP/1.1\r\n\r\n"},
        Garbled{"headBeyondTheLimit",
                "GET /xml.php HTTP/1.1\r\n" + std::string(RequestReader::kMaxHeadSize, 'a')}),
    [](const testing::TestParamInfo<Garbled>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar::standin
