#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quellar {

// Runs work away from the thread that asks for it, so that an event loop never
// waits on a file. Pieces run one at a time, in the order asked; a piece asked
// for before the latest is skipped if it has not begun, and what it returns is
// dropped if it has. What the latest piece returns is run back on this object's
// thread. The destructor waits for the piece running.
class BackgroundWork : public QObject {
 public:
  // Runs away; returns what to do back home with its result.
  using Work = std::function<std::function<void()>()>;

  explicit BackgroundWork(QObject* parent = nullptr);
  ~BackgroundWork() override;
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  void Start(Work work);
  // A piece has been asked for whose result has not been handed back yet.
  bool busy() const { return handedBack_ != lastNumber_; }

 private:
  void Finish(std::uint64_t number, const std::function<void()>& done);

  std::uint64_t lastNumber_ = 0;
  std::uint64_t handedBack_ = 0;
  std::atomic<std::uint64_t> latest_{0};
  std::mutex turn_;  // one piece at a time
  std::vector<std::pair<std::uint64_t, std::thread>> threads_;
};

}  // namespace quellar
