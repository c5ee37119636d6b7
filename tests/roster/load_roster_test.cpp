#include "roster/load_roster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/http_client.h"
#include "roster/roster_model.h"
#include "roster/roster_row_printer.h"
#include "roster/two_member_roster.h"
#include "support/http_texts.h"
#include "support/printers.h"
#include "support/scripted_http_server.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using test::ExpectedRequest;
using test::Ok;
using test::RefusingPort;
using test::ScriptedHttpServer;

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

TEST(LoadRoster, fillsTheTableAndStatusTextsFromTheAnswer) {
  ScriptedHttpServer server;
  server.Answer(Ok(kTwoMemberBody));
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();

  LoadRoster(http, ProxySettings{}, RosterQuery{host, "K", "x300", true}, table);

  EXPECT_EQ(table.rows(), kTwoMemberRows);
  EXPECT_EQ(table.clanStatusText(), QStringLiteral(u"Онлайн клана: 2"));
  EXPECT_EQ(table.serverStatusText(), QStringLiteral(u"Онлайн сервера: 4321"));
  EXPECT_EQ(server.Requests(),
            std::vector<std::string>{ExpectedRequest("/xml.php?clan=K&case=1&server=2", host)});
}

TEST(LoadRoster, sendsTheClanNameAsItsBytes) {
  ScriptedHttpServer server;
  server.Answer(Ok("0\r\n"));
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();

  LoadRoster(http, ProxySettings{}, RosterQuery{host, "\xCA\xEB\xE0\xED 1&x", "x3", false}, table);

  EXPECT_EQ(server.Requests(),
            std::vector<std::string>{ExpectedRequest("/xml.php?clan=\xCA\xEB\xE0\xED 1&x", host)});
}

TEST(LoadRoster, anEmptyClanSendsAnEmptyValue) {
  ScriptedHttpServer server;
  server.Answer(Ok("0\r\n"));
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();

  LoadRoster(http, ProxySettings{}, RosterQuery{host, "", "x3", false}, table);

  EXPECT_EQ(server.Requests(), std::vector<std::string>{ExpectedRequest("/xml.php?clan=", host)});
  EXPECT_EQ(table.clanStatusText(), QStringLiteral(u"Онлайн клана: 0"));
  EXPECT_EQ(table.serverStatusText(), QStringLiteral(u"Онлайн сервера: 0"));
}

TEST(LoadRoster, goesThroughTheProxyWhenItIsOn) {
  ScriptedHttpServer proxy;
  proxy.Answer(Ok(kTwoMemberBody));
  HttpClient http;
  RosterModel table(kRussian);

  LoadRoster(http, ProxySettings{true, "127.0.0.1", proxy.port()},
             RosterQuery{"vorlane.example", "K", "x3", false}, table);

  EXPECT_EQ(proxy.Requests(), std::vector<std::string>{ExpectedRequest(
                                  "http://vorlane.example:80/xml.php?clan=K", "vorlane.example")});
  EXPECT_EQ(table.rows(), kTwoMemberRows);
}

struct DirectCase {
  const char* name;
  bool useProxy;
  bool proxyNamesAHost;
};

class DirectFetch : public testing::TestWithParam<DirectCase> {};

TEST_P(DirectFetch, goesStraightToTheRosterHost) {
  ScriptedHttpServer server;
  server.Answer(Ok(kTwoMemberBody));
  RefusingPort unusedProxy;
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();
  const ProxySettings proxy{GetParam().useProxy, GetParam().proxyNamesAHost ? "127.0.0.1" : "",
                            unusedProxy.port()};

  LoadRoster(http, proxy, RosterQuery{host, "K", "x3", false}, table);

  EXPECT_EQ(server.Requests(), std::vector<std::string>{ExpectedRequest("/xml.php?clan=K", host)});
  EXPECT_EQ(table.rows(), kTwoMemberRows);
}

INSTANTIATE_TEST_SUITE_P(LoadRoster, DirectFetch,
                         testing::Values(DirectCase{"proxyOff", false, true},
                                         DirectCase{"proxyOnWithEmptyHost", true, false},
                                         DirectCase{"proxyOffWithEmptyHost", false, false}),
                         [](const testing::TestParamInfo<DirectCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(LoadRoster, switchingTheProxyOffGoesDirectOnTheNextFetch) {
  ScriptedHttpServer server;  // answers as the proxy first, then as the roster host
  server.Answer(Ok(kTwoMemberBody));
  server.Answer(Ok(kTwoMemberBody));
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();
  const RosterQuery query{host, "K", "x3", false};

  LoadRoster(http, ProxySettings{true, "127.0.0.1", server.port()}, query, table);
  LoadRoster(http, ProxySettings{false, "127.0.0.1", server.port()}, query, table);

  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{ExpectedRequest("http://" + host + "/xml.php?clan=K", host),
                                      ExpectedRequest("/xml.php?clan=K", host)}));
  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

TEST(LoadRoster, repeatedFetchesKeepOneConnection) {
  ScriptedHttpServer server;
  server.Answer(Ok(kTwoMemberBody));
  server.Answer(Ok("1\r\n"));
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();
  const RosterQuery query{host, "K", "x3", false};

  LoadRoster(http, ProxySettings{}, query, table);
  LoadRoster(http, ProxySettings{}, query, table);

  EXPECT_EQ(server.ConnectionCount(), 1);
  EXPECT_TRUE(table.rows().empty());
  EXPECT_EQ(table.serverStatusText(), QStringLiteral(u"Онлайн сервера: 1"));
}

}  // namespace
}  // namespace quellar
