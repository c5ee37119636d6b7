#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "net/http_client.h"
#include "roster/fetch_step.h"

namespace quellar {

// Runs fetches away from the thread that asks for them, one at a time, so that
// an event loop never waits on the network or on building the rows. A new fetch
// abandons the one running: its connection is closed and its outcome never
// reported. The outcome of the latest fetch is handed to the callback on the
// runner's own thread. The client, and so its kept connection, passes from one
// fetch to the next unless a fetch was abandoned holding it. A request's record
// step runs on the fetch's thread too, one at a time and in the order the
// fetches were started; an abandoned fetch is not recorded.
class FetchRunner : public QObject {
 public:
  using Finished = std::function<void(FetchOutcome)>;

  explicit FetchRunner(Finished finished,
                       std::chrono::milliseconds silenceLimit = HttpClient::kDefaultSilenceLimit,
                       QObject* parent = nullptr);
  // Abandons the running fetch and waits for its thread, which lets go within a
  // moment whatever the server does.
  ~FetchRunner() override;
  FetchRunner(const FetchRunner&) = delete;
  FetchRunner& operator=(const FetchRunner&) = delete;

  void Start(FetchRequest request);
  // A fetch has been started whose outcome has not been reported yet.
  bool busy() const { return running_ != nullptr; }

 private:
  struct Job {
    std::uint64_t number = 0;
    std::shared_ptr<HttpClient> http;
    std::thread thread;
  };

  void Record(std::uint64_t number, const HttpClient& http, const FetchRequest& request,
              FetchOutcome& outcome);
  void Finish(std::uint64_t number, FetchOutcome outcome);

  Finished finished_;
  std::chrono::milliseconds silenceLimit_;
  std::shared_ptr<HttpClient> idleClient_;
  std::uint64_t lastNumber_ = 0;
  std::unique_ptr<Job> running_;
  std::vector<std::unique_ptr<Job>> abandoned_;
  // Taken by the fetch threads alone: the event loop never waits for a record.
  std::mutex recordTurn_;
  std::uint64_t lastRecorded_ = 0;
};

}  // namespace quellar
