#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <vector>

#include "main_window_harness.h"
#include "resolved_font.h"
#include "support/child.h"
#include "support/printers.h"
#include "ui/about_dialog.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

// Each window made on its own, so that a control's name is looked up in that
// window only.
std::shared_ptr<QWidget> OpenMainWindow() {
  auto harness = std::make_shared<test::MainWindowHarness>(test::WithoutSettingsFile());
  return {harness, &harness->main()};
}

std::shared_ptr<QWidget> OpenSettingsDialog() {
  struct Opened {
    QTemporaryDir directory;
    ClanLists clans;
    SettingsDialog dialog{directory.filePath(QStringLiteral("options.ini")).toStdString(), clans};
  };
  auto opened = std::make_shared<Opened>();
  return {opened, &opened->dialog};
}

// The history window as "История…" opens it, over a file with nothing recorded.
std::shared_ptr<QWidget> OpenHistoryWindow() {
  auto harness = std::make_shared<test::MainWindowHarness>(test::WithoutSettingsFile());
  harness->ui.historyWindowAction->trigger();
  test::WaitForWindows();
  return {harness, test::Child<QWidget>(harness->main(), "historyWindow")};
}

std::shared_ptr<QWidget> OpenAboutDialog() {
  return std::make_shared<AboutDialog>();
}

// A control's name, parent, caption (a table's: its column headers) and place
// (an empty size: the control sizes itself to its caption), and the name a
// screen reader announces for it, where it stops at it.
struct Control {
  const char* name;
  const char* parent;
  const char16_t* caption;
  QRect place;
  const char16_t* announced = nullptr;
};

struct WindowCase {
  const char* name;
  std::shared_ptr<QWidget> (*open)();
  QString title;
  Qt::WindowFlags border;  // its type and title bar buttons
  QSize client;            // the area under the menu bar, which nothing can resize
  QPoint firstShownAt;
  const std::vector<Control>* controls;
  const char* parts;  // named besides the controls: menus, their items, timers
};

class Window : public testing::TestWithParam<WindowCase> {};

TEST_P(Window, isFixedInSizeWithItsTitleBorderFontAndFirstPlace) {
  const WindowCase& c = GetParam();
  const std::shared_ptr<QWidget> window = c.open();
  EXPECT_EQ(window->objectName(), c.name);
  EXPECT_EQ(window->windowTitle(), c.title);
  const Qt::WindowFlags borderFlags = Qt::WindowType_Mask | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                      Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
  EXPECT_EQ(window->windowFlags() & borderFlags, c.border);
  if (test::PlatformHasFonts()) {
    EXPECT_EQ(QFontInfo(window->font()).family(), test::ResolvedFamily());
  }
  EXPECT_EQ(window->font().pixelSize(), 11);

  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  // A main window's client area lies below its menu bar.
  const auto* main = qobject_cast<const QMainWindow*>(window.get());
  const int top = main != nullptr ? test::Child<QMenuBar>(*window, "menuBar")->height() : 0;
  if (main != nullptr) {
    EXPECT_GT(top, 0);
  }
  EXPECT_EQ(main != nullptr ? main->centralWidget()->geometry() : window->rect(),
            QRect(QPoint(0, top), c.client));
  EXPECT_EQ(window->size(), c.client + QSize(0, top));
  EXPECT_EQ(window->minimumSize(), window->size());
  EXPECT_EQ(window->maximumSize(), window->size());
  // The window's outer top-left corner, as the window system places it.
  EXPECT_EQ(window->frameGeometry().topLeft(), c.firstShownAt);
  window->close();
}

QString CaptionOf(const QWidget& widget) {
  if (const auto* box = qobject_cast<const QGroupBox*>(&widget))
    return box->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
    return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return label->text();
  QStringList headers;
  if (const auto* table = qobject_cast<const QTreeView*>(&widget)) {
    for (int column = 0; column < table->model()->columnCount(); ++column)
      headers << table->model()->headerData(column, Qt::Horizontal).toString();
  }
  return headers.join(QLatin1Char('|'));
}

QString Placed(const QString& name, const QString& parent, const QString& caption, QRect place) {
  QString line = QStringLiteral("%1 in %2 \"%3\" at %4,%5")
                     .arg(name, parent, caption)
                     .arg(place.x())
                     .arg(place.y());
  if (!place.size().isNull())
    line += QStringLiteral(" %1x%2").arg(place.width()).arg(place.height());
  return line;
}

TEST_P(Window, placesEveryControlInItsParentWithItsCaption) {
  const std::shared_ptr<QWidget> window = GetParam().open();
  QStringList expected, shown;
  for (const Control& c : *GetParam().controls) {
    const auto* widget = test::Child<QWidget>(*window, c.name);
    const QRect place =
        c.place.size().isNull() ? QRect(widget->pos(), QSize(0, 0)) : widget->geometry();
    expected << Placed(QLatin1String(c.name), QLatin1String(c.parent),
                       QString::fromUtf16(c.caption), c.place);
    shown << Placed(widget->objectName(), widget->parentWidget()->objectName(), CaptionOf(*widget),
                    place);
  }
  EXPECT_EQ(shown, expected);
}

TEST_P(Window, findsEveryPartUnderItsRoleOnce) {
  const std::shared_ptr<QWidget> window = GetParam().open();
  QStringList names = QString::fromLatin1(GetParam().parts).split(' ', Qt::SkipEmptyParts);
  for (const Control& c : *GetParam().controls)
    names << QLatin1String(c.name);
  QStringList notOnce;
  for (const QString& name : names) {
    if (const qsizetype found = window->findChildren<QObject*>(name).size(); found != 1)
      notOnce << QStringLiteral("%1 found %2 times").arg(name).arg(found);
  }
  EXPECT_EQ(notOnce, QStringList());
}

// The name a screen reader announces: the accessible name, or the caption of a
// button or check box.
TEST_P(Window, namesEveryControlForScreenReaders) {
  const std::shared_ptr<QWidget> window = GetParam().open();
  QStringList expected, announced;
  for (const Control& c : *GetParam().controls) {
    if (c.announced == nullptr)
      continue;
    const auto* widget = test::Child<QWidget>(*window, c.name);
    const QString name = widget->accessibleName();
    expected << QLatin1String(c.name) + QStringLiteral(": ") + QString::fromUtf16(c.announced);
    announced << QLatin1String(c.name) + QStringLiteral(": ") +
                     (name.isEmpty() ? widget->property("text").toString() : name);
  }
  EXPECT_EQ(announced, expected);
}

const std::vector<Control> kMainWindowControls = {
    {"queryBox", "clientArea", u"Данные", {5, 0, 233, 97}},
    {"clanLabel", "queryBox", u"Название клана", {8, 16, 0, 0}},
    {"clanCombo", "queryBox", u"", {8, 32, 137, 21}, u"Название клана"},
    {"serverLabel", "queryBox", u"Сервер", {152, 16, 0, 0}},
    {"serverCombo", "queryBox", u"", {152, 32, 73, 21}, u"Сервер"},
    {"caseSensitiveCheck",
     "queryBox",
     u"С учетом регистра",
     {16, 64, 121, 17},
     u"С учетом регистра"},
    {"fetchButton", "queryBox", u"Получить", {152, 64, 73, 21}, u"Получить"},
    {"autoRefreshBox", "clientArea", u"Автообновление", {245, 0, 161, 97}},
    {"autoRefreshCheck", "autoRefreshBox", u"Автообновление", {8, 24, 145, 17}, u"Автообновление"},
    {"periodLabel", "autoRefreshBox", u"Период:", {8, 56, 0, 0}},
    {"periodSpin", "autoRefreshBox", u"", {56, 54, 41, 22}, u"Период, минут(ы)"},
    {"minutesLabel", "autoRefreshBox", u"минут(ы)", {104, 56, 0, 0}},
    {"rosterTable",
     "clientArea",
     u"Ник|Время игры|Регистрация|Профессия",
     {0, 103, 410, 295},
     u"Игроки клана в игре"},
    {"statusPanels", "clientArea", u"", {0, 398, 410, 19}, u"Строка состояния"}};

const std::vector<Control> kSettingsDialogControls = {
    {"clansBox", "settingsDialog", u"Кланы", {8, 8, 281, 201}},
    {"clanEdit", "clansBox", u"", {8, 16, 113, 21}, u"Название клана"},
    {"serverCombo", "clansBox", u"", {128, 16, 57, 21}, u"Сервер"},
    {"addButton", "clansBox", u"Добавить", {192, 16, 81, 21}, u"Добавить"},
    {"clanList", "clansBox", u"", {8, 48, 177, 145}, u"Кланы сервера"},
    {"deleteButton", "clansBox", u"Удалить  ", {192, 48, 81, 21}, u"Удалить"},
    {"proxyBox", "settingsDialog", u"Прокси", {8, 216, 281, 89}},
    {"useProxyCheck", "proxyBox", u"Использовать прокси", {8, 16, 145, 17}, u"Использовать прокси"},
    {"proxyHostLabel", "proxyBox", u"Сервер", {8, 40, 0, 0}},
    {"proxyHostEdit", "proxyBox", u"", {8, 56, 169, 21}, u"Сервер прокси"},
    {"colonLabel", "proxyBox", u":", {184, 56, 0, 0}},
    {"proxyPortLabel", "proxyBox", u"Порт", {192, 40, 0, 0}},
    {"proxyPortEdit", "proxyBox", u"", {192, 56, 81, 21}, u"Порт прокси"},
    {"okButton", "settingsDialog", u"ОК", {136, 312, 73, 25}, u"ОК"},
    {"cancelButton", "settingsDialog", u"Отмена", {216, 312, 73, 25}, u"Отмена"}};

const std::vector<Control> kAboutDialogControls = {
    {"creditLabel", "aboutDialog", u"Programming by Tessel special for Vorlane", {16, 32, 0, 0}},
    {"recruitLabel",
     "aboutDialog",
     u"Клан Brannock будет рад видеть Вас в своем составе",
     {16, 64, 178, 26}},
    {"siteLink",
     "aboutDialog",
     u"http://brannock.example/",
     {64, 112, 0, 0},
     u"Сайт клана Brannock"},
    {"closeButton", "aboutDialog", u"Закрыть", {64, 144, 89, 33}, u"Закрыть"}};

const std::vector<Control> kHistoryWindowControls = {
    {"queryLabel", "historyClient", u"Клан:", {8, 11, 0, 0}},
    {"queryCombo", "historyClient", u"", {48, 8, 329, 21}, u"Клан"},
    {"historyPages", "historyClient", u"", {8, 37, 584, 355}},
    {"membersTable",
     "qt_tabwidget_stackedwidget",
     u"Ник|Последний раз в игре|Часов за 7 дней|Часов за 30 дней|Дней с игрой за 30",
     {0, 0, 0, 0},
     u"Участники"},
    {"periodLabel", "gridRow", u"За период:", {8, 11, 0, 0}},
    {"periodCombo", "gridRow", u"", {80, 8, 137, 21}, u"За период"},
    {"dayLabel", "dayRow", u"День:", {8, 11, 0, 0}},
    {"dayEdit", "dayRow", u"", {80, 8, 97, 21}, u"День"}};

const Qt::WindowFlags kDialogBorder =
    Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

INSTANTIATE_TEST_SUITE_P(
    Windows, Window,
    testing::Values(
        WindowCase{"mainWindow", OpenMainWindow, "Quellar",
                   Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint,
                   QSize(410, 417), QPoint(359, 198), &kMainWindowControls,
                   "menuBar optionsMenu autoRefreshAction notifyAction historyAction "
                   "historyWindowAction serverMenu x3Action "
                   "x300Action settingsAction exitSeparator exitAction helpMenu aboutAction "
                   "tableMenu refreshAction refreshSeparator copyNickAction sortSeparator sortMenu "
                   "sortByNickAction sortByPlayTimeAction sortByRegistrationAction "
                   "sortByProfessionAction refreshTimer"},
        WindowCase{"settingsDialog", OpenSettingsDialog, QStringLiteral(u"Настройки"),
                   kDialogBorder, QSize(297, 343), QPoint(313, 224), &kSettingsDialogControls, ""},
        WindowCase{"aboutDialog", OpenAboutDialog, QStringLiteral(u"О программе"), kDialogBorder,
                   QSize(221, 194), QPoint(365, 273), &kAboutDialogControls, ""},
        WindowCase{"historyWindow", OpenHistoryWindow, QStringLiteral(u"История"),
                   Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint,
                   QSize(600, 400), QPoint(264, 150), &kHistoryWindowControls,
                   "historyTabs emptyLabel gridPage dayPage weekGridView dayScroll "
                   "dayTimelineView"}),
    [](const testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
