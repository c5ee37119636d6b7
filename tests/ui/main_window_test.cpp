#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSizeGrip>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "main_window_harness.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"
#include "support/child.h"
#include "support/printers.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace quellar {
namespace {

using test::Child;
using test::MainWindowHarness;

TEST(MainWindow, startsWithServerX3NoClanAutoRefreshOffAndAnEmptyTable) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const test::MainWindowControls& ui = harness.ui;
  EXPECT_EQ(ui.serverCombo->count(), 2);
  EXPECT_EQ(ui.serverCombo->itemText(0), "x3");
  EXPECT_EQ(ui.serverCombo->itemText(1), "x300");
  EXPECT_EQ(ui.serverCombo->currentIndex(), 0);
  EXPECT_FALSE(ui.serverCombo->isEditable());
  EXPECT_TRUE(ui.clanCombo->isEditable());
  EXPECT_EQ(ui.clanCombo->currentText(), "");
  EXPECT_FALSE(ui.caseSensitiveCheck->isChecked());
  EXPECT_FALSE(ui.autoRefreshCheck->isChecked());
  EXPECT_FALSE(ui.autoRefreshAction->isChecked());
  EXPECT_FALSE(ui.notifyAction->isChecked());
  EXPECT_FALSE(ui.historyAction->isChecked());
  EXPECT_FALSE(harness.notifier.enabled);
  EXPECT_FALSE(ui.periodLabel->isEnabled());
  EXPECT_FALSE(ui.minutesLabel->isEnabled());
  EXPECT_FALSE(ui.periodSpin->isEnabled());
  EXPECT_EQ(ui.periodSpin->text(), "1");
  EXPECT_EQ(ui.rosterTable->model()->rowCount(), 0);
  for (int panel = 0; panel < StatusPanels::kPanelCount; ++panel)
    EXPECT_EQ(ui.statusPanels->panelText(panel), "") << panel;
  EXPECT_TRUE(ui.refreshTimer->isActive());
  EXPECT_EQ(ui.refreshTimer->interval(), 60000);
  // No clan asked for yet: nothing to refresh.
  test::OpenTableMenu(ui);
  EXPECT_FALSE(ui.refreshAction->isEnabled());
  EXPECT_EQ(main.focusWidget(), ui.clanCombo);
}

TEST(MainWindow, tableIsAReadOnlyReportWithWholeRowSingleSelection) {
  MainWindowHarness harness;
  QTreeView* table = harness.ui.rosterTable;
  EXPECT_EQ(table->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(table->isSortingEnabled());
  EXPECT_FALSE(table->rootIsDecorated());
  EXPECT_EQ(table->contextMenuPolicy(), Qt::CustomContextMenu);
  const std::vector<int> widths = {105, 91, 105, 105};
  for (int column = 0; column < 4; ++column)
    EXPECT_EQ(table->header()->sectionSize(column), widths[column]) << column;
}

TEST(MainWindow, columnWidthsOutlastAFill) {
  MainWindowHarness harness;
  const test::MainWindowControls& ui = harness.ui;
  ui.roster->Show(FillRoster("1\r\nA|||1|||r|||p\r\n", ui.roster->locale()));
  const std::vector<int> widths = {105, 91, 105, 105};
  for (int column = 0; column < 4; ++column)
    EXPECT_EQ(ui.rosterTable->header()->sectionSize(column), widths[column]) << column;
}

TEST(MainWindow, statusBarHasThreePanelsOfTheirWidthsWithoutSizeGrip) {
  MainWindowHarness harness;
  StatusPanels* bar = harness.ui.statusPanels;
  EXPECT_EQ(bar->panel(0)->geometry().x(), 0);
  EXPECT_EQ(bar->panel(0)->width(), 118);
  EXPECT_EQ(bar->panel(0)->frameShape(), QFrame::NoFrame);
  EXPECT_EQ(bar->panel(1)->geometry().x(), 118);
  EXPECT_EQ(bar->panel(1)->width(), 150);
  EXPECT_EQ(bar->panel(1)->alignment(), Qt::AlignCenter);
  EXPECT_EQ(bar->panel(2)->geometry().x(), 268);
  EXPECT_EQ(bar->panel(2)->width(), 150);
  EXPECT_EQ(bar->panel(2)->alignment(), Qt::AlignCenter);
  EXPECT_EQ(bar->findChildren<QSizeGrip*>().size(), 0);
}

QStringList Captions(const QList<QAction*>& actions) {
  QStringList captions;
  for (const QAction* action : actions)
    captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return captions;
}

TEST(MainWindow, mainMenuHoldsOptionsAndHelpWithTheirItems) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const test::MainWindowControls& ui = harness.ui;
  EXPECT_EQ(Captions(ui.menuBar->actions()),
            (QStringList{QStringLiteral(u"Опции"), QStringLiteral(u"Помощь")}));
  EXPECT_FALSE(ui.menuBar->isNativeMenuBar());
  EXPECT_EQ(ui.menuBar->actions().at(0), ui.optionsMenu->menuAction());
  EXPECT_EQ(ui.menuBar->actions().at(1), ui.helpMenu->menuAction());
  EXPECT_EQ(ui.optionsMenu->actions(),
            (QList<QAction*>{ui.autoRefreshAction, ui.notifyAction, ui.historyAction,
                             ui.historyWindowAction, ui.serverMenu->menuAction(), ui.settingsAction,
                             Child<QAction>(main, "exitSeparator"), ui.exitAction}));
  EXPECT_EQ(
      Captions(ui.optionsMenu->actions()),
      (QStringList{
          QStringLiteral(u"Автообновление"), QStringLiteral(u"Уведомлять о входе и выходе"),
          QStringLiteral(u"Записывать историю"), QStringLiteral(u"История…"),
          QStringLiteral(u"Сервер"), QStringLiteral(u"Настройки"), "-", QStringLiteral(u"Выход")}));
  EXPECT_TRUE(ui.autoRefreshAction->isCheckable());
  EXPECT_TRUE(ui.notifyAction->isCheckable());
  EXPECT_TRUE(ui.historyAction->isCheckable());
  EXPECT_FALSE(ui.historyWindowAction->isCheckable());
  EXPECT_EQ(ui.serverMenu->actions(), (QList<QAction*>{ui.x3Action, ui.x300Action}));
  EXPECT_EQ(Captions(ui.serverMenu->actions()), (QStringList{"x3", "x300"}));
  EXPECT_EQ(ui.helpMenu->actions(), QList<QAction*>{ui.aboutAction});
  EXPECT_EQ(ui.aboutAction->text(), QStringLiteral(u"О программе"));
}

TEST(MainWindow, contextMenuHoldsRefreshCopyAndTheSortRadioGroup) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const test::MainWindowControls& ui = harness.ui;
  EXPECT_EQ(ui.tableMenu->actions(),
            (QList<QAction*>{ui.refreshAction, Child<QAction>(main, "refreshSeparator"),
                             ui.copyNickAction, Child<QAction>(main, "sortSeparator"),
                             ui.sortMenu->menuAction()}));
  EXPECT_EQ(Captions(ui.tableMenu->actions()),
            (QStringList{QStringLiteral(u"Обновить"), "-", QStringLiteral(u"Копировать ник"), "-",
                         QStringLiteral(u"Сортировать по")}));
  EXPECT_EQ(ui.refreshAction->shortcut(), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(ui.copyNickAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(ui.sortMenu->actions(),
            (QList<QAction*>{ui.sortByNickAction, ui.sortByPlayTimeAction,
                             ui.sortByRegistrationAction, ui.sortByProfessionAction}));
  EXPECT_EQ(Captions(ui.sortMenu->actions()),
            (QStringList{QStringLiteral(u"Нику"), QStringLiteral(u"Времени игры"),
                         QStringLiteral(u"Дате регистрации"), QStringLiteral(u"Профессии")}));
  for (QAction* item : ui.sortMenu->actions()) {
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    ASSERT_NE(item->actionGroup(), nullptr);
    EXPECT_EQ(item->actionGroup(), ui.sortByNickAction->actionGroup());
  }
  EXPECT_EQ(ui.sortByNickAction->actionGroup()->exclusionPolicy(),
            QActionGroup::ExclusionPolicy::Exclusive);
}

// The named control that holds the keyboard focus.
QString FocusedControl(const QStringList& names) {
  for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
       widget = widget->parentWidget()) {
    if (names.contains(widget->objectName()))
      return widget->objectName();
  }
  return QStringLiteral("(none)");
}

TEST(MainWindow, tabRunsFromClanComboThroughBothGroupsToTheTable) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  harness.ui.autoRefreshCheck->setChecked(true);  // so the period field takes the focus too
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  const QStringList order = {"clanCombo",        "serverCombo", "caseSensitiveCheck", "fetchButton",
                             "autoRefreshCheck", "periodSpin",  "rosterTable"};
  QStringList visited = {FocusedControl(order)};
  for (int i = 1; i < order.size() + 1; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << FocusedControl(order);
  }
  EXPECT_EQ(visited, order + QStringList{"clanCombo"});
  main.close();
}

// A fetch's request line then shows whether it went through the proxy.
test::HarnessOptions ServerAsRosterHost(test::HarnessOptions options) {
  options.serverAsRosterHost = true;
  return options;
}

TEST(MainWindow, startingWithoutSettingsFileShowsEmptyClanComboAndProxyOff) {
  MainWindowHarness harness(ServerAsRosterHost(test::WithoutSettingsFile()));
  const test::MainWindowControls& ui = harness.ui;
  EXPECT_EQ(ui.clanCombo->count(), 0);
  EXPECT_EQ(ui.clanCombo->currentText(), "");
  EXPECT_TRUE(harness.errors.texts.isEmpty());
  harness.server.Answer(test::OkAnswer("1\r\n"));
  test::Fetch(ui, QStringLiteral("Brannock"));
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{"GET /xml.php?clan=Brannock HTTP/1.1"});  // no proxy
}

TEST(MainWindow, creationLoadsBothClanListsAndFillsTheComboForX3) {
  MainWindowHarness harness(test::WithSettings(
      "[x3]\r\nClanName1=Brannock\r\nClanName2=\xCA\xEB\xE0\xED\r\n[x300]\r\nClanName1=Other\r\n"));
  const test::MainWindowControls& ui = harness.ui;
  EXPECT_EQ(harness.clans.clansX3, (std::vector<std::string>{"Brannock", "\xCA\xEB\xE0\xED"}));
  EXPECT_EQ(harness.clans.clansX300, std::vector<std::string>{"Other"});
  ASSERT_EQ(ui.clanCombo->count(), 2);
  EXPECT_EQ(ui.clanCombo->itemText(0), "Brannock");
  EXPECT_EQ(ui.clanCombo->itemText(1), QStringLiteral(u"Клан"));
  EXPECT_EQ(ui.clanCombo->currentText(), "");
  // The proxy at 127.0.0.1 and the server's port: the request reaches the server
  // in a proxy's form.
  harness.server.Answer(test::OkAnswer("1\r\n"));
  test::Fetch(ui, QStringLiteral("Brannock"));
  EXPECT_EQ(
      harness.RequestLines(),
      std::vector<std::string>{"GET http://vorlane.example:80/xml.php?clan=Brannock HTTP/1.1"});
}

TEST(MainWindow, reloadKeepsTypedClanAndTakesTheListOfTheChosenServer) {
  MainWindowHarness harness(ServerAsRosterHost(test::WithSettings("[x3]\r\nClanName1=A\r\n")));
  MainWindow& main = harness.main();
  const test::MainWindowControls& ui = harness.ui;
  ui.serverCombo->setCurrentIndex(1);
  ui.clanCombo->setEditText(QStringLiteral("typed"));
  harness.WriteSettings("[x3]\r\nClanName1=A\r\n[x300]\r\nClanName1=B\r\nClanName2=C\r\n");
  main.reloadSettings();
  ASSERT_EQ(ui.clanCombo->count(), 2);
  EXPECT_EQ(ui.clanCombo->itemText(0), "B");
  EXPECT_EQ(ui.clanCombo->itemText(1), "C");
  EXPECT_EQ(ui.clanCombo->currentText(), "typed");
  harness.server.Answer(test::OkAnswer("1\r\n"));
  QTest::mouseClick(ui.fetchButton, Qt::LeftButton);
  test::WaitForWindows();
  EXPECT_EQ(harness.RequestLines(),
            std::vector<std::string>{"GET /xml.php?clan=typed&server=2 HTTP/1.1"});  // no proxy
}

TEST(MainWindow, clanComboCompletesFromTheClanListAndEnterAddsNoItem) {
  MainWindowHarness harness(
      test::WithSettings("[x3]\r\nClanName1=Brannock\r\nClanName2=Bravo\r\n"));
  QComboBox* clanCombo = harness.ui.clanCombo;
  for (QChar ch : QStringLiteral("brav"))
    QTest::sendKeyEvent(QTest::Click, clanCombo, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  EXPECT_EQ(clanCombo->currentText(), "bravo");
  EXPECT_EQ(clanCombo->lineEdit()->selectedText(), "o");
  QTest::keyClick(clanCombo, Qt::Key_Return);
  EXPECT_EQ(clanCombo->count(), 2);
  EXPECT_EQ(clanCombo->currentText(), "bravo");
}

}  // namespace
}  // namespace quellar
