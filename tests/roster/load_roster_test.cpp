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

// A fetch from the roster host itself, whatever the proxy settings that lead
// there: the exact request, and the table and status texts the answer gives.
struct DirectCase {
  const char* name;
  bool useProxy;
  std::string proxyHost;  // on a refusing port: going there would fail
  std::string clan;
  std::string server;
  bool caseSensitive;
  std::string target;
  std::string answer;
  std::vector<RosterRow> rows;
  const char16_t* serverStatusText;
};

class DirectFetch : public testing::TestWithParam<DirectCase> {};

TEST_P(DirectFetch, sendsItsRequestToTheRosterHostAndFillsTheTable) {
  const DirectCase& c = GetParam();
  ScriptedHttpServer server;
  server.Answer(Ok(c.answer));
  RefusingPort unusedProxy;
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();

  LoadRoster(http, ProxySettings{c.useProxy, c.proxyHost, unusedProxy.port()},
             RosterQuery{host, c.clan, c.server, c.caseSensitive}, table);

  EXPECT_EQ(server.Requests(), std::vector<std::string>{ExpectedRequest(c.target, host)});
  EXPECT_EQ(table.rows(), c.rows);
  EXPECT_EQ(table.clanStatusText(), QStringLiteral(u"Онлайн клана: %1").arg(c.rows.size()));
  EXPECT_EQ(table.serverStatusText(), QString::fromUtf16(c.serverStatusText));
}

INSTANTIATE_TEST_SUITE_P(
    LoadRoster, DirectFetch,
    testing::Values(DirectCase{"proxyOffWithEmptyHost_x300WithCase", false, "", "K", "x300", true,
                               "/xml.php?clan=K&case=1&server=2", kTwoMemberBody, kTwoMemberRows,
                               u"Онлайн сервера: 4321"},
                    DirectCase{"proxyOff", false, "127.0.0.1", "K", "x3", false, "/xml.php?clan=K",
                               kTwoMemberBody, kTwoMemberRows, u"Онлайн сервера: 4321"},
                    DirectCase{"proxyOnWithEmptyHost", true, "", "K", "x3", false,
                               "/xml.php?clan=K", kTwoMemberBody, kTwoMemberRows,
                               u"Онлайн сервера: 4321"},
                    DirectCase{"clanNameSentAsItsBytes",
                               false,
                               "",
                               "\xCA\xEB\xE0\xED 1&x",
                               "x3",
                               false,
                               "/xml.php?clan=\xCA\xEB\xE0\xED 1&x",
                               "0\r\n",
                               {},
                               u"Онлайн сервера: 0"},
                    DirectCase{"emptyClanSendsAnEmptyValue",
                               false,
                               "",
                               "",
                               "x3",
                               false,
                               "/xml.php?clan=",
                               "0\r\n",
                               {},
                               u"Онлайн сервера: 0"}),
    [](const testing::TestParamInfo<DirectCase>& info) { return std::string(info.param.name); });

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

}  // namespace
}  // namespace quellar
