// The real main window against the stand-in roster service, reached through the proxy setting.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "common/cp1251.h"
#include "main_window_harness.h"
#include "roster/roster_model.h"
#include "support/roster_nicks.h"
#include "ui/main_window.h"
#include "ui/status_panels.h"

namespace quellar {
namespace {

// The stand-in runs as its own process, so it keeps answering while the fetch blocks
// this thread.
class StandIn {
 public:
  StandIn() {
    process_.setProgram(QStringLiteral(QUELLAR_STANDIN_PATH));
    process_.setArguments(
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--quiet")});
    process_.start();
    if (!process_.waitForStarted(10000))
      return;
    QByteArray out;
    while (!out.contains('\n') && process_.waitForReadyRead(10000))
      out += process_.readAllStandardOutput();
    bool ok = false;
    const uint value = out.left(out.indexOf('\n')).trimmed().toUInt(&ok);
    if (ok)
      port_ = static_cast<std::uint16_t>(value);
  }
  ~StandIn() {
    process_.kill();
    process_.waitForFinished(5000);
  }

  std::uint16_t port() const { return port_; }

 private:
  QProcess process_;
  std::uint16_t port_ = 0;
};

TEST(EndToEnd, fetchesASampleClanFromTheStandInThroughTheProxy) {
  StandIn standIn;
  ASSERT_NE(standIn.port(), 0);
  test::ShownErrors errors;
  QTemporaryDir directory;
  ASSERT_TRUE(directory.isValid());
  {
    QFile file(directory.filePath(QStringLiteral("options.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(test::ProxySection(standIn.port())));
  }
  ClanLists clans;
  MainWindowContext context;
  context.settingsDirectory = QFile::encodeName(directory.path()).toStdString();
  context.locale = test::TestLocale();
  context.clans = clans;
  MainWindow main(std::move(context));
  const test::MainWindowControls ui = test::FindControls(main);

  test::Fetch(ui, QStringLiteral("Brannock"));

  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
  QStringList nicks;
  for (const std::string& nick : test::Nicks(*ui.roster))
    nicks << FromCp1251(nick);
    // The list control's nick order, case ignored: Cyrillic ahead of Latin as ICU
    // collates "ru", Latin first on Windows.
#ifdef _WIN32
  EXPECT_EQ(nicks.join(QLatin1Char(',')).toStdString(),
            "aLeX,Dark-Knight,Snegir,Ёжик,Мистер-Икс,Тень-Ворона,Хранитель");
#else
  EXPECT_EQ(nicks.join(QLatin1Char(',')).toStdString(),
            "Ёжик,Мистер-Икс,Тень-Ворона,Хранитель,aLeX,Dark-Knight,Snegir");
#endif
  EXPECT_EQ(ui.statusPanels->panelText(1), QStringLiteral(u"Онлайн клана: 7"));
  EXPECT_EQ(ui.statusPanels->panelText(2), QStringLiteral(u"Онлайн сервера: 1342"));
}

}  // namespace
}  // namespace quellar
