#include "support/scripted_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <list>
#include <stdexcept>
#include <string>
#include <utility>

namespace quellar::test {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string(what) + " failed, errno " + std::to_string(errno));
}

int BoundLoopbackSocket(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    Fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    Fail("bind");
  }
  socklen_t length = sizeof address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    Fail("getsockname");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Sends everything it can; a client that has gone away simply stops it.
bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR)
      continue;
    if (sent <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

struct ScriptedHttpServer::Connection {
  int fd = -1;
  int index = 0;
  std::string pending;
  bool trickling = false;
  std::string piece;
  std::chrono::milliseconds interval{0};
  Clock::time_point nextPiece;
  std::deque<std::string> drip;  // pieces still to send, one each interval
  bool reset = false;
};

ScriptedHttpServer::ScriptedHttpServer() {
  listenFd_ = BoundLoopbackSocket(port_);
  if (::listen(listenFd_, 16) != 0) {
    ::close(listenFd_);
    Fail("listen");
  }
  if (::pipe2(wakeFds_, O_CLOEXEC) != 0) {
    ::close(listenFd_);
    Fail("pipe2");
  }
  thread_ = std::thread([this] { Run(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  const char wake = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFds_[1], &wake, 1);
  thread_.join();
  ::close(listenFd_);
  ::close(wakeFds_[0]);
  ::close(wakeFds_[1]);
}

std::string ScriptedHttpServer::hostAndPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

void ScriptedHttpServer::AddStep(Step step) {
  std::lock_guard lock(mutex_);
  script_.push_back(std::move(step));
}

void ScriptedHttpServer::Answer(std::string bytes) {
  AddStep({std::move(bytes), Ending::KeepOpen, {}, {}, {}, {}});
}

void ScriptedHttpServer::AnswerThenClose(std::string bytes) {
  AddStep({std::move(bytes), Ending::Close, {}, {}, {}, {}});
}

void ScriptedHttpServer::CloseWithoutAnswer() {
  AddStep({{}, Ending::Close, {}, {}, {}, {}});
}

void ScriptedHttpServer::AnswerThenReset(std::string bytes) {
  AddStep({std::move(bytes), Ending::Reset, {}, {}, {}, {}});
}

void ScriptedHttpServer::AnswerThenTrickle(std::string head, std::string piece,
                                           std::chrono::milliseconds interval) {
  AddStep({std::move(head), Ending::Trickle, std::move(piece), interval, {}, {}});
}

void ScriptedHttpServer::AnswerInPieces(std::vector<std::string> pieces,
                                        std::chrono::milliseconds pause) {
  Step step{{}, Ending::Drip, {}, pause, {}, {}};
  for (std::string& piece : pieces)
    step.drip.push_back(std::move(piece));
  if (!step.drip.empty()) {
    step.bytes = std::move(step.drip.front());
    step.drip.pop_front();
  }
  AddStep(std::move(step));
}

void ScriptedHttpServer::AnswerInWrites(std::vector<std::string> writes, Then then) {
  const Ending ending = then == Then::Close   ? Ending::Close
                        : then == Then::Reset ? Ending::Reset
                                              : Ending::KeepOpen;
  AddStep({{}, ending, {}, {}, {}, std::move(writes)});
}

std::vector<std::string> ScriptedHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<int> ScriptedHttpServer::RequestConnections() const {
  std::lock_guard lock(mutex_);
  return requestConnections_;
}

std::vector<std::string> ScriptedHttpServer::ConnectionBytes() const {
  std::lock_guard lock(mutex_);
  return connectionBytes_;
}

int ScriptedHttpServer::ConnectionCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(connectionBytes_.size());
}

bool ScriptedHttpServer::WaitUntilAnswered(int count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [this, count] { return answered_ >= count; });
}

bool ScriptedHttpServer::WaitUntilAllClosed(std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return openConnections_ == 0; });
}

void ScriptedHttpServer::OnRequest(Connection& connection, std::string request) {
  Step step;
  bool haveStep = false;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
    requestConnections_.push_back(connection.index);
    if (!script_.empty()) {
      step = std::move(script_.front());
      script_.pop_front();
      haveStep = true;
    }
  }
  if (!haveStep) {
    connection.reset = false;
    connection.trickling = false;
    connection.drip.clear();
    connection.pending.clear();
    ::shutdown(connection.fd, SHUT_RDWR);
    return;
  }
  if (step.ending == Ending::Drip) {
    // Each piece goes out as soon as it is sent, not held back to join the next.
    const int noDelay = 1;
    ::setsockopt(connection.fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
  }
  bool sent = SendAll(connection.fd, step.bytes);
  for (const std::string& write : step.writes)
    sent = sent && SendAll(connection.fd, write);
  switch (step.ending) {
    case Ending::KeepOpen:
      if (!sent)
        ::shutdown(connection.fd, SHUT_RDWR);
      break;
    case Ending::Close:
      ::shutdown(connection.fd, SHUT_RDWR);
      break;
    case Ending::Reset:
      connection.reset = true;
      break;
    case Ending::Trickle:
      connection.trickling = true;
      connection.drip.clear();
      connection.piece = std::move(step.piece);
      connection.interval = step.interval;
      connection.nextPiece = Clock::now() + step.interval;
      break;
    case Ending::Drip:
      connection.trickling = !step.drip.empty();
      connection.drip = std::move(step.drip);
      connection.interval = step.interval;
      connection.nextPiece = Clock::now() + step.interval;
      break;
  }
  std::lock_guard lock(mutex_);
  ++answered_;
  changed_.notify_all();
}

void ScriptedHttpServer::Run() {
  std::list<Connection> connections;

  auto closeConnection = [this](Connection& connection) {
    if (connection.reset) {
      // A zero linger time makes close() send RST instead of FIN.
      linger abort{1, 0};
      ::setsockopt(connection.fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    ::close(connection.fd);
    connection.fd = -1;
    std::lock_guard lock(mutex_);
    --openConnections_;
    changed_.notify_all();
  };

  for (;;) {
    std::vector<pollfd> watched;
    watched.push_back({wakeFds_[0], POLLIN, 0});
    watched.push_back({listenFd_, POLLIN, 0});
    int timeout = -1;
    const auto now = Clock::now();
    for (const Connection& connection : connections) {
      watched.push_back({connection.fd, POLLIN, 0});
      if (connection.trickling) {
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(connection.nextPiece - now);
        const int ms = wait.count() < 0 ? 0 : static_cast<int>(wait.count()) + 1;
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
      }
    }
    if (::poll(watched.data(), watched.size(), timeout) < 0 && errno != EINTR)
      break;
    if (watched[0].revents != 0)
      break;

    if ((watched[1].revents & POLLIN) != 0) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        std::lock_guard lock(mutex_);
        connections.push_back({});
        connections.back().fd = fd;
        connections.back().index = static_cast<int>(connectionBytes_.size());
        connectionBytes_.emplace_back();
        ++openConnections_;
      }
    }

    std::size_t slot = 2;
    for (Connection& connection : connections) {
      const short events =
          slot < watched.size() && watched[slot].fd == connection.fd ? watched[slot].revents : 0;
      ++slot;
      if (connection.fd < 0 || events == 0)
        continue;
      char buffer[4096];
      const ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
      if (got <= 0) {
        closeConnection(connection);
        continue;
      }
      {
        std::lock_guard lock(mutex_);
        connectionBytes_[static_cast<std::size_t>(connection.index)].append(
            buffer, static_cast<std::size_t>(got));
      }
      connection.pending.append(buffer, static_cast<std::size_t>(got));
      for (auto end = connection.pending.find("\r\n\r\n"); end != std::string::npos;
           end = connection.pending.find("\r\n\r\n")) {
        std::string request = connection.pending.substr(0, end + 4);
        connection.pending.erase(0, end + 4);
        OnRequest(connection, std::move(request));
      }
      if (connection.reset)
        closeConnection(connection);
    }

    const auto later = Clock::now();
    for (Connection& connection : connections) {
      if (connection.fd < 0 || !connection.trickling || later < connection.nextPiece)
        continue;
      const bool dripping = !connection.drip.empty();
      if (!SendAll(connection.fd, dripping ? connection.drip.front() : connection.piece)) {
        closeConnection(connection);
        continue;
      }
      if (dripping) {
        connection.drip.pop_front();
        connection.trickling = !connection.drip.empty();
      }
      connection.nextPiece = later + connection.interval;
    }
    connections.remove_if([](const Connection& connection) { return connection.fd < 0; });
  }

  for (Connection& connection : connections)
    if (connection.fd >= 0)
      closeConnection(connection);
}

RefusingPort::RefusingPort() {
  fd_ = BoundLoopbackSocket(port_);
}

RefusingPort::~RefusingPort() {
  ::close(fd_);
}

}  // namespace quellar::test
