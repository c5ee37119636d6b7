#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <climits>

#include "main_window_harness.h"
#include "roster/roster_model.h"
#include "support/printers.h"
#include "support/roster_nicks.h"
#include "support/socket_error_messages.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using test::MainWindowHarness;
using test::Nicks;
using test::OkAnswer;

const std::string kTwoMembers =
    "1234\r\nBrannock|||120|||12:00 01.02.2020|||Mage\r\nAlder|||45|||08:30 "
    "03.04.2021|||Warrior\r\n";

void Fetch(TMain& main, const QString& clan) {
  main.ComboBox2->setEditText(clan);
  QTest::mouseClick(main.Button1, Qt::LeftButton);
}

TEST(MainWindowFetch, sendsClanServerAndCaseThroughTheProxyAndFillsTheTable) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer(kTwoMembers));
  main.ComboBox1->setCurrentIndex(1);
  main.CheckBox1->setChecked(true);
  Fetch(main, QStringLiteral("Brannock"));

  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{
                "GET http://vorlane.example:80/xml.php?clan=Brannock&case=1&server=2 HTTP/1.1"});
  EXPECT_EQ(Nicks(main.roster()), (std::vector<std::string>{"Alder", "Brannock"}));
  EXPECT_EQ(main.StatusBar1->panelText(0), "");
  EXPECT_EQ(main.StatusBar1->panelText(1), QStringLiteral(u"Онлайн клана: 2"));
  EXPECT_EQ(main.StatusBar1->panelText(2), QStringLiteral(u"Онлайн сервера: 1234"));
  EXPECT_EQ(main.queryState().currentClan, "Brannock");
  EXPECT_EQ(main.queryState().currentServer, "x300");
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowFetch, enterOnTheFocusedFetchButtonFetchesOnceAndNowhereElse) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer("1\r\n"));
  main.ComboBox2->setEditText(QStringLiteral("Brannock"));
  QTest::keyClick(main.CheckBox1, Qt::Key_Return);
  EXPECT_TRUE(harness.RequestLines().empty());
  QTest::keyClick(main.Button1, Qt::Key_Return);
  EXPECT_EQ(
      harness.RequestLines(),
      std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1"});
}

TEST(MainWindowFetch, sendsACyrillicClanNameAsItsWindows1251Bytes) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer("1\r\n"));
  Fetch(main, QStringLiteral(u"Клан Ёж"));
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{
                "GET http://vorlane.example:80/xml.php?clan=\xCA\xEB\xE0\xED \xA8\xE6 HTTP/1.1"});
  EXPECT_EQ(main.queryState().currentClan, "\xCA\xEB\xE0\xED \xA8\xE6");
}

TEST(MainWindowFetch, emptyClanFetchesAnEmptyValueAndThenTimerAndRefreshDoNothing) {
  MainWindowHarness harness(test::WithTimerBase(20));
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer("7\r\n"));
  Fetch(main, QString());
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan= HTTP/1.1"});
  EXPECT_EQ(main.queryState().currentClan, "");
  EXPECT_EQ(main.StatusBar1->panelText(2), QStringLiteral(u"Онлайн сервера: 7"));

  main.CheckBox2->setChecked(true);
  int ticks = 0;
  QObject::connect(main.Timer1, &QTimer::timeout, [&] { ++ticks; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  main.PopupMenu1Popup();
  EXPECT_FALSE(main.N14->isEnabled());
  EXPECT_EQ(harness.server.Requests().size(), 1u);
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowFetch, aFailedFetchKeepsTableAndStatusButTheStoredQueryStays) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(main, QStringLiteral("Brannock"));
  harness.server.Answer("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  main.ComboBox1->setCurrentIndex(1);
  Fetch(main, QStringLiteral("Other"));

  EXPECT_EQ(harness.errors.texts, QStringList{"HTTP/1.1 404 Not Found."});
  EXPECT_EQ(Nicks(main.roster()), (std::vector<std::string>{"Alder", "Brannock"}));
  EXPECT_EQ(main.StatusBar1->panelText(1), QStringLiteral(u"Онлайн клана: 2"));
  EXPECT_EQ(main.StatusBar1->panelText(2), QStringLiteral(u"Онлайн сервера: 1234"));
  EXPECT_EQ(main.queryState().currentClan, "Other");
  EXPECT_EQ(main.queryState().currentServer, "x300");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

struct FailureCase {
  const char* name;
  std::function<void(test::ScriptedHttpServer&)> script;
  QString shown;
};

class MainWindowFetchFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(MainWindowFetchFailure, showsTheMessageInTheErrorBox) {
  MainWindowHarness harness;
  GetParam().script(harness.server);
  Fetch(harness.main(), QStringLiteral("Brannock"));
  EXPECT_EQ(harness.errors.texts, QStringList{GetParam().shown});
}

INSTANTIATE_TEST_SUITE_P(
    MainWindowFetch, MainWindowFetchFailure,
    testing::Values(
        FailureCase{"statusLineGainsAFullStop",
                    [](test::ScriptedHttpServer& server) {
                      server.Answer(
                          "HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n");
                    },
                    "HTTP/1.1 302 Found."},
        FailureCase{"closeBeforeAnswerIsShownUnchanged",
                    [](test::ScriptedHttpServer& server) { server.CloseWithoutAnswer(); },
                    "Connection Closed Gracefully."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(MainWindowFetch, aRefusedConnectionShowsTheSocketErrorUnchanged) {
  test::RefusingPort refusing;
  MainWindowHarness harness(test::WithSettings(""));
  harness.WriteSettings(test::ProxySection(refusing.port()));
  harness.main().FormCreate();
  Fetch(harness.main(), QStringLiteral("Brannock"));
  EXPECT_EQ(harness.errors.texts, QStringList{QString::fromStdString(test::kRefusedMessage)});
}

TEST(MainWindowFetch, anErrorInOneHandlerLeavesTheWindowWorkingForTheNextAction) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  harness.server.AnswerThenClose(
      "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(main, QStringLiteral("Brannock"));
  ASSERT_EQ(harness.errors.texts, QStringList{"HTTP/1.1 500 Internal Server Error."});
  Fetch(main, QStringLiteral("Brannock"));
  EXPECT_EQ(harness.errors.texts.size(), 1);
  EXPECT_EQ(main.roster().rows().size(), 2u);
}

TEST(MainWindowFetch, showsTheBusyCursorWhileFetchingAndRestoresItAfter) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  std::vector<Qt::CursorShape> seen;
  QObject::connect(&main.roster(), &RosterModel::modelReset, [&] {
    const QCursor* cursor = QApplication::overrideCursor();
    seen.push_back(cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
  });
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(main, QStringLiteral("Brannock"));
  EXPECT_EQ(seen, std::vector<Qt::CursorShape>{Qt::WaitCursor});
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(MainWindowFetch, refreshAsksForTheStoredClanAndServerNotTheSelectors) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer(kTwoMembers));
  harness.server.Answer(OkAnswer("99\r\nAlder|||1|||12:00 01.02.2020|||Mage\r\n"));
  Fetch(main, QStringLiteral("Brannock"));
  main.x3001Click();
  main.ComboBox2->setEditText(QStringLiteral("Other"));
  main.PopupMenu1Popup();
  ASSERT_TRUE(main.N14->isEnabled());
  main.N14->trigger();
  EXPECT_EQ(
      harness.RequestLines(),
      (std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1",
                                "GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1"}));
  EXPECT_EQ(main.StatusBar1->panelText(1), QStringLiteral(u"Онлайн клана: 1"));
  EXPECT_EQ(main.StatusBar1->panelText(2), QStringLiteral(u"Онлайн сервера: 99"));
}

const std::string kTwoServersOfClans =
    "[x3]\r\nClanName1=Alpha\r\n[x300]\r\nClanName1=Beta\r\nClanName2=Gamma\r\n";

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i)
    items << combo->itemText(i);
  return items;
}

TEST(MainWindowServers, menuX300SelectsItRefillsClansAndKeepsTheCurrentServerUntilFetch) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  TMain& main = harness.main();
  main.ComboBox2->setEditText(QStringLiteral("typed"));
  main.x3001->trigger();
  EXPECT_EQ(main.ComboBox1->currentIndex(), 1);
  EXPECT_EQ(Items(main.ComboBox2), (QStringList{"Beta", "Gamma"}));
  EXPECT_EQ(main.ComboBox2->currentText(), "typed");
  EXPECT_EQ(main.queryState().currentServer, "x3");

  harness.server.Answer(OkAnswer("1\r\n"));
  QTest::mouseClick(main.Button1, Qt::LeftButton);
  EXPECT_EQ(main.queryState().currentServer, "x300");
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{
                "GET http://vorlane.example:80/xml.php?clan=typed&server=2 HTTP/1.1"});
}

TEST(MainWindowServers, menuX3SelectsTheFirstServerAndItsClans) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  TMain& main = harness.main();
  main.x3001->trigger();
  main.x31->trigger();
  EXPECT_EQ(main.ComboBox1->currentIndex(), 0);
  EXPECT_EQ(Items(main.ComboBox2), QStringList{"Alpha"});
}

TEST(MainWindowServers, pickingAServerInTheSelectorRefillsTheClanCombo) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  TMain& main = harness.main();
  main.ComboBox2->setEditText(QStringLiteral("kept"));
  QTest::keyClick(main.ComboBox1, Qt::Key_Down);
  EXPECT_EQ(main.ComboBox1->currentIndex(), 1);
  EXPECT_EQ(Items(main.ComboBox2), (QStringList{"Beta", "Gamma"}));
  EXPECT_EQ(main.ComboBox2->currentText(), "kept");
  EXPECT_EQ(main.queryState().currentServer, "x3");
}

TEST(MainWindowServers, clanListsChangedElsewhereShowAtTheNextRefill) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  TMain& main = harness.main();
  harness.clans.clansX3.push_back("Added");
  EXPECT_EQ(Items(main.ComboBox2), QStringList{"Alpha"});
  main.x31->trigger();
  EXPECT_EQ(Items(main.ComboBox2), (QStringList{"Alpha", "Added"}));
}

TEST(MainWindowAutoRefresh, turningItOnThroughTheMenuTicksTheBoxAndEnablesThePeriod) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  main.N6->trigger();
  EXPECT_TRUE(main.N6->isChecked());
  EXPECT_TRUE(main.CheckBox2->isChecked());
  EXPECT_TRUE(main.Label3->isEnabled());
  EXPECT_TRUE(main.Label4->isEnabled());
  EXPECT_TRUE(main.SpinEdit1->isEnabled());
  EXPECT_TRUE(harness.server.Requests().empty());  // no fetch until the next tick
}

TEST(MainWindowAutoRefresh, turningItOffThroughTheBoxClearsTheMenuMark) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  QTest::mouseClick(main.CheckBox2, Qt::LeftButton);
  ASSERT_TRUE(main.N6->isChecked());
  QTest::mouseClick(main.CheckBox2, Qt::LeftButton);
  EXPECT_FALSE(main.CheckBox2->isChecked());
  EXPECT_FALSE(main.N6->isChecked());
  EXPECT_FALSE(main.Label3->isEnabled());
  EXPECT_FALSE(main.Label4->isEnabled());
  EXPECT_FALSE(main.SpinEdit1->isEnabled());
}

struct PeriodCase {
  const char* name;
  QString text;
  bool ticking;
  int interval;
};

class MainWindowPeriod : public testing::TestWithParam<PeriodCase> {};

TEST_P(MainWindowPeriod, setsTheTimerIntervalFromTheFieldsValue) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  main.SpinEdit1->setText(GetParam().text);
  EXPECT_EQ(main.Timer1->isActive(), GetParam().ticking);
  if (GetParam().ticking) {
    EXPECT_EQ(main.Timer1->interval(), GetParam().interval);
  }
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, MainWindowPeriod,
    testing::Values(PeriodCase{"fiveMinutes", "5", true, 300000},
                    PeriodCase{"sixtyMinutes", "60", true, 3600000},
                    PeriodCase{"hexadecimalText", "$A", true, 600000},
                    PeriodCase{"textThatIsNoNumberCountsAsOne", "abc", true, 60000},
                    PeriodCase{"emptyTextCountsAsOne", "", true, 60000},
                    PeriodCase{"zeroGivesNoTicks", "0", false, 0},
                    PeriodCase{"negativeGivesNoTicks", "-3", false, 0},
                    PeriodCase{"hugeValueHoldsTheLongestInterval", "99999", true, INT_MAX},
                    PeriodCase{"largestIntegerHoldsTheLongestInterval", "2147483647", true,
                               INT_MAX}),
    [](const testing::TestParamInfo<PeriodCase>& info) { return std::string(info.param.name); });

TEST(MainWindowAutoRefresh, aChangedPeriodRestartsTheTimerForOneFullNewInterval) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  main.SpinEdit1->setText(QStringLiteral("2"));
  EXPECT_GT(main.Timer1->remainingTime(), 60000);
  main.SpinEdit1->setText(QStringLiteral("0"));
  EXPECT_FALSE(main.Timer1->isActive());
  main.SpinEdit1->setText(QStringLiteral("1"));
  EXPECT_TRUE(main.Timer1->isActive());
  EXPECT_EQ(main.Timer1->interval(), 60000);
}

TEST(MainWindowAutoRefresh, ticksFetchTheStoredClanOnlyWhileAutoRefreshIsOn) {
  MainWindowHarness harness(test::WithTimerBase(20));
  TMain& main = harness.main();
  int ticks = 0;
  QObject::connect(main.Timer1, &QTimer::timeout, [&] { ++ticks; });
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(main, QStringLiteral("Brannock"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  EXPECT_EQ(harness.server.Requests().size(), 1u);  // auto-refresh is off

  // More answers than the test needs: a slow machine may fit in an extra tick.
  for (int i = 0; i < 10; ++i)
    harness.server.Answer(OkAnswer(kTwoMembers));
  main.ComboBox2->setEditText(QStringLiteral("Other"));
  main.N6->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return harness.server.Requests().size() >= 3; }, 5000));
  main.N6->trigger();
  const std::size_t afterOff = harness.server.Requests().size();
  const int ticksAtOff = ticks;
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= ticksAtOff + 2; }, 5000));
  EXPECT_EQ(harness.server.Requests().size(), afterOff);
  for (const std::string& line : harness.RequestLines())
    EXPECT_EQ(line, "GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1");
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowAutoRefresh, theTimerKeepsTickingAfterFailedAutomaticFetches) {
  MainWindowHarness harness(test::WithTimerBase(20));
  TMain& main = harness.main();
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(main, QStringLiteral("Brannock"));
  main.CheckBox2->setChecked(true);
  // No answers left: every automatic fetch fails with a closed connection.
  ASSERT_TRUE(QTest::qWaitFor([&] { return harness.errors.texts.size() >= 2; }, 5000));
  main.CheckBox2->setChecked(false);
  EXPECT_TRUE(main.Timer1->isActive());
  EXPECT_EQ(harness.errors.texts.front(), "Connection Closed Gracefully.");
  EXPECT_EQ(main.roster().rows().size(), 2u);
}

}  // namespace
}  // namespace quellar
