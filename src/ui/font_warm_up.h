#pragma once

#include <thread>

namespace quellar {

// Reads the desktop's font configuration (fontconfig's XML files) on a thread of
// its own while the application connects to the display: the first text a window
// measures would otherwise wait for it, and it is a third of all the work before
// the main window's first paint. Where Qt finds its fonts without fontconfig
// (Windows), it does nothing.
class FontConfigWarmUp {
 public:
  // Before the application object, to overlap the most.
  FontConfigWarmUp();
  ~FontConfigWarmUp() { Wait(); }
  FontConfigWarmUp(const FontConfigWarmUp&) = delete;
  FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

  // Before the first widget is made: Qt must find the configuration read, or it
  // reads its own while this thread still reads.
  void Wait();

 private:
  std::thread thread_;
};

}  // namespace quellar
