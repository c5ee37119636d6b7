#include "roster/fetch_step.h"

#include <QTest>
#include <chrono>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "net/http_client.h"
#include "roster/fetch_runner.h"
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
  Server server;
  bool caseSensitive;
  std::string target;
  std::string answer;
  std::vector<RosterRow> rows;
  const char16_t* serverStatusText;
};

class DirectFetch : public testing::TestWithParam<DirectCase> {};

// The request of a fetch from host of query through proxy, in Russian nick order.
FetchRequest Request(const std::string& host, RosterQuery query, ProxySettings proxy = {},
                     std::shared_ptr<const SeenRoster> previous = nullptr) {
  return FetchRequest{host, std::move(query), std::move(proxy), kRussian, std::move(previous), {}};
}

// The outcome's rows shown in a fresh table, as the window shows them.
void Show(FetchOutcome outcome, RosterModel& table) {
  ASSERT_TRUE(outcome.fetched) << outcome.failure;
  table.Show(std::move(outcome.fetched->filled));
}

TEST_P(DirectFetch, sendsItsRequestToTheRosterHostAndFillsTheTable) {
  const DirectCase& c = GetParam();
  ScriptedHttpServer server;
  server.Answer(Ok(c.answer));
  RefusingPort unusedProxy;
  HttpClient http;
  RosterModel table(kRussian);
  const std::string host = server.hostAndPort();

  Show(FetchRoster(http, Request(host, RosterQuery{c.clan, c.server, c.caseSensitive},
                                 ProxySettings{c.useProxy, c.proxyHost, unusedProxy.port()})),
       table);

  EXPECT_EQ(server.Requests(), std::vector<std::string>{ExpectedRequest(c.target, host)});
  EXPECT_EQ(table.rows(), c.rows);
  EXPECT_EQ(table.clanStatusText(), QStringLiteral(u"Онлайн клана: %1").arg(c.rows.size()));
  EXPECT_EQ(table.serverStatusText(), QString::fromUtf16(c.serverStatusText));
}

INSTANTIATE_TEST_SUITE_P(
    FetchRoster, DirectFetch,
    testing::Values(DirectCase{"proxyOffWithEmptyHost_x300WithCase", false, "", "K", Server::kX300,
                               true, "/xml.php?clan=K&case=1&server=2", kTwoMemberBody,
                               kTwoMemberRows, u"Онлайн сервера: 4321"},
                    DirectCase{"proxyOff", false, "127.0.0.1", "K", Server::kX3, false,
                               "/xml.php?clan=K", kTwoMemberBody, kTwoMemberRows,
                               u"Онлайн сервера: 4321"},
                    DirectCase{"proxyOnWithEmptyHost", true, "", "K", Server::kX3, false,
                               "/xml.php?clan=K", kTwoMemberBody, kTwoMemberRows,
                               u"Онлайн сервера: 4321"},
                    DirectCase{"clanNameSentAsItsBytes",
                               false,
                               "",
                               "\xCA\xEB\xE0\xED 1&x",
                               Server::kX3,
                               false,
                               "/xml.php?clan=\xCA\xEB\xE0\xED 1&x",
                               "0\r\n",
                               {},
                               u"Онлайн сервера: 0"},
                    DirectCase{"emptyClanSendsAnEmptyValue",
                               false,
                               "",
                               "",
                               Server::kX3,
                               false,
                               "/xml.php?clan=",
                               "0\r\n",
                               {},
                               u"Онлайн сервера: 0"}),
    [](const testing::TestParamInfo<DirectCase>& info) { return std::string(info.param.name); });

TEST(FetchRoster, switchingTheProxyOffGoesDirectOnTheNextFetch) {
  ScriptedHttpServer server;  // answers as the proxy first, then as the roster host
  server.Answer(Ok(kTwoMemberBody));
  server.Answer(Ok(kTwoMemberBody));
  HttpClient http;
  const std::string host = server.hostAndPort();

  EXPECT_TRUE(
      FetchRoster(http, Request(host, {"K"}, ProxySettings{true, "127.0.0.1", server.port()}))
          .fetched);
  EXPECT_TRUE(
      FetchRoster(http, Request(host, {"K"}, ProxySettings{false, "127.0.0.1", server.port()}))
          .fetched);

  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{ExpectedRequest("http://" + host + "/xml.php?clan=K", host),
                                      ExpectedRequest("/xml.php?clan=K", host)}));
  EXPECT_EQ(server.RequestConnections(), (std::vector<int>{0, 1}));
}

// Each fetch answers with the nicks listed; the changes a fetch of a query tells
// are those since the previous fetch given, when that asked the same.
TEST(FetchRoster, tellsTheChangesOnlySinceAFetchOfTheSameClanServerAndCaseRule) {
  ScriptedHttpServer server;
  for (const char* nicks : {"Alder", "Cedar", "Cedar", "Cedar", "Cedar"})
    server.Answer(Ok(std::string("1\r\n") + nicks + "|||1|||r|||p\r\n"));
  HttpClient http;
  const std::string host = server.hostAndPort();
  const RosterQuery brannock{"Brannock"};
  std::shared_ptr<const SeenRoster> seen;
  std::vector<std::optional<RosterChanges>> told;
  for (const RosterQuery& query : {brannock, brannock, RosterQuery{"Brannock", Server::kX3, true},
                                   RosterQuery{"Brannock", Server::kX300, true},
                                   RosterQuery{"brannock", Server::kX300, true}}) {
    FetchOutcome outcome = FetchRoster(http, Request(host, query, {}, seen));
    ASSERT_TRUE(outcome.fetched) << outcome.failure;
    EXPECT_EQ(outcome.fetched->seen->query, query);
    told.push_back(outcome.fetched->changes);
    seen = outcome.fetched->seen;
  }

  EXPECT_EQ(told, (std::vector<std::optional<RosterChanges>>{
                      std::nullopt, RosterChanges{{"Cedar"}, {"Alder"}}, std::nullopt, std::nullopt,
                      std::nullopt}));
}

// The runner keeps the connection from one fetch to the next; a new fetch
// abandons a silent one, whose connection is closed at once and whose outcome is
// never reported; a runner destroyed while its fetch waits lets go at once.
TEST(FetchRunner, reportsOnlyTheLatestFetchRecordsWhatItReportsAndLetsASilentOneGoAtOnce) {
  using namespace std::chrono_literals;
  ScriptedHttpServer silent;
  silent.Answer("");
  silent.Answer("");
  ScriptedHttpServer answering;
  for (int i = 0; i < 3; ++i)
    answering.Answer(Ok(kTwoMemberBody));
  std::vector<FetchOutcome> reported;
  auto runner = std::make_unique<FetchRunner>(
      [&](FetchOutcome outcome) { reported.push_back(std::move(outcome)); });
  const auto requestsReach = [](const ScriptedHttpServer& server, std::size_t count) {
    return QTest::qWaitFor([&] { return server.Requests().size() >= count; }, 5000);
  };
  const auto settled = [&] { return QTest::qWaitFor([&] { return !runner->busy(); }, 5000); };
  // Each request records its name and count of nicks; "full" cannot.
  std::vector<std::string> records;
  const auto recording = [&](const std::string& host, std::string name) {
    FetchRequest request = Request(host, {"K"});
    request.record = [&records, name](const FetchedRoster& fetched) {
      records.push_back(name == "full" ? throw Error("disk full")
                                       : name + std::to_string(fetched.seen->nicks.size()));
    };
    return request;
  };

  runner->Start(recording(answering.hostAndPort(), "first"));
  ASSERT_TRUE(settled());
  runner->Start(recording(answering.hostAndPort(), "full"));
  ASSERT_TRUE(settled());
  runner->Start(recording(silent.hostAndPort(), "silent"));
  ASSERT_TRUE(requestsReach(silent, 1));
  runner->Start(recording(answering.hostAndPort(), "last"));
  EXPECT_TRUE(silent.WaitUntilAllClosed(500ms));
  ASSERT_TRUE(settled());
  QTest::qWait(50);  // an outcome of the abandoned fetch would have come by now

  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(records, (std::vector<std::string>{"first2", "last2"}));
  EXPECT_TRUE(reported[0].recorded && !reported[1].recorded && reported[2].recorded);
  EXPECT_EQ(reported[1].recordFailure, "disk full");
  RosterModel table(kRussian);
  Show(std::move(reported.back()), table);
  EXPECT_EQ(table.rows(), kTwoMemberRows);
  // The abandoned fetch took the kept connection with it.
  EXPECT_EQ(answering.RequestConnections(), (std::vector<int>{0, 0, 1}));

  runner->Start(Request(silent.hostAndPort(), {"K"}));
  ASSERT_TRUE(requestsReach(silent, 2));
  const auto before = std::chrono::steady_clock::now();
  runner.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
  EXPECT_TRUE(silent.WaitUntilAllClosed(500ms));
  EXPECT_EQ(reported.size(), 3u);
}

}  // namespace
}  // namespace quellar
