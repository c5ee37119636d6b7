#include <gtest/gtest.h>

#include <QWidget>

#include "main_window_harness.h"
#include "support/printers.h"
#include "ui/about_dialog.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

// The name a screen reader announces: the accessible name, or the caption of a
// button or check box.
QString AnnouncedName(const QWidget& window, const char* objectName) {
  auto* widget = window.findChild<QWidget*>(QString::fromLatin1(objectName));
  if (widget == nullptr)
    return QStringLiteral("<missing>");
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
    testing::Values(Announced{"ComboBox2", QStringLiteral(u"Название клана")},
                    Announced{"ComboBox1", QStringLiteral(u"Сервер")},
                    Announced{"CheckBox1", QStringLiteral(u"С учетом регистра")},
                    Announced{"Button1", QStringLiteral(u"Получить")},
                    Announced{"CheckBox2", QStringLiteral(u"Автообновление")},
                    Announced{"SpinEdit1", QStringLiteral(u"Период, минут(ы)")},
                    Announced{"ListView1", QStringLiteral(u"Игроки клана в игре")},
                    Announced{"StatusBar1", QStringLiteral(u"Строка состояния")}),
    [](const testing::TestParamInfo<Announced>& info) {
      return std::string(info.param.objectName);
    });

class SettingsDialogAccessibility : public testing::TestWithParam<Announced> {};

TEST_P(SettingsDialogAccessibility, namesEveryControlForScreenReaders) {
  ClanLists clans;
  Tparam dialog("options.ini", clans);
  EXPECT_EQ(AnnouncedName(dialog, GetParam().objectName), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Controls, SettingsDialogAccessibility,
                         testing::Values(Announced{"Edit1", QStringLiteral(u"Название клана")},
                                         Announced{"ComboBox1", QStringLiteral(u"Сервер")},
                                         Announced{"ListBox1", QStringLiteral(u"Кланы сервера")},
                                         Announced{"Button1", QStringLiteral(u"Добавить")},
                                         Announced{"Button2", QStringLiteral(u"Удалить")},
                                         Announced{"CheckBox1",
                                                   QStringLiteral(u"Использовать прокси")},
                                         Announced{"Proxy", QStringLiteral(u"Сервер прокси")},
                                         Announced{"Port", QStringLiteral(u"Порт прокси")},
                                         Announced{"Button4", QStringLiteral(u"ОК")},
                                         Announced{"Cancel", QStringLiteral(u"Отмена")}),
                         [](const testing::TestParamInfo<Announced>& info) {
                           return std::string(info.param.objectName);
                         });

TEST(AboutDialogAccessibility, namesTheLinkAfterTheClanSite) {
  TAbout about;
  EXPECT_EQ(AnnouncedName(about, "Label3"), QStringLiteral(u"Сайт клана Brannock"));
  EXPECT_EQ(AnnouncedName(about, "Button1"), QStringLiteral(u"Закрыть"));
}

}  // namespace
}  // namespace quellar
