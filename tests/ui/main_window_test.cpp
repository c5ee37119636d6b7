#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSizeGrip>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "main_window_harness.h"
#include "resolved_font.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"
#include "support/printers.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using test::MainWindowHarness;

TEST(MainWindow, isAFixedWindowCaptionedQuellarWithItsFontAndPlace) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  EXPECT_EQ(main.objectName(), "Main");
  EXPECT_EQ(main.windowTitle(), "Quellar");
  if (test::PlatformHasFonts()) {
    EXPECT_EQ(QFontInfo(main.font()).family(), test::kResolvedFamily);
  }
  EXPECT_EQ(main.font().pixelSize(), 11);
  const Qt::WindowFlags flags = main.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  // The client area of 410 x 417 lies below the menu bar; nothing can resize it.
  QWidget* client = main.centralWidget();
  const int menuHeight = main.MainMenu1->height();
  EXPECT_GT(menuHeight, 0);
  EXPECT_EQ(client->geometry(), QRect(0, menuHeight, 410, 417));
  EXPECT_EQ(main.size(), QSize(410, 417 + menuHeight));
  EXPECT_EQ(main.minimumSize(), main.maximumSize());
  EXPECT_EQ(main.frameGeometry().topLeft(), QPoint(359, 198));
  main.close();
}

struct Placement {
  const char* name;
  const char* parent;
  QRect geometry;  // a zero size: a label sized by its caption
};

class MainWindowPlacement : public testing::TestWithParam<Placement> {};

TEST_P(MainWindowPlacement, putsEachControlAtItsPlace) {
  MainWindowHarness harness;
  const Placement& expected = GetParam();
  auto* control = harness.main().findChild<QWidget*>(QLatin1String(expected.name));
  ASSERT_NE(control, nullptr);
  const QString parent = control->parentWidget()->objectName();
  EXPECT_EQ(parent, QLatin1String(expected.parent));
  if (expected.geometry.size().isNull()) {
    EXPECT_EQ(control->pos(), expected.geometry.topLeft());
  } else {
    EXPECT_EQ(control->geometry(), expected.geometry);
  }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, MainWindowPlacement,
                         testing::Values(Placement{"GroupBox1", "client", {5, 0, 233, 97}},
                                         Placement{"Label1", "GroupBox1", {8, 16, 0, 0}},
                                         Placement{"ComboBox2", "GroupBox1", {8, 32, 137, 21}},
                                         Placement{"Label2", "GroupBox1", {152, 16, 0, 0}},
                                         Placement{"ComboBox1", "GroupBox1", {152, 32, 73, 21}},
                                         Placement{"CheckBox1", "GroupBox1", {16, 64, 121, 17}},
                                         Placement{"Button1", "GroupBox1", {152, 64, 73, 21}},
                                         Placement{"GroupBox2", "client", {245, 0, 161, 97}},
                                         Placement{"CheckBox2", "GroupBox2", {8, 24, 145, 17}},
                                         Placement{"Label3", "GroupBox2", {8, 56, 0, 0}},
                                         Placement{"SpinEdit1", "GroupBox2", {56, 54, 41, 22}},
                                         Placement{"Label4", "GroupBox2", {104, 56, 0, 0}},
                                         Placement{"ListView1", "client", {0, 103, 410, 295}},
                                         Placement{"StatusBar1", "client", {0, 398, 410, 19}}),
                         [](const testing::TestParamInfo<Placement>& info) {
                           return std::string(info.param.name);
                         });

TEST(MainWindow, showsEveryCaptionExactly) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  EXPECT_EQ(main.GroupBox1->title(), QStringLiteral(u"Данные"));
  EXPECT_EQ(main.Label1->text(), QStringLiteral(u"Название клана"));
  EXPECT_EQ(main.Label2->text(), QStringLiteral(u"Сервер"));
  EXPECT_EQ(main.CheckBox1->text(), QStringLiteral(u"С учетом регистра"));
  EXPECT_EQ(main.Button1->text(), QStringLiteral(u"Получить"));
  EXPECT_EQ(main.GroupBox2->title(), QStringLiteral(u"Автообновление"));
  EXPECT_EQ(main.CheckBox2->text(), QStringLiteral(u"Автообновление"));
  EXPECT_EQ(main.Label3->text(), QStringLiteral(u"Период:"));
  EXPECT_EQ(main.Label4->text(), QStringLiteral(u"минут(ы)"));
  const QAbstractItemModel* model = main.ListView1->model();
  const QStringList headers = {QStringLiteral(u"Ник"), QStringLiteral(u"Время игры"),
                               QStringLiteral(u"Регистрация"), QStringLiteral(u"Профессия")};
  ASSERT_EQ(model->columnCount(), 4);
  for (int column = 0; column < 4; ++column)
    EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), headers[column]);
}

TEST(MainWindow, everyNamedPartExistsUnderItsName) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  const std::vector<std::pair<const char*, QObject*>> parts = {{"StatusBar1", main.StatusBar1},
                                                               {"MainMenu1", main.MainMenu1},
                                                               {"cv1", main.cv1},
                                                               {"N1", main.N1},
                                                               {"N2", main.N2},
                                                               {"N3", main.N3},
                                                               {"GroupBox1", main.GroupBox1},
                                                               {"ComboBox2", main.ComboBox2},
                                                               {"Label1", main.Label1},
                                                               {"ComboBox1", main.ComboBox1},
                                                               {"Label2", main.Label2},
                                                               {"CheckBox1", main.CheckBox1},
                                                               {"Button1", main.Button1},
                                                               {"GroupBox2", main.GroupBox2},
                                                               {"CheckBox2", main.CheckBox2},
                                                               {"SpinEdit1", main.SpinEdit1},
                                                               {"Label3", main.Label3},
                                                               {"Label4", main.Label4},
                                                               {"ListView1", main.ListView1},
                                                               {"N4", main.N4},
                                                               {"N5", main.N5},
                                                               {"N6", main.N6},
                                                               {"Timer1", main.Timer1},
                                                               {"c1", main.c1},
                                                               {"x31", main.x31},
                                                               {"x3001", main.x3001},
                                                               {"PopupMenu1", main.PopupMenu1},
                                                               {"N7", main.N7},
                                                               {"N8", main.N8},
                                                               {"N9", main.N9},
                                                               {"N10", main.N10},
                                                               {"N11", main.N11},
                                                               {"N12", main.N12},
                                                               {"N13", main.N13},
                                                               {"N14", main.N14},
                                                               {"N15", main.N15}};
  for (const auto& [name, part] : parts) {
    ASSERT_NE(part, nullptr) << name;
    EXPECT_EQ(main.findChild<QObject*>(QLatin1String(name)), part) << name;
  }
}

TEST(MainWindow, startsWithServerX3NoClanAutoRefreshOffAndAnEmptyTable) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  EXPECT_EQ(main.ComboBox1->count(), 2);
  EXPECT_EQ(main.ComboBox1->itemText(0), "x3");
  EXPECT_EQ(main.ComboBox1->itemText(1), "x300");
  EXPECT_EQ(main.ComboBox1->currentIndex(), 0);
  EXPECT_FALSE(main.ComboBox1->isEditable());
  EXPECT_TRUE(main.ComboBox2->isEditable());
  EXPECT_EQ(main.ComboBox2->currentText(), "");
  EXPECT_FALSE(main.CheckBox1->isChecked());
  EXPECT_FALSE(main.CheckBox2->isChecked());
  EXPECT_FALSE(main.N6->isChecked());
  EXPECT_FALSE(main.Label3->isEnabled());
  EXPECT_FALSE(main.Label4->isEnabled());
  EXPECT_FALSE(main.SpinEdit1->isEnabled());
  EXPECT_EQ(main.SpinEdit1->text(), "1");
  EXPECT_EQ(main.ListView1->model()->rowCount(), 0);
  for (int panel = 0; panel < StatusPanels::kPanelCount; ++panel)
    EXPECT_EQ(main.StatusBar1->panelText(panel), "") << panel;
  EXPECT_TRUE(main.Timer1->isActive());
  EXPECT_EQ(main.Timer1->interval(), 60000);
  EXPECT_EQ(main.queryState().currentClan, "");
  EXPECT_EQ(main.queryState().currentServer, "x3");
  EXPECT_EQ(main.queryState().sortDirection, +1);
  EXPECT_EQ(main.focusWidget(), main.ComboBox2);
}

TEST(MainWindow, tableIsAReadOnlyReportWithWholeRowSingleSelection) {
  MainWindowHarness harness;
  QTreeView* table = harness.main().ListView1;
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
  TMain& main = harness.main();
  main.roster().FillFromAnswer("1\r\nA|||1|||r|||p\r\n");
  const std::vector<int> widths = {105, 91, 105, 105};
  for (int column = 0; column < 4; ++column)
    EXPECT_EQ(main.ListView1->header()->sectionSize(column), widths[column]) << column;
}

TEST(MainWindow, statusBarHasThreePanelsOfTheirWidthsWithoutSizeGrip) {
  MainWindowHarness harness;
  StatusPanels* bar = harness.main().StatusBar1;
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
  TMain& main = harness.main();
  EXPECT_EQ(Captions(main.MainMenu1->actions()),
            (QStringList{QStringLiteral(u"Опции"), QStringLiteral(u"Помощь")}));
  EXPECT_FALSE(main.MainMenu1->isNativeMenuBar());
  EXPECT_EQ(main.MainMenu1->actions().at(0), main.cv1->menuAction());
  EXPECT_EQ(main.MainMenu1->actions().at(1), main.N4->menuAction());
  EXPECT_EQ(main.cv1->actions(),
            (QList<QAction*>{main.N6, main.c1->menuAction(), main.N1, main.N3, main.N2}));
  EXPECT_EQ(Captions(main.cv1->actions()),
            (QStringList{QStringLiteral(u"Автообновление"), QStringLiteral(u"Сервер"),
                         QStringLiteral(u"Настройки"), "-", QStringLiteral(u"Выход")}));
  EXPECT_TRUE(main.N6->isCheckable());
  EXPECT_EQ(main.c1->actions(), (QList<QAction*>{main.x31, main.x3001}));
  EXPECT_EQ(Captions(main.c1->actions()), (QStringList{"x3", "x300"}));
  EXPECT_EQ(main.N4->actions(), QList<QAction*>{main.N5});
  EXPECT_EQ(main.N5->text(), QStringLiteral(u"О программе"));
}

TEST(MainWindow, contextMenuHoldsRefreshCopyAndTheSortRadioGroup) {
  MainWindowHarness harness;
  TMain& main = harness.main();
  EXPECT_EQ(main.PopupMenu1->actions(),
            (QList<QAction*>{main.N14, main.N15, main.N7, main.N8, main.N9->menuAction()}));
  EXPECT_EQ(Captions(main.PopupMenu1->actions()),
            (QStringList{QStringLiteral(u"Обновить"), "-", QStringLiteral(u"Копировать ник"), "-",
                         QStringLiteral(u"Сортировать по")}));
  EXPECT_EQ(main.N14->shortcut(), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(main.N7->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(main.N9->actions(), (QList<QAction*>{main.N10, main.N11, main.N12, main.N13}));
  EXPECT_EQ(Captions(main.N9->actions()),
            (QStringList{QStringLiteral(u"Нику"), QStringLiteral(u"Времени игры"),
                         QStringLiteral(u"Дате регистрации"), QStringLiteral(u"Профессии")}));
  for (QAction* item : main.N9->actions()) {
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    ASSERT_NE(item->actionGroup(), nullptr);
    EXPECT_EQ(item->actionGroup(), main.N10->actionGroup());
  }
  EXPECT_EQ(main.N10->actionGroup()->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
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
  TMain& main = harness.main();
  main.CheckBox2->setChecked(true);  // so the period field takes the focus too
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  const QStringList order = {"ComboBox2", "ComboBox1", "CheckBox1", "Button1",
                             "CheckBox2", "SpinEdit1", "ListView1"};
  QStringList visited = {FocusedControl(order)};
  for (int i = 1; i < order.size() + 1; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << FocusedControl(order);
  }
  EXPECT_EQ(visited, order + QStringList{"ComboBox2"});
  main.close();
}

TEST(MainWindow, startingWithoutSettingsFileShowsEmptyClanComboAndProxyOff) {
  MainWindowHarness harness(test::WithoutSettingsFile());
  TMain& main = harness.main();
  EXPECT_EQ(main.ComboBox2->count(), 0);
  EXPECT_EQ(main.ComboBox2->currentText(), "");
  EXPECT_FALSE(main.proxySettings().useProxy);
  EXPECT_EQ(main.proxySettings().proxyHost, "");
  EXPECT_EQ(main.proxySettings().proxyPort, 0);
  EXPECT_TRUE(harness.errors.texts.isEmpty());
}

TEST(MainWindow, creationLoadsBothClanListsAndFillsTheComboForX3) {
  MainWindowHarness harness(test::WithSettings(
      "[x3]\r\nClanName1=Brannock\r\nClanName2=\xCA\xEB\xE0\xED\r\n[x300]\r\nClanName1=Other\r\n"));
  TMain& main = harness.main();
  EXPECT_EQ(harness.clans.clansX3, (std::vector<std::string>{"Brannock", "\xCA\xEB\xE0\xED"}));
  EXPECT_EQ(harness.clans.clansX300, std::vector<std::string>{"Other"});
  ASSERT_EQ(main.ComboBox2->count(), 2);
  EXPECT_EQ(main.ComboBox2->itemText(0), "Brannock");
  EXPECT_EQ(main.ComboBox2->itemText(1), QStringLiteral(u"Клан"));
  EXPECT_EQ(main.ComboBox2->currentText(), "");
  EXPECT_TRUE(main.proxySettings().useProxy);
  EXPECT_EQ(main.proxySettings().proxyHost, "127.0.0.1");
  EXPECT_EQ(main.proxySettings().proxyPort, harness.server.port());
}

TEST(MainWindow, reloadKeepsTypedClanAndTakesTheListOfTheChosenServer) {
  MainWindowHarness harness(test::WithSettings("[x3]\r\nClanName1=A\r\n"));
  TMain& main = harness.main();
  main.ComboBox1->setCurrentIndex(1);
  main.ComboBox2->setEditText(QStringLiteral("typed"));
  harness.WriteSettings("[x3]\r\nClanName1=A\r\n[x300]\r\nClanName1=B\r\nClanName2=C\r\n");
  main.FormCreate();
  ASSERT_EQ(main.ComboBox2->count(), 2);
  EXPECT_EQ(main.ComboBox2->itemText(0), "B");
  EXPECT_EQ(main.ComboBox2->itemText(1), "C");
  EXPECT_EQ(main.ComboBox2->currentText(), "typed");
  EXPECT_FALSE(main.proxySettings().useProxy);
}

TEST(MainWindow, clanComboCompletesFromTheClanListAndEnterAddsNoItem) {
  MainWindowHarness harness(
      test::WithSettings("[x3]\r\nClanName1=Brannock\r\nClanName2=Bravo\r\n"));
  TMain& main = harness.main();
  for (QChar ch : QStringLiteral("brav"))
    QTest::sendKeyEvent(QTest::Click, main.ComboBox2, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  EXPECT_EQ(main.ComboBox2->currentText(), "bravo");
  EXPECT_EQ(main.ComboBox2->lineEdit()->selectedText(), "o");
  QTest::keyClick(main.ComboBox2, Qt::Key_Return);
  EXPECT_EQ(main.ComboBox2->count(), 2);
  EXPECT_EQ(main.ComboBox2->currentText(), "bravo");
}

}  // namespace
}  // namespace quellar
