#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace quellar::bench {

// The longest the event loop stops answering while this lives: a timer every
// 10 ms records how late each tick comes, and the worst lateness is that pause.
class EventLoopPause {
 public:
  static constexpr int kTickMs = 10;

  EventLoopPause() {
    ticker_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      worst_ = std::max(worst_, now - lastTick_ - kTickMs * 1000000LL);
      lastTick_ = now;
    });
    clock_.start();
    ticker_.start(kTickMs);
  }

  double worstMs() const { return static_cast<double>(worst_) / 1e6; }
  double elapsedMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

 private:
  QElapsedTimer clock_;
  QTimer ticker_;
  qint64 lastTick_ = 0;
  qint64 worst_ = 0;
};

}  // namespace quellar::bench
