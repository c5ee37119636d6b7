// quellar-standin: a roster service on 127.0.0.1 for trying Quellar and for tests.
// It prints the port it listens on, alone on a line, to standard output.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "common/cp1251.h"
#include "standin/roster_sample.h"
#include "standin/standin_server.h"

namespace {

constexpr auto kBuiltInSample = ":/standin/roster-sample.txt";

// The request line as readable UTF-8, with line breaks and other control bytes shown
// as escapes.
std::string Printable(std::string_view line) {
  std::string shown;
  for (char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", u);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return quellar::FromCp1251(shown).toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quellar-standin");

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Stand-in Vorlane roster service on 127.0.0.1: GET /xml.php?clan=NAME[&case=1]"
      "[&server=2], in origin form or as an HTTP proxy.");
  parser.addHelpOption();
  const QCommandLineOption portOption(
      "port", "Port to listen on (0 takes a free one; it is printed on standard output).", "port",
      "8080");
  const QCommandLineOption dataOption(
      "data", "Roster sample file (UTF-8) instead of the built-in one.", "file", kBuiltInSample);
  const QCommandLineOption quietOption("quiet", "Do not log requests on standard error.");
  parser.addOptions({portOption, dataOption, quietOption});
  parser.process(app);

  bool portOk = false;
  const uint port = parser.value(portOption).toUInt(&portOk);
  if (!portOk || port > 65535) {
    std::cerr << "quellar-standin: --port needs a number from 0 to 65535\n";
    return 2;
  }

  quellar::standin::Exchange::Observer log;
  if (!parser.isSet(quietOption)) {
    log = [](std::string_view requestLine, int status) {
      std::cerr << "quellar-standin: " << status << " "
                << (requestLine.empty() ? std::string("(garbled request)") : Printable(requestLine))
                << std::endl;
    };
  }

  try {
    quellar::standin::StandinServer server(
        quellar::standin::RosterSample::FromFile(parser.value(dataOption)), log);
    if (!server.Listen(static_cast<quint16>(port))) {
      std::cerr << "quellar-standin: cannot listen on 127.0.0.1:" << port << ": "
                << server.errorString().toStdString() << "\n";
      return 1;
    }
    std::cout << server.port() << std::endl;
    std::cerr << "quellar-standin: serving on 127.0.0.1:" << server.port() << std::endl;
    return app.exec();
  } catch (const std::exception& e) {
    std::cerr << "quellar-standin: " << e.what() << "\n";
    return 1;
  }
}
