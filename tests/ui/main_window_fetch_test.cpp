#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <climits>
#include <filesystem>
#include <tuple>
#include <utility>

#include "common/cp1251.h"
#include "common/path_text.h"
#include "history/history_file.h"
#include "history/recorded_queries.h"
#include "history/week_grid.h"
#include "main_window_harness.h"
#include "roster/roster_model.h"
#include "support/child.h"
#include "support/printers.h"
#include "support/roster_nicks.h"
#include "support/socket_error_messages.h"
#include "ui/settings_dialog.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using test::Fetch;
using test::MainWindowHarness;
using test::Nicks;
using test::OkAnswer;

const std::string kTwoMembers =
    "1234\r\nBrannock|||120|||12:00 01.02.2020|||Mage\r\nAlder|||45|||08:30 "
    "03.04.2021|||Warrior\r\n";

// The request line of a refresh from the table's context menu, which asks for the
// clan and server of the last fetch.
std::string RefreshRequest(MainWindowHarness& harness) {
  harness.server.Answer(OkAnswer("1\r\n"));
  test::OpenTableMenu(harness.ui);
  if (!harness.ui.refreshAction->isEnabled())
    return "(refresh disabled)";
  harness.ui.refreshAction->trigger();
  test::WaitForWindows();
  return harness.RequestLines().back();
}

TEST(MainWindowFetch, sendsClanServerAndCaseThroughTheProxyAndFillsTheTable) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer(kTwoMembers));
  ui.serverCombo->setCurrentIndex(1);
  ui.caseSensitiveCheck->setChecked(true);
  Fetch(ui, QStringLiteral("Brannock"));

  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{
                "GET http://vorlane.example:80/xml.php?clan=Brannock&case=1&server=2 HTTP/1.1"});
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"Alder", "Brannock"}));
  EXPECT_EQ(ui.statusPanels->panelText(0), "");
  EXPECT_EQ(ui.statusPanels->panelText(1), QStringLiteral(u"Онлайн клана: 2"));
  EXPECT_EQ(ui.statusPanels->panelText(2), QStringLiteral(u"Онлайн сервера: 1234"));
  EXPECT_TRUE(harness.errors.texts.isEmpty());
  EXPECT_EQ(RefreshRequest(harness),
            "GET http://vorlane.example:80/xml.php?clan=Brannock&case=1&server=2 HTTP/1.1");
}

TEST(MainWindowFetch, enterOnTheFocusedFetchButtonFetchesOnceAndNowhereElse) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer("1\r\n"));
  ui.clanCombo->setEditText(QStringLiteral("Brannock"));
  QTest::keyClick(ui.caseSensitiveCheck, Qt::Key_Return);
  EXPECT_TRUE(harness.RequestLines().empty());
  QTest::keyClick(ui.fetchButton, Qt::Key_Return);
  test::WaitForWindows();
  EXPECT_EQ(
      harness.RequestLines(),
      std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1"});
}

TEST(MainWindowFetch, sendsACyrillicClanNameAsItsWindows1251Bytes) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer("1\r\n"));
  Fetch(ui, QStringLiteral(u"Клан Ёж"));
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{
                "GET http://vorlane.example:80/xml.php?clan=\xCA\xEB\xE0\xED \xA8\xE6 HTTP/1.1"});
  EXPECT_EQ(RefreshRequest(harness),
            "GET http://vorlane.example:80/xml.php?clan=\xCA\xEB\xE0\xED \xA8\xE6 HTTP/1.1");
}

TEST(MainWindowFetch, emptyClanFetchesAnEmptyValueAndThenTimerAndRefreshDoNothing) {
  MainWindowHarness harness(test::WithTimerBase(20));
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer("7\r\n"));
  Fetch(ui, QString());
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan= HTTP/1.1"});
  EXPECT_EQ(ui.statusPanels->panelText(2), QStringLiteral(u"Онлайн сервера: 7"));

  ui.autoRefreshCheck->setChecked(true);
  int ticks = 0;
  QObject::connect(ui.refreshTimer, &QTimer::timeout, [&] { ++ticks; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  test::OpenTableMenu(ui);
  EXPECT_FALSE(ui.refreshAction->isEnabled());
  EXPECT_EQ(harness.server.Requests().size(), 1u);
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowFetch, aFailedFetchKeepsTableAndStatusButTheStoredQueryStays) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(ui, QStringLiteral("Brannock"));
  harness.server.Answer("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  ui.serverCombo->setCurrentIndex(1);
  Fetch(ui, QStringLiteral("Other"));

  EXPECT_EQ(harness.errors.texts, QStringList{"HTTP/1.1 404 Not Found."});
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"Alder", "Brannock"}));
  EXPECT_EQ(ui.statusPanels->panelText(1), QStringLiteral(u"Онлайн клана: 2"));
  EXPECT_EQ(ui.statusPanels->panelText(2), QStringLiteral(u"Онлайн сервера: 1234"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(RefreshRequest(harness),
            "GET http://vorlane.example:80/xml.php?clan=Other&server=2 HTTP/1.1");
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
  Fetch(harness.ui, QStringLiteral("Brannock"));
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
  harness.main().reloadSettings();
  Fetch(harness.ui, QStringLiteral("Brannock"));
  EXPECT_EQ(harness.errors.texts, QStringList{QString::fromStdString(test::kRefusedMessage)});
}

// The proxy starts with no host and port 0, and a file that switches it on
// without naming them leaves it so.
TEST(MainWindowFetch, aProxySwitchedOnWithoutServerOrPortHasNoHostAndPortZero) {
  for (const auto& [settings, shown] :
       {std::pair{"[Proxy]\r\nuse=1\r\n", std::string("Socket Error # 11001\nHost not found.")},
        std::pair{"[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\n", test::kUnusablePortMessage}}) {
    MainWindowHarness harness(test::HarnessOptions{settings, false});
    Fetch(harness.ui, QStringLiteral("Brannock"));
    EXPECT_EQ(harness.errors.texts, QStringList{QString::fromStdString(shown)}) << settings;
  }
}

TEST(MainWindowFetch, anErrorInOneHandlerLeavesTheWindowWorkingForTheNextAction) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.AnswerThenClose(
      "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(ui, QStringLiteral("Brannock"));
  ASSERT_EQ(harness.errors.texts, QStringList{"HTTP/1.1 500 Internal Server Error."});
  Fetch(ui, QStringLiteral("Brannock"));
  EXPECT_EQ(harness.errors.texts.size(), 1);
  EXPECT_EQ(ui.roster->rows().size(), 2u);
}

TEST(MainWindowFetch, showsTheBusyArrowWhileFetchingAndRestoresItAfter) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer(kTwoMembers));
  ui.clanCombo->setEditText(QStringLiteral("Brannock"));
  QTest::mouseClick(ui.fetchButton, Qt::LeftButton);
  ASSERT_TRUE(harness.main().fetching());
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  test::WaitForWindows();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"Alder", "Brannock"}));
}

TEST(MainWindowFetch, refreshAsksForTheStoredClanAndServerNotTheSelectors) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer(kTwoMembers));
  harness.server.Answer(OkAnswer("99\r\nAlder|||1|||12:00 01.02.2020|||Mage\r\n"));
  Fetch(ui, QStringLiteral("Brannock"));
  ui.x300Action->trigger();
  ui.clanCombo->setEditText(QStringLiteral("Other"));
  test::OpenTableMenu(ui);
  ASSERT_TRUE(ui.refreshAction->isEnabled());
  ui.refreshAction->trigger();
  test::WaitForWindows();
  EXPECT_EQ(
      harness.RequestLines(),
      (std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1",
                                "GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1"}));
  EXPECT_EQ(ui.statusPanels->panelText(1), QStringLiteral(u"Онлайн клана: 1"));
  EXPECT_EQ(ui.statusPanels->panelText(2), QStringLiteral(u"Онлайн сервера: 99"));
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
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer("1\r\n"));
  Fetch(ui, QStringLiteral("typed"));
  ui.x300Action->trigger();
  EXPECT_EQ(ui.serverCombo->currentIndex(), 1);
  EXPECT_EQ(Items(ui.clanCombo), (QStringList{"Beta", "Gamma"}));
  EXPECT_EQ(ui.clanCombo->currentText(), "typed");
  // A refresh still asks x3.
  EXPECT_EQ(RefreshRequest(harness), "GET http://vorlane.example:80/xml.php?clan=typed HTTP/1.1");

  harness.server.Answer(OkAnswer("1\r\n"));
  QTest::mouseClick(ui.fetchButton, Qt::LeftButton);
  test::WaitForWindows();
  EXPECT_EQ(harness.RequestLines().back(),
            "GET http://vorlane.example:80/xml.php?clan=typed&server=2 HTTP/1.1");
}

TEST(MainWindowServers, menuX3SelectsTheFirstServerAndItsClans) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  const test::MainWindowControls& ui = harness.ui;
  ui.x300Action->trigger();
  ui.x3Action->trigger();
  EXPECT_EQ(ui.serverCombo->currentIndex(), 0);
  EXPECT_EQ(Items(ui.clanCombo), QStringList{"Alpha"});
}

TEST(MainWindowServers, pickingAServerInTheSelectorRefillsTheClanCombo) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer("1\r\n"));
  Fetch(ui, QStringLiteral("kept"));
  QTest::keyClick(ui.serverCombo, Qt::Key_Down);
  EXPECT_EQ(ui.serverCombo->currentIndex(), 1);
  EXPECT_EQ(Items(ui.clanCombo), (QStringList{"Beta", "Gamma"}));
  EXPECT_EQ(ui.clanCombo->currentText(), "kept");
  // A refresh still asks x3.
  EXPECT_EQ(RefreshRequest(harness), "GET http://vorlane.example:80/xml.php?clan=kept HTTP/1.1");
}

TEST(MainWindowServers, clanListsChangedElsewhereShowAtTheNextRefill) {
  MainWindowHarness harness(test::WithSettings(kTwoServersOfClans));
  const test::MainWindowControls& ui = harness.ui;
  harness.clans.clansX3.push_back("Added");
  EXPECT_EQ(Items(ui.clanCombo), QStringList{"Alpha"});
  ui.x3Action->trigger();
  EXPECT_EQ(Items(ui.clanCombo), (QStringList{"Alpha", "Added"}));
}

TEST(MainWindowAutoRefresh, turningItOnThroughTheMenuTicksTheBoxAndEnablesThePeriod) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  ui.autoRefreshAction->trigger();
  EXPECT_TRUE(ui.autoRefreshAction->isChecked());
  EXPECT_TRUE(ui.autoRefreshCheck->isChecked());
  EXPECT_TRUE(ui.periodLabel->isEnabled());
  EXPECT_TRUE(ui.minutesLabel->isEnabled());
  EXPECT_TRUE(ui.periodSpin->isEnabled());
  EXPECT_TRUE(harness.server.Requests().empty());  // no fetch until the next tick
}

TEST(MainWindowAutoRefresh, turningItOffThroughTheBoxClearsTheMenuMark) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  QTest::mouseClick(ui.autoRefreshCheck, Qt::LeftButton);
  ASSERT_TRUE(ui.autoRefreshAction->isChecked());
  QTest::mouseClick(ui.autoRefreshCheck, Qt::LeftButton);
  EXPECT_FALSE(ui.autoRefreshCheck->isChecked());
  EXPECT_FALSE(ui.autoRefreshAction->isChecked());
  EXPECT_FALSE(ui.periodLabel->isEnabled());
  EXPECT_FALSE(ui.minutesLabel->isEnabled());
  EXPECT_FALSE(ui.periodSpin->isEnabled());
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
  const test::MainWindowControls& ui = harness.ui;
  ui.periodSpin->setText(GetParam().text);
  EXPECT_EQ(ui.refreshTimer->isActive(), GetParam().ticking);
  if (GetParam().ticking) {
    EXPECT_EQ(ui.refreshTimer->interval(), GetParam().interval);
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
  const test::MainWindowControls& ui = harness.ui;
  ui.periodSpin->setText(QStringLiteral("2"));
  EXPECT_GT(ui.refreshTimer->remainingTime(), 60000);
  ui.periodSpin->setText(QStringLiteral("0"));
  EXPECT_FALSE(ui.refreshTimer->isActive());
  ui.periodSpin->setText(QStringLiteral("1"));
  EXPECT_TRUE(ui.refreshTimer->isActive());
  EXPECT_EQ(ui.refreshTimer->interval(), 60000);
}

TEST(MainWindowAutoRefresh, ticksFetchTheStoredClanOnlyWhileAutoRefreshIsOn) {
  MainWindowHarness harness(test::WithTimerBase(20));
  const test::MainWindowControls& ui = harness.ui;
  int ticks = 0;
  QObject::connect(ui.refreshTimer, &QTimer::timeout, [&] { ++ticks; });
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(ui, QStringLiteral("Brannock"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  EXPECT_EQ(harness.server.Requests().size(), 1u);  // auto-refresh is off

  // More answers than the test needs: a slow machine may fit in an extra tick.
  for (int i = 0; i < 10; ++i)
    harness.server.Answer(OkAnswer(kTwoMembers));
  ui.clanCombo->setEditText(QStringLiteral("Other"));
  ui.autoRefreshAction->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return harness.server.Requests().size() >= 3; }, 5000));
  ui.autoRefreshAction->trigger();
  test::WaitForWindows();  // one asked for before the switch still ends
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
  const test::MainWindowControls& ui = harness.ui;
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(ui, QStringLiteral("Brannock"));
  ui.autoRefreshCheck->setChecked(true);
  // No answers left: every automatic fetch fails with a closed connection.
  ASSERT_TRUE(QTest::qWaitFor([&] { return harness.errors.texts.size() >= 2; }, 5000));
  ui.autoRefreshCheck->setChecked(false);
  EXPECT_TRUE(ui.refreshTimer->isActive());
  EXPECT_EQ(harness.errors.texts.front(), "Connection Closed Gracefully.");
  EXPECT_EQ(ui.roster->rows().size(), 2u);
}

// Alder and Brannock, then Alder, Ёжик and Яга (of one script, which every
// platform orders alike).
const std::string kChanged = "1\r\n" + ToCp1251(u"Яга") + "|||1|||r|||p\r\n" + ToCp1251(u"Ёжик") +
                             "|||2|||r|||p\r\nAlder|||45|||r|||p\r\n";

TEST(MainWindowNotices, tellWhoCameAndWhoLeftBetweenTwoFetchesOfOneQueryWhileOn) {
  MainWindowHarness harness(test::WithSettings("[x3]\r\nClanName1=Brannock\r\n"));
  const test::MainWindowControls& ui = harness.ui;
  const std::string untouched = harness.ReadSettings();
  ui.notifyAction->trigger();
  EXPECT_TRUE(harness.notifier.enabled);
  EXPECT_EQ(harness.ReadSettings(), untouched + "[Notify]\r\non=1\r\n");

  const QString came = QStringLiteral(u"Quellar: Brannock\nВошли: Ёжик, Яга\nВышли: Brannock");
  const QString back = QStringLiteral(u"Quellar: Brannock\nВошли: Brannock\nВышли: Ёжик, Яга");
  const std::string failed = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
  // Clan (null: "Обновить", which asks the query of the last fetch), server, case.
  const std::tuple<const char*, int, bool, std::string, QStringList> steps[] = {
      {"Brannock", 0, false, OkAnswer(kTwoMembers), {}},  // the first fetch
      {"Brannock", 0, false, OkAnswer(kTwoMembers), {}},  // nobody came or left
      {"Brannock", 0, false, failed, {}},
      {"Brannock", 0, false, OkAnswer(kChanged), {came}},
      {"Other", 0, false, OkAnswer(kTwoMembers), {came}},
      {"Brannock", 0, false, OkAnswer(kTwoMembers), {came}},
      {"Brannock", 1, false, OkAnswer(kChanged), {came}},
      {"Brannock", 1, true, OkAnswer(kTwoMembers), {came}},
      {nullptr, 1, true, OkAnswer(kChanged), {came, came}},
      {nullptr, 1, true, OkAnswer(kTwoMembers), {came, came, back}}};
  for (const auto& [clan, server, caseSensitive, answer, shown] : steps) {
    harness.server.Answer(answer);
    ui.serverCombo->setCurrentIndex(server);
    ui.caseSensitiveCheck->setChecked(caseSensitive);
    if (clan != nullptr)
      Fetch(ui, QString::fromLatin1(clan));
    else
      ui.refreshAction->trigger();
    test::WaitForWindows();
    EXPECT_EQ(harness.notifier.shown, shown) << harness.server.Requests().size();
  }
  EXPECT_EQ(harness.errors.texts, QStringList{"HTTP/1.1 404 Not Found."});
  harness.main().showMinimized();
  emit harness.notifier.activated();  // a click on the notice
  EXPECT_FALSE(harness.main().isMinimized());

  // Off forgets the roster kept: the first fetch after on again compares with none.
  ui.notifyAction->trigger();
  EXPECT_FALSE(harness.notifier.enabled);
  EXPECT_EQ(harness.ReadSettings(), untouched + "[Notify]\r\non=0\r\n");
  for (const std::string& answer : {kChanged, kTwoMembers}) {
    harness.server.Answer(OkAnswer(answer));
    Fetch(ui, QStringLiteral("Brannock"));
  }
  ui.notifyAction->trigger();
  harness.server.Answer(OkAnswer(kChanged));
  Fetch(ui, QStringLiteral("Brannock"));
  EXPECT_EQ(harness.notifier.shown.size(), 3);
}

// A file without the switch keeps its bytes through fetches and the settings
// dialog's save; with it, the notices stay on; a switch not saved stays as it was.
TEST(MainWindowNotices, theSwitchIsReadFromTheFileWhichOnlyItsMenuItemWrites) {
  const std::pair<std::string, bool> files[] = {
      {"", false}, {"[Notify]\r\non=0\r\n", false}, {"[notify]\r\nON = 0x1 \r\n", true}};
  for (const auto& [notify, on] : files) {
    MainWindowHarness harness(test::WithoutSettingsFile());
    harness.WriteSettings(test::ProxySection(harness.server.port()) + notify +
                          "[x3]\r\nClanName1=Brannock\r\n");
    harness.main().reloadSettings();
    const std::string bytes = harness.ReadSettings();
    for (const std::string& answer : {kTwoMembers, kChanged}) {
      harness.server.Answer(OkAnswer(answer));
      Fetch(harness.ui, QStringLiteral("Brannock"));
    }
    SettingsDialog dialog(harness.main().settingsFile(), harness.clans, &harness.main());
    QObject::connect(&dialog, &SettingsDialog::settingsSaved, &harness.main(),
                     &MainWindow::reloadSettings);
    dialog.show();
    QTest::mouseClick(test::Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    EXPECT_EQ(harness.ReadSettings(), bytes);
    EXPECT_EQ(harness.ui.notifyAction->isChecked(), on) << notify;
    EXPECT_EQ(harness.notifier.enabled, on);
    EXPECT_EQ(harness.notifier.shown.size(), on ? 1 : 0);
  }
  MainWindowHarness harness(test::WithoutSettingsFile());
  ASSERT_TRUE(QDir(harness.directory.path()).mkdir(QStringLiteral("options.ini")));
  harness.ui.notifyAction->trigger();
  EXPECT_EQ(harness.errors.texts, QStringList{"Unable to write to " +
                                              PathToQString(harness.main().settingsFile()) + "."});
  EXPECT_FALSE(harness.ui.notifyAction->isChecked());
  EXPECT_FALSE(harness.notifier.enabled);
}

}  // namespace
}  // namespace quellar

namespace quellar {
namespace {

// Each switch of the menu writes its own section and nothing else, on and off.
TEST(MainWindowSwitches, eachMenuSwitchWritesItsOwnSectionAlone) {
  const std::pair<QAction * test::MainWindowControls::*, std::string> switches[] = {
      {&test::MainWindowControls::notifyAction, "Notify"},
      {&test::MainWindowControls::historyAction, "History"}};
  for (const auto& [item, section] : switches) {
    MainWindowHarness harness(test::WithSettings("[x3]\r\nClanName1=Brannock\r\n"));
    const std::string untouched = harness.ReadSettings();
    EXPECT_FALSE((harness.ui.*item)->isChecked());
    (harness.ui.*item)->trigger();
    EXPECT_EQ(harness.ReadSettings(), untouched + "[" + section + "]\r\non=1\r\n");
    (harness.ui.*item)->trigger();
    EXPECT_EQ(harness.ReadSettings(), untouched + "[" + section + "]\r\non=0\r\n");
    harness.WriteSettings("[" + section + "]\r\non=1\r\n");
    harness.main().reloadSettings();
    EXPECT_TRUE((harness.ui.*item)->isChecked()) << section;
  }
}

bool Exists(const std::filesystem::path& file) {
  std::error_code error;
  return std::filesystem::exists(file, error);
}

TEST(MainWindowHistory, isRecordedOnlyWhileTheSwitchIsOnAndForEverySuccessfulFetch) {
  MainWindowHarness harness;
  const std::filesystem::path file = harness.main().historyFile();
  EXPECT_EQ(file.filename(), "history.sqlite");
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(harness.ui, QStringLiteral("Brannock"));
  harness.ui.historyWindowAction->trigger();  // reading opens nothing either
  EXPECT_FALSE(Exists(file));

  harness.ui.historyAction->trigger();
  const std::int64_t first = harness.now.toSecsSinceEpoch();
  for (const std::string& answer :
       {OkAnswer(kTwoMembers), std::string("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"),
        OkAnswer(kTwoMembers)}) {
    harness.server.Answer(answer);
    harness.ui.refreshAction->trigger();
    test::WaitForWindows();
    harness.now = harness.now.addSecs(60);
  }
  EXPECT_EQ(harness.errors.texts, QStringList{"HTTP/1.1 404 Not Found."});
  HistoryFile history(file);
  const RosterQuery query{"Brannock", Server::kX3, false};
  EXPECT_EQ(ReadRecordedQueries(history),
            (std::vector<RecordedQuery>{{query, first, first + 120}}));
  const WeekGrid grid = ReadWeekGrid(history, query, harness.now, test::kHistoryZone, 0);
  int fetches = 0;
  for (const GridCell& cell : grid.cells)
    fetches += cell.fetches;
  EXPECT_EQ(fetches, 2);
}

// The roster comes first: the table fills whatever the file does, and a failing
// file is told once until a recording works again.
TEST(MainWindowHistory, aFailingFileIsToldOnceUntilARecordingWorksAgain) {
  MainWindowHarness harness;
  const std::filesystem::path file = harness.main().historyFile();
  const QString told = QStringLiteral(u"Не удалось записать историю в файл «") +
                       PathToQString(file) + QStringLiteral(u"»: на месте файла находится папка.");
  ASSERT_TRUE(std::filesystem::create_directory(file));
  harness.ui.historyAction->trigger();
  for (int fetch = 0; fetch < 2; ++fetch) {
    harness.server.Answer(OkAnswer(kTwoMembers));
    Fetch(harness.ui, QStringLiteral("Brannock"));
    EXPECT_EQ(harness.ui.roster->rows().size(), 2u);
  }
  EXPECT_EQ(harness.errors.texts, QStringList{told});

  std::filesystem::remove(file);
  harness.server.Answer(OkAnswer(kTwoMembers));
  Fetch(harness.ui, QStringLiteral("Brannock"));
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  // Off lets go of the file; on again, the next failure is told again.
  harness.ui.historyAction->trigger();
  std::filesystem::remove(file);
  ASSERT_TRUE(std::filesystem::create_directory(file));
  harness.ui.historyAction->trigger();
  for (int fetch = 0; fetch < 2; ++fetch) {
    harness.server.Answer(OkAnswer(kTwoMembers));
    Fetch(harness.ui, QStringLiteral("Brannock"));
  }
  EXPECT_EQ(harness.errors.texts, (QStringList{told, told}));
  EXPECT_EQ(harness.ui.roster->rows().size(), 2u);
}

}  // namespace
}  // namespace quellar
