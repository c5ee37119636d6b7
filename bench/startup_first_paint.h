#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace quellar::bench {

// Called once, at the first paint: bench/startup-instructions has callgrind dump its
// counts on entering it, so that they end where the wall time ends.
[[gnu::noinline]] inline void ReportFirstPaint(const QElapsedTimer& sinceMain) {
  // The line the driver waits for, with the time spent inside the process.
  std::printf("shown %.3f\n", static_cast<double>(sinceMain.nsecsElapsed()) / 1e6);
  std::fflush(stdout);
}

// Reports the moment a window first paints, on standard output, then ends the event
// loop: the start-up being timed is over once the user can see the window.
class FirstPaint : public QObject {
 public:
  FirstPaint(QWidget& window, const QElapsedTimer& sinceMain) : sinceMain_(sinceMain) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      ReportFirstPaint(sinceMain_);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& sinceMain_;
  bool painted_ = false;
};

}  // namespace quellar::bench
