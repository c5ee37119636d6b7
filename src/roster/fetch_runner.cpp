#include "roster/fetch_runner.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

#include "common/error.h"

namespace quellar {

FetchRunner::FetchRunner(Finished finished, std::chrono::milliseconds silenceLimit, QObject* parent)
    : QObject(parent), finished_(std::move(finished)), silenceLimit_(silenceLimit) {}

FetchRunner::~FetchRunner() {
  if (running_) {
    running_->http->Abandon();
    abandoned_.push_back(std::move(running_));
  }
  for (const std::unique_ptr<Job>& job : abandoned_)
    job->http->Abandon();
  for (const std::unique_ptr<Job>& job : abandoned_)
    job->thread.join();
}

void FetchRunner::Start(FetchRequest request) {
  if (running_) {
    running_->http->Abandon();
    abandoned_.push_back(std::move(running_));
  }
  auto job = std::make_unique<Job>();
  job->number = ++lastNumber_;
  job->http = idleClient_ ? std::move(idleClient_) : std::make_shared<HttpClient>(silenceLimit_);
  // The thread owns what it reads; the runner outlives it (its destructor joins),
  // and an outcome posted to a runner being destroyed is dropped with its events.
  job->thread =
      std::thread([this, number = job->number, http = job->http, request = std::move(request)] {
        auto outcome = std::make_shared<FetchOutcome>(FetchRoster(*http, request));
        if (outcome->fetched && request.record)
          Record(number, *http, request, *outcome);
        QMetaObject::invokeMethod(
            this, [this, number, outcome] { Finish(number, std::move(*outcome)); },
            Qt::QueuedConnection);
      });
  running_ = std::move(job);
}

// A fetch abandoned before its turn, or overtaken by a later one already
// recorded, is not recorded: the record keeps the order the fetches were asked in.
void FetchRunner::Record(std::uint64_t number, const HttpClient& http, const FetchRequest& request,
                         FetchOutcome& outcome) {
  const std::lock_guard turn(recordTurn_);
  if (number < lastRecorded_ || http.abandoned())
    return;
  lastRecorded_ = number;
  try {
    request.record(*outcome.fetched);
    outcome.recorded = true;
  } catch (...) {
    outcome.recordFailure = HandledFailureMessage();
  }
}

void FetchRunner::Finish(std::uint64_t number, FetchOutcome outcome) {
  if (running_ && running_->number == number) {
    std::unique_ptr<Job> job = std::move(running_);
    job->thread.join();
    idleClient_ = std::move(job->http);
    finished_(std::move(outcome));
    return;
  }
  // An abandoned fetch has ended: its thread goes, and its client with it.
  const auto ended = std::find_if(abandoned_.begin(), abandoned_.end(),
                                  [number](const auto& job) { return job->number == number; });
  if (ended != abandoned_.end()) {
    (*ended)->thread.join();
    abandoned_.erase(ended);
  }
}

}  // namespace quellar
