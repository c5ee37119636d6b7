#include "common/background_work.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

namespace quellar {

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {}

BackgroundWork::~BackgroundWork() {
  latest_.store(0);  // the pieces not begun are skipped
  for (auto& [number, thread] : threads_)
    thread.join();
}

void BackgroundWork::Start(Work work) {
  const std::uint64_t number = ++lastNumber_;
  latest_.store(number);
  // The thread ends before the object: the destructor joins it, and a result
  // posted to an object being destroyed is dropped with its events.
  threads_.emplace_back(number, std::thread([this, number, work = std::move(work)] {
                          std::function<void()> done;
                          {
                            const std::lock_guard turn(turn_);
                            if (latest_.load() == number)
                              done = work();
                          }
                          QMetaObject::invokeMethod(
                              this, [this, number, done] { Finish(number, done); },
                              Qt::QueuedConnection);
                        }));
}

void BackgroundWork::Finish(std::uint64_t number, const std::function<void()>& done) {
  const auto ended = std::find_if(threads_.begin(), threads_.end(),
                                  [number](const auto& entry) { return entry.first == number; });
  if (ended != threads_.end()) {
    ended->second.join();
    threads_.erase(ended);
  }
  if (number != lastNumber_)
    return;
  handedBack_ = number;
  if (done)
    done();
}

}  // namespace quellar
