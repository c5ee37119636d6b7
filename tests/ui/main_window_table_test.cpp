#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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

std::vector<bool> SortMarks(const TMain& main) {
  return {main.N10->isChecked(), main.N11->isChecked(), main.N12->isChecked(),
          main.N13->isChecked()};
}

void FillTable(MainWindowHarness& harness, const std::string& body = kThreeMembers) {
  harness.server.Answer(OkAnswer(body));
  harness.main().ComboBox2->setEditText(QStringLiteral("Brannock"));
  harness.main().Button1Click();
  ASSERT_TRUE(harness.errors.texts.isEmpty());
}

void SelectRow(TMain& main, int row) {
  main.ListView1->selectionModel()->select(
      main.ListView1->model()->index(row, 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// A real double click: a press and release, then the second press that the window
// system reports as the double click.
void DoubleClick(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

void ClickHeader(TMain& main, int column) {
  QHeaderView* header = main.ListView1->header();
  const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

TEST(MainWindowSort, headerClicksAlternateTheSharedDirectionAndLeaveTheMenuMarks) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  ASSERT_EQ(Nicks(main.roster()), kFilledOrder);

  ClickHeader(main, 0);  // first request: descending
  EXPECT_EQ(main.queryState().sortDirection, -1);
  EXPECT_EQ(Nicks(main.roster()),
            (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  ClickHeader(main, 1);  // next request, another column: ascending, numerically
  EXPECT_EQ(main.queryState().sortDirection, +1);
  EXPECT_EQ(Nicks(main.roster()),
            (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Alder", "Brannock"}));
  EXPECT_EQ(SortMarks(main), (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowSort, menuItemsMarkThemselvesThenSort) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  main.N12->trigger();
  EXPECT_EQ(SortMarks(main), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(main.queryState().sortDirection, -1);
  EXPECT_EQ(Nicks(main.roster()),
            (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  main.N13->trigger();
  EXPECT_EQ(SortMarks(main), (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(Nicks(main.roster()),
            (std::vector<std::string>{"\xA8\xEB\xEA\xE0", "Brannock", "Alder"}));
  main.N10->trigger();
  EXPECT_EQ(SortMarks(main), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(main.queryState().sortDirection, -1);
  main.N10->trigger();  // choosing the marked item keeps it marked
  EXPECT_EQ(SortMarks(main), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(main.queryState().sortDirection, +1);
}

TEST(MainWindowSort, aPlayTimeThatIsNoNumberShowsTheErrorAndKeepsTheFlippedDirection) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness, "1\r\nA|||abc|||12:00 01.02.2020|||p\r\nB|||5|||12:00 01.02.2020|||p\r\n");
  main.N11->trigger();
  EXPECT_EQ(harness.errors.texts, QStringList{"'abc' is not a valid integer value."});
  EXPECT_EQ(main.queryState().sortDirection, -1);
  EXPECT_TRUE(main.N11->isChecked());
}

TEST(MainWindowSort, anEmptyTableSortsWithoutError) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  ClickHeader(main, 2);
  EXPECT_EQ(main.queryState().sortDirection, -1);
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindowPopup, enablesRefreshOnlyWithACurrentClanAndCopyOnlyWithASelectedRow) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  main.PopupMenu1Popup();
  EXPECT_FALSE(main.N14->isEnabled());
  EXPECT_FALSE(main.N7->isEnabled());
  FillTable(harness);
  main.PopupMenu1Popup();
  EXPECT_TRUE(main.N14->isEnabled());
  EXPECT_FALSE(main.N7->isEnabled());
  SelectRow(main, 1);
  main.PopupMenu1Popup();
  EXPECT_TRUE(main.N7->isEnabled());
}

TEST(MainWindowPopup, openingTheTablesContextMenuWithNoCurrentClanShowsRefreshDisabled) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  main.N14->setEnabled(true);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QWidget* viewport = main.ListView1->viewport();
  QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(20, 20),
                            viewport->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(viewport, &request);
  ASSERT_TRUE(QTest::qWaitFor([&] { return main.PopupMenu1->isVisible(); }, 5000));
  EXPECT_FALSE(main.N14->isEnabled());
  EXPECT_FALSE(main.N7->isEnabled());
  main.PopupMenu1->close();
  main.close();
}

// Shows the window active with the keyboard focus on focused.
void FocusInActiveWindow(TMain& main, QWidget* focused) {
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  focused->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == focused; }, 5000));
}

void PressOnFocused(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

TEST(MainWindowCopy, copyNickPutsTheSelectedRowsNickOnTheClipboardAsPlainText) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  SelectRow(main, RowOf("\xA8\xEB\xEA\xE0"));
  main.N7->trigger();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), QStringLiteral(u"Ёлка"));
  EXPECT_EQ(data->formats(), QStringList{"text/plain"});
}

TEST(MainWindowCopy, copyNickAfterARefillCopiesTheNewAnswersNick) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  harness.server.Answer(OkAnswer("51\r\n\xD0\xFB\xE1\xE0\xEA|||1|||12:00 01.02.2020|||Mage\r\n"));
  main.N14->trigger();
  SelectRow(main, 0);
  main.N7->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral(u"Рыбак"));
}

TEST(MainWindowCopy, doubleClickOnARowCopiesItsNick) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  const QRect row = main.ListView1->visualRect(main.ListView1->model()->index(RowOf("Alder"), 2));
  DoubleClick(main.ListView1->viewport(), row.center());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Alder");
  main.close();
}

TEST(MainWindowCopy, doubleClickBesideTheRowsCopiesNothing) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  SelectRow(main, 0);
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  DoubleClick(main.ListView1->viewport(), QPoint(50, 250));
  EXPECT_FALSE(main.ListView1->selectionModel()->hasSelection());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  main.close();
}

TEST(MainWindowKeys, ctrlCOnTheTableCopiesTheSelectedNick) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  SelectRow(main, RowOf("Brannock"));
  FocusInActiveWindow(main, main.ListView1);
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  PressOnFocused(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Brannock");
  main.close();
}

TEST(MainWindowKeys, ctrlCWithNoRowSelectedCopiesNothingAndChangesNothing) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  FocusInActiveWindow(main, main.ListView1);
  main.ListView1->setCurrentIndex(main.ListView1->model()->index(1, 0));
  main.ListView1->clearSelection();
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  PressOnFocused(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  EXPECT_FALSE(main.ListView1->selectionModel()->hasSelection());
  EXPECT_EQ(Nicks(main.roster()), kFilledOrder);
  main.close();
}

TEST(MainWindowKeys, f5OnTheTableRefreshesTheCurrentClan) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  harness.server.Answer(OkAnswer("51\r\n"));
  FocusInActiveWindow(main, main.ListView1);
  PressOnFocused(Qt::Key_F5);
  EXPECT_EQ(harness.server.Requests().size(), 2u);
  EXPECT_EQ(main.roster().rows().size(), 0u);
  EXPECT_EQ(main.StatusBar1->panelText(2), QStringLiteral(u"Онлайн сервера: 51"));
  main.close();
}

TEST(MainWindowKeys, f5WithNoCurrentClanDoesNothing) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FocusInActiveWindow(main, main.ListView1);
  PressOnFocused(Qt::Key_F5);
  EXPECT_TRUE(harness.server.Requests().empty());
  EXPECT_FALSE(main.N14->isEnabled());
  main.close();
}

TEST(MainWindowKeys, f5AndCtrlCElsewhereInTheWindowDoNotActOnTheTable) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  FillTable(harness);
  SelectRow(main, 0);
  FocusInActiveWindow(main, main.Button1);
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  PressOnFocused(Qt::Key_F5);
  PressOnFocused(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(harness.server.Requests().size(), 1u);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  main.close();
}

// Closes the next modal window to open, noting which it was.
void CloseNextModal(QWidget*& seen) {
  QTimer::singleShot(0, [&seen] {
    seen = QApplication::activeModalWidget();
    if (seen != nullptr)
      seen->close();
  });
}

TEST(MainWindowDialogs, settingsAndAboutOpenModally) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  QDialog param(&main);
  QDialog about(&main);
  main.AttachDialogs(&param, &about);
  QWidget* seen = nullptr;
  CloseNextModal(seen);
  main.N1->trigger();
  EXPECT_EQ(seen, &param);
  seen = nullptr;
  CloseNextModal(seen);
  main.N5->trigger();
  EXPECT_EQ(seen, &about);
}

TEST(MainWindowDialogs, exitClosesTheWindow) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  main.N2->trigger();
  EXPECT_FALSE(main.isVisible());
}

}  // namespace
}  // namespace quellar
