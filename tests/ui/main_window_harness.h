#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "settings/clan_lists.h"
#include "support/scripted_http_server.h"
#include "ui/error_box.h"
#include "ui/main_window.h"

namespace quellar::test {

// "Ru", a fixed day: what the window's collation, upper-casing and dates use.
LocaleContext TestLocale();

// A 200 answer carrying body with its length.
std::string OkAnswer(const std::string& body);

// "[Proxy]" entries that send every request through 127.0.0.1:port.
std::string ProxySection(std::uint16_t port);

// The request line (without CR LF) of a recorded request.
std::string RequestLine(const std::string& request);

// Collects what the error box would show, for as long as it lives.
class ShownErrors {
 public:
  ShownErrors();
  ~ShownErrors();
  ShownErrors(const ShownErrors&) = delete;
  ShownErrors& operator=(const ShownErrors&) = delete;

  QStringList texts;

 private:
  ErrorBoxPresenter previous_;
};

// A main window over its own settings directory, clan lists and loopback server.
// The settings file holds settingsText (Windows-1251) followed by a proxy section
// leading to the server, unless withProxy is false; no file is written when
// writeFile is false.
struct HarnessOptions {
  std::string settingsText;
  bool withProxy = true;
  bool writeFile = true;
  int timerBaseMs = 60000;
};

// The usual set-ups.
HarnessOptions WithSettings(std::string settingsText);
HarnessOptions WithoutSettingsFile();
HarnessOptions WithTimerBase(int timerBaseMs, std::string settingsText = {});

class MainWindowHarness {
 public:
  explicit MainWindowHarness(HarnessOptions options = {});

  TMain& main() { return *main_; }
  // Rewrites the settings file with text, as the settings dialog would.
  void WriteSettings(const std::string& text);
  // The request lines the server has received so far.
  std::vector<std::string> RequestLines() const;

  ScriptedHttpServer server;
  ShownErrors errors;
  QTemporaryDir directory;
  ClanLists clans;

 private:
  std::unique_ptr<TMain> main_;
};

}  // namespace quellar::test
