#include "standin/standin_server.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <memory>

namespace quellar::standin {

StandinServer::StandinServer(RosterSample sample, Exchange::Observer observer)
    : sample_(std::move(sample)), observer_(std::move(observer)) {
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { AcceptPending(); });
}

bool StandinServer::Listen(quint16 port) {
  return server_.listen(QHostAddress::LocalHost, port);
}

void StandinServer::AcceptPending() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    // The socket is a child of the server; the lambda below, and with it the
    // exchange, goes when the socket does.
    auto exchange = std::make_shared<Exchange>(sample_, observer_);
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, exchange] {
      const QByteArray bytes = socket->readAll();
      if (exchange->closing())
        return;
      const std::string answer = exchange->Receive(
          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      if (!answer.empty())
        socket->write(answer.data(), static_cast<qint64>(answer.size()));
      if (exchange->closing())
        socket->disconnectFromHost();
    });
  }
}

}  // namespace quellar::standin
