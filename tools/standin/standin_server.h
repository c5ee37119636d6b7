#pragma once

#include <QHostAddress>
#include <QString>
#include <QTcpServer>

#include "standin/http_exchange.h"
#include "standin/roster_sample.h"

namespace quellar::standin {

// The stand-in roster service on a loopback socket. It answers the client both as
// the roster host (origin-form targets) and as its HTTP proxy (absolute-form
// targets), keeping each connection open for further requests.
class StandinServer {
 public:
  explicit StandinServer(RosterSample sample, Exchange::Observer observer = {});
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  // Listens on 127.0.0.1 only; port 0 takes a free port.
  bool Listen(quint16 port);
  quint16 port() const { return server_.serverPort(); }
  QHostAddress address() const { return server_.serverAddress(); }
  QString errorString() const { return server_.errorString(); }

 private:
  void AcceptPending();

  RosterSample sample_;
  Exchange::Observer observer_;
  QTcpServer server_;
};

}  // namespace quellar::standin
