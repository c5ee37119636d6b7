#include "main_window_harness.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <stdexcept>
#include <utility>

#include "roster/roster_model.h"
#include "support/child.h"
#include "ui/history_window.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace quellar::test {

LocaleContext TestLocale() {
  return LocaleContext{QLocale(QLocale::Russian, QLocale::Russia),
                       [] { return QDate(2024, 5, 1); }};
}

std::string OkAnswer(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string ProxySection(std::uint16_t port) {
  return "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=" + std::to_string(port) + "\r\n";
}

std::string RequestLine(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

HarnessOptions WithSettings(std::string settingsText) {
  HarnessOptions options;
  options.settingsText = std::move(settingsText);
  return options;
}

HarnessOptions WithoutSettingsFile() {
  HarnessOptions options;
  options.writeFile = false;
  return options;
}

HarnessOptions WithTimerBase(int timerBaseMs, std::string settingsText) {
  HarnessOptions options = WithSettings(std::move(settingsText));
  options.timerBaseMs = timerBaseMs;
  return options;
}

MainWindowControls FindControls(const MainWindow& main) {
  MainWindowControls ui;
  ui.menuBar = Child<QMenuBar>(main, "menuBar");
  ui.optionsMenu = Child<QMenu>(main, "optionsMenu");
  ui.autoRefreshAction = Child<QAction>(main, "autoRefreshAction");
  ui.notifyAction = Child<QAction>(main, "notifyAction");
  ui.historyAction = Child<QAction>(main, "historyAction");
  ui.historyWindowAction = Child<QAction>(main, "historyWindowAction");
  ui.serverMenu = Child<QMenu>(main, "serverMenu");
  ui.x3Action = Child<QAction>(main, "x3Action");
  ui.x300Action = Child<QAction>(main, "x300Action");
  ui.settingsAction = Child<QAction>(main, "settingsAction");
  ui.exitAction = Child<QAction>(main, "exitAction");
  ui.helpMenu = Child<QMenu>(main, "helpMenu");
  ui.aboutAction = Child<QAction>(main, "aboutAction");
  ui.tableMenu = Child<QMenu>(main, "tableMenu");
  ui.refreshAction = Child<QAction>(main, "refreshAction");
  ui.copyNickAction = Child<QAction>(main, "copyNickAction");
  ui.sortMenu = Child<QMenu>(main, "sortMenu");
  ui.sortByNickAction = Child<QAction>(main, "sortByNickAction");
  ui.sortByPlayTimeAction = Child<QAction>(main, "sortByPlayTimeAction");
  ui.sortByRegistrationAction = Child<QAction>(main, "sortByRegistrationAction");
  ui.sortByProfessionAction = Child<QAction>(main, "sortByProfessionAction");
  ui.queryBox = Child<QGroupBox>(main, "queryBox");
  ui.clanLabel = Child<QLabel>(main, "clanLabel");
  ui.clanCombo = Child<QComboBox>(main, "clanCombo");
  ui.serverLabel = Child<QLabel>(main, "serverLabel");
  ui.serverCombo = Child<QComboBox>(main, "serverCombo");
  ui.caseSensitiveCheck = Child<QCheckBox>(main, "caseSensitiveCheck");
  ui.fetchButton = Child<QPushButton>(main, "fetchButton");
  ui.autoRefreshBox = Child<QGroupBox>(main, "autoRefreshBox");
  ui.autoRefreshCheck = Child<QCheckBox>(main, "autoRefreshCheck");
  ui.periodLabel = Child<QLabel>(main, "periodLabel");
  ui.periodSpin = Child<SpinEdit>(main, "periodSpin");
  ui.minutesLabel = Child<QLabel>(main, "minutesLabel");
  ui.rosterTable = Child<QTreeView>(main, "rosterTable");
  ui.statusPanels = Child<StatusPanels>(main, "statusPanels");
  ui.refreshTimer = Child<QTimer>(main, "refreshTimer");
  ui.roster = qobject_cast<RosterModel*>(ui.rosterTable->model());
  if (ui.roster == nullptr)
    throw std::runtime_error("the roster table shows no roster");
  return ui;
}

void WaitForWindows() {
  const auto busy = [] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      const auto* main = qobject_cast<MainWindow*>(window);
      const auto* history = qobject_cast<HistoryWindow*>(window);
      if ((main && main->fetching()) || (history && history->reading()))
        return true;
    }
    return false;
  };
  if (!QTest::qWaitFor([&] { return !busy(); }, 10000))
    ADD_FAILURE() << "a window's fetch or read is still running after 10 s";
}

void Fetch(const MainWindowControls& ui, const QString& clan) {
  ui.clanCombo->setEditText(clan);
  QTest::mouseClick(ui.fetchButton, Qt::LeftButton);
  WaitForWindows();
}

void OpenTableMenu(const MainWindowControls& ui) {
  QWidget* viewport = ui.rosterTable->viewport();
  QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(20, 20),
                            viewport->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(viewport, &request);
  if (!ui.tableMenu->isVisible())
    throw std::runtime_error("the table's context menu did not open");
  ui.tableMenu->close();
}

ShownErrors::ShownErrors()
    : previous_(SetErrorBoxPresenter([this](const QString& text) { texts << text; })) {}

ShownErrors::~ShownErrors() {
  SetErrorBoxPresenter(previous_);
}

MainWindowHarness::MainWindowHarness(HarnessOptions options) {
  if (!directory.isValid())
    throw std::runtime_error("no temporary directory");
  if (options.writeFile)
    WriteSettings(options.settingsText + (options.withProxy ? ProxySection(server.port()) : ""));
  MainWindowContext context;
  context.settingsDirectory = QFile::encodeName(directory.path()).toStdString();
  context.rosterHost = options.serverAsRosterHost ? "127.0.0.1:" + std::to_string(server.port())
                                                  : std::string("vorlane.example");
  context.locale = TestLocale();
  context.clans = clans;
  context.timerBaseMs = options.timerBaseMs;
  context.notifier = &notifier;
  context.userDataDirectory =
      QFile::encodeName(directory.filePath(QStringLiteral("data"))).toStdString();
  context.now = [this] { return now; };
  context.timeZone = kHistoryZone;
  main_ = std::make_unique<MainWindow>(std::move(context));
  ui = FindControls(*main_);
}

void MainWindowHarness::WriteSettings(const std::string& text) {
  QFile file(directory.filePath(QStringLiteral("options.ini")));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
    throw std::runtime_error("cannot write options.ini");
}

std::string MainWindowHarness::ReadSettings() const {
  QFile file(directory.filePath(QStringLiteral("options.ini")));
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error("cannot read options.ini");
  return file.readAll().toStdString();
}

std::vector<std::string> MainWindowHarness::RequestLines() const {
  std::vector<std::string> lines;
  for (const std::string& request : server.Requests())
    lines.push_back(RequestLine(request));
  return lines;
}

}  // namespace quellar::test
