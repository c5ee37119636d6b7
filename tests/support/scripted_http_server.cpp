#include "support/scripted_http_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <list>
#include <stdexcept>
#include <string>
#include <utility>

namespace quellar::test {
namespace {

using Clock = std::chrono::steady_clock;

// The few calls that Winsock names or types differently.
#ifdef _WIN32
constexpr NativeSocket kNoSocket = INVALID_SOCKET;
constexpr int kNoSignal = 0;
constexpr int kShutBoth = SD_BOTH;
int LastSocketError() {
  return ::WSAGetLastError();
}
void CloseSocket(NativeSocket fd) {
  ::closesocket(fd);
}
int Poll(std::vector<pollfd>& watched, int timeout) {
  return ::WSAPoll(watched.data(), static_cast<ULONG>(watched.size()), timeout);
}
NativeSocket NewSocket(int type) {
  // Winsock wants starting once per process; libcurl may not have done it yet.
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started ? ::WSASocketW(AF_INET, type, 0, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT)
                 : kNoSocket;
}
#else
constexpr NativeSocket kNoSocket = -1;
constexpr int kNoSignal = MSG_NOSIGNAL;
constexpr int kShutBoth = SHUT_RDWR;
int LastSocketError() {
  return errno;
}
void CloseSocket(NativeSocket fd) {
  ::close(fd);
}
int Poll(std::vector<pollfd>& watched, int timeout) {
  return ::poll(watched.data(), watched.size(), timeout);
}
NativeSocket NewSocket(int type) {
  return ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
}
#endif

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string(what) + " failed, error " +
                           std::to_string(LastSocketError()));
}

NativeSocket BoundLoopbackSocket(std::uint16_t& port, int type = SOCK_STREAM,
                                 std::uint32_t host = INADDR_LOOPBACK) {
  const NativeSocket fd = NewSocket(type);
  if (fd == kNoSocket)
    Fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(host);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    CloseSocket(fd);
    Fail("bind");
  }
  socklen_t length = sizeof address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(fd);
    Fail("getsockname");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Something poll() watches that another thread can make readable: a pipe, or on
// Windows, where only sockets can be polled, a datagram socket that sends to
// itself.
void OpenWake(NativeSocket (&wake)[2]) {
#ifdef _WIN32
  std::uint16_t port = 0;
  wake[0] = wake[1] = BoundLoopbackSocket(port, SOCK_DGRAM);
  sockaddr_in self{};
  self.sin_family = AF_INET;
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  self.sin_port = htons(port);
  if (::connect(wake[0], reinterpret_cast<sockaddr*>(&self), sizeof self) != 0)
    Fail("connect");
#else
  if (::pipe2(wake, O_CLOEXEC) != 0)
    Fail("pipe2");
#endif
}

void Wake(NativeSocket (&wake)[2]) {
  const char byte = 1;
#ifdef _WIN32
  ::send(wake[1], &byte, 1, 0);
#else
  [[maybe_unused]] const ssize_t written = ::write(wake[1], &byte, 1);
#endif
}

void CloseWake(NativeSocket (&wake)[2]) {
  CloseSocket(wake[0]);
  if (wake[1] != wake[0])
    CloseSocket(wake[1]);
}

// Sends everything it can; a client that has gone away simply stops it.
bool SendAll(NativeSocket fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto sent = ::send(fd, bytes.data(), static_cast<int>(bytes.size()), kNoSignal);
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
  NativeSocket fd = kNoSocket;
  int index = 0;
  std::string pending;
  bool trickling = false;
  std::string piece;
  std::chrono::milliseconds interval{0};
  Clock::time_point nextPiece;
  std::deque<std::string> drip;  // pieces still to send, one each interval
  bool reset = false;
};

ScriptedHttpServer::ScriptedHttpServer(std::uint32_t loopbackAddress) : address_(loopbackAddress) {
  listenFd_ = BoundLoopbackSocket(port_, SOCK_STREAM, address_);
  if (::listen(listenFd_, 16) != 0) {
    CloseSocket(listenFd_);
    Fail("listen");
  }
  try {
    OpenWake(wakeFds_);
  } catch (...) {
    CloseSocket(listenFd_);
    throw;
  }
  thread_ = std::thread([this] { Run(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  Wake(wakeFds_);
  thread_.join();
  CloseSocket(listenFd_);
  CloseWake(wakeFds_);
}

std::string ScriptedHttpServer::host() const {
  return std::to_string(address_ >> 24) + '.' + std::to_string((address_ >> 16) & 0xFF) + '.' +
         std::to_string((address_ >> 8) & 0xFF) + '.' + std::to_string(address_ & 0xFF);
}

std::string ScriptedHttpServer::hostAndPort() const {
  return host() + ':' + std::to_string(port_);
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
    ::shutdown(connection.fd, kShutBoth);
    return;
  }
  if (step.ending == Ending::Drip) {
    // Each piece goes out as soon as it is sent, not held back to join the next.
    const int noDelay = 1;
    ::setsockopt(connection.fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                 sizeof noDelay);
  }
  bool sent = SendAll(connection.fd, step.bytes);
  for (const std::string& write : step.writes)
    sent = sent && SendAll(connection.fd, write);
  switch (step.ending) {
    case Ending::KeepOpen:
      if (!sent)
        ::shutdown(connection.fd, kShutBoth);
      break;
    case Ending::Close:
      ::shutdown(connection.fd, kShutBoth);
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
      ::setsockopt(connection.fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                   sizeof abort);
    }
    CloseSocket(connection.fd);
    connection.fd = kNoSocket;
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
    if (Poll(watched, timeout) < 0 && errno != EINTR)
      break;
    if (watched[0].revents != 0)
      break;

    if ((watched[1].revents & POLLIN) != 0) {
#ifdef _WIN32
      const NativeSocket fd = ::accept(listenFd_, nullptr, nullptr);
#else
      const NativeSocket fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
#endif
      if (fd != kNoSocket) {
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
      if (connection.fd == kNoSocket || events == 0)
        continue;
      char buffer[4096];
      const auto got = ::recv(connection.fd, buffer, sizeof buffer, 0);
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
      if (connection.fd == kNoSocket || !connection.trickling || later < connection.nextPiece)
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
    connections.remove_if([](const Connection& connection) { return connection.fd == kNoSocket; });
  }

  for (Connection& connection : connections)
    if (connection.fd != kNoSocket)
      closeConnection(connection);
}

RefusingPort::RefusingPort() {
  fd_ = BoundLoopbackSocket(port_);
}

RefusingPort::~RefusingPort() {
  CloseSocket(fd_);
}

}  // namespace quellar::test
