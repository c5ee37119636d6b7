#include <gtest/gtest.h>

#include <QByteArray>
#include <QHostAddress>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <string>

#include "standin/standin_server.h"

namespace quellar::standin {
namespace {

const char* const kSample =
    "@server x3 1342\n"
    "@server x300 587\n"
    "@clan x3 Brannock\n"
    "Snegir|||87|||reg.: 02.11.2008|||Archer\n"
    "@clan x300 Brannock\n"
    "Lynx|||95|||reg.: 12.12.2008|||Archer\n";

QByteArray Ok(const QByteArray& body, const char* connection = "keep-alive") {
  return "HTTP/1.1 200 OK\r\nServer: quellar-standin\r\n"
         "Content-Type: text/plain; charset=windows-1251\r\nContent-Length: " +
         QByteArray::number(body.size()) + "\r\nConnection: " + connection + "\r\n\r\n" + body;
}

const QByteArray kX3Brannock = "1342\r\nSnegir|||87|||reg.: 02.11.2008|||Archer\r\n";
const QByteArray kX300Brannock = "587\r\nLynx|||95|||reg.: 12.12.2008|||Archer\r\n";

// Waits, running the event loop the server lives on, until `size` bytes have come
// or the server has closed the connection; at most five seconds, so a fault cannot
// hang the run.
QByteArray Read(QTcpSocket& socket, qsizetype size) {
  QByteArray received;
  (void)QTest::qWaitFor(
      [&] {
        received += socket.readAll();
        return received.size() >= size || socket.state() == QAbstractSocket::UnconnectedState;
      },
      5000);
  return received;
}

bool WaitForClose(QTcpSocket& socket) {
  return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
}

class StandinServerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Listen(0)) << server.errorString().toStdString();
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000));
  }

  StandinServer server{RosterSample::FromUtf8(kSample)};
  QTcpSocket socket;
};

TEST_F(StandinServerTest, answersSeveralRequestsOverOneConnection) {
  socket.write("GET /xml.php?clan=brannock HTTP/1.1\r\nHost: vorlane.example\r\n\r\n");
  EXPECT_EQ(Read(socket, Ok(kX3Brannock).size()), Ok(kX3Brannock));
  socket.write(
      "GET http://vorlane.example:80/xml.php?clan=Brannock&server=2 HTTP/1.1\r\n"
      "Host: vorlane.example\r\n\r\n");
  EXPECT_EQ(Read(socket, Ok(kX300Brannock).size()), Ok(kX300Brannock));
  socket.write("GET /xml.php?clan=Nobody HTTP/1.1\r\n\r\n");
  EXPECT_EQ(Read(socket, Ok("1342\r\n").size()), Ok("1342\r\n"));
  EXPECT_EQ(socket.state(), QAbstractSocket::ConnectedState);
}

TEST_F(StandinServerTest, closesTheConnectionAfterAnsweringConnectionClose) {
  socket.write("GET /xml.php?clan=Brannock HTTP/1.1\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Read(socket, Ok(kX3Brannock, "close").size() + 1), Ok(kX3Brannock, "close"));
  EXPECT_TRUE(WaitForClose(socket));
}

TEST_F(StandinServerTest, answersAGarbledRequestWithBadRequestAndCloses) {
  socket.write("\x16\x03\x01 garbage\r\n\r\n");
  const QByteArray answer = Read(socket, 1 << 16);
  EXPECT_TRUE(answer.startsWith("HTTP/1.1 400 Bad Request\r\n")) << answer.toStdString();
  EXPECT_TRUE(WaitForClose(socket));
}

TEST_F(StandinServerTest, listensOnLoopbackOnly) {
  EXPECT_EQ(server.address(), QHostAddress("127.0.0.1"));
  EXPECT_NE(server.port(), 0);
}

TEST(StandinExecutable, printsThePortItTookAndServesTheBuiltInSample) {
  QProcess process;
  process.start(QUELLAR_STANDIN_EXECUTABLE, {"--port", "0", "--quiet"});
  ASSERT_TRUE(process.waitForStarted(5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return process.canReadLine(); }, 10000))
      << process.readAllStandardError().toStdString();
  const QByteArray line = process.readLine();
  bool ok = false;
  const quint16 port = line.trimmed().toUShort(&ok);
  ASSERT_TRUE(ok && port != 0) << line.toStdString();
#ifdef _WIN32
  EXPECT_EQ(line, QByteArray::number(port) + "\r\n");  // standard output in text mode
#else
  EXPECT_EQ(line, QByteArray::number(port) + "\n");
#endif

  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  ASSERT_TRUE(socket.waitForConnected(5000));
  socket.write("GET /xml.php?clan=BRANNOCK&server=2 HTTP/1.1\r\nConnection: close\r\n\r\n");
  QByteArray answer;
  while (socket.waitForReadyRead(5000))
    answer += socket.readAll();
  answer += socket.readAll();
  const qsizetype bodyStart = answer.indexOf("\r\n\r\n") + 4;
  ASSERT_GT(bodyStart, 3) << answer.toStdString();
  EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_TRUE(answer.mid(bodyStart).startsWith("587\r\n")) << answer.toStdString();
  EXPECT_GT(answer.mid(bodyStart).count("\r\n"), 1);

#ifdef _WIN32
  process.kill();  // a console program has no window to take terminate()'s WM_CLOSE
#else
  process.terminate();
#endif
  EXPECT_TRUE(process.waitForFinished(5000));
}

TEST(StandinExecutable, refusesAPortOutOfRange) {
  QProcess process;
  process.start(QUELLAR_STANDIN_EXECUTABLE, {"--port", "70000"});
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitCode(), 2);
#ifdef _WIN32
  const char* lineEnd = "\r\n";
#else
  const char* lineEnd = "\n";
#endif
  EXPECT_EQ(process.readAllStandardError(),
            QByteArray("quellar-standin: --port needs a number from 0 to 65535") + lineEnd);
}

}  // namespace
}  // namespace quellar::standin
