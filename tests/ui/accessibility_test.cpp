#include <gtest/gtest.h>

#include <QWidget>

#include "main_window_harness.h"
#include "support/child.h"
#include "support/printers.h"
#include "ui/about_dialog.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

// The name a screen reader announces: the accessible name, or the caption of a
// button or check box.
QString AnnouncedName(const QWidget& window, const char* objectName) {
  auto* widget = test::Child<QWidget>(window, objectName);
  if (!widget->accessibleName().isEmpty())
    return widget->accessibleName();
  return widget->property("text").toString();
}

struct Announced {
  const char* objectName;
  QString name;
};

void PrintTo(const Announced& c, std::ostream* out) {
  *out << c.objectName;
}

class MainWindowAccessibility : public testing::TestWithParam<Announced> {};

TEST_P(MainWindowAccessibility, namesEveryControlForScreenReaders) {
  test::MainWindowHarness harness(test::WithoutSettingsFile());
  EXPECT_EQ(AnnouncedName(harness.main(), GetParam().objectName), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, MainWindowAccessibility,
    testing::Values(Announced{"clanCombo", QStringLiteral(u"Название клана")},
                    Announced{"serverCombo", QStringLiteral(u"Сервер")},
                    Announced{"caseSensitiveCheck", QStringLiteral(u"С учетом регистра")},
                    Announced{"fetchButton", QStringLiteral(u"Получить")},
                    Announced{"autoRefreshCheck", QStringLiteral(u"Автообновление")},
                    Announced{"periodSpin", QStringLiteral(u"Период, минут(ы)")},
                    Announced{"rosterTable", QStringLiteral(u"Игроки клана в игре")},
                    Announced{"statusPanels", QStringLiteral(u"Строка состояния")}),
    [](const testing::TestParamInfo<Announced>& info) {
      return std::string(info.param.objectName);
    });

class SettingsDialogAccessibility : public testing::TestWithParam<Announced> {};

TEST_P(SettingsDialogAccessibility, namesEveryControlForScreenReaders) {
  ClanLists clans;
  SettingsDialog dialog("options.ini", clans);
  EXPECT_EQ(AnnouncedName(dialog, GetParam().objectName), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, SettingsDialogAccessibility,
    testing::Values(Announced{"clanEdit", QStringLiteral(u"Название клана")},
                    Announced{"serverCombo", QStringLiteral(u"Сервер")},
                    Announced{"clanList", QStringLiteral(u"Кланы сервера")},
                    Announced{"addButton", QStringLiteral(u"Добавить")},
                    Announced{"deleteButton", QStringLiteral(u"Удалить")},
                    Announced{"useProxyCheck", QStringLiteral(u"Использовать прокси")},
                    Announced{"proxyHostEdit", QStringLiteral(u"Сервер прокси")},
                    Announced{"proxyPortEdit", QStringLiteral(u"Порт прокси")},
                    Announced{"okButton", QStringLiteral(u"ОК")},
                    Announced{"cancelButton", QStringLiteral(u"Отмена")}),
    [](const testing::TestParamInfo<Announced>& info) {
      return std::string(info.param.objectName);
    });

TEST(AboutDialogAccessibility, namesTheLinkAfterTheClanSite) {
  AboutDialog about;
  EXPECT_EQ(AnnouncedName(about, "siteLink"), QStringLiteral(u"Сайт клана Brannock"));
  EXPECT_EQ(AnnouncedName(about, "closeButton"), QStringLiteral(u"Закрыть"));
}

}  // namespace
}  // namespace quellar
