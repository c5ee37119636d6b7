#include "ui/shell.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "main_window_harness.h"
#include "support/printers.h"
#include "ui/about_dialog.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

class Shell : public testing::Test {
 protected:
  Shell() {
    EXPECT_TRUE(directory.isValid());
    context.settingsDirectory = QFile::encodeName(directory.path()).toStdString();
    context.rosterHost = "vorlane.example";
    context.locale = test::TestLocale();
    context.clans = clans;
  }

  void WriteSettings(const std::string& text) {
    QFile file(directory.filePath(QStringLiteral("options.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(text.data(), static_cast<qint64>(text.size())),
              static_cast<qint64>(text.size()));
  }

  QTemporaryDir directory;
  ClanLists clans;
  MainWindowContext context;
  test::ShownErrors errors;
};

TEST_F(Shell, createsMainWithItsSettingsLoadedAndBothDialogsHidden) {
  WriteSettings("[x3]\r\nClanName1=Brannock\r\n");
  std::unique_ptr<TMain> main = CreateWindows(context);
  EXPECT_EQ(QCoreApplication::applicationName(), "quellar");
  EXPECT_EQ(main->objectName(), "Main");
  EXPECT_FALSE(main->isVisible());
  EXPECT_EQ(main->ComboBox2->count(), 1);
  EXPECT_EQ(main->settingsFile(), std::filesystem::path(context.settingsDirectory) / "options.ini");
  auto* param = main->findChild<Tparam*>(QStringLiteral("param"));
  auto* about = main->findChild<TAbout*>(QStringLiteral("About"));
  ASSERT_NE(param, nullptr);
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(param->isVisible());
  EXPECT_FALSE(about->isVisible());
}

TEST_F(Shell, savedSettingsMakeMainReloadThem) {
  std::unique_ptr<TMain> main = CreateWindows(context);
  ASSERT_EQ(main->ComboBox2->count(), 0);
  main->ComboBox2->setEditText(QStringLiteral("typed"));
  WriteSettings(
      "[x3]\r\nClanName1=A\r\nClanName2=B\r\n[Proxy]\r\nuse=1\r\nserver=h\r\nport=0x10\r\n");
  auto* param = main->findChild<Tparam*>(QStringLiteral("param"));
  ASSERT_NE(param, nullptr);
  emit param->settingsSaved();
  EXPECT_EQ(main->ComboBox2->count(), 2);
  EXPECT_EQ(main->ComboBox2->currentText(), "typed");
  EXPECT_TRUE(main->proxySettings().useProxy);
  EXPECT_EQ(main->proxySettings().proxyHost, "h");
  EXPECT_EQ(main->proxySettings().proxyPort, 16);
}

// Runs check on the next modal window to open, then closes it.
template <typename Check>
void OnNextModal(Check check) {
  QTimer::singleShot(0, [check] {
    QWidget* modal = QApplication::activeModalWidget();
    check(modal);
    if (modal != nullptr)
      modal->close();
  });
}

TEST_F(Shell, theMenuOpensTheSettingsAndAboutDialogsModally) {
  std::unique_ptr<TMain> main = CreateWindows(context);
  QString opened;
  OnNextModal([&](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
  main->N1->trigger();
  EXPECT_EQ(opened, "param");
  OnNextModal([&](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
  main->N5->trigger();
  EXPECT_EQ(opened, "About");
}

TEST_F(Shell, timerTicksFetchWhileTheSettingsDialogIsOpen) {
  test::ScriptedHttpServer server;
  WriteSettings(test::ProxySection(server.port()));
  context.timerBaseMs = 20;
  std::unique_ptr<TMain> main = CreateWindows(context);
  // More answers than the test needs: a slow machine may fit in an extra tick.
  for (int i = 0; i < 10; ++i)
    server.Answer(test::OkAnswer("5\r\n"));
  main->ComboBox2->setEditText(QStringLiteral("Brannock"));
  main->Button1Click();
  main->CheckBox2->setChecked(true);

  // Close the dialog once two automatic fetches have come, or give up after a while.
  const QDeadlineTimer deadline(10000);
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && (server.Requests().size() >= 3 || deadline.hasExpired()))
      modal->close();
  });
  closer.start(5);
  main->N1->trigger();
  closer.stop();
  main->CheckBox2->setChecked(false);
  EXPECT_GE(server.Requests().size(), 3u);
  EXPECT_TRUE(errors.texts.isEmpty());
}

}  // namespace
}  // namespace quellar
