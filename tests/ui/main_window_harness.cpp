#include "main_window_harness.h"

#include <QFile>
#include <stdexcept>
#include <utility>

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
  context.rosterHost = "vorlane.example";
  context.locale = TestLocale();
  context.clans = clans;
  context.timerBaseMs = options.timerBaseMs;
  main_ = std::make_unique<TMain>(std::move(context));
}

void MainWindowHarness::WriteSettings(const std::string& text) {
  QFile file(directory.filePath(QStringLiteral("options.ini")));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
    throw std::runtime_error("cannot write options.ini");
}

std::vector<std::string> MainWindowHarness::RequestLines() const {
  std::vector<std::string> lines;
  for (const std::string& request : server.Requests())
    lines.push_back(RequestLine(request));
  return lines;
}

}  // namespace quellar::test
