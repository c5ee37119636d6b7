#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "main_window_harness.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"
#include "support/printers.h"
#include "support/roster_nicks.h"
#include "ui/status_panels.h"

#include <algorithm>

namespace quellar {
namespace {

using test::MainWindowControls;
using test::MainWindowHarness;
using test::Nicks;
using test::OkAnswer;

// Nick order after a fill: Ёлка, Alder, Brannock (Cyrillic before Latin in "ru"
// as ICU collates); Alder, Brannock, Ёлка on Windows, which puts Latin first.
#ifdef _WIN32
const std::vector<std::string> kFilledOrder = {"Alder", "Brannock", "\xA8\xEB\xEA\xE0"};
#else
const std::vector<std::string> kFilledOrder = {"\xA8\xEB\xEA\xE0", "Alder", "Brannock"};
#endif

// The row that holds nick after a fill.
int RowOf(const std::string& nick) {
  return static_cast<int>(std::find(kFilledOrder.begin(), kFilledOrder.end(), nick) -
                          kFilledOrder.begin());
}

const std::string kThreeMembers =
    "50\r\n"
    "Brannock|||120|||12:00 01.02.2020|||Mage\r\n"
    "\xA8\xEB\xEA\xE0|||9|||08:30 03.04.2021|||Archer\r\n"
    "Alder|||10|||10:00 15.06.2019|||Warrior\r\n";

std::vector<bool> SortMarks(const MainWindowControls& ui) {
  return {ui.sortByNickAction->isChecked(), ui.sortByPlayTimeAction->isChecked(),
          ui.sortByRegistrationAction->isChecked(), ui.sortByProfessionAction->isChecked()};
}

void FillTable(MainWindowHarness& harness, const std::string& body = kThreeMembers) {
  harness.server.Answer(OkAnswer(body));
  test::Fetch(harness.ui, QStringLiteral("Brannock"));
  ASSERT_TRUE(harness.errors.texts.isEmpty());
}

void SelectRow(const MainWindowControls& ui, int row) {
  ui.rosterTable->selectionModel()->select(
      ui.rosterTable->model()->index(row, 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// A real double click: a press and release, then the second press that the window
// system reports as the double click.
void DoubleClick(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

void ClickHeader(const MainWindowControls& ui, int column) {
  QHeaderView* header = ui.rosterTable->header();
  const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

TEST(MainWindowSort, headerClicksAlternateTheSharedDirectionAndLeaveTheMenuMarks) {
  MainWindowHarness harness;
  const MainWindowControls& ui = harness.ui;
  FillTable(harness);
  ASSERT_EQ(Nicks(*ui.roster), kFilledOrder);

  ClickHeader(ui, 0);  // first request: descending
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  ClickHeader(ui, 1);  // next request, another column: ascending, numerically
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Alder", "Brannock"}));
  EXPECT_EQ(SortMarks(ui), (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowSort, menuItemsMarkThemselvesThenSort) {
  MainWindowHarness harness;
  const MainWindowControls& ui = harness.ui;
  FillTable(harness);
  ui.sortByRegistrationAction->trigger();  // descending
  EXPECT_EQ(SortMarks(ui), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  ui.sortByProfessionAction->trigger();  // ascending
  EXPECT_EQ(SortMarks(ui), (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  ui.sortByNickAction->trigger();  // descending
  EXPECT_EQ(SortMarks(ui), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  ui.sortByNickAction->trigger();  // choosing the marked item keeps it marked
  EXPECT_EQ(SortMarks(ui), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(Nicks(*ui.roster),
            (std::vector<std::string>{"Alder", "Brannock", "\xA8\xEB\xEA\xE0"}));  // ascending
}

TEST(MainWindowSort, aPlayTimeThatIsNoNumberShowsTheErrorAndKeepsTheFlippedDirection) {
  MainWindowHarness harness;
  const MainWindowControls& ui = harness.ui;
  FillTable(harness, "1\r\nA|||abc|||12:00 01.02.2020|||p\r\nB|||5|||12:00 01.02.2020|||p\r\n");
  ui.sortByPlayTimeAction->trigger();
  EXPECT_EQ(harness.errors.texts, QStringList{"'abc' is not a valid integer value."});
  EXPECT_TRUE(ui.sortByPlayTimeAction->isChecked());
  ClickHeader(ui, 0);  // flipped back: ascending
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"A", "B"}));
}

TEST(MainWindowSort, anEmptyTableSortsWithoutError) {
  MainWindowHarness harness;
  const MainWindowControls& ui = harness.ui;
  ClickHeader(ui, 2);
  EXPECT_TRUE(harness.errors.texts.isEmpty());
  FillTable(harness);
  ClickHeader(ui, 0);  // the empty table's sort flipped the direction: ascending now
  EXPECT_EQ(Nicks(*ui.roster), (std::vector<std::string>{"Alder", "Brannock", "\xA8\xEB\xEA\xE0"}));
}

TEST(MainWindowPopup, enablesRefreshOnlyWithACurrentClanAndCopyOnlyWithASelectedRow) {
  MainWindowHarness harness;
  const MainWindowControls& ui = harness.ui;
  // Enabled beforehand, so only the opening can disable them.
  ui.refreshAction->setEnabled(true);
  ui.copyNickAction->setEnabled(true);
  test::OpenTableMenu(ui);
  EXPECT_FALSE(ui.refreshAction->isEnabled());
  EXPECT_FALSE(ui.copyNickAction->isEnabled());
  FillTable(harness);
  test::OpenTableMenu(ui);
  EXPECT_TRUE(ui.refreshAction->isEnabled());
  EXPECT_FALSE(ui.copyNickAction->isEnabled());
  SelectRow(ui, 1);
  test::OpenTableMenu(ui);
  EXPECT_TRUE(ui.copyNickAction->isEnabled());
}

// Shows the window active with the keyboard focus on focused.
void FocusInActiveWindow(MainWindow& main, QWidget* focused) {
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  focused->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == focused; }, 5000));
}

void PressOnFocused(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  test::WaitForWindows();
}

TEST(MainWindowCopy, copyNickPutsTheSelectedRowsNickOnTheClipboardAsPlainTextAlsoAfterARefill) {
  MainWindowHarness harness;
  const MainWindowControls& ui = harness.ui;
  FillTable(harness);
  SelectRow(ui, RowOf("\xA8\xEB\xEA\xE0"));
  ui.copyNickAction->trigger();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), QStringLiteral(u"Ёлка"));
  EXPECT_EQ(data->formats(), QStringList{"text/plain"});

  harness.server.Answer(OkAnswer("51\r\n\xD0\xFB\xE1\xE0\xEA|||1|||12:00 01.02.2020|||Mage\r\n"));
  ui.refreshAction->trigger();
  test::WaitForWindows();
  SelectRow(ui, 0);
  ui.copyNickAction->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral(u"Рыбак"));
}

TEST(MainWindowCopy, doubleClickOnARowCopiesItsNickAndBesideTheRowsNothing) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const MainWindowControls& ui = harness.ui;
  FillTable(harness);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  const QRect row = ui.rosterTable->visualRect(ui.rosterTable->model()->index(RowOf("Alder"), 2));
  DoubleClick(ui.rosterTable->viewport(), row.center());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Alder");

  SelectRow(ui, 0);
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  DoubleClick(ui.rosterTable->viewport(), QPoint(50, 250));
  EXPECT_FALSE(ui.rosterTable->selectionModel()->hasSelection());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  main.close();
}

TEST(MainWindowKeys, ctrlCOnTheTableCopiesTheSelectedNickAndWithNoRowSelectedNothing) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const MainWindowControls& ui = harness.ui;
  FillTable(harness);
  FocusInActiveWindow(main, ui.rosterTable);
  ui.rosterTable->setCurrentIndex(ui.rosterTable->model()->index(1, 0));
  ui.rosterTable->clearSelection();
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  PressOnFocused(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  EXPECT_FALSE(ui.rosterTable->selectionModel()->hasSelection());
  EXPECT_EQ(Nicks(*ui.roster), kFilledOrder);

  SelectRow(ui, RowOf("Brannock"));
  PressOnFocused(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Brannock");
  main.close();
}

TEST(MainWindowKeys, f5OnTheTableRefreshesTheCurrentClanAndWithoutOneDoesNothing) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const MainWindowControls& ui = harness.ui;
  FocusInActiveWindow(main, ui.rosterTable);
  PressOnFocused(Qt::Key_F5);
  EXPECT_TRUE(harness.server.Requests().empty());
  EXPECT_FALSE(ui.refreshAction->isEnabled());

  FillTable(harness);
  harness.server.Answer(OkAnswer("51\r\n"));
  FocusInActiveWindow(main, ui.rosterTable);
  PressOnFocused(Qt::Key_F5);
  EXPECT_EQ(harness.server.Requests().size(), 2u);
  EXPECT_EQ(ui.roster->rows().size(), 0u);
  EXPECT_EQ(ui.statusPanels->panelText(2), QStringLiteral(u"Онлайн сервера: 51"));
  main.close();
}

TEST(MainWindowKeys, f5AndCtrlCElsewhereInTheWindowDoNotActOnTheTable) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const MainWindowControls& ui = harness.ui;
  FillTable(harness);
  SelectRow(ui, 0);
  FocusInActiveWindow(main, ui.fetchButton);
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  PressOnFocused(Qt::Key_F5);
  PressOnFocused(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(harness.server.Requests().size(), 1u);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  main.close();
}

TEST(MainWindowDialogs, exitClosesTheWindow) {
  MainWindowHarness harness;
  MainWindow& main = harness.main();
  const MainWindowControls& ui = harness.ui;
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  ui.exitAction->trigger();
  EXPECT_FALSE(main.isVisible());
}

}  // namespace
}  // namespace quellar
