#include "ui/shell.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "main_window_harness.h"
#include "support/child.h"
#include "support/printers.h"

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

TEST_F(Shell, createsTheMainWindowWithItsSettingsLoadedAndBothDialogsHidden) {
  WriteSettings("[x3]\r\nClanName1=Brannock\r\n");
  std::unique_ptr<MainWindow> main = CreateWindows(context);
  EXPECT_EQ(QCoreApplication::applicationName(), "quellar");
  EXPECT_EQ(main->objectName(), "mainWindow");
  EXPECT_FALSE(main->isVisible());
  EXPECT_EQ(test::Child<QComboBox>(*main, "clanCombo")->count(), 1);
  EXPECT_EQ(main->settingsFile(), std::filesystem::path(context.settingsDirectory) / "options.ini");
  EXPECT_FALSE(test::Child<QDialog>(*main, "settingsDialog")->isVisible());
  EXPECT_FALSE(test::Child<QDialog>(*main, "aboutDialog")->isVisible());
}

TEST_F(Shell, savedSettingsMakeTheMainWindowReloadThem) {
  test::ScriptedHttpServer server;
  std::unique_ptr<MainWindow> main = CreateWindows(context);
  auto* clanCombo = test::Child<QComboBox>(*main, "clanCombo");
  ASSERT_EQ(clanCombo->count(), 0);
  clanCombo->setEditText(QStringLiteral("typed"));
  WriteSettings(
      "[x3]\r\nClanName1=A\r\nClanName2=B\r\n[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=" +
      QStringLiteral("0x%1").arg(server.port(), 0, 16).toStdString() + "\r\n");
  auto* settings = test::Child<QDialog>(*main, "settingsDialog");
  settings->show();
  QTest::mouseClick(test::Child<QPushButton>(*settings, "okButton"), Qt::LeftButton);
  EXPECT_EQ(clanCombo->count(), 2);
  EXPECT_EQ(clanCombo->currentText(), "typed");
  // Through the proxy at the reloaded host and port.
  server.Answer(test::OkAnswer("1\r\n"));
  QTest::mouseClick(test::Child<QPushButton>(*main, "fetchButton"), Qt::LeftButton);
  test::WaitForWindows();
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(test::RequestLine(server.Requests().front()),
            "GET http://vorlane.example:80/xml.php?clan=typed HTTP/1.1");
  EXPECT_TRUE(errors.texts.isEmpty());
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
  std::unique_ptr<MainWindow> main = CreateWindows(context);
  QString opened;
  OnNextModal([&](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
  test::Child<QAction>(*main, "settingsAction")->trigger();
  EXPECT_EQ(opened, "settingsDialog");
  OnNextModal([&](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
  test::Child<QAction>(*main, "aboutAction")->trigger();
  EXPECT_EQ(opened, "aboutDialog");
}

TEST_F(Shell, timerTicksFetchWhileTheSettingsDialogIsOpen) {
  test::ScriptedHttpServer server;
  WriteSettings(test::ProxySection(server.port()));
  context.timerBaseMs = 20;
  std::unique_ptr<MainWindow> main = CreateWindows(context);
  auto* autoRefreshCheck = test::Child<QCheckBox>(*main, "autoRefreshCheck");
  // More answers than the test needs: a slow machine may fit in an extra tick.
  for (int i = 0; i < 10; ++i)
    server.Answer(test::OkAnswer("5\r\n"));
  test::Child<QComboBox>(*main, "clanCombo")->setEditText(QStringLiteral("Brannock"));
  QTest::mouseClick(test::Child<QPushButton>(*main, "fetchButton"), Qt::LeftButton);
  autoRefreshCheck->setChecked(true);

  // Close the dialog once two automatic fetches have come, or give up after a while.
  const QDeadlineTimer deadline(10000);
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && (server.Requests().size() >= 3 || deadline.hasExpired()))
      modal->close();
  });
  closer.start(5);
  test::Child<QAction>(*main, "settingsAction")->trigger();
  closer.stop();
  autoRefreshCheck->setChecked(false);
  EXPECT_GE(server.Requests().size(), 3u);
  EXPECT_TRUE(errors.texts.isEmpty());
}

}  // namespace
}  // namespace quellar
